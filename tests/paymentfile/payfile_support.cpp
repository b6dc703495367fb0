#include "payfile_support.h"

#include "platform/data/recordset.h"
#include "platform/files/textdecoder.h"
#include "platform/files/textfile.h"
#include "services/dataenvironment.h"

#include <QRegularExpression>
#include <QSet>

namespace zarv::test {

QByteArray fileBytes(const QStringList& lines, const char* lineEnd)
{
    QByteArray out;
    for (const QString& l : lines) {
        out += fs::encodeCp1252(l);
        out += lineEnd;
    }
    return out;
}

QByteArray utf8Bytes(const QStringList& lines, const char* lineEnd)
{
    QByteArray out;
    for (const QString& l : lines)
        out += l.toUtf8() + lineEnd;
    return out;
}

QByteArray macRomanBytes(const QStringList& lines)
{
    return fs::encodeMacRoman(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QByteArray utf16Bytes(const QStringList& lines)
{
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QStringList separated(QStringList lines, QChar sep, bool decimalCommas)
{
    static const QRegularExpression amount(QStringLiteral("^(-?\\d+)\\.(\\d+)$"));
    for (QString& l : lines) {
        QStringList fields = l.split(u',');
        if (decimalCommas && (l.startsWith(u'#') || l.startsWith(QStringLiteral("Payment Amount"))))
            for (QString& f : fields)
                f.replace(amount, QStringLiteral("\\1,\\2"));
        l = fields.join(sep);
    }
    return lines;
}

const QString kPaymentHeading = QStringLiteral(
    "MORTGAGE NUMBER,NAME OF OWNER,COLLECTION DISTRICT,JURISDICTION,FOLIO NUMBER,PAYMENT AMOUNT,PAYMENT TYPE "
    "A/B/C,(A) - GROSS TAX,(B) - REGULAR GRANT,(C) - ADDITIONAL GRANT,DELINQUENT/CREDIT AMOUNT,LEGAL DESCRIPTION");

QStringList crlfLines(const QByteArray& bytes)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype cr = bytes.indexOf('\r', start);
        const qsizetype lf = bytes.indexOf('\n', start);
        if (cr < 0 || lf != cr + 1 || (lf >= 0 && lf < cr)) {
            ADD_FAILURE() << "a line does not end in CR LF after byte " << start;
            return lines;
        }
        lines << fs::decodeCp1252(bytes.mid(start, cr - start));
        start = lf + 1;
    }
    return lines;
}

QByteArray PayFileTest::save()
{
    const QString year = columnOf("SELECT Year FROM ZarvSystem", "Year").value(0);
    EXPECT_TRUE(Mdb2Csv(year, path(QStringLiteral("Saved.csv")), path(QStringLiteral("Saved.bak"))).ok);
    return readFile(path(QStringLiteral("Saved.csv")));
}

QStringList textsOf(const DupFolioRow& row)
{
    QStringList out;
    for (const QVariant& v : row)
        out << v.toString();
    return out;
}

void addGroup(const QString& group, const QString& mortco, const Fields& more)
{
    Fields f{{"GROUP", group}, {"MORTCO", mortco}, {"SORTORDER", "F"}};
    f.insert(f.end(), more.begin(), more.end());
    addRow(DE().rsGroup(), f);
}

void addPayment(const QString& mortco, const Fields& fields)
{
    Fields f{{"MORTCO", mortco}};
    f.insert(f.end(), fields.begin(), fields.end());
    addRow(DE().rsDetail(), f);
}

QStringList groupSection(const QStringList& labelValues, int count, const QString& total,
                         const QStringList& payments)
{
    static const char* labels[] = {"Group #,",    "Agency #,",   "Payment Due Date,", "Name1:,",     "Name2:,",
                                   "Contact Person:,", "Contact Phone Number:,", "Address1:,", "Address2:,",
                                   "Address3:,",  "Address4:,",  "Address5:,",        "Address6:,"};
    QStringList out{QStringLiteral("PAYMENT GROUP INFORMATION")};
    for (int i = 0; i < 13; ++i)
        out << QString::fromLatin1(labels[i]) + labelValues.value(i);
    out << QStringLiteral("Number of Payment records,%1").arg(count) << QStringLiteral("Payment Amount,") + total
        << QString() << QStringLiteral("PAYMENT DETAIL INFORMATION")
        << kPaymentHeading;
    out << payments << QString() << QString();
    return out;
}

// ---------------------------------------------------------------- generated content

namespace {

int pick(std::mt19937& rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

bool chance(std::mt19937& rng, int percent)
{
    return pick(rng, 1, 100) <= percent;
}

QString digits(std::mt19937& rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + pick(rng, 0, 9));
    return s;
}

QString code(std::mt19937& rng, int n)
{
    static const QString alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString s;
    for (int i = 0; i < n; ++i)
        s += alphabet.at(pick(rng, 0, int(alphabet.size()) - 1));
    return s;
}

const QStringList kWords = {"SMITH",  "JONES",  "ACME",   "TRUST", "HOLDINGS", "LTD",  "MARY",  "ANNE",
                            "DUBOIS", "ÉLODIE", "NORTH",  "BANK",  "MORTGAGE", "CO",   "& SON", "PLAN",
                            "LOT",    "BLOCK",  "UNIT",   "42",    "7B",       "MAIN", "ST",    "ZOË"};

// Upper-case words up to width characters, commas between some of them.
QString words(std::mt19937& rng, int width, bool commas)
{
    QString s;
    const int n = pick(rng, 1, 5);
    for (int i = 0; i < n; ++i) {
        const QString w = kWords.at(pick(rng, 0, int(kWords.size()) - 1));
        const QString sep = s.isEmpty() ? QString() : (commas && chance(rng, 25) ? QStringLiteral(", ") : QStringLiteral(" "));
        if (s.size() + sep.size() + w.size() > width)
            break;
        s += sep + w;
    }
    return s;
}

// Now and then the text is made exactly width characters long, to catch a
// reader that takes one character too few.
QString sometimesFull(std::mt19937& rng, const QString& s, int width)
{
    if (!chance(rng, 20))
        return s;
    const QString filler = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOP");
    QString full = (s.isEmpty() ? filler : s + QLatin1Char(' ') + filler).left(width);
    if (full.endsWith(QLatin1Char(' ')) || full.endsWith(QLatin1Char(',')))
        full[full.size() - 1] = QLatin1Char('Z');
    return full;
}

// A quote or a comma between two letters of s, where a load cannot mistake it.
QString sprinkle(std::mt19937& rng, QString s)
{
    for (int k = 0; k < 2; ++k) {
        if (s.size() < 3 || !chance(rng, 30))
            continue;
        const int at = pick(rng, 1, int(s.size()) - 1);
        if (!s.at(at - 1).isLetter() || !s.at(at).isLetter())
            continue;
        static const QString marks = QStringLiteral("'\",");
        s.insert(at, marks.at(pick(rng, 0, 2)));
    }
    return s;
}

QString cleaned(QString s)
{
    s.remove(QLatin1Char(','));
    s.remove(QLatin1Char('\''));
    s.remove(QLatin1Char('"'));
    return s.trimmed();
}

double centAmount(std::mt19937& rng)
{
    static const long long edges[] = {0, 1, 5, 10, 20, 30, 99, 100, 101, 150050, 123456789, 99999999999LL};
    const long long cents = chance(rng, 40) ? edges[pick(rng, 0, 11)] : pick(rng, 0, 5000000);
    return double(cents) / 100.0;
}

double subCentAmount(std::mt19937& rng)
{
    static const double odd[] = {2.675, 1.005, 0.005, 0.015, 0.125, 1234.5649999, 1e-7, 0.994999, 10.555};
    return chance(rng, 50) ? odd[pick(rng, 0, 8)] : pick(rng, 0, 10000000) / 1000.0;
}

GenMask makeMask(std::mt19937& rng, const QString& jur)
{
    static const int lengths[] = {6, 9, 12, 15, 18};
    GenMask m;
    m.jur = jur;
    m.len = lengths[pick(rng, 0, 4)];
    static const QString seps = QStringLiteral("-./ ");
    int room = 20 - m.len;
    for (int i = 0; i < m.len; ++i) {
        if (i > 0 && room > 0 && chance(rng, 20)) {
            m.mask += seps.at(pick(rng, 0, 3));
            --room;
        }
        m.mask += QLatin1Char('#');
    }
    return m;
}

} // namespace

GenFile generateContent(std::mt19937& rng, const GenOptions& o)
{
    GenFile f;
    f.year = QString::number(pick(rng, 2000, 2026));

    QStringList jurs;
    const int maskCount = pick(rng, 1, 5);
    while (jurs.size() < maskCount) {
        const QString j = QString::number(pick(rng, 701, 798));
        if (!jurs.contains(j))
            jurs << j;
    }
    for (const QString& j : jurs)
        f.masks.push_back(makeMask(rng, j));
    const QString maskless = QStringLiteral("799");

    QSet<QString> agencies;
    const int groups = pick(rng, 0, o.maxGroups);
    for (int g = 0; g < groups; ++g) {
        GenGroup grp;
        do
            grp.mortco = code(rng, 4);
        while (agencies.contains(grp.mortco));
        agencies.insert(grp.mortco);
        grp.group = digits(rng, 4);
        grp.duedate = chance(rng, 80) ? QStringLiteral("%1-0%2-15").arg(f.year).arg(pick(rng, 1, 9)) : QString();
        grp.name1 = sometimesFull(rng, words(rng, 35, o.quotesAndCommas), 35);
        grp.name2 = chance(rng, 50) ? sometimesFull(rng, words(rng, 35, o.quotesAndCommas), 35) : QString();
        grp.contact = sometimesFull(rng, words(rng, 25, false), 25);
        grp.phone = chance(rng, 70) ? QStringLiteral("(555) ") + digits(rng, 3) + QLatin1Char('-') + digits(rng, 3)
                                    : QString();
        grp.phone = sometimesFull(rng, grp.phone, 13);
        for (int a = 0; a < 6; ++a)
            grp.addr[a] = a < pick(rng, 0, 6) ? sometimesFull(rng, words(rng, 30, o.quotesAndCommas), 30) : QString();

        QSet<QString> keys;
        const int payments = pick(rng, 0, o.maxPayments);
        for (int p = 0; p < payments; ++p) {
            GenPayment pay;
            const bool masked = chance(rng, 85);
            const GenMask* mask = masked ? &f.masks[size_t(pick(rng, 0, int(f.masks.size()) - 1))] : nullptr;
            pay.jur = mask ? mask->jur : maskless;
            const int significant = pick(rng, 1, mask ? mask->len : 18);
            pay.folio = (QString(18, QLatin1Char('0')) + digits(rng, significant)).right(18);
            pay.cd = digits(rng, 2);
            // Co-owners: the same folio again under another name.
            if (p > 0 && chance(rng, 10)) {
                const GenPayment& prev = grp.payments.back();
                pay.jur = prev.jur;
                pay.folio = prev.folio;
                pay.cd = prev.cd;
            }
            pay.name = sometimesFull(rng, words(rng, 25, o.quotesAndCommas), 25);
            if (o.quotesAndCommas)
                pay.name = sprinkle(rng, pay.name);
            const QString key = pay.cd + pay.jur + pay.folio + QLatin1Char('|') + cleaned(pay.name);
            if (keys.contains(key))
                continue;
            keys.insert(key);
            pay.number = code(rng, pick(rng, 0, 12));
            if (o.quotesAndCommas && pay.number.size() > 2 && chance(rng, 10))
                pay.number.insert(1, QLatin1Char(','));
            pay.abc = QString(QChar(u'A' + pick(rng, 0, 2)));
            pay.legal = chance(rng, 80) ? sometimesFull(rng, words(rng, 32, o.quotesAndCommas), 32) : QString();
            if (o.quotesAndCommas)
                pay.legal = sprinkle(rng, pay.legal);
            auto amount = [&] { return o.subCentAmounts && chance(rng, 50) ? subCentAmount(rng) : centAmount(rng); };
            pay.payment = amount();
            pay.grossTax = amount();
            pay.regGrant = amount();
            pay.addGrant = amount();
            pay.delq = chance(rng, 30) ? -amount() : (chance(rng, 50) ? 0.0 : amount());
            grp.payments.push_back(pay);
        }
        f.groups.push_back(grp);
    }
    return f;
}

void emptyTables()
{
    DE().Zarv.execute(QStringLiteral("DELETE FROM Detail"));
    DE().Zarv.execute(QStringLiteral("DELETE FROM \"Group\""));
    DE().Zarv.execute(QStringLiteral("DELETE FROM Fol_Mask"));
    for (db::Recordset* rs : {&DE().rsDetail(), &DE().rsGroup(), &DE().rsFol_Mask()}) {
        rs->setFilter(QString());
        rs->requery();
    }
}

void storeContent(const GenFile& content)
{
    for (const GenMask& m : content.masks)
        addMask(m.jur, m.len, m.mask, content.year);
    for (const GenGroup& g : content.groups) {
        addGroup(g.group, g.mortco,
                 {{"FILE_ID", "001"},   {"DUEDATE", g.duedate}, {"NAME1", g.name1},    {"NAME2", g.name2},
                  {"CONTACT", g.contact}, {"CONT_PHONE", g.phone}, {"ADDR1", g.addr[0]}, {"ADDR2", g.addr[1]},
                  {"ADDR3", g.addr[2]}, {"ADDR4", g.addr[3]},   {"ADDR5", g.addr[4]},  {"ADDR6", g.addr[5]}});
        for (const GenPayment& p : g.payments) {
            addPayment(g.mortco, {{"NUMBER", p.number},       {"NAME", p.name},           {"CD", p.cd},
                                  {"JUR", p.jur},             {"FOLIO", p.folio},         {"FOLIO_DISP", QString()},
                                  {"PAYMENT", p.payment},     {"ABC", p.abc},             {"GROSS_TAX", p.grossTax},
                                  {"REG_GRANT", p.regGrant},  {"ADD_GRANT", p.addGrant},  {"DELQ", p.delq},
                                  {"LEGAL", p.legal}});
        }
    }
}

QStringList generateMessyLines(std::mt19937& rng, int groups, int payments)
{
    auto maybeCommas = [&](const QString& s) { return chance(rng, 30) ? s + QStringLiteral(",,,,") : s; };
    auto maybeLower = [&](const QString& s) { return chance(rng, 40) ? s.toLower() : s; };
    auto maybeQuoted = [&](const QString& s) { return chance(rng, 20) ? QLatin1Char('"') + s + QLatin1Char('"') : s; };

    QStringList out;
    out << maybeCommas(QStringLiteral("ZARV DATA FOR YEAR %1").arg(pick(rng, 2000, 2027))) << QString();
    out << maybeCommas(QStringLiteral("FOLIO MASK INFORMATION"));
    out << QStringLiteral("70109###-###-###") << QStringLiteral("702,12,####.####.####,,,")
        << QStringLiteral("70109##-##-##-###") << QStringLiteral("70310NO MASK HERE")
        << QStringLiteral("\"70418##################\"") << QString();

    static const QStringList jurs = {"701", "702", "703", "704", "799"};
    static const QStringList amounts = {"150", "150.5", "2.675", " 12", "1e2", "", "0.005", "-25", "$25.00", "(7.50)", "12-",
                                         "\"1,234.50\""};
    static const QStringList types = {"a", "B", "c", "x", "", " b "};
    int serial = 0;
    for (int g = 0; g < groups; ++g) {
        out << maybeCommas(QStringLiteral("PAYMENT GROUP INFORMATION"));
        out << maybeCommas(QStringLiteral("Group #,%1").arg(g + 1));
        out << maybeCommas(QStringLiteral("Agency #,") + maybeLower(QStringLiteral("A%1").arg(g, 3, 10, QLatin1Char('0'))));
        out << QStringLiteral("Payment Due Date,2024-06-30");
        out << maybeCommas(QStringLiteral("Name1:,") + maybeQuoted(maybeLower(words(rng, 40, true))));
        out << QStringLiteral("Name2:,");
        out << maybeCommas(QStringLiteral("Contact Person:,") + maybeLower(words(rng, 30, false)));
        out << QStringLiteral("Contact Phone Number:,(555) 123-4567 x89");
        for (int a = 1; a <= 6; ++a)
            out << maybeCommas(QStringLiteral("Address%1:,").arg(a) + maybeLower(words(rng, 34, true)));
        out << QStringLiteral("Number of Payment records,999") << QStringLiteral("Payment Amount,1.00") << QString();
        out << maybeCommas(QStringLiteral("PAYMENT DETAIL INFORMATION"));
        out << QStringLiteral("MORTGAGE NUMBER,NAME OF OWNER,whatever follows is skipped");
        const int n = pick(rng, 0, payments);
        for (int p = 0; p < n; ++p) {
            // A unique tag at the front keeps every name apart within 25 characters.
            QString name = QStringLiteral("N%1 ").arg(++serial, 5, 10, QLatin1Char('0')) + words(rng, 40, true);
            name = maybeLower(sprinkle(rng, name));
            const QString jur = jurs.at(pick(rng, 0, int(jurs.size()) - 1));
            // No more digits than the shortest mask shows (more would be named by the load).
            QString folio = digits(rng, pick(rng, 0, 9));
            if (chance(rng, 40) && folio.size() > 4)
                folio.insert(3, QLatin1Char('-'));
            QStringList f{QStringLiteral("#") + maybeLower(code(rng, pick(rng, 1, 15))),
                          QLatin1Char('"') + name.replace(QLatin1Char(','), QLatin1Char(' ')) + QLatin1Char('"'),
                          QString::number(pick(rng, 1, 99)),
                          jur,
                          QStringLiteral("#") + folio,
                          amounts.at(pick(rng, 0, int(amounts.size()) - 1)),
                          types.at(pick(rng, 0, int(types.size()) - 1)),
                          amounts.at(pick(rng, 0, int(amounts.size()) - 1)),
                          amounts.at(pick(rng, 0, int(amounts.size()) - 1)),
                          amounts.at(pick(rng, 0, int(amounts.size()) - 1)),
                          amounts.at(pick(rng, 0, int(amounts.size()) - 1)),
                          maybeLower(words(rng, 45, true))};
            const int keep = chance(rng, 15) ? pick(rng, 6, 12) : 12;
            out << f.mid(0, keep).join(QLatin1Char(','));
        }
        // (A spreadsheet's ",,,," in place of these would be a payment with an
        // empty district, which reads back as "00" only on the second load.)
        out << QString() << QString();
    }
    return out;
}

} // namespace zarv::test
