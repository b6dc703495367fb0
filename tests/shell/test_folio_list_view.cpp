// What the clerk sees of the folio list without scrolling: its headings and
// its status line.
#include "shell_fixture.h"
#include "clerk.h"

#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"
#include "verification/screens/Verify_Numbers.h"
#include "verifyfile/verifyfile.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QStyleOptionHeader>

namespace zarv::test {
namespace {

class FolioListViewTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        QFile::copy(samplePath(QStringLiteral("MortNo1234.xlsx")), path(QStringLiteral("MortNo1234.xlsx")));
        Xls2Mdb(path(QStringLiteral("MortNo1234.xlsx")));
        ui().reset();
        ASSERT_GT(DE().rsVerify().recordCount(), 0);
        DE().rsVerify().moveFirst();
    }
};

// Where the header draws a heading's words, in the header's viewport.
QRect headingWords(QHeaderView* header, int section)
{
    QStyleOptionHeader opt;
    opt.initFrom(header);
    opt.rect = QRect(header->sectionViewportPosition(section), 0, header->sectionSize(section), header->height());
    opt.text = header->model()->headerData(section, Qt::Horizontal).toString();
    const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, header);
    const Qt::Alignment align = Qt::Alignment(
        header->model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
    return QStyle::alignedRect(header->layoutDirection(), align ? align : header->defaultAlignment(),
                               header->fontMetrics().size(0, opt.text), label);
}

// At every window size the list names its status column, shows every heading
// it starts to show (Name among them) in words, and keeps its status line whole.
TEST_F(FolioListViewTest, HeadingsAndStatusLineAreInViewAtEveryWindowSize)
{
    Verify_Numbers s;
    clerk::activate(&s);
    QHeaderView* header = s.TDBGrid->horizontalHeader();
    const QAbstractItemModel* model = s.TDBGrid->model();
    for (QRadioButton* size : s.Option_Window) {
        size->click();
        clerk::wait();
        const std::string at = size->text().toStdString();
        EXPECT_FALSE(model->headerData(0, Qt::Horizontal).toString().trimmed().isEmpty()) << at;
        bool nameSeen = false;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (header->sectionViewportPosition(c) >= header->viewport()->width())
                break;      // scrolled into view later, heading and all
            const QString heading = model->headerData(c, Qt::Horizontal).toString();
            nameSeen = nameSeen || heading == QStringLiteral("Name");
            EXPECT_LE(headingWords(header, c).right(), header->viewport()->width()) << at << ": " << heading.toStdString();
        }
        EXPECT_TRUE(nameSeen) << at;
        EXPECT_EQ(s.Text_Msg->visibleRegion().boundingRect(), s.Text_Msg->rect()) << at;
    }
}

} // namespace
} // namespace zarv::test
