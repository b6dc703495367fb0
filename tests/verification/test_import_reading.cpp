// How the import reads a Verify.csv that a spreadsheet program saved: UTF-8
// with or without a byte-order mark, and the refusals of a file that cannot be
// read as the export's comma-separated lines, which name the line and cost no row.
#include "verification_support.h"

#include "platform/files/textfile.h"
#include "verification/verifyimport.h"
#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

using namespace zarv;
using namespace zarv::test;
using verifyimport::ImportVerifyCsv;
using verifyimport::kOption1;
using verifyimport::kOption2;

namespace {

class ImportReading : public VerificationTest {
protected:
    void SetUp() override
    {
        VerificationTest::SetUp();
        addCodes();
    }
    bool import(const QString& option) { return ImportVerifyCsv(option, csvPath(), {}); }
    // The list holds this one row, and rsVerify shows it.
    void listOnly(const QString& cells)
    {
        DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
        addVerify(cells);
        if (DE().rsVerify().isOpen())
            DE().rsVerify().requery();
    }
};

TEST_F(ImportReading, AUtf8FileWithOrWithoutAMarkKeepsItsAccentsWithEitherOption)
{
    const QString line = QStringLiteral("A,1234,M-1,01,701,1,,MU\u00D1OZ JOS\u00C9,R\u00DCE 5,,,,,\u0160T \u20AC");
    const QString row = QStringLiteral("A|1234|M-1|01|701|000000000000000001||MU\u00D1OZ JOS\u00C9|R\u00DCE 5||||"
                                       "|\u0160T \u20AC");
    const QByteArray files[] = {"\xEF\xBB\xBF" + line.toUtf8() + "\r\n", line.toUtf8() + "\n",
                                fs::encodeCp1252(line) + "\r\n"};
    for (const QString& option : {kOption1, kOption2}) {
        for (int f = 0; f < 3; ++f) {
            listOnly(" |1234|M-1|01|701|000000000000000001||OLD NAME");
            writeCsv(files[f]);
            if (option == kOption2)
                ui().expectBox(box(ui::containing("Replace the list?"), ui::Answer::Yes));
            EXPECT_TRUE(import(option)) << f;
            EXPECT_EQ(verifyRows(), QStringList{row}) << f;
        }
    }
}

TEST_F(ImportReading, AFileThatCannotBeReadAsTheExportsLinesIsRefusedNamingTheLineAndChangesNothing)
{
    const QByteArray good = "A,1234,M-1,01,701,1,,GOOD\r\n";
    const struct {
        QByteArray bytes;
        QStringList named;
    } cases[] = {
        // A character the program's files cannot hold, mark or no mark.
        {good + QStringLiteral("A,1234,M-2,01,701,2,,SNOW \u2603\r\n").toUtf8(),
         {QStringLiteral("line 2 holds \"\u2603\"")}},
        {"\xEF\xBB\xBF" + good + QStringLiteral("A,1234,M-2,01,701,2,,\u03A9MEGA\r\n").toUtf8(),
         {QStringLiteral("line 2 holds \"\u03A9\"")}},
        // A quote that opens a field and never closes.
        {good + "A,1234,M-2,01,701,2,,\"SMITH, JOHN,1 MAIN\r\n", {QStringLiteral("line 2")}},
        // Fields separated by something else than the comma.
        {"A;1234;M-1;01;701;1;;GOOD\r\nA;1234;M-2;01;701;2;;\"SMITH; JOHN\"\r\n",
         {QStringLiteral("semicolon"), QStringLiteral("comma")}},
        {"A\t1234\tM-1\t01\t701\t1\t\tGOOD\r\n", {QStringLiteral("Tab"), QStringLiteral("comma")}},
    };
    for (const QString& option : {kOption1, kOption2}) {
        for (const auto& c : cases) {
            listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
            writeCsv(c.bytes);
            ui().expectBox(ui::ExpectedBox{ui::containing(c.named.front()), ui::Answer::OK, ui::Icon::Critical, {}, {}});
            EXPECT_FALSE(import(option)) << c.bytes.toStdString();
            ASSERT_FALSE(ui().boxes().empty());
            for (const QString& part : c.named)
                EXPECT_TRUE(ui().boxes().back().prompt.contains(part)) << ui().boxes().back().prompt.toStdString();
            EXPECT_EQ(verifyRows(), QStringList{" |1234|M-9|01|701|000000000000000009||KEPT||||||"});
        }
    }
}

} // namespace
