#pragma once
// A table model over a Recordset, for the data-bound grids: one row per row under
// the recordset's cursor (in its order and filter), configured columns with their
// own display formats. Painting reads the recordset's rows in memory; no query runs.
#include <QAbstractTableModel>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace zarv::db {
class Recordset;
}

namespace zarv::ui {

struct GridColumn {
    // Display text of a cell from its value and the row's bookmark.
    using Formatter = std::function<QString(const QVariant& value, qint64 bookmark)>;

    QString field;              // the recordset's field
    QString heading;
    int width = 0;              // 0: the view's default
    bool widthInTwips = false;  // width as the screens give it (15 twips a pixel)
    Formatter format;           // none: the value as text (Null as "")
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int chars = 0;              // the field's length: the column holds that many characters

    int widthPixels() const { return widthInTwips ? width / 15 : width; }
};

class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordsetModel(db::Recordset* recordset, std::vector<GridColumn> columns, QObject* parent = nullptr);
    ~RecordsetModel() override;

    // Not owned; it must outlive the model or be replaced (nullptr unbinds).
    void setRecordset(db::Recordset* recordset);
    db::Recordset* recordset() const { return rs_; }
    const std::vector<GridColumn>& columns() const { return columns_; }
    const GridColumn& column(int c) const { return columns_.at(static_cast<size_t>(c)); }

    // Reads the rows anew, after the recordset was reopened, requeried or filtered.
    void rebind();

    // The recordset's current row (-1 at BOF/EOF or without a recordset).
    int currentRow() const;
    qint64 bookmarkAt(int row) const;   // -1 when the row is not there
    // The text a cell shows, as data() gives it.
    QString cellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Plain text of a value: Null as "", numbers as the conversion to text writes them.
    static QString plainText(const QVariant& value);

signals:
    // The recordset's current row moved (to -1 at BOF/EOF).
    void currentRowChanged(int row);

private:
    void onRecordsetEvent(int event);
    void resolveFields();
    int liveRowCount() const;

    db::Recordset* rs_ = nullptr;
    int observerId_ = -1;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;       // per column; -1 when the field is unknown
    int rows_ = 0;
};

} // namespace zarv::ui
