#include "verifyfile/loadsteps.h"

#include "verifyfile/verifylayout.h"

#include "platform/data/criteria.h"
#include "platform/text/vb.h"
#include "services/clientdata.h"

#include <QDate>

#include <algorithm>

namespace zarv::loadsteps {

namespace {

using verifylayout::StepError;

QString trimmed(const QString& cell)
{
    return vb::Trim(cell);
}

CodeSheet folioMaskSheet()
{
    return CodeSheet{
        2,
        verifylayout::kFolioMaskSheet,
        verifylayout::kFolioMaskHeadings,
        &DataEnvironment::rsFol_Mask,
        false,
        [](const CodeCells& c) { return QStringLiteral("JUR_CD = ") + db::quoted(c[0]); },
        {
            {QStringLiteral("JUR_CD"), [](const CodeCells& c) { return QVariant(c[0]); }},
            {QStringLiteral("YEAR"),
             [](const CodeCells&) { return QVariant(vb::Trim(QString::number(QDate::currentDate().year()))); }},
            {QStringLiteral("FOLIO_LEN"), [](const CodeCells& c) { return QVariant(folioLength(c[1])); }},
            {QStringLiteral("FOLIO_MASK"), [](const CodeCells& c) { return QVariant(trimmed(c[2])); }},
        },
        [](const CodeCells& c) {
            return QStringLiteral("reading the Folio Mask JUR(") + c[0] + QStringLiteral(") Folio Length(") + c[1] +
                   QStringLiteral(") Folio Mask(") + c[2] + QStringLiteral(")");
        },
        {"140", "141", "142", "143", "144", "150", "151", "152", "153", "153", "154",
         {"155", {"156", "157", "158", "159"}, "160 ", "161"},
         {"170", {"171", "172", "173", "174"}, "175 ", "176"},
         nullptr},
    };
}

CodeSheet districtSheet()
{
    return CodeSheet{
        3,
        verifylayout::kDistrictSheet,
        verifylayout::kDistrictHeadings,
        &DataEnvironment::rsCollection_District,
        false,
        [](const CodeCells& c) { return QStringLiteral("Collection_District_Code = ") + db::quoted(districtCode(c[0])); },
        {
            {QStringLiteral("Collection_District_Code"), [](const CodeCells& c) { return QVariant(districtCode(c[0])); }},
            {QStringLiteral("Collection_District_Name"), [](const CodeCells& c) { return QVariant(trimmed(c[1])); }},
        },
        [](const CodeCells& c) {
            return QStringLiteral("reading the Collection District Code (") + c[0] +
                   QStringLiteral(") Collection District Name(") + c[1] + QStringLiteral(")");
        },
        {"177", "180", "181", "182", nullptr, "183", "184", "185", "186", "187", "188",
         {"189", {"190", "191"}, "192 ", "193"},
         {"194", {"195", "196"}, "197", "198"},
         nullptr},
    };
}

CodeSheet jurisdictionSheet()
{
    return CodeSheet{
        4,
        verifylayout::kJurisdictionSheet,
        verifylayout::kJurisdictionHeadings,
        &DataEnvironment::rsJurisdiction,
        false,
        [](const CodeCells& c) { return QStringLiteral("Jurisdiction_Code = ") + db::quoted(jurisdictionCode(c[0])); },
        {
            {QStringLiteral("Jurisdiction_Code"), [](const CodeCells& c) { return QVariant(jurisdictionCode(c[0])); }},
            {QStringLiteral("Jurisdiction_Name"), [](const CodeCells& c) { return QVariant(trimmed(c[1])); }},
        },
        [](const CodeCells& c) {
            return QStringLiteral("reading the Jurisdiction Code (") + c[0] + QStringLiteral(") Jurisdiction Name(") +
                   c[1] + QStringLiteral(")");
        },
        {"199", "200", "201", "202", nullptr, "202", "203", "204", "205", "206", "207",
         {"208", {"209", "210"}, "211 ", "212"},
         {"213", {"214", "215"}, "216 ", "217"},
         "218"},
    };
}

CodeSheet comboSheet()
{
    return CodeSheet{
        5,
        verifylayout::kComboSheet,
        verifylayout::kComboHeadings,
        &DataEnvironment::rsCD_JUR,
        true,
        [](const CodeCells& c) {
            return db::eq(QStringLiteral("Collection_District_Code"), districtCode(c[0])) + QStringLiteral("AND ") +
                   db::eq(QStringLiteral("Jurisdiction_Code"), jurisdictionCode(c[1]));
        },
        {
            {QStringLiteral("Collection_District_Code"), [](const CodeCells& c) { return QVariant(districtCode(c[0])); }},
            {QStringLiteral("Jurisdiction_Code"), [](const CodeCells& c) { return QVariant(jurisdictionCode(c[1])); }},
        },
        [](const CodeCells& c) {
            return QStringLiteral("reading the Collection District Code CD (") + c[0] +
                   QStringLiteral(") Jurisdiction Code JUR(") + c[1] + QStringLiteral(")");
        },
        {"300", "300", "301", "302", nullptr, "303", "304", "305", "306", "307", "308",
         {"309", {"310", "311"}, "312 ", "313"},
         {"320", {"321", "322"}, "323 ", "324"},
         nullptr},
    };
}

} // namespace

const std::vector<CodeSheet>& codeSheets()
{
    static const std::vector<CodeSheet> sheets = {folioMaskSheet(), districtSheet(), jurisdictionSheet(), comboSheet()};
    return sheets;
}

namespace {

bool isBlank(const QString& cell)
{
    return std::all_of(cell.cbegin(), cell.cend(), [](QChar ch) { return ch.isSpace(); });
}

// The cell holds the heading, whatever the letter case and the blanks, tabs
// and no-break spaces around and between its words.
bool holdsHeading(const QString& cell, const QString& heading)
{
    return cell.size() >= heading.size() && cell.simplified().compare(heading, Qt::CaseInsensitive) == 0;
}

} // namespace

RowKind kindOfRow(std::span<const QString> cells, const QStringList& headings, int lastColumnOfRow)
{
    if (lastColumnOfRow == 0)
        return RowKind::Empty;
    qsizetype headingCells = 0;
    bool blank = true;
    for (qsizetype col = 0; col < headings.size(); ++col) {
        const QString& text = cells[size_t(col)];
        headingCells += holdsHeading(text, headings[col]) ? 1 : 0;
        blank = blank && isBlank(text);
    }
    if (2 * headingCells >= headings.size())
        return RowKind::Heading;
    if (!blank)
        return RowKind::Data;
    return lastColumnOfRow > headings.size() ? RowKind::Outside : RowKind::Empty;
}

void LeftOutRows::add(RowKind kind, int row)
{
    if (kind == RowKind::Heading) {
        if (headingSeen_)
            headings_ << row;
        headingSeen_ = true;
    } else if (kind == RowKind::Outside) {
        outside_ << row;
    }
}

namespace {

// "row 3", "row 3 and row 7", "row 3, row 7 and row 9"; a long list names its
// first rows and counts the rest.
QString rowList(const QList<int>& rows)
{
    constexpr qsizetype kNamed = 20;
    QStringList names;
    for (qsizetype i = 0; i < rows.size() && i < kNamed; ++i)
        names << QStringLiteral("row %1").arg(rows[i]);
    if (rows.size() > kNamed)
        names << QStringLiteral("%1 more rows").arg(rows.size() - kNamed);
    if (names.size() == 1)
        return names.first();
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

QString LeftOutRows::note(const QString& sheetName, int columns) const
{
    QStringList reasons;
    if (!headings_.isEmpty()) {
        reasons << rowList(headings_) +
                       (headings_.size() == 1 ? QStringLiteral(" repeats") : QStringLiteral(" repeat")) +
                       QStringLiteral(" the heading row");
    }
    if (!outside_.isEmpty()) {
        reasons << rowList(outside_) + (outside_.size() == 1 ? QStringLiteral(" has") : QStringLiteral(" have")) +
                       QStringLiteral(" values only outside columns A to ") + QChar(u'A' + columns - 1);
    }
    if (reasons.isEmpty())
        return {};
    return QStringLiteral("Rows not loaded from the sheet \"%1\": ").arg(sheetName) + reasons.join(QStringLiteral("; ")) +
           QStringLiteral(".");
}

double folioLength(const QString& cell)
{
    const QString text = vb::Trim(cell);
    double value = 0;
    if (!text.isEmpty()) {
        if (!vb::IsNumeric(text)) {
            throw StepError(StepError::TypeMismatch,
                            QStringLiteral("Type mismatch: the folio length \"%1\" is not a number").arg(cell));
        }
        value = vb::Val(QString(text).remove(QLatin1Char(',')));
    }
    return vb::Val(vb::Right(QStringLiteral("00") + vb::Trim(vb::Str(value)), 2));
}

QString districtCode(const QString& cell)
{
    return vb::Left(cell + RepeatString(QStringLiteral(" "), 2), 2);
}

QString jurisdictionCode(const QString& cell)
{
    return vb::Left(cell + RepeatString(QStringLiteral(" "), 3), 3);
}

} // namespace zarv::loadsteps
