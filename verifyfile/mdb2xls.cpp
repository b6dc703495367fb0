// Mdb2Xls: VERIFY and the four code tables into a new verification workbook.
// The old workbook is copied to its backup name and the copy checked before
// anything else happens; the new workbook is written to a temporary file that
// takes the old one's place only when it is complete.
#include "verifyfile/verifyfile.h"
#include "services/activitylog.h"

#include "verifyfile/verifylayout.h"

#include "platform/files/filesys.h"
#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "platform/workbook/workbookwriter.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/system.h"

#include <vector>

namespace zarv {

namespace {

namespace layout = verifylayout;
using layout::StepError;

// How a field's value becomes the text of its cell.
enum class Rule {
    PadCut,       // blanks appended, then cut to `width` characters
    Trimmed,      // leading and trailing blanks removed
    Collapsed,    // trimmed, each run of blanks reduced to one
    AsStored,
    FolioLength,  // the number's last two digits, "09" for 9
};

struct OutColumn {
    const char* field;
    Rule rule;
    int width;           // for PadCut
    const char* step;    // marker while the cell is written
};

struct OutSheet {
    const QString* name;
    const QStringList* headings;
    const QList<double>* widths;
    db::Recordset& (DataEnvironment::*recordset)();
    std::vector<const char*> addSteps;      // before the sheet is added
    const char* nameStep;
    const char* headingStep;
    const char* widthStep;
    const char* openTest;
    const char* open;
    const char* filter;
    const char* first;
    std::vector<OutColumn> columns;
    const char* nextStep;                   // moving to the next record
    const char* afterRecord;                // nullptr for none
    std::vector<const char*> afterSheet;
    int checkOffFirst;                      // columns whose "number stored as text"
    int checkOffLast;                       // check is switched off; 0 for none
};

const std::vector<OutSheet>& outSheets()
{
    static const std::vector<OutSheet> sheets = {
        {&layout::kMortgageSheet, &layout::kMortgageHeadings, &layout::kMortgageWidths, &DataEnvironment::rsVerify,
         {"9", "10 Start Excel"}, "11 Create the Mortgage Tab", "11 Create the Mortgage Tab",
         "11 Create the Mortgage Tab", "12", "12a", "12b", "13",
         {{"ACD", Rule::PadCut, 1, "14"},
          {"MORTCO", Rule::PadCut, 4, "15"},
          {"NUMBER", Rule::Trimmed, 0, "16"},
          {"CD", Rule::PadCut, 2, "18"},
          {"JUR", Rule::PadCut, 3, "20"},
          {"FOLIO", Rule::Trimmed, 0, "22"},
          {"PID", Rule::Trimmed, 0, "24"},
          {"NAME", Rule::Collapsed, 0, "26"},
          {"ADDR1", Rule::Collapsed, 0, "27"},
          {"ADDR2", Rule::Collapsed, 0, "28"},
          {"ADDR3", Rule::Collapsed, 0, "29"},
          {"ADDR4", Rule::Collapsed, 0, "30"},
          {"ADDR5", Rule::Collapsed, 0, "31"},
          {"LEGAL", Rule::Collapsed, 0, "32"}},
         "33", nullptr, {"34", "35"}, 3, 7},
        {&layout::kFolioMaskSheet, &layout::kFolioMaskHeadings, &layout::kFolioMaskWidths,
         &DataEnvironment::rsFol_Mask, {"40 Work on the Folio Mask Tab"}, "41", "41", "41", "42", "43", "44", "45",
         {{"JUR_CD", Rule::AsStored, 0, "46"},
          {"FOLIO_LEN", Rule::FolioLength, 0, "48"},
          {"FOLIO_MASK", Rule::AsStored, 0, "50"}},
         "51", nullptr, {"52"}, 1, 2},
        {&layout::kDistrictSheet, &layout::kDistrictHeadings, &layout::kDistrictWidths,
         &DataEnvironment::rsCollection_District, {"60 Work on the Collection District Tab"},
         "60 Work on the Collection District Tab", "60 Work on the Collection District Tab",
         "60 Work on the Collection District Tab", "61", "62", "63", "64",
         {{"Collection_District_Code", Rule::PadCut, 2, "65"},
          {"Collection_District_Name", Rule::Trimmed, 0, "67"}},
         "68", "69", {}, 1, 1},
        {&layout::kJurisdictionSheet, &layout::kJurisdictionHeadings, &layout::kJurisdictionWidths,
         &DataEnvironment::rsJurisdiction, {"80 Work on the Jurisdiction Tab"}, "81", "81", "81", "82", "83", "84",
         "85",
         {{"Jurisdiction_Code", Rule::PadCut, 3, "87"}, {"Jurisdiction_Name", Rule::Trimmed, 0, "89"}},
         "90", "91", {"92"}, 1, 1},
        {&layout::kComboSheet, &layout::kComboHeadings, &layout::kComboWidths, &DataEnvironment::rsCD_JUR,
         {"100 Work on the Collection / Jurisdiction Combo Tab"}, "101", "102", "104", "107", "108", "109", "110",
         {{"Collection_District_Code", Rule::PadCut, 2, "111"}, {"Jurisdiction_Code", Rule::PadCut, 3, "113"}},
         "115", "116", {}, 1, 2},
    };
    return sheets;
}

QString cellText(const QVariant& value, Rule rule, int width)
{
    if (rule == Rule::FolioLength) {
        // A Null or a text that is no number counts as 0.
        const double n = value.isNull() ? 0 : value.toDouble();
        return vb::Right(QStringLiteral("00") + vb::Trim(vb::Str(n)), 2);
    }
    const QString text = value.isNull() ? QString() : value.toString();
    switch (rule) {
    case Rule::PadCut:
        return vb::Left(text + RepeatString(QStringLiteral(" "), width), width);
    case Rule::Trimmed:
        return vb::Trim(text);
    case Rule::Collapsed:
        return CollapseSpaces(text);
    case Rule::AsStored:
    case Rule::FolioLength:
        break;
    }
    return text;
}

class Write {
public:
    explicit Write(bool backUp) : backUp_(backUp) {}
    bool run(const QString& FileName);

private:
    void backUp(const QString& FileName, const QString& backupName);
    void writeSheet(const OutSheet& sheet);
    void writeRows(const OutSheet& sheet, db::Recordset& rs);
    void check(bool ok);
    void step(const char* marker) { strStep = QString::fromLatin1(marker); }

    bool backUp_;
    QString strStep;
    xl::WorkbookWriter writer_;
};

bool Write::run(const QString& FileName)
{
    Failure failure;
    try {
        step("4");
        const QString backupName = BackupNameFor(FileName);
        step("5");
        const bool hadWorkbook = FileExists(FileName);
        if (hadWorkbook && backUp_)
            backUp(FileName, backupName);
        step("6");
        if (!writer_.create(FileName))
            throw StepError(StepError::FileAccess, writer_.errorText());
        for (const OutSheet& sheet : outSheets())
            writeSheet(sheet);
        step("117");
        step("121");
        if (!writer_.save())
            throw StepError(StepError::FileAccess, writer_.errorText());
        step("123");
        // Without a workbook to copy, an older backup does not belong to this one.
        if (backUp_ && !hadWorkbook && FileExists(backupName))
            fs::removeFile(backupName);
        step("125");
        ui::ui().doEvents();
        return true;
    } catch (const std::exception&) {
        failure = currentFailure();
    }
    writer_.discard();
    // What went wrong leads; the step number follows for support.
    ui::ui().msgBox(failure.description + QStringLiteral("\r\n(write step ") + strStep + QLatin1Char(')'),
                    ui::Buttons::OK, ui::Icon::Critical);
    return false;
}

// The workbook is replaced only once an identical copy of it stands under the
// backup name; a copy that fails leaves the older backup as it was.
void Write::backUp(const QString& FileName, const QString& backupName)
{
    step("7");
    QString why;
    if (!fs::copyReplace(FileName, backupName, &why)) {
        throw StepError(StepError::FileAccess, QStringLiteral("The backup copy %1 could not be made: %2")
                                                   .arg(backupName, why));
    }
    if (!fs::sameBytes(FileName, backupName)) {
        throw StepError(StepError::FileAccess,
                        QStringLiteral("The backup copy %1 does not match the workbook").arg(backupName));
    }
}

void Write::check(bool ok)
{
    if (!ok)
        throw StepError(StepError::WorkbookFailure, writer_.errorText());
}

void Write::writeSheet(const OutSheet& sheet)
{
    for (const char* s : sheet.addSteps)
        step(s);
    step(sheet.nameStep);
    check(writer_.addSheet(*sheet.name));
    step(sheet.headingStep);
    check(writer_.writeHeadings(*sheet.headings));
    step(sheet.widthStep);
    check(writer_.setColumnWidths(*sheet.widths));

    db::Recordset& rs = (DE().*sheet.recordset)();
    step(sheet.openTest);
    if (rs.state() == 0) {
        step(sheet.open);
        rs.open();
    }
    writeRows(sheet, rs);
    for (const char* s : sheet.afterSheet)
        step(s);
}

void Write::writeRows(const OutSheet& sheet, db::Recordset& rs)
{
    step(sheet.filter);
    rs.setFilter(QString());
    std::vector<int> fields;
    for (const OutColumn& column : sheet.columns) {
        const int at = rs.fieldIndex(QString::fromLatin1(column.field));
        if (at < 0) {
            throw db::DbError(db::DbError::ItemNotFound,
                              QStringLiteral("Item cannot be found in the collection corresponding to the "
                                             "requested name or ordinal: %1")
                                  .arg(QString::fromLatin1(column.field)));
        }
        fields.push_back(at);
    }
    int row = 1;
    if (rs.recordCount() > 0) {
        step(sheet.first);
        rs.moveFirst();
        while (!rs.eof()) {
            ++row;
            if (row > xl::WorkbookWriter::kMaxRows) {
                step(sheet.columns.front().step);
                throw StepError(StepError::Overflow,
                                QStringLiteral("Overflow: the sheet \"%1\" holds at most %2 records")
                                    .arg(*sheet.name)
                                    .arg(xl::WorkbookWriter::kMaxRows - 1));
            }
            for (size_t k = 0; k < sheet.columns.size(); ++k) {
                const OutColumn& column = sheet.columns[k];
                step(column.step);
                check(writer_.writeCell(row, int(k) + 1, cellText(rs.value(fields[k]), column.rule, column.width)));
            }
            step(sheet.nextStep);
            rs.moveNext();
            if (sheet.afterRecord)
                step(sheet.afterRecord);
        }
    }
    if (sheet.checkOffFirst > 0 && row >= 2)
        check(writer_.ignoreNumberStoredAsText({2, sheet.checkOffFirst, row, sheet.checkOffLast}));
}

} // namespace

bool Mdb2Xls(const QString& FileName)
{
    return LogOutcome(Write(true).run(FileName), FileName, QStringLiteral("saved"), QStringLiteral("not saved"), [] { return LoggedRows(DE().Zarv, QStringLiteral("VERIFY"), QStringLiteral("folios")); });
}

bool Mdb2XlsWithoutBackup(const QString& FileName)
{
    return LogOutcome(Write(false).run(FileName), FileName, QStringLiteral("saved"), QStringLiteral("not saved"), [] { return LoggedRows(DE().Zarv, QStringLiteral("VERIFY"), QStringLiteral("folios")); });
}

} // namespace zarv
