#pragma once
// The data-bound grid: a table view over a RecordsetModel whose selected row and
// the recordset's current row follow each other. Selecting a row (click, keys)
// moves the recordset there; moving the recordset selects its row and scrolls to
// it. Whole rows are selected, one at a time; cells are not edited in place.
#include "platform/grid/recordsetmodel.h"
#include <QTableView>

namespace zarv::ui {

class RecordsetGrid : public QTableView {
    Q_OBJECT
public:
    explicit RecordsetGrid(QWidget* parent = nullptr);

    // Binds the grid to a recordset through a model the grid owns; returns it.
    RecordsetModel& bind(db::Recordset* recordset, std::vector<GridColumn> columns);
    // Binds the grid to a model kept elsewhere (not owned).
    void bind(RecordsetModel* model);
    RecordsetModel* recordsetModel() const { return model_; }

    // Reads the rows anew and selects the recordset's current row.
    void rebind();
    // The grid's current row (-1 when none).
    int currentRowIndex() const;
    // Makes every column wide enough for its heading, for a value of its
    // field's length and for the values of a sample of rows (never fewer pixels
    // than a width the column gives). Done by bind() and, widening only, after
    // the rows are read anew; the columns that outgrow the grid scroll sideways.
    void applyColumnWidths();
    // The width column c needs, in pixels.
    int columnWidthNeeded(int c);

signals:
    // The current row changed, whether the user or the recordset moved it.
    void rowChanged(int row);
    // A row was double-clicked; the recordset is already on it.
    void rowDoubleClicked(int row);
    // Enter was pressed on the current row. While nothing listens, Enter goes on
    // to the window (its default button).
    void rowEntered(int row);
    // Moving the recordset to the row the user chose failed (a pending change
    // refused by the database, for one); the grid stays on the recordset's row.
    void moveFailed(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void onViewRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void onRecordsetMoved(int row);
    void onDoubleClicked(const QModelIndex& index);
    void selectRow(int row);
    void followRecordset();
    void fitColumns(bool widenOnly);

    RecordsetModel* model_ = nullptr;
    RecordsetModel* owned_ = nullptr;
    QMetaObject::Connection modelMoved_;
    QMetaObject::Connection modelReset_;
    QMetaObject::Connection selectionMoved_;
    bool syncing_ = false;
    int lastRow_ = -1;
};

} // namespace zarv::ui
