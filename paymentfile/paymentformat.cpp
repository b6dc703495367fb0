#include "paymentfile/paymentformat.h"

#include "platform/text/amounttext.h"
#include "platform/text/csv.h"
#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "services/clientdata.h"
#include "services/system.h"

#include <QDate>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace zarv::pf {

namespace {

QStringView withoutLeadingHash(QStringView s)
{
    return s.startsWith(u'#') ? s.mid(1) : s;
}

// Upper case one character to one, as vb::UCase.
QString upper(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < s.size(); ++i)
        d[i] = vb::UCaseChar(s[i]);
    return out;
}

// Trimmed, upper case, its first character; anything but A, B or C is A.
QString paymentType(QStringView field)
{
    qsizetype i = 0;
    while (i < field.size() && field[i] == u' ')
        ++i;
    const QChar c = i < field.size() ? field[i].toUpper() : QChar(u' ');
    if (c == u'B')
        return QStringLiteral("B");
    if (c == u'C')
        return QStringLiteral("C");
    return QStringLiteral("A");
}

const QString kAmountPattern = QStringLiteral("##########0.00");

double amountOfOtherForm(QStringView field, QStringView line)
{
    if (vb::Trim(field.toString()).isEmpty())
        return 0.0;
    if (const std::optional<double> v = txt::ReadAmount(field))
        return *v;
    throw Refusal(QStringLiteral("The amount \"%1\" on the payment line \"%2\" is not a number.")
                      .arg(field.toString(), line.toString()),
                  QStringLiteral("Correct the amount in the file (digits with a point before the cents, such as "
                                 "1234.50) and load the file again."));
}

// The amount of a field of the payment line. The usual forms ("150.00",
// "-25") are read here directly; anything else must read as an amount the way
// a spreadsheet program writes one ("$25.00", "1,234.50", "(25.00)"), or the
// line is refused. An empty field is 0.
double amount(QStringView field, QStringView line)
{
    if (field.isEmpty())
        return 0.0;
    char buf[64];
    if (field.size() >= qsizetype(sizeof buf))
        return amountOfOtherForm(field, line);
    qsizetype i = 0;
    int n = 0;
    if (field[0] == u'-')
        buf[n++] = '-', ++i;
    bool digit = false;
    bool point = false;
    for (; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return amountOfOtherForm(field, line);
        }
        buf[n++] = char(c);
    }
    if (!digit)
        return amountOfOtherForm(field, line);
    double v = 0;
    const auto r = std::from_chars(buf, buf + n, v);
    if (r.ec != std::errc() || !std::isfinite(v))
        return amountOfOtherForm(field, line);
    return v == 0.0 ? 0.0 : v;
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// A payment line's field that neither its written form nor the CSV writer
// changes: no comma, quote of either kind or line break.
bool plainField(QStringView s)
{
    constexpr quint64 kTouched = (1ull << '\n') | (1ull << '\r') | (1ull << '"') | (1ull << '\'') | (1ull << ',');
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 64 && (kTouched >> u) & 1)
            return false;
    }
    return true;
}

// Whether keeping the last `keep` digits of s (its other characters ignored)
// drops a digit other than 0.
bool dropsSignificantDigits(QStringView s, int keep)
{
    int seen = 0;
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        const QChar c = s[i];
        if (c < u'0' || c > u'9')
            continue;
        if (++seen > keep && c != u'0')
            return true;
    }
    return false;
}

} // namespace

int splitFields(QStringView line, QStringView* fields, int max, QString& storage)
{
    if (!line.contains(u'"') && !line.contains(u'\''))
        return csv::split(line, fields, max, storage);
    // The fields as CSV gives them, then without their quotes, into one
    // storage: the first half holds the fields, the second what is kept of them.
    QString split;
    const int n = csv::split(line, fields, max, split);
    storage.resize(line.size());
    QChar* out = storage.data();
    for (int i = 0; i < n; ++i) {
        QChar* const start = out;
        for (const QChar c : fields[i])
            if (!isQuote(c))
                *out++ = c;
        fields[i] = QStringView(start, out - start);
    }
    return n;
}

QStringView plainLine(const QString& line, QString& storage)
{
    QStringView plain = line;
    if (line.contains(u'"') || line.contains(u'\'')) {
        std::vector<QStringView> fields(size_t(line.size()) + 1);
        QString parts;
        const int n = splitFields(line, fields.data(), int(fields.size()), parts);
        storage.clear();
        storage.reserve(line.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                storage += u',';
            storage += fields[size_t(i)];
        }
        plain = storage;
    }
    while (plain.endsWith(u','))
        plain.chop(1);
    return plain;
}

namespace {

// s without its leading and trailing blanks (U+0020 only, as vb::Trim).
QStringView trimmedView(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

// writtenText as a view: into s when only blanks go, else into scratch.
QStringView writtenView(QStringView s, QString& scratch)
{
    s = trimmedView(s);
    for (const QChar c : s) {
        if (c == u',' || isQuote(c)) {
            scratch = writtenText(s);
            return scratch;
        }
    }
    return s;
}

// The digits of a folio text from the right, zeros beyond its first digit.
class DigitsFromRight {
public:
    explicit DigitsFromRight(QStringView s) : s_(s), i_(s.size()) {}
    QChar next()
    {
        while (i_ > 0) {
            const QChar c = s_[--i_];
            if (c >= u'0' && c <= u'9')
                return c;
        }
        return u'0';
    }

private:
    QStringView s_;
    qsizetype i_;
};

// Whether two folio texts read back to the same 18 digits.
bool sameFolioDigits(QStringView a, QStringView b)
{
    DigitsFromRight da(a), db(b);
    for (int n = 0; n < 18; ++n) {
        if (da.next() != db.next())
            return false;
    }
    return true;
}

} // namespace

QString writtenText(QStringView s)
{
    s = trimmedView(s);
    bool clean = true;
    for (const QChar c : s) {
        if (c == u',' || isQuote(c)) {
            clean = false;
            break;
        }
    }
    if (clean)
        return s.toString();
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c != u',' && !isQuote(c))
            out += c;
    }
    // Dropping a comma or quote may bare a blank at either end.
    return out.size() == vb::Trim(out).size() ? out : vb::Trim(out);
}

QString writtenText(const QString& s)
{
    QString scratch;
    const QStringView w = writtenView(s, scratch);
    if (w.size() == s.size())
        return s;
    return w.data() == scratch.constData() ? scratch : w.toString();
}

QString storedText(QStringView s, int width)
{
    const QString w = writtenText(s);
    return w.size() > width ? writtenText(QStringView(w).left(width)) : w;
}

// The digits of a folio, eighteen zeros put in front and the last 18 taken.
QString folioDigits(QStringView s)
{
    char16_t out[18];
    int n = 18;
    for (qsizetype i = s.size() - 1; i >= 0 && n > 0; --i) {
        const char16_t c = s[i].unicode();
        if (c >= u'0' && c <= u'9')
            out[--n] = c;
    }
    while (n > 0)
        out[--n] = u'0';
    return QString(reinterpret_cast<const QChar*>(out), 18);
}

PaymentFields parsePaymentLine(QStringView line, QString* marker)
{
    auto step = [marker](const QString& m) {
        if (marker)
            *marker = m;
    };
    std::array<QStringView, 12> f;
    QString storage, scratch, scratch2;
    splitFields(line, f.data(), int(f.size()), storage);

    PaymentFields p;
    step(QStringLiteral("  9- 1"));
    QStringView number = writtenView(f[0], scratch);
    if (number.startsWith(u'#'))
        number = writtenView(number.mid(1), scratch2);
    p.number = upper(number);
    step(QStringLiteral("  9- 2"));
    p.name = upper(writtenView(f[1], scratch));
    step(QStringLiteral("  9- 3"));
    const QStringView cd = writtenView(f[2], scratch);
    p.cd = cd.size() >= 2 ? cd.right(2).toString() : QLatin1Char('0') + cd.toString();
    if (cd.size() > 2) {
        for (const QChar c : cd.chopped(2)) {
            if (c != u'0') {
                p.cdRead = cd.toString();
                break;
            }
        }
    }
    step(QStringLiteral("  9- 4"));
    p.jur = writtenView(f[3], scratch).toString();
    step(QStringLiteral("  9- 5"));
    p.folio = folioDigits(withoutLeadingHash(f[4]));
    if (f[4].size() > kFolioWidth && dropsSignificantDigits(f[4], kFolioWidth))
        p.folioRead = f[4].toString();
    p.payment = amount(f[5], line);
    step(QStringLiteral("  9- 6"));
    p.abc = paymentType(f[6]);
    step(QStringLiteral("  9- 7"));
    p.grossTax = amount(f[7], line);
    step(QStringLiteral("  9- 8"));
    p.regGrant = amount(f[8], line);
    step(QStringLiteral("  9- 9"));
    p.addGrant = amount(f[9], line);
    step(QStringLiteral("  9-10"));
    p.delq = amount(f[10], line);
    step(QStringLiteral("  9-10 #2"));
    p.legal = writtenView(f[11], scratch).toString();
    return p;
}

QString shownFolio(const QString& jur, const QString& folio, bool* shownPlain)
{
    QString shown = FormatFolio(jur, folio);
    const bool plain = !sameFolioDigits(shown, folio);
    if (plain) {
        const QString digits = folioDigits(folio);
        qsizetype first = 0;
        while (first < digits.size() - 1 && digits[first] == u'0')
            ++first;
        shown = digits.mid(first);
    }
    if (shownPlain)
        *shownPlain = plain;
    return shown;
}

QString groupValue(const QString& line, const GroupLabel& label)
{
    const QString v = StripTrailingChar(vb::Mid(line, label.position, label.width), QStringLiteral(","));
    switch (label.cleaning) {
    case Cleaning::Code:
        return vb::UCase(vb::Right(QStringLiteral("0000") + v, 4));
    case Cleaning::Text:
        return vb::UCase(v);
    case Cleaning::None:
        break;
    }
    return v;
}

// Format(v, "##########0.00") without parsing the pattern on every call: the
// 15-significant-digit decimal form of v, rounded half away from zero to two
// decimals, a minus sign only when something other than zero is left. Very
// large or very small magnitudes take the general routine.
QString amountText(double v)
{
    if (v == 0.0)
        return QStringLiteral("0.00");
    const double magnitude = std::fabs(v);
    if (!std::isfinite(v) || magnitude >= 1e17 || magnitude < 1e-20)
        return vb::Format(v, kAmountPattern);

    char sci[32];
    const auto done = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, 14);
    const char* e = std::find(sci, done.ptr, 'e');
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), done.ptr, exponent);

    // All digits, integer and fraction together, with the point after intLen.
    char all[64];
    int n = 0;
    const int pointAt = exponent + 1;
    for (int i = 0; i < -pointAt; ++i)
        all[n++] = '0';
    all[n++] = sci[0];
    for (const char* d = sci + 2; d < e; ++d)
        all[n++] = *d;
    int intLen = std::max(pointAt, 0);
    while (n < intLen)
        all[n++] = '0';

    const int keep = intLen + 2;
    if (n > keep) {
        const bool up = all[keep] >= '5';
        n = keep;
        if (up) {
            int i = keep - 1;
            for (; i >= 0 && all[i] == '9'; --i)
                all[i] = '0';
            if (i >= 0) {
                ++all[i];
            } else {
                std::memmove(all + 1, all, size_t(n));
                all[0] = '1';
                ++n;
                ++intLen;
            }
        }
    }
    while (n < keep)
        all[n++] = '0';

    int first = 0;
    while (first < intLen && all[first] == '0')
        ++first;
    const bool zero = first == intLen && all[intLen] == '0' && all[intLen + 1] == '0';

    QString out;
    out.reserve(intLen - first + 5);
    if (v < 0 && !zero)
        out += QLatin1Char('-');
    if (first == intLen)
        out += QLatin1Char('0');
    else
        out += QLatin1String(all + first, intLen - first);
    out += QLatin1Char('.');
    out += QLatin1String(all + intLen, 2);
    return out;
}

QString folioLenText(const QVariant& folioLen)
{
    if (folioLen.isNull() || (folioLen.typeId() == QMetaType::QString && folioLen.toString().isEmpty()))
        return QStringLiteral("00");
    QString digits = vb::Trim(vb::Str(folioLen.toDouble()));
    digits.remove(QLatin1Char('-'));
    return vb::Right(QStringLiteral("00") + digits, 2);
}

QString paymentLine(const QString& number, const QString& name, const QString& cd, const QString& jur,
                    const QString& folioDisp, double payment, const QString& abc, double grossTax,
                    double regGrant, double addGrant, double delq, const QString& legal)
{
    // Twelve fields of the one CSV writer. The five texts are in their written
    // form, without commas or quotes, so no field is ever quoted but one the
    // folio's display form would put in quotes, and StripQuotes takes those
    // out again: the line holds no quote of either kind. A field holding none
    // of the characters either would touch goes in as it is: one look at each.
    QString line;
    line.reserve(number.size() + name.size() + cd.size() + jur.size() + folioDisp.size() + abc.size() +
                 legal.size() + 5 * 16 + 14);
    QString scratch;
    const auto field = [&line, &scratch](bool hash, const QString& s, bool written) {
        const QStringView t = trimmedView(s);
        if (plainField(t)) {
            if (hash)
                line += u'#';
            line += t;
            return;
        }
        const QStringView w = written ? writtenView(t, scratch) : t;
        if (hash)
            csv::appendField(line, QLatin1Char('#') + w.toString());
        else
            csv::appendField(line, w);
    };
    const auto text = [&field, &line](const QString& s) {
        field(false, s, true);
        line += u',';
    };
    const auto amount = [&line](double v) {
        line += amountText(v);
        line += u',';
    };
    field(true, number, true);
    line += u',';
    text(name);
    text(cd);
    text(jur);
    field(true, folioDisp, false);
    line += u',';
    amount(payment);
    field(false, abc, false);
    line += u',';
    amount(grossTax);
    amount(regGrant);
    amount(addGrant);
    amount(delq);
    field(false, legal, true);
    // StripQuotes: the line trimmed and every quote removed. It starts with
    // "#", so only its end can carry blanks.
    if (line.contains(QLatin1Char('"')) || line.contains(QLatin1Char('\'')))
        return StripQuotes(line);
    if (line.endsWith(QLatin1Char(' ')))
        line.truncate(trimmedView(line).size());
    return line;
}

QString currentYearText()
{
    return QString::number(QDate::currentDate().year());
}

} // namespace zarv::pf
