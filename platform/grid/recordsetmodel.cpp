#include "platform/grid/recordsetmodel.h"
#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include <exception>

namespace zarv::ui {

RecordsetModel::RecordsetModel(db::Recordset* recordset, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
{
    columns_ = std::move(columns);
    setRecordset(recordset);
}

RecordsetModel::~RecordsetModel()
{
    if (rs_ && observerId_ >= 0)
        rs_->removeObserver(observerId_);
}

void RecordsetModel::setRecordset(db::Recordset* recordset)
{
    if (rs_ && observerId_ >= 0)
        rs_->removeObserver(observerId_);
    rs_ = recordset;
    observerId_ = -1;
    if (rs_)
        observerId_ = rs_->addObserver([this](db::Recordset::Event e) { onRecordsetEvent(static_cast<int>(e)); });
    rebind();
}

void RecordsetModel::resolveFields()
{
    fieldIndex_.assign(columns_.size(), -1);
    if (!rs_ || !rs_->isOpen())
        return;
    for (size_t c = 0; c < columns_.size(); ++c) {
        try {
            fieldIndex_[c] = rs_->fieldIndex(columns_[c].field);
        } catch (const std::exception&) {
            fieldIndex_[c] = -1;
        }
    }
}

int RecordsetModel::liveRowCount() const
{
    if (!rs_)
        return 0;
    try {
        return rs_->isOpen() ? std::max(0, rs_->rowCount()) : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

void RecordsetModel::rebind()
{
    beginResetModel();
    resolveFields();
    rows_ = liveRowCount();
    endResetModel();
    emit currentRowChanged(currentRow());
}

void RecordsetModel::onRecordsetEvent(int event)
{
    switch (static_cast<db::Recordset::Event>(event)) {
    case db::Recordset::Event::RowsChanged:
        rebind();
        return;
    case db::Recordset::Event::RowChanged:
        // An edited or added row: a count that moved needs the whole model again.
        if (liveRowCount() != rows_) {
            rebind();
        } else if (rows_ > 0 && !columns_.empty()) {
            emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
        }
        return;
    case db::Recordset::Event::CurrentChanged:
        if (liveRowCount() != rows_)
            rebind();          // also tells the view where the cursor is
        else
            emit currentRowChanged(currentRow());
        return;
    }
}

int RecordsetModel::currentRow() const
{
    if (!rs_)
        return -1;
    try {
        if (!rs_->isOpen())
            return -1;
        const int row = rs_->currentRow();
        return row >= 0 && row < rows_ ? row : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

qint64 RecordsetModel::bookmarkAt(int row) const
{
    if (!rs_ || row < 0 || row >= rows_)
        return -1;
    try {
        return rs_->bookmarkAt(row);
    } catch (const std::exception&) {
        return -1;
    }
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString RecordsetModel::plainText(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return vb::CStr(value.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return vb::CStr(value.toLongLong());
    default:
        return value.toString();
    }
}

QString RecordsetModel::cellText(int row, int column) const
{
    if (!rs_ || row < 0 || row >= rows_ || column < 0 || column >= columnCount())
        return {};
    const int field = fieldIndex_[static_cast<size_t>(column)];
    if (field < 0)
        return {};
    try {
        const QVariant value = rs_->valueAt(row, field);
        const GridColumn& col = columns_[static_cast<size_t>(column)];
        return col.format ? col.format(value, rs_->bookmarkAt(row)) : plainText(value);
    } catch (const std::exception&) {
        return {};
    }
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return static_cast<int>(columns_[static_cast<size_t>(index.column())].alignment.toInt());
    default:
        return {};
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn& col = columns_[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return col.heading;
    return {};
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace zarv::ui
