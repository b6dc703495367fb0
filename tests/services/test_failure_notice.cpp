// Every failure reaches the clerk in one form: a refusal in its own plain
// words, anything else as "<where> Unexpected error # <n> occurred: ...".
#include "services/failurenotice.h"

#include "platform/data/dberror.h"
#include "env/testenv.h"

#include <functional>
#include <new>
#include <stdexcept>

namespace zarv::test {
namespace {

using FailureNoticeTest = DeTest;

TEST_F(FailureNoticeTest, EachKindOfFailureIsShownInItsOneForm)
{
    struct Case {
        const char* thrown;
        std::function<void()> raise;
        QString where;
        QString shown;     // the critical message
        QString detail;    // the same failure inside a message of its own
    };
    const QString eof = QStringLiteral("Either BOF or EOF is True, or the current record has been deleted.");
    const Case cases[] = {
        {"refusal", [] { throw Refusal(QStringLiteral("The year is missing."), QStringLiteral("Add it."), 3); },
         QStringLiteral("Verify_Numbers.setStatus"), QStringLiteral("Line 3: The year is missing.\n\nAdd it."),
         QStringLiteral("Line 3: The year is missing.\n\nAdd it.")},
        {"data error", [&] { throw db::DbError(db::DbError::BofOrEof, eof); }, QStringLiteral("Detail.Form_Load"),
         "Detail.Form_Load Unexpected error # 3021 occurred: " + eof, "Err# 3021 Description: " + eof},
        {"negative number", [] { throw db::DbError(db::DbError::DatabaseFailure, QStringLiteral("locked")); },
         QString(), QStringLiteral("Unexpected error #-2147467259 occurred: locked"),
         QStringLiteral("Err#-2147467259 Description: locked")},
        {"plain exception", [] { throw std::runtime_error("gone"); }, QStringLiteral("Group.Form_Load"),
         QStringLiteral("Group.Form_Load Unexpected error # 5 occurred: gone"),
         QStringLiteral("Err# 5 Description: gone")},
        {"out of memory", [] { throw std::bad_alloc(); }, QString(),
         QStringLiteral("Unexpected error # 7 occurred: Out of memory"),
         QStringLiteral("Err# 7 Description: Out of memory")},
    };
    for (const Case& c : cases) {
        ui().reset();
        ui().setBusy(true);
        ui().expectBox(box(c.shown, ui::Answer::OK, ui::Icon::Critical, ui::Buttons::OK, QStringLiteral("ZARV Data")));
        EXPECT_FALSE(Guarded(c.where, c.raise)) << c.thrown;
        QString detail;
        try {
            c.raise();
        } catch (const std::exception&) {
            detail = FailureDetail(currentFailure());
        }
        EXPECT_TRUE(ui().clean()) << c.thrown << ": " << ui().report().toStdString();
        EXPECT_FALSE(ui().busy()) << c.thrown;
        EXPECT_EQ(detail, c.detail) << c.thrown;
    }
    ui().reset();
    EXPECT_TRUE(Guarded(QStringLiteral("Group.Form_Load"), [] {}));
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();

    // The payment file load also names the step it stopped at; a refusal stays plain.
    const Failure plain{5, QStringLiteral("gone"), false};
    EXPECT_EQ(FailureNotice(QStringLiteral("Csv2Mdb"), plain, QStringLiteral("  9- 5")),
              QStringLiteral("Csv2Mdb Unexpected error # 5 Debug (  9- 5) occurred: gone"));
    const Failure refused{0, QStringLiteral("Line 3: no year"), true};
    EXPECT_EQ(FailureNotice(QStringLiteral("Csv2Mdb"), refused, QStringLiteral("  9")), refused.description);
}

} // namespace
} // namespace zarv::test
