// Writing the working tables back into the payment data file.
#include "paymentfile/fileerror.h"
#include "paymentfile/paymentfile.h"
#include "paymentfile/paymentformat.h"

#include "platform/data/criteria.h"
#include "platform/files/filesys.h"
#include "platform/files/textfile.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <map>
#include <optional>
#include <vector>

namespace zarv {

namespace {

using pf::FileError;

db::Recordset& opened(db::Recordset& rs)
{
    if (!rs.isOpen())
        rs.open();
    return rs;
}

// The filter on rsDetail that gives each group row, in the order of rsGroup,
// the payments its section writes; null for a section that writes none.
// A payment keeps the FILE_ID of the section it was loaded under. An agency
// with one section writes all of its payments there. Where an agency has
// several, each section writes those it holds, and the first also those that
// came from none of the others (added during the run, say): every payment is
// written once, under the section it came from.
std::vector<QString> sectionFilters(db::Recordset& group)
{
    std::vector<std::pair<QString, QString>> sections;   // MORTCO, FILE_ID
    if (group.recordCount() > 0) {
        for (group.moveFirst(); !group.eof(); group.moveNext())
            sections.emplace_back(group.text(QStringLiteral("MORTCO")), group.text(QStringLiteral("FILE_ID")));
    }
    // Keyed as the filter compares: without regard to letter case.
    std::map<QString, std::vector<size_t>> byAgency;
    for (size_t i = 0; i < sections.size(); ++i)
        byAgency[vb::UCase(sections[i].first)].push_back(i);

    std::vector<QString> filters(sections.size());
    for (const auto& [key, indexes] : byAgency) {
        const QString agency = QStringLiteral("MORTCO = ") + db::quoted(sections[indexes.front()].first);
        if (indexes.size() == 1) {
            filters[indexes.front()] = agency;
            continue;
        }
        // A FILE_ID met again within the agency (FILE_IDs repeat after 999
        // groups) belongs to the section where it was met first.
        QStringList owned{sections[indexes.front()].second};
        QString first = agency;
        for (size_t k = 1; k < indexes.size(); ++k) {
            const QString& id = sections[indexes[k]].second;
            if (owned.contains(id))
                continue;
            owned << id;
            filters[indexes[k]] = agency + QStringLiteral(" AND FILE_ID = ") + db::quoted(id);
            first += QStringLiteral(" AND FILE_ID <> ") + db::quoted(id);
        }
        filters[indexes.front()] = first;
    }
    return filters;
}

class Save {
public:
    Save(const QString& year, const QString& filePath, const QString& bakPath, SaveRun& run)
        : year_(year), filePath_(filePath), bakPath_(bakPath), run_(run)
    {
    }

    // The whole save; throws on any failure. Returns the payment total written.
    double run();
    // After a failure: drops the half-written temporary file and a pending edit.
    void abandon();
    // The digest of the file written.
    QByteArray digest() const { return out_.digest(); }

private:
    void backup();
    QString headerYear();
    void writeMasks();
    void writeGroup(db::Recordset& group, const QString& payments);
    void writePayments();
    void filterOnSection();
    void write(const QString& line);

    const QString& year_;
    const QString& filePath_;
    const QString& bakPath_;
    SaveRun& run_;
    fs::LineWriter out_;
    // Begun at the first row the save brings into its written form: such
    // changes stay only when the file is in place, so a failed save leaves
    // the tables as they were.
    std::optional<db::TransactionGuard> rowChanges_;
    double result_ = 0;
};

double Save::run()
{
    backup();
    if (!out_.open(filePath_))
        throw FileError(FileError::PathFileAccess, out_.errorString());

    write(pf::kHeader + headerYear());
    write(QString());
    write(pf::kMaskMarker);
    writeMasks();
    write(QString());

    db::Recordset& group = opened(DE().rsGroup());
    const std::vector<QString> filters = sectionFilters(group);
    if (group.recordCount() > 0) {
        size_t i = 0;
        for (group.moveFirst(); !group.eof(); group.moveNext())
            writeGroup(group, filters.at(i++));
    }
    if (!out_.commit())
        throw FileError(FileError::PathFileAccess, out_.errorString());
    if (rowChanges_)
        rowChanges_->commit();
    return result_;
}

// One line; the first line the disk refuses ends the save.
void Save::write(const QString& line)
{
    if (!out_.writeLine(line))
        throw FileError(FileError::PathFileAccess, out_.errorString());
}

// The old file goes to its backup name before anything else happens, and the
// copy is checked. Once per run; the first time, the file as the tax office
// sent it is also kept beside it (KeepReceivedCopy). Both are courtesies: when one cannot be made
// the file is still written, safely, so the run's edits are not lost, and the
// clerk is told once the save's outcome is known.
void Save::backup()
{
    if (run_.backupMade || run_.backupTried || !FileExists(filePath_))
        return;
    run_.backupTried = true;
    QString error;
    QString told;
    if (!KeepReceivedCopy(filePath_, &error, &told))
        run_.notes << QStringLiteral("The copy of the file as received, %1, could not be kept (%2).")
                          .arg(ReceivedCopyPath(filePath_), error);
    if (!told.isEmpty())
        run_.notes << told;
    error.clear();
    if (fs::copyReplace(filePath_, bakPath_, &error) && fs::sameBytes(filePath_, bakPath_)) {
        run_.backupMade = true;
        return;
    }
    if (error.isEmpty())
        error = QStringLiteral("the copy differs from the original");
    run_.notes << QStringLiteral("Its backup copy %1 could not be made (%2).").arg(bakPath_, error);
}

// The year passed wins, then the first mask row's year, then the current year.
QString Save::headerYear()
{
    QString y = pf::currentYearText();
    db::Recordset& mask = opened(DE().rsFol_Mask());
    if (mask.recordCount() > 0) {
        mask.moveFirst();
        const QString maskYear = mask.text(QStringLiteral("YEAR"));
        if (PaymentYearAccepted(maskYear))
            y = maskYear;
    }
    if (vb::Trim(year_).size() == 4)
        y = year_;
    return y;
}

void Save::writeMasks()
{
    db::Recordset& mask = opened(DE().rsFol_Mask());
    if (mask.recordCount() < 1)
        return;
    for (mask.moveFirst(); !mask.eof(); mask.moveNext()) {
        QString line = mask.text(QStringLiteral("JUR_CD")) + pf::folioLenText(mask.value(QStringLiteral("FOLIO_LEN"))) +
                       mask.text(QStringLiteral("FOLIO_MASK"));
        // A mask line is no line of fields: one holding another separator is
        // written in quotes, so that it cannot set the file's separator when
        // the file is read again (a file of masks only has no other line to
        // tell it).
        if (line.contains(u';') || line.contains(u'\t'))
            line = u'"' + line + u'"';
        write(line);
    }
}

// rsDetail restricted to the section's payments of strFilter, any earlier
// filter removed.
void Save::filterOnSection()
{
    db::Recordset& detail = opened(DE().rsDetail());
    detail.setFilter(QString());
    detail.setFilter(strFilter);
}

void Save::writeGroup(db::Recordset& group, const QString& payments)
{
    strFilter = payments;

    // The count and total are recounted from the payments written below.
    db::Recordset& detail = opened(DE().rsDetail());
    if (!payments.isNull())
        filterOnSection();
    long long count = 0;
    double total = 0;
    if (!payments.isNull() && detail.recordCount() > 0) {
        const int payment = detail.fieldIndex(QStringLiteral("PAYMENT"));
        for (detail.moveFirst(); !detail.eof(); detail.moveNext()) {
            total += detail.number(payment);
            ++count;
        }
    }

    write(pf::kGroupMarker);
    for (const pf::GroupLabel& label : pf::kGroupLabels) {
        write(QLatin1String(label.label) + QLatin1Char(',') +
                       group.text(QString::fromLatin1(label.field)));
    }
    write(pf::kCountLabel + vb::CStr(count));
    write(pf::kTotalLabel + pf::amountText(total));
    write(QString());
    write(pf::kDetailMarker);
    write(pf::kColumnHeaderLine);

    if (!payments.isNull()) {
        filterOnSection();
        writePayments();
    }

    write(QString());
    write(QString());
    detail.setFilter(QString());
    if (detail.recordCount() > 0)
        detail.moveFirst();
}

// The payments under the current filter of rsDetail, in its order. The five
// text fields are written in their written form; a row that does not hold them
// so yet is brought into it, so the line and the table agree (the next move
// saves the row). The load and the editors store them so already.
void Save::writePayments()
{
    static const QString kTextFields[] = {QStringLiteral("NUMBER"), QStringLiteral("NAME"), QStringLiteral("CD"),
                                          QStringLiteral("JUR"), QStringLiteral("LEGAL")};
    db::Recordset& detail = DE().rsDetail();
    if (detail.recordCount() < 1)
        return;
    // The fields by index, found once: a look-up by name for each value of
    // every payment is a good part of a large file's save.
    int text[5];
    for (int i = 0; i < 5; ++i)
        text[i] = detail.fieldIndex(kTextFields[i]);
    const auto field = [&detail](const char* name) { return detail.fieldIndex(QString::fromLatin1(name)); };
    const int folio = field("FOLIO"), abc = field("ABC"), payment = field("PAYMENT"), grossTax = field("GROSS_TAX"),
              regGrant = field("REG_GRANT"), addGrant = field("ADD_GRANT"), delq = field("DELQ");
    for (detail.moveFirst(); !detail.eof(); detail.moveNext()) {
        QString written[5];
        for (int i = 0; i < 5; ++i) {
            const QString stored = detail.text(text[i]);
            written[i] = pf::writtenText(stored);
            if (written[i] != stored) {
                if (!rowChanges_)
                    rowChanges_.emplace(DE().Zarv);
                detail.setValue(text[i], written[i]);
            }
        }
        const QString& jur = written[3];
        const double amount = detail.number(payment);
        write(pf::paymentLine(written[0], written[1], written[2], jur, pf::shownFolio(jur, detail.text(folio)), amount,
                              detail.text(abc), detail.number(grossTax), detail.number(regGrant),
                              detail.number(addGrant), detail.number(delq), written[4]));
        result_ += amount;
    }
}

void Save::abandon()
{
    out_.cancel();
    try {
        db::Recordset& detail = DE().rsDetail();
        if (detail.isOpen() && detail.editPending())
            detail.cancelUpdate();
    } catch (const std::exception&) {
        // Nothing more can be undone on the way out.
    }
    rowChanges_.reset();   // rolls the row changes back
}

} // namespace

SaveResult Mdb2Csv(const QString& year, const QString& filePath, const QString& bakPath, SaveRun& run)
{
    Save save(year, filePath, bakPath, run);
    Failure failure;
    try {
        const double total = save.run();
        WrittenByProgram(filePath, save.digest());
        if (!run.notes.isEmpty()) {
            ui::ui().msgBox(QStringLiteral("%1 is saved.").arg(filePath) + QStringLiteral("\r\n") +
                                run.notes.join(QStringLiteral("\r\n")),
                            ui::Buttons::OK, ui::Icon::Exclamation, QStringLiteral("ZARV Data Save"));
            run.notes.clear();
        }
        return {true, total};
    } catch (const std::exception&) {
        failure = currentFailure();
    }
    save.abandon();
    run.notes.clear();      // the file is as it was: nothing of it to tell
    // A file the disk refuses is no program fault: say what and where plainly.
    const QString what = failure.number == pf::FileError::PathFileAccess
                             ? QStringLiteral("%1 could not be saved: %2").arg(filePath, failure.description)
                             : FailureNotice(QString(), failure);
    ui::ui().msgBox(what + QStringLiteral("\r\n") + QStringLiteral("The file %1 is as it was.").arg(filePath),
                    ui::Buttons::OK, ui::Icon::Critical, QStringLiteral("ZARV Data Save"));
    return {false, 0};
}

SaveResult Mdb2Csv(const QString& year, const QString& filePath, const QString& bakPath)
{
    SaveRun run;
    return Mdb2Csv(year, filePath, bakPath, run);
}

} // namespace zarv
