// The receiving screen's message list as the clerk reads it: what it says once a
// workbook is loaded, each line whole, the last one in view at any window size.
#include "verify_return_support.h"
#include "clerk.h"

#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QPushButton>

namespace zarv::test {
namespace {

class ReturnMessagesTest : public ReturnScreenTest {};

// A line's text as wide as its place in the list and as tall as the lines it
// wraps into: the list shows it whole.
QString cutLine(const QListWidget& list, int row)
{
    const QListWidgetItem* item = list.item(row);
    const QRect place = list.visualItemRect(item);
    const QRect text = list.fontMetrics().boundingRect(QRect(0, 0, place.width() - 4, 100000),
                                                       Qt::TextWordWrap, item->text());
    const QRect inView = list.viewport()->rect();
    if (text.width() > place.width() - 4 || text.height() > place.height() || place.bottom() > inView.bottom() ||
        place.top() < inView.top() || place.right() > inView.right())
        return QString::asprintf("line %d \"%s\": needs %dx%d, shown in %dx%d at %d..%d of %d", row + 1,
                                 qPrintable(item->text()), text.width(), text.height(), place.width(),
                                 place.height(), place.top(), place.bottom(), inView.height());
    return {};
}

TEST_F(ReturnMessagesTest, TheListEndsWithItsLastLineWholeAtEveryWindowSize)
{
    returned("MortNo1234.xlsx", nineReturnedRecords());
    Verify_Return& s = open();
    clerk::activate(&s);
    load("MortNo1234.xlsx");
    ui().reset();
    // The wait note goes once the load is over.
    EXPECT_FALSE(lines().contains("please wait...")) << lines().join('\n').toStdString();
    for (const QSize size : {QSize(1040, 754), QSize(1000, 700), QSize(900, 740), s.minimumSizeHint()}) {
        s.resize(size);
        clerk::wait();
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(s.width()).arg(s.height()).toStdString());
        const int last = s.List_Msg->count() - 1;
        ASSERT_GT(last, 3);
        EXPECT_EQ(cutLine(*s.List_Msg, last), QString());
        for (int row = 0; row < last; ++row) {
            s.List_Msg->scrollToItem(s.List_Msg->item(row));
            EXPECT_EQ(cutLine(*s.List_Msg, row), QString());
        }
        s.List_Msg->scrollToBottom();
    }
}

// A failure on opening is shown once, in the one failure box, and listed.
TEST_F(ReturnMessagesTest, AListThatCannotBeEmptiedIsShownAndListed)
{
    DE().rsVerify().close();
    DE().Zarv.execute("DROP TABLE VERIFY");
    ui().expectBox(criticalBox(ui::containing("Verify_Return.Form_Load Unexpected error")));
    open();
    EXPECT_TRUE(ui().allExpectationsMet());
    EXPECT_EQ(lines(), QStringList(
        "Error Verify_Return(Form_Load): the earlier verification list could not be emptied."));
}

} // namespace
} // namespace zarv::test
