#include "payments/paymentrules.h"

#include "paymentfile/paymentformat.h"
#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "platform/files/textfile.h"
#include "platform/text/amounttext.h"
#include "platform/text/codepage.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/sharedstate.h"

#include <QStringList>

#include <stdexcept>

namespace zarv {

namespace {

const QString kPlainAmount = QStringLiteral("##########0.00");
const QString kCrLf = QStringLiteral("\r\n");

} // namespace

// ---------------------------------------------------------------- shared rows

bool HasCurrentRow(const db::Recordset& rs)
{
    return rs.isOpen() && !rs.eof() && !rs.bof() && rs.currentRow() >= 0;
}

QString CurrentGroupMortco()
{
    const db::Recordset& rs = DE().rsGroup();
    if (!HasCurrentRow(rs)) {
        throw db::DbError(db::DbError::BofOrEof,
                          QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                         "Requested operation requires a current record."));
    }
    return rs.text(QStringLiteral("MORTCO"));
}

QString GroupFilter(const QString& mortco)
{
    return QStringLiteral("MORTCO = ") + db::quoted(mortco);
}

// ---------------------------------------------------------------- amounts shown

QString CurrencyText(double amount)
{
    const QString digits = vb::Format(amount < 0 ? -amount : amount, QStringLiteral("#,##0.00"));
    const bool negative = amount < 0 && digits != QLatin1String("0.00");
    return (negative ? QStringLiteral("-$") : QStringLiteral("$")) + digits;
}

// ---------------------------------------------------------------- field rules

QString FolioOf(const QString& text)
{
    QString digits = RepeatString(QStringLiteral("0"), 18);
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return vb::Right(digits, 18);
}

bool AmountReadable(const QString& text)
{
    try {
        return txt::ReadAmount(text).has_value();
    } catch (const std::exception&) {
        return false;   // too large for a number
    }
}

double AmountOf(const QString& text)
{
    return txt::ReadAmount(text).value_or(0.0);
}

QString FormatAmountText(const QString& text, const QString& pattern)
{
    return AmountReadable(text) ? vb::Format(AmountOf(text), pattern) : text;
}

AmountCheck CheckPaymentAmount(const QString& boxText)
{
    AmountCheck check;
    const QString trimmed = vb::Trim(boxText);
    check.text = FormatAmountText(trimmed, kPlainAmount);
    if (!AmountReadable(check.text)) {
        check.verdict = AmountVerdict::NotNumeric;
        check.message = QStringLiteral("The Payment Amount must be numeric!");
    } else if (AmountOf(check.text) < 0) {
        check.verdict = AmountVerdict::Negative;
        check.message = QStringLiteral("Payment refunds are not allowed!");
    }
    return check;
}

QString CodeCheckMessage(const QString& trimmedCode, const QString& what)
{
    if (trimmedCode.isEmpty())
        return QStringLiteral("The ") + what + QStringLiteral(" should be entered!");
    if (!vb::IsNumeric(trimmedCode))
        return QStringLiteral("The ") + what + QStringLiteral(" should be numeric!");
    return {};
}

QString CharacterCheckMessage(const QString& text, const QString& what)
{
    const qsizetype at = txt::FirstOutsideCp1252(text);
    if (at < 0)
        return {};
    const qsizetype length = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    return QStringLiteral("The ") + what + QStringLiteral(" holds \"") + text.mid(at, length) +
           QStringLiteral("\", a character the payment file cannot hold!");
}

// ---------------------------------------------------------------- grant options

Grant GrantOf(const QString& abc)
{
    const QString u = vb::UCase(abc);
    if (u == QLatin1String("B"))
        return Grant::B;
    if (u == QLatin1String("C"))
        return Grant::C;
    return Grant::A;
}

QString AbcOf(Grant g)
{
    switch (g) {
    case Grant::B: return QStringLiteral("B");
    case Grant::C: return QStringLiteral("C");
    case Grant::A: break;
    }
    return QStringLiteral("A");
}

Recalculation RecalculatePayment(Grant g, const StoredAmounts& stored)
{
    switch (g) {
    case Grant::A:
        return {stored.grossTax + stored.delq, QStringLiteral("No Grant Selected. Payment Amount Recalculated!")};
    case Grant::B:
        if (stored.regGrant > 0)
            return {stored.regGrant + stored.delq,
                    QStringLiteral("Regular Grant Selected. Payment Amount Recalculated!")};
        return {};
    case Grant::C:
        if (stored.addGrant > 0)
            return {stored.addGrant + stored.delq,
                    QStringLiteral("Additional Grant Selected. Payment Amount Recalculated!")};
        return {};
    }
    return {};
}

// ---------------------------------------------------------------- the duplicate-folio rule

bool SameOwnerName(const QString& a, const QString& b)
{
    return db::compareText(pf::writtenText(a), pf::writtenText(b)) == 0;
}

FolioCheck CheckChangedPayment(const std::vector<FolioPayment>& sameFolio, qint64 changed, const QString& typedName)
{
    FolioCheck check;
    if (sameFolio.empty())
        return check;
    if (sameFolio.size() == 1) {
        const FolioPayment& only = sameFolio.front();
        if (only.bookmark == changed)
            return check;                       // the payment itself, alone
        if (SameOwnerName(only.name, typedName)) {
            check.verdict = FolioVerdict::Duplicate;
            check.markFolioBox = true;
            return check;
        }
        check.verdict = FolioVerdict::Notice;
        check.listed.push_back(only);
        return check;
    }
    bool duplicate = false;
    for (const FolioPayment& p : sameFolio) {
        if (SameOwnerName(p.name, typedName)) {
            if (p.bookmark != changed)
                duplicate = true;
            continue;                           // not listed
        }
        check.listed.push_back(p);
    }
    check.verdict = duplicate ? FolioVerdict::Duplicate : FolioVerdict::Notice;
    if (duplicate)
        check.listed.clear();
    return check;
}

FolioCheck CheckNewPayment(const std::vector<FolioPayment>& sameFolio, const QString& typedName)
{
    FolioCheck check;
    if (sameFolio.empty())
        return check;
    for (const FolioPayment& p : sameFolio) {
        if (SameOwnerName(p.name, typedName)) {
            check.verdict = FolioVerdict::Duplicate;
            check.listed.clear();
            return check;
        }
        check.listed.push_back(p);
    }
    check.verdict = FolioVerdict::Notice;
    return check;
}

QString MatchKeyFilter(const QString& mortco, const QString& cd, const QString& jur, const QString& folio)
{
    const QString andText = QStringLiteral("AND ");
    return db::eq(QStringLiteral("MORTCO"), mortco) + andText + db::eq(QStringLiteral("CD"), cd) + andText +
           db::eq(QStringLiteral("JUR"), jur) + andText + db::eq(QStringLiteral("FOLIO"), folio);
}

std::vector<FolioPayment> PaymentsOfFolio(db::Recordset& rsDetail, const QString& mortco, const QString& cd,
                                          const QString& jur, const QString& folio)
{
    std::vector<FolioPayment> found;
    std::unique_ptr<db::Recordset> rsDetailClone = rsDetail.clone();
    strFilter = MatchKeyFilter(mortco, cd, jur, folio);
    rsDetailClone->setFilter(QString());
    rsDetailClone->setFilter(strFilter);
    if (rsDetailClone->recordCount() > 0) {
        rsDetailClone->moveFirst();
        while (!rsDetailClone->eof()) {
            found.push_back({rsDetailClone->bookmark(), rsDetailClone->text(QStringLiteral("NAME")),
                             rsDetailClone->number(QStringLiteral("PAYMENT"))});
            rsDetailClone->moveNext();
        }
    }
    rsDetailClone->close();
    return found;
}

QString FolioNoticeTitle(const QString& cd, const QString& jur, const QString& folio)
{
    return QStringLiteral("FOLIO # ") + cd + QStringLiteral(" ") + jur + QStringLiteral(" ") + FormatFolio(jur, folio);
}

QString FolioNoticeText(const std::vector<FolioPayment>& listed, bool changed, const QString& typedName,
                        const QString& typedPayment)
{
    QString text = QStringLiteral("This folio has multiple payments: ");
    for (const FolioPayment& p : listed)
        text += kCrLf + vb::Trim(p.name) + QStringLiteral(" ") + vb::Trim(vb::Format(p.payment, kPlainAmount));
    text += kCrLf + kCrLf;
    text += changed ? QStringLiteral("Plus this changed payment ") : QStringLiteral("Plus this new payment ");
    text += kCrLf + vb::Trim(typedName) + QStringLiteral(" ") + vb::Trim(FormatAmountText(typedPayment, kPlainAmount));
    return text;
}

// ---------------------------------------------------------------- Export.csv

QString ExportLine(const db::Recordset& rs)
{
    auto text = [&rs](const char* field) { return vb::Trim(rs.text(QLatin1String(field))); };
    auto amount = [&rs](const char* field) { return vb::Trim(vb::Format(rs.number(QLatin1String(field)), kPlainAmount)); };
    const QStringList fields{
        text("NUMBER"),
        text("NAME"),
        text("CD"),
        text("JUR"),
        vb::Trim(FormatFolio(rs.text(QStringLiteral("JUR")), rs.text(QStringLiteral("FOLIO")))),
        amount("PAYMENT"),
        text("ABC"),
        amount("GROSS_TAX"),
        amount("REG_GRANT"),
        amount("ADD_GRANT"),
        amount("DELQ"),
        text("LEGAL"),
    };
    return CsvLine(fields);
}

ExportResult WriteExport(db::Recordset& rsDetail, const QString& mortco, const QString& path)
{
    ExportResult result;
    fs::LineWriter file;
    if (!file.open(path)) {
        result.error = file.errorString();
        return result;
    }
    if (rsDetail.recordCount() > 0) {
        std::unique_ptr<db::Recordset> rsDetailClone = rsDetail.clone();
        strFilter = db::eq(QStringLiteral("MORTCO"), mortco);
        rsDetailClone->setFilter(QString());
        rsDetailClone->setFilter(strFilter);
        if (rsDetailClone->recordCount() > 0) {
            rsDetailClone->moveFirst();
            while (!rsDetailClone->eof()) {
                file.writeLine(ExportLine(*rsDetailClone));
                ++result.lines;
                rsDetailClone->moveNext();
            }
        }
        rsDetailClone->close();
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

// ---------------------------------------------------------------- errors

void DropPendingEdit(db::Recordset& rs)
{
    try {
        if (rs.isOpen() && rs.editPending())
            rs.cancelUpdate();
    } catch (const std::exception&) {
        // Nothing more can be undone here; the error itself is shown by the caller.
    }
}

} // namespace zarv
