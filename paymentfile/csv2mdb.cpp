// Loading the payment data file into the working tables.
#include "paymentfile/fileerror.h"
#include "paymentfile/paymentfile.h"
#include "paymentfile/paymentformat.h"

#include "platform/data/criteria.h"
#include "platform/data/dberror.h"
#include "platform/files/csvfile.h"
#include "platform/files/intake.h"
#include "platform/text/csv.h"
#include "platform/text/amounttext.h"
#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/failurenotice.h"
#include "services/dataenvironment.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace zarv {

namespace {

using pf::FileError;

enum class Section { None, Header, Mask, Group, Payments };

// Stands for the step that commits a new payment (see Load::marker()).
const QString kCommitStep = QStringLiteral("  9-12 commit");

// The mask section's marker is the whole line; a spreadsheet program may have
// added commas (and blanks) after it.
bool isMaskMarker(QStringView line)
{
    if (!line.startsWith(pf::kMaskMarker))
        return false;
    return csv::isBlankLine(line.mid(pf::kMaskMarker.size()));
}

// Within the load's own transaction, the rows go with it when the load is
// given up.
void emptyTable(db::Recordset& rs, const QString& statement)
{
    if (rs.recordCount() < 1)
        return;
    const bool own = !DE().Zarv.inTransaction();
    if (own)
        DE().Zarv.beginTrans();
    DE().Zarv.execute(statement);
    if (own)
        DE().Zarv.commitTrans();
    rs.requery();
    ui::ui().doEvents();
}

// Reopens a table's recordset so that it shows the table as it stands, unfiltered.
void reopen(db::Recordset& rs)
{
    if (rs.isOpen())
        rs.close();
    rs.open();
    if (!rs.filter().isEmpty())
        rs.setFilter(QString());
}

// A text already in its written form, cut to the width of its column.
QString cut(const QString& s, int width)
{
    return s.size() > width ? pf::writtenText(QStringView(s).left(width)) : s;
}

using csv::isBlankLine;

// How many findings of one kind the intake screen lists; the rest are counted.
constexpr int kFindingsNamed = 200;

// The fields of a payment line.
constexpr int kPaymentFields = 12;

using Finding = fs::IntakeFinding;

// What a group section says of itself and what its payment lines hold.
struct GroupTally {
    int markerLine = 0;
    QString group, mortco;
    int countLine = 0, totalLine = 0;   // 0: the section states no such figure
    QString countText, totalText;
    long long lines = 0;
    double sum = 0;

    bool countDiffers() const { return countLine > 0 && vb::Val(countText) != double(lines); }
    // Each line's amount may have been rounded to the cent after the total was
    // summed (the writer sums the amounts as stored): half a cent per line.
    bool totalDiffers() const
    {
        if (totalLine == 0)
            return false;
        const std::optional<double> stated = txt::ReadAmount(QStringView(totalText).trimmed());
        return !stated || std::fabs(*stated - sum) > 0.005 * double(lines + 1) + 1e-9;
    }
};

QString quotedText(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// One load of one file: the working state the steps share.
class Load {
public:
    explicit Load(const QString& path) : path_(path) {}

    // The whole load; throws on any failure. False for a missing or empty file,
    // for a refused year and when the clerk chose to stop (end() tells which).
    bool run();
    LoadEnd end() const { return end_; }
    // After a failure: gives back what the load holds, ignoring further errors;
    // after a refusal, also what it stored.
    void abandon(bool refused);

    QString marker() const;

private:
    void emptyTables();
    void readFirstLine();
    void readLines();
    bool nextLine(QString& line);
    void refuseUnreadable();
    void dispatch(const QString& raw);
    void maskLine(const QString& line);
    void addMaskRow(const QString& jurCd, double folioLen, const QString& mask);
    void startGroup();
    void groupLine(const QString& line);
    void recountGroup();
    void paymentLine(const QString& line);
    void storePayment(const pf::PaymentFields& p, const QString& mortco);
    void keepRepeat(const pf::PaymentFields& p, const QString& mortco);
    void noteCut(const char* field, const QString& asRead, const QString& asStored);
    void note(Finding finding);
    // The line's fields; a refusal naming the line when it holds more than a
    // payment's (or fewer, unless allowed).
    QStringList fieldCount(const QString& line, bool fewerAllowed) const;
    QString extraFieldsPlaced(const QString& line);
    QString decimalPoints(const QString& line);
    void noteCounts();
    bool reviewed();
    bool finish();
    void reportUnshownFolios();
    void releaseClone();
    void discard();

    QString path_;
    QString marker_;
    // The step that commits a new payment names the payment; its text is put
    // together only when it is shown.
    QString committingFolio_, committingName_;
    QString workingYear_ = pf::currentYearText();
    QString refusedYear_;
    Section section_ = Section::None;
    bool firstGroup_ = true;
    bool stop_ = false;
    bool masksRead_ = false;   // the file itself gave at least one mask line
    int lineNumber_ = 0;       // of the line last read
    LoadEnd end_ = LoadEnd::Missing;
    // The year of the header, stored only once the whole file is loaded.
    QString yearToStore_;
    // The group section in hand: its FILE_ID, which each of its payments keeps
    // so that a save writes it under the same section again.
    QString fileId_;
    std::vector<GroupTally> groups_;
    // What the load decided about the file, shown before it is kept.
    fs::Intake intake_;
    long long noted_[8] = {};   // findings of each kind
    // The first payment line whose amounts have a decimal comma, and a point.
    int commaLine_ = 0, pointLine_ = 0;
    QString plainStorage_;
    // Jurisdictions with a folio their mask cannot show (it is shown plain).
    QStringList plainFolioJurs_;
    // The Detail fields a payment sets, found once: a look-up by name for each
    // value of every payment is a good part of a large file's load.
    struct DetailFields {
        int mortco = -1, fileId = -1, number = -1, name = -1, cd = -1, jur = -1, folio = -1, grossTax = -1,
            regGrant = -1, addGrant = -1, delq = -1, legal = -1, abc = -1, payment = -1, folioDisp = -1;
    } detailFields_;
    fs::CsvReader file_;
    std::unique_ptr<db::Recordset> rsDetailClone_;
};

QString Load::marker() const
{
    if (marker_ != kCommitStep)
        return marker_;
    return QStringLiteral(" FOLIO # = ") + committingFolio_ + QStringLiteral(" & NAME = '") +
           vb::Trim(committingName_) +
           QStringLiteral("' Check for DUPLICATE PAYMENTS. Payments must be unique by Name, Collection District, "
                          "Jurisdiction, and Folio Number. Easiest thing is to make the second payments NAME "
                          "different. ");
}

bool Load::run()
{
    marker_ = QStringLiteral("  1");
    ResetDupFolios();
    ui::ui().doEvents();

    // The tables are emptied and filled in one transaction: a load the clerk
    // cancels on the intake screen leaves them as they were.
    DE().Zarv.beginTrans();
    emptyTables();

    marker_ = QStringLiteral("  1-18");
    if (!FileExists(path_)) {
        DE().Zarv.commitTrans();
        releaseClone();
        return false;
    }
    end_ = LoadEnd::Failed;
    marker_ = QStringLiteral("  1-19");
    if (!file_.open(path_, fs::CsvReader::Split::ByCaller))
        throw FileError(FileError::PathFileAccess, file_.errorString());
    refuseUnreadable();
    intake_.path = QDir::toNativeSeparators(QFileInfo(path_).absoluteFilePath());
    intake_.writtenBack = fs::taxOfficeForm();
    for (const Finding& f : file_.findings())
        note(f);
    readFirstLine();
    readLines();
    refuseUnreadable();
    return finish();
}

void Load::emptyTables()
{
    db::Recordset& detail = DE().rsDetail();
    marker_ = QStringLiteral("  1-1");
    if (!detail.isOpen())
        detail.open();
    marker_ = QStringLiteral("  1-2");
    detail.setFilter(QString());
    if (detail.recordCount() > 0) {
        marker_ = QStringLiteral("  1-6");
        DE().Zarv.execute(QStringLiteral("DELETE FROM Detail"));
        marker_ = QStringLiteral("  1-8");
        detail.requery();
        marker_ = QStringLiteral("  1-9");
        ui::ui().doEvents();
    }
    const auto field = [&detail](const char* name) { return detail.fieldIndex(QString::fromLatin1(name)); };
    detailFields_ = {field("MORTCO"),    field("FILE_ID"),   field("NUMBER"),    field("NAME"),
                     field("CD"),        field("JUR"),       field("FOLIO"),     field("GROSS_TAX"),
                     field("REG_GRANT"), field("ADD_GRANT"), field("DELQ"),      field("LEGAL"),
                     field("ABC"),       field("PAYMENT"),   field("FOLIO_DISP")};
    // A second cursor over the same rows: a payment stored through rsDetail is
    // seen by the repeat test at once.
    marker_ = QStringLiteral("  1-11");
    rsDetailClone_ = detail.clone();
    ui::ui().doEvents();

    db::Recordset& group = DE().rsGroup();
    marker_ = QStringLiteral("  1-13");
    reopen(group);
    marker_ = QStringLiteral("  1-14");
    emptyTable(group, QStringLiteral("DELETE * FROM \"Group\" "));

    db::Recordset& mask = DE().rsFol_Mask();
    marker_ = QStringLiteral("  1-16");
    reopen(mask);
    marker_ = QStringLiteral("  1-17");
    emptyTable(mask, QStringLiteral("DELETE FROM Fol_Mask"));
}

// Line 1, as read (its quotes kept): the header with the file's year, or
// dropped. It is never a marker or data.
void Load::readFirstLine()
{
    QString raw;
    QStringView line;
    // Blank lines before the header are passed over.
    for (;;) {
        if (!file_.readLine(raw))
            return;
        lineNumber_ = file_.lineNumber();
        line = pf::plainLine(raw, plainStorage_);
        if (!isBlankLine(line))
            break;
        note({Finding::Kind::SkippedLine, lineNumber_, {}, {},
              QStringLiteral("A blank line before the header line is passed over.")});
    }
    if (!line.startsWith(pf::kHeader)) {
        throw Refusal(QStringLiteral("The file does not begin with the payment file's header line \"%1\" and "
                                     "its year; its first line reads %2.")
                          .arg(pf::kHeader + QStringLiteral("YYYY"), quotedText(raw)),
                      QStringLiteral("Choose the payment data file the tax office sent, or put its header line "
                                     "back at the top of the file, and load it again."),
                      lineNumber_);
    }
    section_ = Section::Header;
    const QString y = line.mid(19, 4).toString();
    if (!PaymentYearAccepted(y)) {
        stop_ = true;
        refusedYear_ = y;
        return;
    }
    workingYear_ = y;
    yearToStore_ = y;
}

void Load::readLines()
{
    QString raw;
    while (!stop_) {
        marker_ = QStringLiteral("  2");
        if (!nextLine(raw))
            break;
        dispatch(raw);
    }
}

bool Load::nextLine(QString& line)
{
    if (!file_.readLine(line))
        return false;
    lineNumber_ = file_.lineNumber();
    return true;
}

// A file whose lines cannot be read as the payment file's is refused: one with
// characters a save could not write back before anything is stored, one whose
// label and payment lines are separated otherwise than by commas at the first
// such line, one with payment lines whose quote never closes once all are
// found. Only payment lines are split into fields: any other line reads the
// same whatever its quotes.
void Load::refuseUnreadable()
{
    using Fault = fs::CsvReader::Fault;
    if (file_.fault() == Fault::None)
        return;
    marker_ = QStringLiteral("  2");
    throw Refusal(file_.refusal(), QString());
}

// Markers are recognised by their first characters, letter case counting, on
// the line as the program writes it (a spreadsheet program may have quoted
// its fields and padded it with commas); a payment line is split as CSV.
void Load::dispatch(const QString& raw)
{
    const QStringView line = pf::plainLine(raw, plainStorage_);
    bool data = true;
    if (line.startsWith(pf::kHeader)) {
        section_ = Section::Header;
        const QString y = line.mid(19, 4).toString();
        if (PaymentYearAccepted(y))
            workingYear_ = y;
        data = false;
    } else if (isMaskMarker(line)) {
        section_ = Section::Mask;
        data = false;
    } else if (line.startsWith(pf::kGroupMarker)) {
        marker_ = QStringLiteral("  4");
        section_ = Section::Group;
        startGroup();
        data = false;
    } else if (line.startsWith(pf::kDetailMarker)) {
        section_ = Section::Payments;
        data = false;
    } else if (line.startsWith(pf::kColumnHeading)) {
        data = false;
    } else if (isBlankLine(line)) {
        data = false;
    }
    if (!data)
        return;

    if (section_ == Section::Mask) {
        maskLine(line.toString());
        return;
    }
    if (section_ != Section::Group && section_ != Section::Payments)
        return;
    // Label and payment lines hold fields: one separated otherwise than the
    // file is refused, before its values are taken.
    if (!file_.fieldsAgree())
        refuseUnreadable();
    if (section_ == Section::Group)
        groupLine(line.toString());
    else
        paymentLine(raw);
}

// A jurisdiction's folio format: code, two-digit length and mask, with or
// without commas between them. The first mask of a jurisdiction wins.
void Load::maskLine(const QString& line)
{
    QString w = line;
    w.remove(QLatin1Char(','));
    const QString wholeMask = vb::Trim(vb::Mid(w, 6));
    w = vb::Left(w, 30);
    if (!vb::Mid(w, 6, 25).contains(QLatin1Char('#')))
        return;

    const QString jurCd = vb::Left(w, 3);
    const double folioLen = vb::Val(vb::Mid(w, 4, 2));
    const QString mask = vb::Trim(vb::Mid(w, 6, 25));
    db::Recordset& rs = DE().rsFol_Mask();
    if (rs.recordCount() > 0) {
        marker_ = QStringLiteral("  8-5");
        rs.moveFirst();
        strFind = QStringLiteral("JUR_CD = ") + db::quoted(jurCd);
        marker_ = QStringLiteral("  8-7");
        rs.find(strFind, 0, true);
        if (rs.eof()) {
            marker_ = QStringLiteral("  8-9");
            if (wholeMask != mask)
                noteCut("FOLIO_MASK", wholeMask, mask);
            addMaskRow(jurCd, folioLen, mask);
        }
    } else {
        marker_ = QStringLiteral("  8-18");
        if (wholeMask != mask)
            noteCut("FOLIO_MASK", wholeMask, mask);
        addMaskRow(jurCd, folioLen, mask);
    }
}

void Load::addMaskRow(const QString& jurCd, double folioLen, const QString& mask)
{
    db::Recordset& rs = DE().rsFol_Mask();
    rs.addNew();
    rs.setValue(QStringLiteral("JUR_CD"), jurCd);
    rs.setValue(QStringLiteral("YEAR"), workingYear_);
    rs.setValue(QStringLiteral("FOLIO_LEN"), folioLen);
    rs.setValue(QStringLiteral("FOLIO_MASK"), mask);
    rs.move(0);
}

// A group marker: the group before it is recounted, a new group row begins.
void Load::startGroup()
{
    db::Recordset& rs = DE().rsGroup();
    if (!firstGroup_) {
        recountGroup();
        rs.move(0);
    } else {
        firstGroup_ = false;
    }
    const long before = rs.recordCount();
    fileId_ = vb::Right(QStringLiteral("000") + vb::CStr(static_cast<long long>(before) + 1), 3);
    groups_.push_back(GroupTally{});
    groups_.back().markerLine = lineNumber_;
    const QString empty;
    rs.addNew();
    rs.setValue(QStringLiteral("GROUP"), empty);
    // Without an Agency # line, as an empty one reads (and as the group reads
    // back once saved).
    rs.setValue(QStringLiteral("MORTCO"), QStringLiteral("0000"));
    rs.setValue(QStringLiteral("NAME1"), empty);
    rs.setValue(QStringLiteral("FOLIO_CNT"), 0.0);
    rs.setValue(QStringLiteral("TOT_PAY"), 0.0);
    rs.setValue(QStringLiteral("FILE_ID"), fileId_);
    for (const char* f : {"DUEDATE", "CREATE", "NAME2", "CONTACT", "CONT_PHONE", "ADDR1", "ADDR2", "ADDR3", "ADDR4",
                          "ADDR5", "ADDR6"})
        rs.setValue(QString::fromLatin1(f), empty);
    rs.setValue(QStringLiteral("SORTORDER"), QStringLiteral("F"));
    rs.setValue(QStringLiteral("ACD"), empty);
    rs.move(0);
}

void Load::groupLine(const QString& line)
{
    marker_ = QStringLiteral("  9");
    db::Recordset& rs = DE().rsGroup();
    GroupTally& tally = groups_.back();
    bool matched = false;
    for (const pf::GroupLabel& label : pf::kGroupLabels) {
        if (line.startsWith(QLatin1String(label.label))) {
            const QString value = pf::groupValue(line, label);
            rs.setValue(QString::fromLatin1(label.field), value);
            // The value runs to the end of the line (it may hold commas); what
            // lies beyond its width is lost.
            const QString whole = StripTrailingChar(vb::Mid(line, label.position), QStringLiteral(","));
            if (whole.size() > label.width)
                noteCut(label.field, whole, value);
            if (std::string_view(label.field) == "GROUP")
                tally.group = value;
            else if (std::string_view(label.field) == "MORTCO")
                tally.mortco = value;
            matched = true;
            break;
        }
    }
    // The section's own count and total are not stored (they are recounted),
    // but are checked against its payment lines at the end.
    if (!matched && line.startsWith(pf::kCountLabel)) {
        tally.countLine = lineNumber_;
        tally.countText = line.mid(pf::kCountLabel.size());
    } else if (!matched && line.startsWith(pf::kTotalLabel)) {
        tally.totalLine = lineNumber_;
        tally.totalText = line.mid(pf::kTotalLabel.size());
        // A file of another separator may give its total a decimal comma.
        if (file_.separator() != u',' && tally.totalText.count(u',') == 1 && !tally.totalText.contains(u'.'))
            tally.totalText.replace(u',', u'.');
    }
    rs.move(0);
}

// The current group's payment count and total, from its stored payments. Leaves
// rsDetail filtered on the group's agency.
void Load::recountGroup()
{
    db::Recordset& group = DE().rsGroup();
    db::Recordset& detail = DE().rsDetail();
    double count = 0;
    double total = 0;
    strFilter = QStringLiteral("MORTCO = ") + db::quoted(group.text(QStringLiteral("MORTCO")));
    detail.setFilter(QString());
    detail.setFilter(strFilter);
    if (detail.recordCount() > 0) {
        for (detail.moveFirst(); !detail.eof(); detail.moveNext()) {
            count += 1;
            total += detail.number(detailFields_.payment);
        }
    }
    group.setValue(QStringLiteral("FOLIO_CNT"), count);
    group.setValue(QStringLiteral("TOT_PAY"), total);
}

void Load::paymentLine(const QString& line)
{
    marker_ = QStringLiteral("  9");
    // Its fields would run together: refused with the others once all are read.
    if (!file_.quotesClose())
        return;
    QString fields = file_.separator() == u',' ? line : decimalPoints(line);
    // A value typed with a comma and no quotes moves every later field.
    if (fields.count(u',') >= kPaymentFields)
        fields = extraFieldsPlaced(fields);
    pf::PaymentFields p;
    try {
        p = pf::parsePaymentLine(fields, &marker_);
    } catch (Refusal& r) {
        r.setLineIfUnset(lineNumber_);
        throw;
    }

    db::Recordset& group = DE().rsGroup();
    if (groups_.empty() || group.eof() || group.bof())
        throw Refusal(QStringLiteral("The payment line %1 comes before any %2 section, so it belongs to no "
                                     "payment group.")
                          .arg(quotedText(line), pf::kGroupMarker),
                      QStringLiteral("Put the payment under its group's section, or choose the payment data "
                                     "file the tax office sent, and load it again."),
                      lineNumber_);
    ++groups_.back().lines;
    groups_.back().sum += p.payment;
    const QString mortco = group.text(QStringLiteral("MORTCO"));
    // The values as they will be stored, so that a repeat the width cut makes
    // is found here and not refused by the table's unique key.
    const DetailFields& f = detailFields_;
    const int key[] = {f.mortco, f.cd, f.jur, f.folio, f.name};
    const QString stored[] = {mortco, cut(p.cd, pf::kCdWidth), cut(p.jur, pf::kJurWidth),
                              cut(p.folio, pf::kFolioWidth), cut(p.name, pf::kNameWidth)};
    if (rsDetailClone_->countEqual(key, stored, 5) < 1) {
        storePayment(p, mortco);
    } else {
        const QString sep = QStringLiteral(", ");
        const QString asRead = QStringList{mortco, p.cdRead.isNull() ? p.cd : p.cdRead, p.jur,
                                           p.folioRead.isNull() ? pf::shownFolio(p.jur, p.folio) : p.folioRead, p.name}
                                   .join(sep);
        note({Finding::Kind::Repeat, lineNumber_, asRead, QStringList(std::begin(stored), std::end(stored)).join(sep),
              QStringLiteral("The payment repeats an earlier one of the same agency, district, jurisdiction, folio "
                             "and name. It is not stored; it goes to the list of duplicate folios, and the payment "
                             "run stops after the load.")});
        keepRepeat(p, mortco);
    }
}

void Load::storePayment(const pf::PaymentFields& p, const QString& mortco)
{
    db::Recordset& rs = DE().rsDetail();
    const DetailFields& f = detailFields_;
    // Only the new row and its commit touch the database; the values are set in memory.
    marker_ = QStringLiteral("  9-12");
    rs.addNew();
    rs.setValue(f.mortco, mortco);
    rs.setValue(f.fileId, fileId_);
    if (p.number.size() > pf::kNumberWidth)
        noteCut("NUMBER", p.number, cut(p.number, pf::kNumberWidth));
    if (p.name.size() > pf::kNameWidth)
        noteCut("NAME", p.name, cut(p.name, pf::kNameWidth));
    if (!p.cdRead.isNull())
        noteCut("CD", p.cdRead, p.cd);
    if (p.jur.size() > pf::kJurWidth)
        noteCut("JUR", p.jur, cut(p.jur, pf::kJurWidth));
    if (!p.folioRead.isNull())
        noteCut("FOLIO", p.folioRead, p.folio);
    if (p.legal.size() > pf::kLegalWidth)
        noteCut("LEGAL", p.legal, cut(p.legal, pf::kLegalWidth));
    rs.setValue(f.number, cut(p.number, pf::kNumberWidth));
    rs.setValue(f.name, cut(p.name, pf::kNameWidth));
    rs.setValue(f.cd, cut(p.cd, pf::kCdWidth));
    rs.setValue(f.jur, cut(p.jur, pf::kJurWidth));
    rs.setValue(f.folio, cut(p.folio, pf::kFolioWidth));
    rs.setValue(f.grossTax, p.grossTax);
    rs.setValue(f.regGrant, p.regGrant);
    rs.setValue(f.addGrant, p.addGrant);
    rs.setValue(f.delq, p.delq);
    rs.setValue(f.legal, cut(p.legal, pf::kLegalWidth));
    rs.setValue(f.abc, cut(p.abc, pf::kAbcWidth));
    rs.setValue(f.payment, p.payment);
    bool plain = false;
    const QString folioDisp = pf::shownFolio(p.jur, p.folio, &plain);
    if (plain && !plainFolioJurs_.contains(p.jur))
        plainFolioJurs_.append(p.jur);
    rs.setValue(f.folioDisp, folioDisp);
    // A commit the database refuses is reported with what to look for.
    marker_ = kCommitStep;
    committingFolio_ = folioDisp;
    committingName_ = p.name;
    rs.move(0);
}

void Load::keepRepeat(const pf::PaymentFields& p, const QString& mortco)
{
    DupFoliosFound = true;
    if (DupFolioCount < kDupFolioRows) {
        DupFolioRow& row = DupFolios[static_cast<size_t>(DupFolioCount)];
        row[dfFolioDisp] = pf::shownFolio(p.jur, p.folio);
        row[dfMortco] = mortco;
        row[dfNumber] = p.number;
        row[dfName] = p.name;
        row[dfCd] = p.cd;
        row[dfJur] = p.jur;
        row[dfFolio] = p.folio;
        row[dfGrossTax] = p.grossTax;
        row[dfRegGrant] = p.regGrant;
        row[dfAddGrant] = p.addGrant;
        row[dfDelq] = p.delq;
        row[dfLegal] = p.legal;
        row[dfAbc] = p.abc;
        row[dfPayment] = p.payment;
    }
    ++DupFolioCount;
}

bool Load::finish()
{
    marker_ = QStringLiteral("  11");
    if (!stop_ && !reviewed()) {
        file_.close();
        releaseClone();
        // The tables go back to what they held before the load.
        DE().Zarv.rollbackTrans();
        for (db::Recordset* rs : {&DE().rsDetail(), &DE().rsGroup(), &DE().rsFol_Mask()}) {
            rs->setFilter(QString());
            rs->requery();
        }
        end_ = LoadEnd::Stopped;
        return false;
    }
    DE().Zarv.commitTrans();
    db::Recordset& mask = DE().rsFol_Mask();
    masksRead_ = mask.recordCount() > 0;
    if (!masksRead_)
        addMaskRow(QStringLiteral("000"), 0, pf::kFallbackMask);

    if (stop_) {
        file_.close();
        releaseClone();
        end_ = LoadEnd::Refused;
        ui::ui().msgBox(RefusedFileText(path_) + YearRefusedMessage(refusedYear_), ui::Buttons::OK,
                        ui::Icon::Critical, QStringLiteral("ZARV Data"));
        return false;
    }

    // A file may hold masks and no group at all (the writer makes such files):
    // there is nothing to recount. A file with neither is no payment file.
    db::Recordset& group = DE().rsGroup();
    if (group.recordCount() > 0) {
        recountGroup();
        group.moveFirst();
    } else if (!masksRead_) {
        throw Refusal(QStringLiteral("The file holds no %1 section and no %2 section: it is not a payment data "
                                     "file.")
                          .arg(pf::kMaskMarker, pf::kGroupMarker),
                      QStringLiteral("Choose the payment data file the tax office sent and load it again."));
    }
    file_.close();
    releaseClone();
    if (!yearToStore_.isNull()) {
        db::Recordset& sys = ZarvSystemRowToWrite();
        sys.setValue(QStringLiteral("Year"), yearToStore_);
        sys.move(0);
    }
    end_ = LoadEnd::Loaded;
    reportUnshownFolios();
    return true;
}

void Load::note(Finding finding)
{
    const long long n = ++noted_[int(finding.kind)];
    if (n <= kFindingsNamed)
        intake_.add(std::move(finding));
}

void Load::noteCut(const char* field, const QString& asRead, const QString& asStored)
{
    note({Finding::Kind::Cut, lineNumber_, asRead, asStored,
          QStringLiteral("%1 is longer than the program can keep and will be cut.").arg(QString::fromLatin1(field))});
}

// A payment line of a file separated otherwise than by commas, its amounts
// with decimal points: each amount may have a decimal comma or point and no
// other mark, the line exactly its fields, and the file one decimal mark.
QStringList Load::fieldCount(const QString& line, bool fewerAllowed) const
{
    QStringList fields = fs::splitFieldsBy(line, QLatin1Char(','));
    while (fields.size() > kPaymentFields && vb::Trim(fields.last()).isEmpty())
        fields.removeLast();
    if (fields.size() > kPaymentFields || (!fewerAllowed && fields.size() < kPaymentFields))
        throw Refusal(QStringLiteral("The payment line %1 holds %2 fields where a payment has %3, so which value "
                                     "belongs to which field cannot be told (a value with a comma and no quotes "
                                     "around it, say).")
                          .arg(quotedText(line))
                          .arg(fields.size())
                          .arg(kPaymentFields),
                      QStringLiteral("Put the value in double quotes or take out its comma, and load the file "
                                     "again."),
                      lineNumber_);
    return fields;
}

// Whether a payment line's fields read as a payment: its district and
// jurisdiction codes of digits, its amounts numbers.
bool plausiblePayment(const QStringList& f)
{
    const auto digits = [](const QString& s, int most) {
        const QString t = vb::Trim(s);
        if (t.isEmpty() || t.size() > most)
            return false;
        return std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); });
    };
    if (f.size() != kPaymentFields || !digits(f[2], 2) || !digits(f[3], 8))
        return false;
    try {
        pf::parsePaymentLine(csv::join(f));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// A payment line with more fields than a payment has. When only one text field
// (the owner's name or the legal description) can have taken the commas, it is
// read so and shown on the intake screen; otherwise the line is refused, never
// read shifted.
QString Load::extraFieldsPlaced(const QString& line)
{
    QStringList fields = fs::splitFieldsBy(line, QLatin1Char(','));
    while (fields.size() > kPaymentFields && vb::Trim(fields.last()).isEmpty())
        fields.removeLast();
    const qsizetype extra = fields.size() - kPaymentFields;
    if (extra <= 0)
        return line;
    const auto joined = [&](int at) {
        QStringList f = fields.mid(0, at);
        f << fields.mid(at, extra + 1).join(QLatin1Char(','));
        f << fields.mid(at + extra + 1);
        return f;
    };
    const QStringList byName = joined(1);
    const QStringList byLegal = joined(kPaymentFields - 1);
    const bool name = plausiblePayment(byName);
    const bool legal = plausiblePayment(byLegal);
    if (name == legal)
        fieldCount(line, true);   // refused
    const int at = name ? 1 : kPaymentFields - 1;
    const QStringList& f = name ? byName : byLegal;
    note({Finding::Kind::ExtraFields, lineNumber_, f[at], pf::writtenText(f[at]),
          QStringLiteral("The line holds %1 fields where a payment has %2; only the %3 can have taken the "
                         "commas, and is read so.")
              .arg(fields.size())
              .arg(kPaymentFields)
              .arg(name ? QStringLiteral("owner's name") : QStringLiteral("legal description"))});
    return csv::join(f);
}

QString Load::decimalPoints(const QString& line)
{
    QStringList fields = fieldCount(line, false);
    for (const int at : {5, 7, 8, 9, 10}) {
        QString& amount = fields[at];
        const bool comma = amount.contains(u',');
        const bool point = amount.contains(u'.');
        if (comma && point)
            throw Refusal(QStringLiteral("The amount %1 of the payment line %2 has both a decimal comma and a "
                                         "point: which one marks the cents cannot be told for sure.")
                              .arg(quotedText(amount), quotedText(line)),
                          QStringLiteral("Write the amount without a thousands mark (1234.50 or 1234,50), and "
                                         "load the file again."),
                          lineNumber_);
        if (comma && amount.count(u',') == 1) {
            if (commaLine_ == 0)
                commaLine_ = lineNumber_;
            amount.replace(u',', u'.');
        } else if (point && pointLine_ == 0) {
            pointLine_ = lineNumber_;
        }
    }
    if (commaLine_ > 0 && pointLine_ > 0)
        throw Refusal(QStringLiteral("The amounts of line %1 have a decimal comma and those of line %2 a decimal "
                                     "point: which mark the file uses cannot be told for sure.")
                          .arg(commaLine_)
                          .arg(pointLine_),
                      QStringLiteral("Give every amount the same decimal mark, and load the file again."),
                      std::max(commaLine_, pointLine_));
    return csv::join(fields);
}

// A group whose own count or total disagrees with its payment lines has lost
// or gained lines on its way (a spreadsheet edit, say). Loaded, the group is
// counted from its payment lines.
void Load::noteCounts()
{
    for (const GroupTally& g : groups_) {
        const QString group = g.group.isEmpty() ? QStringLiteral("0000") : g.group;
        const QString mortco = g.mortco.isEmpty() ? QStringLiteral("0000") : g.mortco;
        if (g.countDiffers())
            note({Finding::Kind::Count, g.countLine, vb::Trim(g.countText), QString::number(g.lines),
                  QStringLiteral("Group %1, agency %2 states %3 payments; its payment lines hold %4. The group "
                                 "is counted from its payment lines.")
                      .arg(group, mortco, vb::Trim(g.countText))
                      .arg(g.lines)});
        if (g.totalDiffers())
            note({Finding::Kind::Count, g.totalLine, vb::Trim(g.totalText), pf::amountText(g.sum),
                  QStringLiteral("Group %1, agency %2 states a total of %3; its %4 payment lines add up to %5. "
                                 "The group is totalled from its payment lines.")
                      .arg(group, mortco, vb::Trim(g.totalText))
                      .arg(g.lines)
                      .arg(pf::amountText(g.sum))});
    }
}

// What the reader and the load decided is shown before the file is kept; a
// file that needed no decision is kept without a word. True to keep it.
bool Load::reviewed()
{
    noteCounts();
    if (commaLine_ > 0)
        note({Finding::Kind::DecimalMark, commaLine_, QStringLiteral(","), QStringLiteral("."),
              QStringLiteral("Amounts are written with a decimal comma; they will be written back with a decimal "
                             "point.")});
    for (int kind = 0; kind < 8; ++kind) {
        if (noted_[kind] > kFindingsNamed)
            intake_.add({Finding::Kind(kind), 0, {}, {},
                         QStringLiteral("... and %1 more like these.").arg(noted_[kind] - kFindingsNamed)});
    }
    if (!intake_.needsReview())
        return true;
    std::stable_sort(intake_.findings.begin(), intake_.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.kind < b.kind; });
    return ui::ui().reviewIntake(intake_);
}

// Names the mask rows that cannot show the folios of their jurisdiction: one
// that a folio of the file did not fit, or one that cannot show as many digits
// as its own length gives.
void Load::reportUnshownFolios()
{
    struct MaskRow {
        QString jur, mask;
        int len;
    };
    std::vector<MaskRow> rows;
    db::Recordset& rs = DE().rsFol_Mask();
    if (rs.recordCount() < 1)
        return;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        rows.push_back({rs.text(QStringLiteral("JUR_CD")), rs.text(QStringLiteral("FOLIO_MASK")),
                        int(std::clamp(rs.number(QStringLiteral("FOLIO_LEN")), 0.0, double(pf::kFolioWidth)))});
    }
    QStringList named;
    for (const MaskRow& row : rows) {
        bool plain = plainFolioJurs_.contains(row.jur);
        if (!plain && row.len > 0)
            pf::shownFolio(row.jur, pf::folioDigits(QStringView(u"987654321987654321").right(row.len)), &plain);
        if (plain)
            named << QStringLiteral("Jurisdiction %1: %2 (%3 digits)").arg(row.jur, row.mask).arg(row.len);
    }
    if (named.isEmpty())
        return;
    ui::ui().msgBox(QStringLiteral("The folio number format of these jurisdictions cannot show every digit of "
                                   "their folio numbers:\n\n") +
                        named.join(QLatin1Char('\n')) +
                        QStringLiteral("\n\nTheir folio numbers are shown and saved as plain digits instead, so "
                                       "that no digit is lost. The tax office can send a corrected format."),
                    ui::Buttons::OK, ui::Icon::Information, QStringLiteral("ZARV Data"));
}

void Load::releaseClone()
{
    if (rsDetailClone_ && rsDetailClone_->isOpen())
        rsDetailClone_->close();
    rsDetailClone_.reset();
}

// Takes out what the load stored of a file it did not finish: the clerk
// stopped it, or the file was refused.
void Load::discard()
{
    // The recount leaves rsDetail filtered on one agency.
    DE().rsDetail().setFilter(QString());
    emptyTable(DE().rsDetail(), QStringLiteral("DELETE FROM Detail"));
    emptyTable(DE().rsGroup(), QStringLiteral("DELETE * FROM \"Group\" "));
    emptyTable(DE().rsFol_Mask(), QStringLiteral("DELETE FROM Fol_Mask"));
}

void Load::abandon(bool refused)
{
    auto ignoring = [](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
            // Undoing after a failure already reported: a second one adds nothing the clerk can act on.
        }
    };
    ignoring([&] { file_.close(); });
    ignoring([&] {
        if (DE().Zarv.inTransaction())
            DE().Zarv.rollbackTrans();
    });
    // A row the database refused must not be offered again by the next move.
    for (db::Recordset* rs : {&DE().rsDetail(), &DE().rsGroup(), &DE().rsFol_Mask(), &DE().rsZarvSystem()}) {
        ignoring([rs] {
            if (rs->isOpen() && rs->editPending())
                rs->cancelUpdate();
        });
    }
    // The tables hold again what they held before the load.
    for (db::Recordset* rs : {&DE().rsDetail(), &DE().rsGroup(), &DE().rsFol_Mask()}) {
        ignoring([rs] {
            if (rs->isOpen()) {
                rs->setFilter(QString());
                rs->requery();
            }
        });
    }
    ignoring([&] {
        if (rsDetailClone_ && rsDetailClone_->isOpen())
            rsDetailClone_->close();
    });
    rsDetailClone_.reset();
    if (refused)
        ignoring([&] { discard(); });
}

void reportFailure(const QString& path, const QString& marker, const Failure& f)
{
    // A refusal of what the file holds names the file, loads nothing at all, and says so.
    const QString head = f.refused ? RefusedFileText(path) : QString();
    const QString tail = f.refused ? QStringLiteral("\n\nNothing was loaded.") : QString();
    ui::ui().msgBox(head + FailureNotice(QStringLiteral("Csv2Mdb"), f, marker) + tail, ui::Buttons::OK,
                    ui::Icon::Critical);
}

} // namespace

bool Csv2Mdb(const QString& path, LoadEnd* end)
{
    Load load(path);
    Failure failure;
    try {
        const bool loaded = load.run();
        if (end)
            *end = load.end();
        return loaded;
    } catch (const std::exception&) {
        failure = currentFailure();
    }
    reportFailure(path, load.marker(), failure);
    load.abandon(failure.refused);
    if (end)
        *end = failure.refused ? LoadEnd::Refused : LoadEnd::Failed;
    return false;
}

} // namespace zarv
