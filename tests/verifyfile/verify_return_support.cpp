#include "verify_return_support.h"

#include "platform/data/recordset.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"
#include "verifyfile/verifiedfile.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>

namespace zarv::test {

void ReturnScreenTest::SetUp()
{
    DeTest::SetUp();
    email_ = QDir::cleanPath(path("email"));
    QDir().mkpath(email_);
    writeFile("zarv.ini", "[Receiving]\nVerifiedFolder=" + path("verified").toUtf8() +
                              "\nEmailFolder=" + email_.toUtf8() + "\n");
    fs::Settings::setFolder(folder());
    hadForcePdf_ = qEnvironmentVariableIsSet("ZARV_FORCE_PDF");
    savedForcePdf_ = qgetenv("ZARV_FORCE_PDF");
    qputenv("ZARV_FORCE_PDF", "1");
}

void ReturnScreenTest::TearDown()
{
    screen_.reset();
    fs::Settings::setFolder(QString());
    if (hadForcePdf_)
        qputenv("ZARV_FORCE_PDF", savedForcePdf_);
    else
        qunsetenv("ZARV_FORCE_PDF");
    DeTest::TearDown();
}

Verify_Return& ReturnScreenTest::open()
{
    screen_.reset();
    screen_ = std::make_unique<Verify_Return>();
    screen_->setReportTarget(ui::PdfTarget{reportFolder(), QStringLiteral("ErrorReport.pdf"), true});
    return *screen_;
}

QString ReturnScreenTest::returned(const QString& name, const Book& book)
{
    const QString p = QDir(email_).filePath(name);
    writeBook(p, book);
    return p;
}

void ReturnScreenTest::choose(const QString& name)
{
    screen_->File->refresh();
    screen_->File->setFileName(name);
    ASSERT_GE(screen_->File->listIndex(), 0) << name.toStdString() << " is not listed";
}

void ReturnScreenTest::load(const QString& name)
{
    choose(name);
    screen_->Command_OK->click();
}

QStringList ReturnScreenTest::lines() const
{
    QStringList out;
    for (int i = 0; i < screen_->List_Msg->count(); ++i)
        out << screen_->List_Msg->item(i)->text();
    return out;
}

std::vector<bool> ReturnScreenTest::selectedFileState() const
{
    const Verify_Return& s = *screen_;
    return {s.Frame_VerificationFile->isEnabled(), !s.Shape_VerificationFile->isHidden(),
            s.Command_Upload->isEnabled(), !s.TDBGrid_Verify->isHidden()};
}

QStringList ReturnScreenTest::errorMessageRows() const
{
    db::Recordset rs(&DE().ZarvDb, "SELECT * FROM ErrorMessage ORDER BY ErrorNumber", db::LockType::ReadOnly);
    rs.open();
    QStringList out;
    for (; !rs.eof(); rs.moveNext())
        out << rs.text("ErrorNumber") + "|" + rs.text("ErrorMsg");
    return out;
}

QStringList verifiedNumbers(const QByteArray& verified)
{
    QStringList numbers;
    for (const QByteArray& record : verified.split('\n')) {
        if (record.isEmpty())
            continue;
        EXPECT_EQ(record.size(), kVerifiedRecordLength + 1);     // with its CR
        numbers << QString::fromLatin1(record.mid(5, 12).trimmed());
    }
    EXPECT_TRUE(verified.endsWith("\r\n") || verified.isEmpty());
    return numbers;
}

Rows mortgageRows(const QStringList& cells)
{
    Rows rows{kMortgageHeadings};
    for (const QString& c : cells)
        rows.push_back(folioRow(c));
    return rows;
}

Book nineReturnedRecords()
{
    Book b{mortgageRows({
        " |1234|100|01|701|000000000000012345||ANNA BERG",
        "A|1234|101|03|704|99887766||PETER SMYTHE",
        "X|1234|102|01|701|111||STATUS X",
        " |1234|1234567890123456789012|01|701|222||LONG NUMBER",
        " |1234|104|01|999|333||NO SUCH JURISDICTION",
        "A|1234|105|||  |123456789|PID ONLY",
        " |1234|106|01|701|000000000000012345||REPEAT OF ROW 2",
        " |1234|107|||||NAME ONLY|SOME ADDRESS",
        " |1234|108|03|701|444||NO SUCH PAIR",
    })};
    addCodes(b, {{"01|NORTH", "03|SOUTH"}, {"701|WESTPORT", "704|EASTBAY"}, {"01|701", "03|704"}});
    return b;
}

} // namespace zarv::test
