#include "../data/dbfixture.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/grid/recordsetmodel.h"
#include <QApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace zarv::ui;
using zarv::db::Recordset;

namespace {

constexpr int kRows = 40;

// The rows a grid signal carried, in order.
std::vector<int> rowsOf(const QSignalSpy& spy)
{
    std::vector<int> rows;
    for (const QList<QVariant>& arguments : spy)
        rows.push_back(arguments.at(0).toInt());
    return rows;
}

QString valueList(const QVariant& v)
{
    const QString code = v.toString();
    if (code == QLatin1String("A"))
        return QStringLiteral("Add");
    if (code == QLatin1String("B"))
        return QStringLiteral("Regular");
    return QStringLiteral("Other");
}

// NAME "Owner 00" .. "Owner 39"; every fourth row belongs to agency 0001.
class GridTest : public zarv::db::test::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        conn.execute(QStringLiteral("CREATE TABLE Owners (MORTCO TEXT NOT NULL DEFAULT '', "
                                    "NAME TEXT NOT NULL DEFAULT '', ABC TEXT NOT NULL DEFAULT '', "
                                    "PAYMENT REAL NOT NULL DEFAULT 0)"));
        for (int i = 0; i < kRows; ++i) {
            conn.execute(QStringLiteral("INSERT INTO Owners VALUES ('%1', 'Owner %2', '%3', %4.5)")
                             .arg(i % 4 == 0 ? "0001" : "0002")
                             .arg(i, 2, 10, QLatin1Char('0'))
                             .arg(QChar(u"ABC"[i % 3]))
                             .arg(1000 + i));
        }
        rs_ = std::make_unique<Recordset>(&conn, QStringLiteral("SELECT * FROM Owners ORDER BY NAME"));
        rs_->open();
    }
    void TearDown() override
    {
        grid_.reset();        // the grid and its model go before the recordset
        rs_.reset();
    }

    std::vector<GridColumn> columns()
    {
        std::vector<GridColumn> cols;
        cols.push_back({QStringLiteral("NAME"), QStringLiteral("Name of Owner"), 3000, true, {}});
        cols.push_back({QStringLiteral("ABC"), QStringLiteral("Type"), 60, false,
                        [this](const QVariant& v, qint64 bookmark) {
                            bookmarks_.push_back(bookmark);
                            return valueList(v);
                        }});
        cols.push_back({QStringLiteral("PAYMENT"), QStringLiteral("Payment"), 0, false, {},
                        Qt::AlignRight | Qt::AlignVCenter});
        return cols;
    }

    RecordsetGrid& grid()
    {
        if (!grid_) {
            grid_ = std::make_unique<RecordsetGrid>();
            grid_->bind(rs_.get(), columns());
            grid_->resize(400, 120);
            grid_->show();
        }
        return *grid_;
    }

    std::unique_ptr<Recordset> rs_;
    std::unique_ptr<RecordsetGrid> grid_;
    std::vector<qint64> bookmarks_;
};

} // namespace

TEST_F(GridTest, ShowsTheRowsWithHeadingsWidthsAndFormatsAndEditsAsMade)
{
    RecordsetModel& model = *grid().recordsetModel();
    ASSERT_EQ(model.rowCount(), kRows);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name of Owner"));
    EXPECT_EQ(grid().columnWidth(0), 200);                 // 3000 twips
    EXPECT_GE(grid().columnWidth(1), 60);                  // at least; wider for its heading and values

    EXPECT_EQ(model.data(model.index(7, 0)).toString(), QStringLiteral("Owner 07"));
    EXPECT_EQ(model.data(model.index(7, 2)).toString(), QStringLiteral("1007.5"));
    EXPECT_EQ(model.data(model.index(7, 2), Qt::TextAlignmentRole).toInt(),
              static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));

    // The value list of the type column, told which row it formats.
    const struct {
        int row;
        const char* text;
    } types[] = {{0, "Add"}, {1, "Regular"}, {2, "Other"}, {3, "Add"}};
    for (const auto& t : types) {
        bookmarks_.clear();
        EXPECT_EQ(model.data(model.index(t.row, 1)).toString(), QString::fromLatin1(t.text));
        ASSERT_EQ(bookmarks_.size(), 1u);
        EXPECT_EQ(bookmarks_[0], rs_->bookmarkAt(t.row));
    }

    // An edited row shows its new value.
    rs_->moveToRow(3);
    rs_->setValue(QStringLiteral("NAME"), QStringLiteral("Changed Owner"));
    rs_->update();
    EXPECT_EQ(model.cellText(3, 0), QStringLiteral("Changed Owner"));
    EXPECT_EQ(model.rowCount(), kRows);
}

TEST_F(GridTest, PaintingRunsNoQuery)
{
    grid();
    int statements = 0;
    sqlite3_trace_v2(
        conn.handle(), SQLITE_TRACE_STMT,
        [](unsigned, void* count, void*, void*) {
            ++*static_cast<int*>(count);
            return 0;
        },
        &statements);
    grid().grab();
    const RecordsetModel& model = *grid().recordsetModel();
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            model.data(model.index(r, c));
    sqlite3_trace_v2(conn.handle(), 0, nullptr, nullptr);
    EXPECT_EQ(statements, 0);
}

TEST_F(GridTest, SelectingARowMovesTheRecordset)
{
    QSignalSpy changed(&grid(), &RecordsetGrid::rowChanged);
    grid().selectionModel()->setCurrentIndex(grid().model()->index(5, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(rs_->currentRow(), 5);
    EXPECT_EQ(rs_->text(QStringLiteral("NAME")), QStringLiteral("Owner 05"));
    EXPECT_EQ(rowsOf(changed), std::vector<int>{5});

    // A double click lands the recordset on the row before the signal goes out.
    QSignalSpy doubled(&grid(), &RecordsetGrid::rowDoubleClicked);
    int rowAtSignal = -1;
    QObject::connect(&grid(), &RecordsetGrid::rowDoubleClicked, [&](int) { rowAtSignal = rs_->currentRow(); });
    emit grid().doubleClicked(grid().model()->index(9, 1));
    EXPECT_EQ(rowsOf(doubled), std::vector<int>{9});
    EXPECT_EQ(rowAtSignal, 9);
    EXPECT_EQ(grid().currentRowIndex(), 9);
}

TEST_F(GridTest, MovingTheRecordsetSelectsAndShowsTheRow)
{
    QSignalSpy changed(&grid(), &RecordsetGrid::rowChanged);
    rs_->moveLast();
    EXPECT_EQ(grid().currentRowIndex(), kRows - 1);
    const QModelIndexList selected = grid().selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), kRows - 1);
    EXPECT_TRUE(grid().viewport()->rect().intersects(grid().visualRect(grid().model()->index(kRows - 1, 0))));
    EXPECT_EQ(rowsOf(changed), std::vector<int>{kRows - 1});

    // Find goes forward from the last row: past the end, the grid has no row.
    rs_->find(QStringLiteral("NAME = 'Owner 12'"));
    ASSERT_TRUE(rs_->eof());
    EXPECT_EQ(grid().currentRowIndex(), -1);
    EXPECT_TRUE(grid().selectionModel()->selectedRows().isEmpty());
    rs_->moveFirst();
    rs_->find(QStringLiteral("NAME = 'Owner 12'"));
    EXPECT_EQ(grid().currentRowIndex(), 12);
}

// The current row and, while the grid has the focus, its current cell stand out.
TEST_F(GridTest, ItsCurrentRowAndCellStandOutWhileFocused)
{
    QApplication::setActiveWindow(&grid());
    grid_->setFocus();
    grid_->selectionModel()->setCurrentIndex(grid_->model()->index(2, 1),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCoreApplication::processEvents();

    // Cells of the current row (the current one, another one) and of another row.
    const QImage shot = grid_->viewport()->grab().toImage();
    const auto colourIn = [&](int row, int column) {
        const QRect r = grid_->visualRect(grid_->model()->index(row, column));
        return shot.pixelColor(r.center().x(), r.top() + 1);
    };
    EXPECT_NE(colourIn(2, 0), colourIn(3, 0)) << "the current row is not marked";
    const QRect cell = grid_->visualRect(grid_->model()->index(2, 1));
    const QRect other = grid_->visualRect(grid_->model()->index(2, 2));
    // Along the top edge of the current cell, most pixels stand out clearly from
    // the same pixels of another cell of the row.
    const auto clearlyApart = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 96;
    };
    const int width = std::min(cell.width(), other.width()) - 6;
    int marked = 0;
    for (int x = 3; x < 3 + width; ++x) {
        for (int y = 0; y < 3; ++y) {
            if (clearlyApart(shot.pixelColor(cell.left() + x, cell.top() + y),
                             shot.pixelColor(other.left() + x, other.top() + y))) {
                ++marked;
                break;
            }
        }
    }
    EXPECT_GT(marked, width / 2) << "the current cell is not marked";
}
