#include "services/clientdata.h"

#include <algorithm>

#include "platform/data/criteria.h"
#include "platform/text/csv.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"
#include "services/sharedstate.h"
#include "services/system.h"

namespace zarv {

QString RepeatString(const QString& text, int count)
{
    if (count <= 0)
        return {};
    return text.repeated(count);
}

QString StripQuotes(const QString& text)
{
    const QString s = vb::Trim(text);
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c != QLatin1Char('"') && c != QLatin1Char('\''))
            out += c;
    }
    return out;
}

QString CollapseSpaces(const QString& text)
{
    const QString s = vb::Trim(text);
    QString out;
    out.reserve(s.size());
    bool lastBlank = false;
    for (QChar c : s) {
        const bool blank = c == QLatin1Char(' ');
        if (!(blank && lastBlank))
            out += c;
        lastBlank = blank;
    }
    return out;
}

QString CsvValue(const QString& value)
{
    // A line break or tab the table may still hold would split the line.
    QString text = SingleLine(value);
    // Quotes before the trim, so that a blank a quote held away from the edge goes too.
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\''))) {
        text.remove(QLatin1Char('"'));
        text.remove(QLatin1Char('\''));
    }
    return vb::Trim(text);
}

QString CsvLine(const QStringList& values)
{
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        csv::appendField(line, CsvValue(values[i]));
    }
    return vb::Trim(line);
}

QString SingleLine(const QString& text)
{
    const auto breaks = [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t');
    };
    if (std::none_of(text.begin(), text.end(), breaks))
        return text;    // shared, not copied: most values hold none
    QString out = text;
    for (QChar& c : out) {
        if (breaks(c))
            c = QLatin1Char(' ');
    }
    return out;
}

namespace {

constexpr int kMaxDisplay = 20;

// Pours the characters of s into the "#" places of mask (first 20 characters);
// other mask characters are copied, "#" places left over vanish.
QString pour(const QString& mask, QStringView s)
{
    return PourIntoMask(mask, s, kMaxDisplay);
}

QString withDefaultMask(const QString& folio)
{
    const int n = int(vb::Trim(folio).size());
    const QString mask = RepeatString(QStringLiteral("#"), n) + RepeatString(QStringLiteral(" "), kMaxDisplay - n);
    return pour(mask, vb::Right(folio, 18));
}

const QLatin1String kFindStart("JUR_CD = '");

// Whether strFind already reads "JUR_CD = " + quoted(jurCd).
bool findNames(const QString& find, const QString& jurCd)
{
    if (find.size() < kFindStart.size() + 1 || !find.startsWith(kFindStart) || !find.endsWith(u'\''))
        return false;
    const QStringView inner = QStringView(find).mid(kFindStart.size(), find.size() - kFindStart.size() - 1);
    qsizetype k = 0;
    for (const QChar c : jurCd) {
        const int copies = c == u'\'' ? 2 : 1;
        for (int n = 0; n < copies; ++n, ++k) {
            if (k >= inner.size() || inner[k] != c)
                return false;
        }
    }
    return k == inner.size();
}

// The folios of one jurisdiction come in runs: the criterion is written
// again only when it changes.
void setFindJurisdiction(const QString& jurCd)
{
    if (!findNames(strFind, jurCd))
        strFind = QStringLiteral("JUR_CD = ") + db::quoted(jurCd);
}

QString formatWith(db::Recordset& rs, const QString& jurCd, const QString& folio)
{
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() < 1)
        return withDefaultMask(folio);

    rs.moveFirst();
    if (rs.text(QStringLiteral("JUR_CD")) != jurCd) {
        rs.moveFirst();
        setFindJurisdiction(jurCd);
        rs.find(strFind, 0, true);
        if (rs.eof())
            return withDefaultMask(folio);
    }

    // A row without a usable mask or length shows the folio as the default would.
    const QVariant mask = rs.value(QStringLiteral("FOLIO_MASK"));
    const QVariant len = rs.value(QStringLiteral("FOLIO_LEN"));
    if (mask.isNull() || len.isNull())
        return withDefaultMask(folio);
    const QString maskText = mask.toString();
    if (maskText.isEmpty())
        return withDefaultMask(folio);
    bool numeric = false;
    const double l = len.toDouble(&numeric);   // an empty or blank length is no length
    if (!numeric || l < 0 || l > 32767)
        return withDefaultMask(folio);
    const int n = vb::CInt(l);   // vb::Right without the copy
    return pour(maskText, n <= 0 ? QStringView() : QStringView(folio).right(n));
}

} // namespace

QString FormatFolio(const QString& jurCd, const QString& folio)
{
    return formatWith(DE().rsFol_Mask(), jurCd, folio);
}

QString FormatFolioFromFolioMask(const QString& jurCd, const QString& folio)
{
    return formatWith(DE().rsFolioMask(), jurCd, folio);
}

} // namespace zarv
