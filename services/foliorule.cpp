#include "services/foliorule.h"

#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"

#include <algorithm>
#include <memory>

namespace zarv::foliorule {

namespace {

QString key(const QString& code)
{
    return code.toUpper();
}

QString pairKey(const QString& district, const QString& jurisdiction)
{
    return key(CodeKey(district, kDistrictWidth) + QLatin1Char('|') + CodeKey(jurisdiction, kJurisdictionWidth));
}

QStringList column(db::Connection& zarv, const QString& sql)
{
    QStringList out;
    db::Recordset rs(&zarv, sql, db::LockType::ReadOnly);
    rs.open();
    for (; !rs.eof(); rs.moveNext())
        out << rs.text(QStringLiteral("K"));
    return out;
}

// A field longer than the tax office's record holds: it would arrive cut.
void length(Findings& out, Field field, const char* what, const QString& raw, int width)
{
    const QString trimmed = vb::Trim(raw);
    if (trimmed.size() <= width)
        return;
    out.push_back({field, Kind::TooLong,
                   QStringLiteral("%1 %2 has %3 characters, more than %4 (stored cut to %5)")
                       .arg(QLatin1String(what), Quoted(trimmed))
                       .arg(trimmed.size())
                       .arg(width)
                       .arg(vb::Trim(PadCut(raw, width)))});
}

// A district or jurisdiction: missing where one is needed, too long, or not
// in its code table. True when it is given and in the table.
bool code(Findings& out, Field field, const char* what, const QString& raw, int width, bool needed, bool known)
{
    const QString cell = vb::Trim(raw);
    const QString name = QLatin1String(what);
    if (cell.isEmpty()) {
        if (needed)
            out.push_back({field, Kind::Missing, QStringLiteral("no ") + name});
        return false;
    }
    if (cell.size() > width) {
        if (needed)
            out.push_back({field, Kind::TooLong,
                           QStringLiteral("%1 %2 has more than %3 characters").arg(name, Quoted(cell)).arg(width)});
        return false;
    }
    if (!known) {
        out.push_back({field, Kind::NotInTable, QStringLiteral("%1 %2 is not in the code table").arg(name, cell)});
        return false;
    }
    return true;
}

} // namespace

QString Quoted(const QString& text)
{
    constexpr int kLongest = 40;
    return text.size() > kLongest ? text.left(kLongest) + QStringLiteral("...") : text;
}

QString PadCut(const QString& text, int n)
{
    return text.leftJustified(n, QLatin1Char(' '), true);
}

// ---------------------------------------------------------------- code tables

QString CodeKey(const QString& code, int width)
{
    return PadCut(vb::Trim(code), width);
}

CodeTables::CodeTables(const QStringList& districts, const QStringList& jurisdictions,
                       const QList<QPair<QString, QString>>& pairs)
{
    for (const QString& d : districts)
        districts_.insert(key(CodeKey(d, kDistrictWidth)));
    for (const QString& j : jurisdictions)
        jurisdictions_.insert(key(CodeKey(j, kJurisdictionWidth)));
    for (const auto& [d, j] : pairs)
        pairs_.insert(pairKey(d, j));
}

CodeTables CodeTables::read(db::Connection& zarv)
{
    const QStringList districts =
        column(zarv, QStringLiteral("SELECT Collection_District_Code AS K FROM Collection_District"));
    const QStringList jurisdictions = column(zarv, QStringLiteral("SELECT Jurisdiction_Code AS K FROM Jurisdiction"));
    QList<QPair<QString, QString>> pairs;
    db::Recordset rs(&zarv, QStringLiteral("SELECT Collection_District_Code AS D, Jurisdiction_Code AS J FROM CD_JUR"),
                     db::LockType::ReadOnly);
    rs.open();
    for (; !rs.eof(); rs.moveNext())
        pairs.append({rs.text(QStringLiteral("D")), rs.text(QStringLiteral("J"))});
    return CodeTables(districts, jurisdictions, pairs);
}

CodeTables CodeTables::fromWorkingDatabase()
{
    return read(DE().Zarv);
}

bool CodeTables::hasDistrict(const QString& code) const
{
    return districts_.contains(key(CodeKey(code, kDistrictWidth)));
}

bool CodeTables::hasJurisdiction(const QString& code) const
{
    return jurisdictions_.contains(key(CodeKey(code, kJurisdictionWidth)));
}

bool CodeTables::hasPair(const QString& district, const QString& jurisdiction) const
{
    return pairs_.contains(pairKey(district, jurisdiction));
}

// ---------------------------------------------------------------- the rule

bool PidOnly(const Record& r)
{
    return !vb::Trim(r.mortco).isEmpty() && vb::Trim(r.jur).isEmpty() && vb::Trim(r.folio).isEmpty() &&
           !vb::Trim(r.pid).isEmpty();
}

Findings Judge(const Record& r, const CodeTables& tables)
{
    Findings out;
    const QString status = vb::UCase(PadCut(r.acd, 1));
    if (status != QLatin1String("A") && status != QLatin1String("C") && status != QLatin1String("D") &&
        status != QLatin1String(" "))
        out.push_back({Field::Status, Kind::Invalid,
                       QStringLiteral("status '%1' is not A, C, D or blank").arg(Quoted(vb::Trim(r.acd)))});
    if (vb::Trim(r.mortco).isEmpty())
        out.push_back({Field::Company, Kind::Missing, QStringLiteral("no mortgage company")});
    length(out, Field::Number, "mortgage number", r.number, kNumberWidth);

    const bool needed = !PidOnly(r);
    const bool district = code(out, Field::District, "collection district", r.cd, kDistrictWidth, needed,
                               tables.hasDistrict(r.cd));
    const bool jurisdiction = code(out, Field::Jurisdiction, "jurisdiction", r.jur, kJurisdictionWidth, needed,
                                   tables.hasJurisdiction(r.jur));
    if (district && jurisdiction && !tables.hasPair(r.cd, r.jur))
        out.push_back({Field::Jurisdiction, Kind::NotAPair,
                       QStringLiteral("collection district %1 with jurisdiction %2 is not a pair of the code table")
                           .arg(vb::Trim(r.cd), vb::Trim(r.jur))});
    if (needed)
        length(out, Field::Folio, "folio", r.folio, kFolioWidth);
    length(out, Field::Pid, "PID", r.pid, kPidWidth);
    if (vb::Trim(r.folio).isEmpty() && vb::Trim(r.pid).isEmpty())
        out.push_back({Field::Folio, Kind::Missing, QStringLiteral("neither folio nor PID")});
    return out;
}

bool LeftOut(const Findings& findings)
{
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.leftOut; });
}

QString LeftOutReasons(const Findings& findings)
{
    QStringList reasons;
    for (const Finding& f : findings) {
        if (f.leftOut)
            reasons << f.reason;
    }
    return reasons.join(QStringLiteral("; "));
}

// ---------------------------------------------------------------- VERIFY rows

Record RecordOf(const db::Recordset& rs)
{
    return {rs.text(QStringLiteral("ACD")),   rs.text(QStringLiteral("MORTCO")), rs.text(QStringLiteral("NUMBER")),
            rs.text(QStringLiteral("CD")),    rs.text(QStringLiteral("JUR")),    rs.text(QStringLiteral("FOLIO")),
            rs.text(QStringLiteral("PID"))};
}

QString Identify(const Record& r)
{
    QString text = QStringLiteral("mortgage ") + Quoted(vb::Trim(r.number));
    if (!vb::Trim(r.folio).isEmpty())
        return text + QStringLiteral(", folio ") + Quoted(vb::Trim(r.folio));
    if (!vb::Trim(r.pid).isEmpty())
        return text + QStringLiteral(", PID ") + Quoted(vb::Trim(r.pid));
    return text + QStringLiteral(", no folio or PID");
}

QString NamedRecord::text() const
{
    return Identify(record) + QStringLiteral(": ") + reasons;
}

std::vector<NamedRecord> LeftOutRows(db::Recordset& rows)
{
    std::vector<NamedRecord> named;
    if (!rows.isOpen())
        rows.open();
    const CodeTables tables = CodeTables::fromWorkingDatabase();
    const std::unique_ptr<db::Recordset> c = rows.clone();
    if (c->recordCount() <= 0)
        return named;
    for (c->moveFirst(); !c->eof(); c->moveNext()) {
        const Record r = RecordOf(*c);
        const Findings findings = Judge(r, tables);
        if (LeftOut(findings))
            named.push_back({c->bookmark(), r, LeftOutReasons(findings)});
    }
    return named;
}

} // namespace zarv::foliorule
