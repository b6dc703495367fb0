#include "shell/data/clientdata.h"

#include "platform/data/criteria.h"
#include "platform/text/vb.h"
#include "shell/data/dataenvironment.h"
#include "shell/data/sharedstate.h"

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

namespace {

constexpr int kMaxDisplay = 20;

// Pours the characters of s into the "#" places of mask (first 20 characters);
// other mask characters are copied, "#" places left over vanish.
QString pour(const QString& mask, const QString& s)
{
    QString out;
    out.reserve(kMaxDisplay);
    qsizetype j = 0;
    const qsizetype n = std::min<qsizetype>(mask.size(), kMaxDisplay);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar m = mask.at(i);
        if (m == QLatin1Char('#')) {
            if (j < s.size())
                out += s.at(j);
            ++j;
        } else {
            out += m;
        }
    }
    return out;
}

QString withDefaultMask(const QString& folio)
{
    const int n = int(vb::Trim(folio).size());
    const QString mask = RepeatString(QStringLiteral("#"), n) + RepeatString(QStringLiteral(" "), kMaxDisplay - n);
    return pour(mask, vb::Right(folio, 18));
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
        strFind = QStringLiteral("JUR_CD = ") + db::quoted(jurCd);
        rs.find(strFind, 0, true);
        if (rs.eof())
            return withDefaultMask(folio);
    }

    // A row without a usable mask or length shows the folio as the default would.
    const QVariant mask = rs.value(QStringLiteral("FOLIO_MASK"));
    const QVariant len = rs.value(QStringLiteral("FOLIO_LEN"));
    if (mask.isNull() || len.isNull() || mask.toString().isEmpty())
        return withDefaultMask(folio);
    const double l = len.toDouble();
    if (l < 0 || l > 32767)
        return withDefaultMask(folio);
    return pour(mask.toString(), vb::Right(folio, vb::CInt(l)));
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
