#include "platform/text/amounttext.h"

#include <QChar>

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace zarv::txt {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isSign(QChar c) { return c == u'+' || c == u'-'; }
bool isCurrency(QChar c) { return c.category() == QChar::Symbol_Currency; }

class Scanner {
public:
    explicit Scanner(QStringView t) : t_(t) {}

    bool atEnd() const { return i_ >= t_.size(); }
    QChar peek() const { return atEnd() ? QChar() : t_[i_]; }
    void skipBlanks()
    {
        while (!atEnd() && t_[i_] == u' ')
            ++i_;
    }
    // A sign or a currency sign, each at most once in the whole amount.
    void marks(QChar& sign, bool& currency)
    {
        for (;;) {
            skipBlanks();
            if (sign.isNull() && isSign(peek())) {
                sign = t_[i_++];
            } else if (!currency && isCurrency(peek())) {
                currency = true;
                ++i_;
            } else {
                return;
            }
        }
    }
    // The digits, grouping commas dropped, into plain; false when malformed.
    bool number(std::string& plain)
    {
        qsizetype group = 0;       // digits since the start or the last comma
        bool grouped = false;
        bool mantissaDigit = false;
        for (; !atEnd(); ++i_) {
            const QChar c = t_[i_];
            if (isDigit(c)) {
                plain += char(c.unicode());
                ++group;
                mantissaDigit = true;
            } else if (c == u',') {
                if (group == 0 || group > 3 || (grouped && group != 3))
                    return false;
                grouped = true;
                group = 0;
            } else {
                break;
            }
        }
        if (grouped && group != 3)
            return false;
        if (peek() == u'.') {
            plain += '.';
            for (++i_; !atEnd() && isDigit(t_[i_]); ++i_) {
                plain += char(t_[i_].unicode());
                mantissaDigit = true;
            }
        }
        if (!mantissaDigit)
            return false;
        if (peek() == u'e' || peek() == u'E') {
            plain += 'e';
            ++i_;
            if (isSign(peek()))
                plain += char(t_[i_++].unicode());
            bool exponentDigit = false;
            for (; !atEnd() && isDigit(t_[i_]); ++i_) {
                plain += char(t_[i_].unicode());
                exponentDigit = true;
            }
            if (!exponentDigit)
                return false;
        }
        return true;
    }

private:
    QStringView t_;
    qsizetype i_ = 0;
};

QStringView withoutBlanks(QStringView t)
{
    while (!t.isEmpty() && t.front() == u' ')
        t = t.mid(1);
    while (!t.isEmpty() && t.back() == u' ')
        t.chop(1);
    return t;
}

} // namespace

std::optional<double> ReadAmount(QStringView text)
{
    QStringView t = withoutBlanks(text);
    const bool parenthesised = t.size() >= 2 && t.front() == u'(' && t.back() == u')';
    if (parenthesised)
        t = t.mid(1, t.size() - 2);

    Scanner s(t);
    QChar sign;
    bool currency = false;
    s.marks(sign, currency);
    // The accounting format's zero: a dash alone ("$ -").
    if (s.atEnd() && sign == u'-' && !parenthesised)
        return 0.0;
    std::string plain;
    if (!s.number(plain))
        return std::nullopt;
    s.marks(sign, currency);
    if (!s.atEnd() || (parenthesised && !sign.isNull()))
        return std::nullopt;

    double v = 0;
    const auto r = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // A vanishingly small amount is zero; a huge one does not fit.
        if (plain.find("e-") != std::string::npos)
            return 0.0;
        throw std::overflow_error("Overflow");
    }
    if (r.ec != std::errc() || r.ptr != plain.data() + plain.size())
        return std::nullopt;
    if (!std::isfinite(v))
        throw std::overflow_error("Overflow");
    if (parenthesised || sign == u'-')
        v = -v;
    return v == 0.0 ? 0.0 : v;
}

} // namespace zarv::txt
