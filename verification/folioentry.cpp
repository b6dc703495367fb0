#include "verification/folioentry.h"

#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <memory>

namespace zarv::folioentry {

namespace {

const QString kAnd = QStringLiteral("AND ");
const QString kDistrictCodeField = QStringLiteral("Collection_District_Code");
const QString kDistrictNameField = QStringLiteral("Collection_District_Name");
const QString kJurisdictionCodeField = QStringLiteral("Jurisdiction_Code");
const QString kJurisdictionNameField = QStringLiteral("Jurisdiction_Name");

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString statusCondition(bool markedDeleted)
{
    return markedDeleted ? db::eq(QStringLiteral("ACD"), QStringLiteral("D"))
                         : db::ne(QStringLiteral("ACD"), QStringLiteral("D"));
}

void openIfClosed(db::Recordset& rs)
{
    if (!rs.isOpen())
        rs.open();
}

// A cursor of its own over the rows of a shared recordset, so that looking
// something up leaves the shared one where it stands.
std::unique_ptr<db::Recordset> ownCursor(db::Recordset& shared)
{
    openIfClosed(shared);
    return shared.clone();
}

// The name of the first row of the table whose code equals `code`; nothing
// when there is none or the lookup fails.
std::optional<QString> findName(db::Recordset& table, const QString& codeField, const QString& nameField,
                                const QString& code)
{
    try {
        const std::unique_ptr<db::Recordset> rs = ownCursor(table);
        if (rs->recordCount() < 1)
            return std::nullopt;
        rs->moveFirst();
        strFind = db::eq(codeField, code);
        rs->find(strFind, 0, true);
        if (rs->eof())
            return std::nullopt;
        return rs->text(nameField);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QString prefixed(const QString& lead, const Hit& hit)
{
    return lead + hit.CD + u' ' + hit.JUR + u' ' + NoteFolio(hit.FOLIO);
}

// Reads one field of the current row; "" when it cannot be read.
QString field(const db::Recordset& rs, const QString& name)
{
    try {
        return rs.text(name);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

// ---------------------------------------------------------------- folio forms

QString Digits(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (isAsciiDigit(c))
            out += c;
    }
    return out;
}

QString PaddedFolio(const QString& text)
{
    return vb::Right(kNoFolio + Digits(text), 18);
}

QString NoteFolio(const QString& storedFolio)
{
    return StripLeadingChar(FormatAmountMask(vb::Trim(storedFolio)), QStringLiteral("0"));
}

// ---------------------------------------------------------------- codes

QString CodeOf(const QString& comboText, int width)
{
    return vb::Left(vb::Trim(comboText) + RepeatString(QStringLiteral(" "), width), width);
}

bool IsBlankCode(const QString& code)
{
    return vb::Trim(code).isEmpty();
}

std::optional<int> CodeValue(const QString& code)
{
    const QString digits = vb::RTrim(code);
    if (digits.isEmpty() || digits.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

CodeVerdict CheckCode(const QString& code, int low, int high)
{
    if (IsBlankCode(code))
        return CodeVerdict::Blank;
    const std::optional<int> v = CodeValue(code);
    return v && *v >= low && *v <= high ? CodeVerdict::Valid : CodeVerdict::Invalid;
}

// ---------------------------------------------------------------- lookups

std::unique_ptr<db::Recordset> CloneOfVerify()
{
    return ownCursor(DE().rsVerify());
}

void CloseClone(std::unique_ptr<db::Recordset>& clone)
{
    try {
        if (clone)
            clone->close();
    } catch (const std::exception&) {
        // A clone is only read through, so closing it can lose nothing.
    }
    clone.reset();
}

QString FolioFilter(const QString& jurisdictionCode, const QString& paddedFolio, bool markedDeleted)
{
    return db::eq(QStringLiteral("JUR"), jurisdictionCode) + kAnd + db::eq(QStringLiteral("FOLIO"), paddedFolio) +
           kAnd + statusCondition(markedDeleted);
}

QString PidFilter(const QString& pid, bool markedDeleted)
{
    return db::eq(QStringLiteral("PID"), pid) + kAnd + statusCondition(markedDeleted);
}

QString NumberFilter(const QString& number)
{
    return db::eq(QStringLiteral("NUMBER"), number) + kAnd + statusCondition(false);
}

Hit Lookup(db::Recordset& clone, const QString& filter, std::optional<qint64> skip)
{
    Hit hit;
    try {
        clone.setFilter(QString());
        strFilter = filter;
        clone.setFilter(strFilter);
        if (clone.recordCount() > 0) {
            for (clone.moveFirst(); !clone.eof(); clone.moveNext()) {
                const qint64 b = clone.bookmark();
                if (skip && b == *skip)
                    continue;
                if (++hit.others == 1) {
                    hit.bookmark = b;
                    hit.CD = clone.text(QStringLiteral("CD"));
                    hit.JUR = clone.text(QStringLiteral("JUR"));
                    hit.FOLIO = clone.text(QStringLiteral("FOLIO"));
                    hit.PID = clone.text(QStringLiteral("PID"));
                    hit.NAME = clone.text(QStringLiteral("NAME"));
                }
            }
        }
        hit.found = hit.others > 0;
    } catch (const std::exception&) {
        hit = Hit{};
    }
    try {
        clone.setFilter(QString());
    } catch (const std::exception&) {
        // The next lookup clears it first anyway.
    }
    return hit;
}

QString FolioNote(const Hit& hit, bool markedDeleted)
{
    const QString lead = markedDeleted
                             ? QStringLiteral("NOTE - This Folio Number already Exist (BUT it is marked as DELETED)! see folio ")
                             : QStringLiteral("NOTE - This Folio Number already Exist! see folio ");
    return prefixed(lead, hit) + u' ' + hit.NAME;
}

QString PidNote(const Hit& hit, bool markedDeleted)
{
    const QString lead =
        markedDeleted
            ? QStringLiteral("NOTE - This Property Identifier (PID) already Exist (BUT it is marked as DELETED)! see folio ")
            : QStringLiteral("NOTE - This Property Identifier (PID) already Exist! see folio ");
    return prefixed(lead, hit) + u' ' + hit.PID + u' ' + hit.NAME;
}

QString NumberNote(const Hit& hit)
{
    return prefixed(QStringLiteral("NOTE - This Mortgage Number already Exist! see folio "), hit) + u' ' + hit.NAME;
}

// ---------------------------------------------------------------- the whole-form check

namespace {

FormCheck fail(int check, const char* message)
{
    return FormCheck{check, QLatin1String(message)};
}

} // namespace

FormCheck CheckNewFolioFields(const NewFolio& f)
{
    if (vb::Trim(f.number).isEmpty())
        return fail(1, "You must enter a Mortgage Number!");
    const QString mortco = vb::Trim(f.mortco);
    if (mortco.isEmpty())
        return fail(2, "You must enter a Mortgage Company ID!");
    if (mortco.size() != 4)
        return fail(3, "You must enter a VALID Mortgage Company ID! (must be four characters long)");

    const QString cd = DistrictCode(f.districtText);
    if (!IsBlankCode(cd)) {
        const std::optional<int> v = CodeValue(cd);
        if (!v)
            return fail(4, "Collection District must be two digits long!");
        if (*v < kDistrictLow || *v > kDistrictHigh)
            return fail(5, "Collection District must be two digit and be from 01 to 99");
    }
    const QString jur = JurisdictionCode(f.jurisdictionText);
    if (!IsBlankCode(jur)) {
        const std::optional<int> v = CodeValue(jur);
        if (!v)
            return fail(6, "Jurisdiction must be entered!");
        if (*v < kJurisdictionLow || *v > kJurisdictionHigh)
            return fail(7, "Jurisdiction must be from 701 to 799");
    }

    const QString folio = vb::Trim(f.folio);
    const QString pid = vb::Trim(f.pid);
    if (folio.isEmpty() && pid.isEmpty())
        return fail(8, "Folio Number (or Property Identifier) must be entered!");
    if (!folio.isEmpty() && PaddedFolio(folio) == kNoFolio)
        return fail(9, "A VALID Folio Number must be entered!");
    return {};
}

foliorule::Record RecordOfNewFolio(const NewFolio& f)
{
    const QString padded = PaddedFolio(f.folio);
    return {QStringLiteral("A"),
            vb::Trim(f.mortco),
            vb::Trim(f.number),
            DistrictCode(f.districtText),
            JurisdictionCode(f.jurisdictionText),
            vb::Trim(f.folio).isEmpty() || padded == kNoFolio ? QString() : padded,
            vb::Trim(f.pid)};
}

QString TaxOfficeRefusal(const foliorule::Findings& findings)
{
    const QString reasons = foliorule::LeftOutReasons(findings);
    if (reasons.isEmpty())
        return {};
    return QStringLiteral("The tax office would leave this folio out: ") + reasons + u'.';
}

FormCheck CheckForTaxOffice(const NewFolio& f, const foliorule::CodeTables& tables)
{
    const QString refusal = TaxOfficeRefusal(foliorule::Judge(RecordOfNewFolio(f), tables));
    return refusal.isEmpty() ? FormCheck{} : FormCheck{12, refusal};
}

FormCheck ValidateNewFolio(const NewFolio& f, db::Recordset& clone)
{
    if (FormCheck fields = CheckNewFolioFields(f); !fields.ok())
        return fields;
    foliorule::CodeTables tables;
    try {
        tables = foliorule::CodeTables::fromWorkingDatabase();
    } catch (const std::exception&) {
        // Code tables that cannot be read know no code: the folio is refused, saying which.
    }
    if (FormCheck taxOffice = CheckForTaxOffice(f, tables); !taxOffice.ok())
        return taxOffice;
    const QString folio = vb::Trim(f.folio);
    const QString pid = vb::Trim(f.pid);
    if (!folio.isEmpty() &&
        Lookup(clone, FolioFilter(JurisdictionCode(f.jurisdictionText), PaddedFolio(folio), false)).found)
        return fail(10, "The Jurisdiction and Folio Number ALREADY exist!");
    if (!pid.isEmpty() && Lookup(clone, PidFilter(pid, false)).found)
        return fail(11, "The Property Identifier (PID) ALREADY exist!");
    return {};
}

const std::array<QString, 14>& VerifyRow::fieldNames()
{
    static const std::array<QString, 14> names = {
        QStringLiteral("ACD"),   QStringLiteral("MORTCO"), QStringLiteral("NUMBER"), QStringLiteral("CD"),
        QStringLiteral("JUR"),   QStringLiteral("FOLIO"),  QStringLiteral("PID"),    QStringLiteral("NAME"),
        QStringLiteral("ADDR1"), QStringLiteral("ADDR2"),  QStringLiteral("ADDR3"),  QStringLiteral("ADDR4"),
        QStringLiteral("ADDR5"), QStringLiteral("LEGAL")};
    return names;
}

VerifyRow NewVerifyRow(const NewFolio& f, const QString& name, const std::array<QString, 5>& addr,
                       const QString& legal)
{
    const QString padded = PaddedFolio(f.folio);
    VerifyRow row;
    row.values = {QStringLiteral("A"),
                  f.mortco,
                  f.number,
                  DistrictCode(f.districtText),
                  JurisdictionCode(f.jurisdictionText),
                  padded == kNoFolio ? QString() : padded,
                  f.pid,
                  name,
                  addr[0],
                  addr[1],
                  addr[2],
                  addr[3],
                  addr[4],
                  legal};
    for (QString& value : row.values)
        value = SingleLine(value);
    return row;
}

// ---------------------------------------------------------------- code lists

QStringList CodeItems(db::Recordset& table, const QString& codeField, const QString& nameField)
{
    QStringList items;
    const std::unique_ptr<db::Recordset> rs = ownCursor(table);
    if (rs->recordCount() < 1)
        return items;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        items << rs->text(codeField) + u' ' + rs->text(nameField);
    return items;
}

JurisdictionList JurisdictionChoices(const QString& districtText, const QString& previousChoice)
{
    JurisdictionList list;
    const QString district = vb::Left(districtText, kDistrictWidth);
    db::Recordset& jurisdictions = DE().rsJurisdiction();

    std::unique_ptr<db::Recordset> pairs;
    long pairCount = 0;
    try {
        pairs = ownCursor(DE().rsCD_JUR());
        strFilter = db::eq(kDistrictCodeField, district);
        pairs->setFilter(strFilter);
        pairCount = pairs->recordCount();
    } catch (const std::exception&) {
        pairCount = 0;      // a district the pairs cannot be read for has none
    }

    if (pairCount < 1) {
        list.items = CodeItems(jurisdictions, kJurisdictionCodeField, kJurisdictionNameField);
        list.text = previousChoice;
        return list;
    }

    for (pairs->moveFirst(); !pairs->eof(); pairs->moveNext()) {
        const QString pairCode = pairs->text(kJurisdictionCodeField);
        const QString code = JurisdictionCode(pairCode);
        const std::optional<QString> name = findName(jurisdictions, kJurisdictionCodeField, kJurisdictionNameField, code);
        const QString item = name ? pairCode + u' ' + *name : pairCode;
        list.items << item;
        if (pairCount == 1)
            list.text = item;
        else if (vb::Left(previousChoice, kJurisdictionWidth) == vb::Left(pairCode, kJurisdictionWidth))
            list.text = item;
    }
    return list;
}

QString CodeName(db::Recordset& table, const QString& codeField, const QString& nameField, const QString& code)
{
    return findName(table, codeField, nameField, code).value_or(QString());
}

// ---------------------------------------------------------------- details

VerifyDetails ReadVerifyDetails(const db::Recordset& rsVerify)
{
    VerifyDetails d;
    try {
        d.hasRow = rsVerify.isOpen() && !rsVerify.eof() && !rsVerify.bof();
    } catch (const std::exception&) {
        d.hasRow = false;
    }
    if (!d.hasRow)
        return d;

    d.MORTCO = field(rsVerify, QStringLiteral("MORTCO"));
    d.CD = field(rsVerify, QStringLiteral("CD"));
    d.JUR = field(rsVerify, QStringLiteral("JUR"));
    d.NUMBER = field(rsVerify, QStringLiteral("NUMBER"));
    d.FOLIO = field(rsVerify, QStringLiteral("FOLIO"));
    d.PID = field(rsVerify, QStringLiteral("PID"));
    d.NAME = field(rsVerify, QStringLiteral("NAME"));
    for (int i = 0; i < 5; ++i)
        d.ADDR[size_t(i)] = field(rsVerify, QStringLiteral("ADDR%1").arg(i + 1));
    d.LEGAL = field(rsVerify, QStringLiteral("LEGAL"));

    d.districtName = CodeName(DE().rsCollection_District(), kDistrictCodeField, kDistrictNameField, DistrictCode(d.CD));
    d.jurisdictionName =
        CodeName(DE().rsJurisdiction(), kJurisdictionCodeField, kJurisdictionNameField, JurisdictionCode(d.JUR));
    try {
        d.folioDisplay = FormatFolio(d.JUR, d.FOLIO);
    } catch (const std::exception&) {
        d.folioDisplay = d.FOLIO;   // the folio as stored rather than nothing
    }
    return d;
}

} // namespace zarv::folioentry
