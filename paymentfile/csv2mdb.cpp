// Loading the payment data file into the working tables.
#include "paymentfile/fileerror.h"
#include "paymentfile/paymentfile.h"
#include "paymentfile/paymentformat.h"

#include "platform/data/criteria.h"
#include "platform/data/dberror.h"
#include "platform/files/csvfile.h"
#include "platform/text/csv.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <algorithm>
#include <memory>
#include <string_view>

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

void emptyTable(db::Recordset& rs, const QString& statement)
{
    if (rs.recordCount() < 1)
        return;
    DE().Zarv.beginTrans();
    DE().Zarv.execute(statement);
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

// Appends "FIELD = 'value' " (a quote in the value doubled), as db::eq writes
// it, without the temporaries: the repeat test builds one per payment line.
void appendCondition(QString& out, QStringView field, const QString& value)
{
    if (out.capacity() < 160)
        out.reserve(160);
    static constexpr char16_t kEquals[] = u" = '";
    const qsizetype at = out.size();
    out.resize(at + field.size() + 4 + 2 * value.size() + 2);   // room for every quote doubled
    QChar* p = out.data() + at;
    p = std::copy(field.begin(), field.end(), p);
    for (const char16_t c : std::u16string_view(kEquals))
        *p++ = QChar(c);
    for (const QChar c : value) {
        *p++ = c;
        if (c == u'\'')
            *p++ = c;
    }
    *p++ = u'\'';
    *p++ = u' ';
    out.resize(p - out.constData());
}

// One load of one file: the working state the steps share.
class Load {
public:
    explicit Load(const QString& path) : path_(path) {}

    // The whole load; throws on any failure. False for a missing or empty file
    // and for a refused year (the user has then been told).
    bool run();
    // After a failure: gives back what the load holds, ignoring further errors.
    void abandon();

    QString marker() const;

private:
    void emptyTables();
    void readFirstLine();
    void readLines();
    bool nextLine(QString& line);
    void refuseUnreadable();
    void dispatch(const QString& raw);
    void enter(Section section);
    void refuseSharedAgency();
    void maskLine(const QString& line);
    void addMaskRow(const QString& jurCd, double folioLen, const QString& mask);
    void startGroup();
    void groupLine(const QString& line);
    void recountGroup();
    void paymentLine(const QString& line);
    void storePayment(const pf::PaymentFields& p, const QString& mortco);
    void keepRepeat(const pf::PaymentFields& p, const QString& mortco);
    bool finish();
    QString notAPaymentFile() const;
    void reportUnshownFolios();
    void releaseClone();

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
    bool headerFirst_ = false; // line 1 was the header
    int lineNumber_ = 0;       // of the line last read
    // The current group's marker line and its Agency # line (0 for none).
    int groupLine_ = 0;
    int agencyLine_ = 0;
    QString plainStorage_;
    // Jurisdictions with a folio their mask cannot show (it is shown plain).
    QStringList plainFolioJurs_;
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

    emptyTables();

    marker_ = QStringLiteral("  1-18");
    if (!FileExists(path_)) {
        releaseClone();
        return false;
    }
    marker_ = QStringLiteral("  1-19");
    if (!file_.open(path_, fs::CsvReader::Split::ByCaller))
        throw FileError(FileError::PathFileAccess, file_.errorString());
    refuseUnreadable();
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
    marker_ = QStringLiteral("  1-3");
    if (detail.recordCount() > 0) {
        marker_ = QStringLiteral("  1-5");
        DE().Zarv.beginTrans();
        marker_ = QStringLiteral("  1-6");
        DE().Zarv.execute(QStringLiteral("DELETE FROM Detail"));
        marker_ = QStringLiteral("  1-7");
        DE().Zarv.commitTrans();
        marker_ = QStringLiteral("  1-8");
        detail.requery();
        marker_ = QStringLiteral("  1-9");
        ui::ui().doEvents();
        marker_ = QStringLiteral("  1-10");
    }
    // A second cursor over the same rows: a payment stored through rsDetail is
    // seen by the repeat test at once.
    rsDetailClone_ = detail.clone();
    marker_ = QStringLiteral("  1-11");
    ui::ui().doEvents();

    db::Recordset& group = DE().rsGroup();
    marker_ = QStringLiteral("  1-12");
    marker_ = QStringLiteral("  1-13");
    reopen(group);
    marker_ = QStringLiteral("  1-14");
    emptyTable(group, QStringLiteral("DELETE * FROM \"Group\" "));

    db::Recordset& mask = DE().rsFol_Mask();
    marker_ = QStringLiteral("  1-15");
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
    if (!file_.readLine(raw))
        return;
    lineNumber_ = 1;
    const QStringView line = pf::plainLine(raw, plainStorage_);
    if (!line.startsWith(pf::kHeader))
        return;
    section_ = Section::Header;
    headerFirst_ = true;
    const QString y = line.mid(19, 4).toString();
    if (!PaymentYearAccepted(y)) {
        stop_ = true;
        refusedYear_ = y;
        return;
    }
    workingYear_ = y;
    db::Recordset& sys = ZarvSystemRowToWrite();
    sys.setValue(QStringLiteral("Year"), y);
    sys.move(0);
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
    ++lineNumber_;
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
    throw FileError(file_.fault() == Fault::Unwritable ? FileError::Unwritable : FileError::NotCommaSeparated,
                    file_.refusal());
}

// Markers are recognised by their first characters, letter case counting, on
// the line as the program writes it (a spreadsheet program may have quoted
// its fields and padded it with commas); a payment line is split as CSV.
void Load::dispatch(const QString& raw)
{
    const QStringView line = pf::plainLine(raw, plainStorage_);
    bool data = true;
    if (line.startsWith(pf::kHeader)) {
        marker_ = QStringLiteral("  3");
        enter(Section::Header);
        const QString y = line.mid(19, 4).toString();
        if (PaymentYearAccepted(y))
            workingYear_ = y;
        data = false;
    } else if (isMaskMarker(line)) {
        marker_ = QStringLiteral("  4");
        enter(Section::Mask);
        data = false;
    } else if (line.startsWith(pf::kGroupMarker)) {
        marker_ = QStringLiteral("  4");
        enter(Section::Group);
        startGroup();
        data = false;
    } else if (line.startsWith(pf::kDetailMarker)) {
        marker_ = QStringLiteral("  5");
        enter(Section::Payments);
        data = false;
    } else if (line.startsWith(pf::kColumnHeading)) {
        marker_ = QStringLiteral("  6");
        data = false;
    } else if (isBlankLine(line)) {
        marker_ = QStringLiteral("  7");
        data = false;
    }
    if (!data)
        return;

    marker_ = QStringLiteral("  8");
    if (section_ == Section::Mask) {
        maskLine(line.toString());
        return;
    }
    marker_ = QStringLiteral("  8e");
    if (section_ != Section::Group && section_ != Section::Payments)
        return;
    // Label and payment lines hold fields: another separator is refused at the
    // first of them, before its values are taken.
    if (!file_.fieldsSeparatedByCommas(raw))
        refuseUnreadable();
    if (section_ == Section::Group)
        groupLine(line.toString());
    else
        paymentLine(raw);
}

// A marker line begins a section. One that ends a group section leaves the
// group's values as they stand.
void Load::enter(Section section)
{
    if (section_ == Section::Group)
        refuseSharedAgency();
    section_ = section;
}

// Every group section lists all payments of its agency (the save selects them
// by agency), so a second section for an agency would have its payments
// written twice: the file is refused.
void Load::refuseSharedAgency()
{
    db::Recordset& group = DE().rsGroup();
    const QString mortco = group.text(QStringLiteral("MORTCO"));
    const std::unique_ptr<db::Recordset> same = group.clone();
    same->setFilter(QStringLiteral("MORTCO = ") + db::quoted(mortco));
    if (same->recordCount() < 2)
        return;
    const QString where = agencyLine_ > 0
                              ? QStringLiteral("its Agency # on line %1").arg(agencyLine_)
                              : QStringLiteral("beginning on line %1 without an Agency # line").arg(groupLine_);
    throw FileError(FileError::Duplicate,
                    QStringLiteral("The agency %1 has a second %2 section, %3. Each section lists all payments "
                                   "of its agency, so a save would write them twice. Put the agency's payments "
                                   "under one section and load the file again.")
                        .arg(mortco, pf::kGroupMarker, where));
}

// A jurisdiction's folio format: code, two-digit length and mask, with or
// without commas between them. The first mask of a jurisdiction wins.
void Load::maskLine(const QString& line)
{
    marker_ = QStringLiteral("  8-1");
    QString w = line;
    marker_ = QStringLiteral("  8-2");
    w.remove(QLatin1Char(','));
    w = vb::Left(w, 30);
    marker_ = QStringLiteral("  8-3");
    if (!vb::Mid(w, 6, 25).contains(QLatin1Char('#')))
        return;

    const QString jurCd = vb::Left(w, 3);
    const double folioLen = vb::Val(vb::Mid(w, 4, 2));
    const QString mask = vb::Trim(vb::Mid(w, 6, 25));
    db::Recordset& rs = DE().rsFol_Mask();
    if (rs.recordCount() > 0) {
        marker_ = QStringLiteral("  8-4");
        marker_ = QStringLiteral("  8-5");
        rs.moveFirst();
        marker_ = QStringLiteral("  8-6");
        strFind = QStringLiteral("JUR_CD = ") + db::quoted(jurCd);
        marker_ = QStringLiteral("  8-7");
        rs.find(strFind, 0, true);
        marker_ = QStringLiteral("  8-8");
        if (rs.eof()) {
            marker_ = QStringLiteral("  8-9");
            addMaskRow(jurCd, folioLen, mask);
            marker_ = QStringLiteral("  8-15");
        } else {
            marker_ = QStringLiteral("  8-16");
        }
        marker_ = QStringLiteral("  8-17");
    } else {
        marker_ = QStringLiteral("  8-18");
        addMaskRow(jurCd, folioLen, mask);
        marker_ = QStringLiteral("  8-24");
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
    groupLine_ = lineNumber_;
    agencyLine_ = 0;
    const long before = rs.recordCount();
    const QString empty;
    rs.addNew();
    rs.setValue(QStringLiteral("GROUP"), empty);
    // Without an Agency # line, as an empty one reads (and as the group reads
    // back once saved).
    rs.setValue(QStringLiteral("MORTCO"), QStringLiteral("0000"));
    rs.setValue(QStringLiteral("NAME1"), empty);
    rs.setValue(QStringLiteral("FOLIO_CNT"), 0.0);
    rs.setValue(QStringLiteral("TOT_PAY"), 0.0);
    rs.setValue(QStringLiteral("FILE_ID"), vb::Right(QStringLiteral("000") + vb::CStr(static_cast<long long>(before) + 1), 3));
    for (const char* f : {"DUEDATE", "CREATE", "NAME2", "CONTACT", "CONT_PHONE", "ADDR1", "ADDR2", "ADDR3", "ADDR4",
                          "ADDR5", "ADDR6"})
        rs.setValue(QString::fromLatin1(f), empty);
    rs.setValue(QStringLiteral("FOLIO_CNT"), 0.0);
    rs.setValue(QStringLiteral("TOT_PAY"), 0.0);
    rs.setValue(QStringLiteral("SORTORDER"), QStringLiteral("F"));
    rs.setValue(QStringLiteral("ACD"), empty);
    rs.move(0);
}

void Load::groupLine(const QString& line)
{
    marker_ = QStringLiteral("  9");
    db::Recordset& rs = DE().rsGroup();
    for (const pf::GroupLabel& label : pf::kGroupLabels) {
        if (line.startsWith(QLatin1String(label.label))) {
            rs.setValue(QString::fromLatin1(label.field), pf::groupValue(line, label));
            if (std::string_view(label.field) == "MORTCO")
                agencyLine_ = lineNumber_;
            break;
        }
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
            total += detail.number(QStringLiteral("PAYMENT"));
        }
    }
    group.setValue(QStringLiteral("FOLIO_CNT"), count);
    group.setValue(QStringLiteral("TOT_PAY"), total);
}

void Load::paymentLine(const QString& line)
{
    marker_ = QStringLiteral("  9");
    if (line.contains(u'"') && csv::unclosedQuote(line) >= 0) {
        // Its fields would run together: refused with the others once all are read.
        file_.noteUnclosedQuote(line);
        return;
    }
    const pf::PaymentFields p = pf::parsePaymentLine(line, &marker_);

    marker_ = QStringLiteral("  9-11 #1");
    db::Recordset& group = DE().rsGroup();
    if (group.eof() || group.bof())
        throw FileError(FileError::NoCurrentRow,
                        QStringLiteral("There is no payment group for the payment line \"%1\": every payment "
                                       "must follow a PAYMENT GROUP INFORMATION section.")
                            .arg(line));
    const QString mortco = group.text(QStringLiteral("MORTCO"));
    // The values as they will be stored, so that a repeat the width cut makes
    // is found here and not refused by the table's unique key.
    strFilter.clear();
    appendCondition(strFilter, u"MORTCO", mortco);
    appendCondition(strFilter, u"AND CD", cut(p.cd, pf::kCdWidth));
    appendCondition(strFilter, u"AND JUR", cut(p.jur, pf::kJurWidth));
    appendCondition(strFilter, u"AND FOLIO", cut(p.folio, pf::kFolioWidth));
    appendCondition(strFilter, u"AND NAME", cut(p.name, pf::kNameWidth));
    // Setting a filter replaces the one before it, so the clone is not first
    // cleared (that would walk every stored payment again for nothing).
    rsDetailClone_->setFilter(strFilter);
    if (rsDetailClone_->recordCount() < 1)
        storePayment(p, mortco);
    else
        keepRepeat(p, mortco);
    marker_ = QStringLiteral("  9-17");
}

void Load::storePayment(const pf::PaymentFields& p, const QString& mortco)
{
    db::Recordset& rs = DE().rsDetail();
    marker_ = QStringLiteral("  9-12");
    marker_ = QStringLiteral("  9-12 1");
    rs.addNew();
    marker_ = QStringLiteral("  9-12 2");
    rs.setValue(QStringLiteral("MORTCO"), mortco);
    marker_ = QStringLiteral("  9-12 3");
    rs.setValue(QStringLiteral("NUMBER"), cut(p.number, pf::kNumberWidth));
    marker_ = QStringLiteral("  9-12 4");
    rs.setValue(QStringLiteral("NAME"), cut(p.name, pf::kNameWidth));
    marker_ = QStringLiteral("  9-12 5");
    rs.setValue(QStringLiteral("CD"), cut(p.cd, pf::kCdWidth));
    marker_ = QStringLiteral("  9-12 6");
    rs.setValue(QStringLiteral("JUR"), cut(p.jur, pf::kJurWidth));
    marker_ = QStringLiteral("  9-12 7");
    rs.setValue(QStringLiteral("FOLIO"), cut(p.folio, pf::kFolioWidth));
    marker_ = QStringLiteral("  9-12 8");
    rs.setValue(QStringLiteral("GROSS_TAX"), p.grossTax);
    marker_ = QStringLiteral("  9-12 9");
    rs.setValue(QStringLiteral("REG_GRANT"), p.regGrant);
    marker_ = QStringLiteral("  9-12 10");
    rs.setValue(QStringLiteral("ADD_GRANT"), p.addGrant);
    marker_ = QStringLiteral("  9-12 11");
    rs.setValue(QStringLiteral("DELQ"), p.delq);
    marker_ = QStringLiteral("  9-12 12");
    rs.setValue(QStringLiteral("LEGAL"), cut(p.legal, pf::kLegalWidth));
    marker_ = QStringLiteral("  9-12 13");
    rs.setValue(QStringLiteral("ABC"), cut(p.abc, pf::kAbcWidth));
    marker_ = QStringLiteral("  9-12 14");
    rs.setValue(QStringLiteral("PAYMENT"), p.payment);
    marker_ = QStringLiteral("  9-12 15");
    marker_ = QStringLiteral("  9-12 16");
    marker_ = QStringLiteral("  9-12 17");
    bool plain = false;
    const QString folioDisp = pf::shownFolio(p.jur, p.folio, &plain);
    if (plain && !plainFolioJurs_.contains(p.jur))
        plainFolioJurs_.append(p.jur);
    rs.setValue(QStringLiteral("FOLIO_DISP"), folioDisp);
    // A commit the database refuses is reported with what to look for.
    marker_ = kCommitStep;
    committingFolio_ = folioDisp;
    committingName_ = p.name;
    rs.move(0);
    marker_ = QStringLiteral("  9-14");
}

void Load::keepRepeat(const pf::PaymentFields& p, const QString& mortco)
{
    marker_ = QStringLiteral("  9-11 #2");
    DupFoliosFound = true;
    marker_ = QStringLiteral("  9-11 #3");
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
    db::Recordset& mask = DE().rsFol_Mask();
    masksRead_ = mask.recordCount() > 0;
    if (!masksRead_)
        addMaskRow(QStringLiteral("000"), 0, pf::kFallbackMask);

    if (stop_) {
        file_.close();
        releaseClone();
        ui::ui().msgBox(YearRefusedMessage(refusedYear_), ui::Buttons::OK, ui::Icon::Critical,
                        QStringLiteral("ZARV Data"));
        return false;
    }

    if (section_ == Section::Group)
        refuseSharedAgency();
    // A file may hold masks and no group at all (the writer makes such files):
    // there is nothing to recount. A file with neither is no payment file, and
    // the load reports what it lacks.
    db::Recordset& group = DE().rsGroup();
    if (group.recordCount() > 0) {
        recountGroup();
        group.moveFirst();
    } else if (!masksRead_) {
        throw FileError(FileError::NoCurrentRow, notAPaymentFile());
    }
    file_.close();
    releaseClone();
    reportUnshownFolios();
    return true;
}

// Why a file with neither masks nor groups cannot be loaded.
QString Load::notAPaymentFile() const
{
    QString text = QStringLiteral("The file is not a payment data file: it has no ") + pf::kMaskMarker +
                   QStringLiteral(" section and no ") + pf::kGroupMarker + QStringLiteral(" section");
    if (!headerFirst_)
        text += QStringLiteral(", and its first line is not the ") + vb::Trim(pf::kHeader) + QStringLiteral(" header");
    return text + QLatin1Char('.');
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

void Load::abandon()
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
    ignoring([&] {
        if (rsDetailClone_ && rsDetailClone_->isOpen())
            rsDetailClone_->close();
    });
    rsDetailClone_.reset();
}

void reportFailure(const QString& marker, const pf::Failure& f)
{
    ui::ui().msgBox(QStringLiteral("Csv2Mdb Unexpected error #") + vb::Str(double(f.number)) +
                        QStringLiteral(" Debug (") + marker + QStringLiteral(")") + QStringLiteral(" occurred: ") +
                        f.description,
                    ui::Buttons::OK, ui::Icon::Critical);
}

} // namespace

bool Csv2Mdb(const QString& path)
{
    Load load(path);
    pf::Failure failure;
    try {
        return load.run();
    } catch (const std::exception&) {
        failure = pf::currentFailure();
    }
    reportFailure(load.marker(), failure);
    load.abandon();
    return false;
}

} // namespace zarv
