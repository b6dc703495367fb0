#include "platform/grid/recordsetgrid.h"
#include "platform/data/recordset.h"
#include "platform/text/failure.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <exception>

namespace zarv::ui {

namespace {

// Moves the recordset to a row; the failure's text, or "" when it moved.
QString moveRecordset(db::Recordset& rs, int row)
{
    try {
        rs.moveToRow(row);
        return {};
    } catch (const std::exception&) {
        const Failure failure = currentFailure();
        return failure.description.isEmpty() ? QStringLiteral("Error %1").arg(failure.number) : failure.description;
    }
}

// The heading of a column as the header itself measures it: in the bold face of
// a highlighted section, with room for its margins.
class GridHeader : public QHeaderView {
public:
    explicit GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(true);
        setHighlightSections(true);
    }
    int headingWidth(int section) const { return sectionSizeFromContents(section).width(); }
};

// Columns are sized to the values of this many rows at most: the first half of
// them from the top, the rest spread evenly over the remaining rows.
constexpr int kSampleRows = 100;

std::vector<int> sampleRows(int rows)
{
    std::vector<int> out;
    const int head = std::min(rows, kSampleRows / 2);
    for (int r = 0; r < head; ++r)
        out.push_back(r);
    const int rest = rows - head;
    const int spread = std::min(rest, kSampleRows - head);
    for (int i = 0; i < spread; ++i)
        out.push_back(head + int(qint64(i) * rest / spread));
    return out;
}

// Draws the cells as usual and frames the current cell while the grid has the
// focus, whatever the style does (some draw no focus frame until a key was used).
class CurrentCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!(option.state & QStyle::State_HasFocus))
            return;
        const bool selected = option.state & QStyle::State_Selected;
        const QColor frame = option.palette.color(QPalette::Active, selected ? QPalette::HighlightedText
                                                                             : QPalette::Highlight);
        painter->save();
        painter->setPen(QPen(frame, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

} // namespace

RecordsetGrid::RecordsetGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setWordWrap(false);
    setHorizontalHeader(new GridHeader(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Tab and Shift+Tab go on to the screen's next and previous control; the
    // arrow keys move within the grid.
    setTabKeyNavigation(false);
    setItemDelegate(new CurrentCellDelegate(this));
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(this, &QAbstractItemView::doubleClicked, this, &RecordsetGrid::onDoubleClicked);
}

RecordsetModel& RecordsetGrid::bind(db::Recordset* recordset, std::vector<GridColumn> columns)
{
    auto* model = new RecordsetModel(recordset, std::move(columns), this);   // owned by the grid
    bind(model);
    owned_ = model;
    return *model;
}

void RecordsetGrid::bind(RecordsetModel* model)
{
    disconnect(modelMoved_);
    disconnect(modelReset_);
    disconnect(selectionMoved_);
    RecordsetModel* previous = owned_;
    owned_ = nullptr;
    model_ = model;
    setModel(model);
    if (previous && previous != model)
        previous->deleteLater();
    lastRow_ = -1;
    if (!model_)
        return;
    modelMoved_ = connect(model_, &RecordsetModel::currentRowChanged, this, &RecordsetGrid::onRecordsetMoved);
    modelReset_ = connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        fitColumns(true);
        followRecordset();
    });
    selectionMoved_ = connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                              &RecordsetGrid::onViewRowChanged);
    applyColumnWidths();
    followRecordset();
}

void RecordsetGrid::applyColumnWidths()
{
    fitColumns(false);
}

void RecordsetGrid::fitColumns(bool widenOnly)
{
    if (!model_)
        return;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int need = columnWidthNeeded(c);
        if (!widenOnly || need > columnWidth(c))
            setColumnWidth(c, need);
    }
}

int RecordsetGrid::columnWidthNeeded(int c)
{
    if (!model_ || c < 0 || c >= model_->columnCount())
        return 0;
    const GridColumn& column = model_->column(c);
    const int cellMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    int need = static_cast<GridHeader*>(horizontalHeader())->headingWidth(c);
    if (column.chars > 0)
        need = std::max(need, fontMetrics().horizontalAdvance(QString(column.chars, u'N')) + cellMargins);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int row : sampleRows(model_->rowCount())) {
        const QModelIndex index = model_->index(row, c);
        need = std::max(need, itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    return std::max(column.widthPixels(), showGrid() ? need + 1 : need);
}

void RecordsetGrid::rebind()
{
    if (model_)
        model_->rebind();       // the reset makes the grid follow the recordset
}

int RecordsetGrid::currentRowIndex() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void RecordsetGrid::followRecordset()
{
    if (model_)
        onRecordsetMoved(model_->currentRow());
}

void RecordsetGrid::selectRow(int row)
{
    const bool wasSyncing = syncing_;
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const int column = std::max(0, currentIndex().column());
        const QModelIndex target = model_->index(row, std::min(column, std::max(0, model_->columnCount() - 1)));
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(target);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    syncing_ = wasSyncing;
}

void RecordsetGrid::onRecordsetMoved(int row)
{
    if (!model_ || model_->columnCount() == 0)
        return;
    if (currentRowIndex() != row || (row >= 0 && !selectionModel()->isRowSelected(row, QModelIndex())))
        selectRow(row);
    if (row != lastRow_) {
        lastRow_ = row;
        emit rowChanged(row);
    }
}

void RecordsetGrid::onViewRowChanged(const QModelIndex& current, const QModelIndex&)
{
    if (syncing_ || !model_ || !model_->recordset() || !current.isValid())
        return;
    const int row = current.row();
    if (row != model_->currentRow()) {
        const QString error = moveRecordset(*model_->recordset(), row);
        if (!error.isEmpty()) {
            // Back to where the recordset stands; the caller decides what to tell.
            followRecordset();
            emit moveFailed(error);
            return;
        }
    }
    if (row != lastRow_) {
        lastRow_ = row;
        emit rowChanged(row);
    }
}

void RecordsetGrid::onDoubleClicked(const QModelIndex& index)
{
    if (!index.isValid() || !model_)
        return;
    if (currentRowIndex() != index.row())
        selectRow(index.row());
    if (model_->recordset() && model_->currentRow() != index.row()) {
        const QString error = moveRecordset(*model_->recordset(), index.row());
        if (!error.isEmpty()) {
            followRecordset();
            emit moveFailed(error);
            return;
        }
    }
    emit rowDoubleClicked(index.row());
}

void RecordsetGrid::keyPressEvent(QKeyEvent* e)
{
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (!enter || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier
        || !isSignalConnected(QMetaMethod::fromSignal(&RecordsetGrid::rowEntered))) {
        QTableView::keyPressEvent(e);
        return;
    }
    e->accept();
    const int row = currentRowIndex();
    if (row >= 0)
        emit rowEntered(row);
}

} // namespace zarv::ui
