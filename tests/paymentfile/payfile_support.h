#pragma once
// Helpers of the payment file tests: building files line by line, seeding and
// reading the working tables, and generating whole payment files at random.
#include "env/tablerows.h"
#include "env/testenv.h"

#include "paymentfile/paymentfile.h"
#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <random>
#include <utility>
#include <vector>

#include "printers.h"

namespace zarv::test {

// Lines joined with the given line end (after the last line too), in Windows-1252.
QByteArray fileBytes(const QStringList& lines, const char* lineEnd = "\r\n");
// The same lines as other programs write them: in UTF-8, in Mac Roman, or in
// UTF-16 with its byte-order mark (line ends CR LF but where given).
QByteArray utf8Bytes(const QStringList& lines, const char* lineEnd = "\r\n");
QByteArray macRomanBytes(const QStringList& lines);
QByteArray utf16Bytes(const QStringList& lines);
// The lines with their fields separated by sep instead of commas, and when
// asked the amounts of payment lines and group totals with a decimal comma.
QStringList separated(QStringList lines, QChar sep, bool decimalCommas = false);
// The heading line of a payment section, as the payment file holds it.
extern const QString kPaymentHeading;

// The lines of a file that must end every line with CR LF; a line end of any
// other kind is a test failure.
QStringList crlfLines(const QByteArray& bytes);

// The payment file Zarvdata.csv in the test's folder, loaded and saved as the
// payment run does.
class PayFileTest : public DeTest {
protected:
    QString file() const { return path(QStringLiteral("Zarvdata.csv")); }
    bool load(const QByteArray& bytes) { return Csv2Mdb(writeFile(QStringLiteral("Zarvdata.csv"), bytes)); }
    bool load(const QStringList& lines, const char* end = "\r\n") { return load(fileBytes(lines, end)); }
    // Saves the tables as Saved.csv for the year the last load stored; its bytes.
    QByteArray save();
};

// The values of a row of the duplicate list as texts, in the order of its columns.
QStringList textsOf(const DupFolioRow& row);

void addGroup(const QString& group, const QString& mortco, const Fields& more = {});
void addPayment(const QString& mortco, const Fields& fields);

// The lines of one group section as the writer lays it out (payments given).
QStringList groupSection(const QStringList& labelValues, int count, const QString& total,
                         const QStringList& payments);

// ---------------------------------------------------------------- generated content

struct GenMask {
    QString jur;
    int len = 0;
    QString mask;
};
struct GenPayment {
    QString number, name, cd, jur, folio, abc, legal;
    double payment = 0, grossTax = 0, regGrant = 0, addGrant = 0, delq = 0;
};
struct GenGroup {
    QString group, mortco, duedate, name1, name2, contact, phone;
    QString addr[6];
    std::vector<GenPayment> payments;
};
struct GenFile {
    QString year;
    std::vector<GenMask> masks;
    std::vector<GenGroup> groups;
};

struct GenOptions {
    int maxGroups = 6;
    int maxPayments = 30;
    bool subCentAmounts = false;   // amounts that are not whole cents (2.675, 0.005 ...)
    bool quotesAndCommas = true;   // quotes and commas inside stored texts
};

// Content the way a load leaves it (upper case, widths respected, agencies and
// payment keys unique), with the given random source.
GenFile generateContent(std::mt19937& rng, const GenOptions& options);
// Empties Detail, Group and Fol_Mask and requeries their recordsets.
void emptyTables();
// Fills Fol_Mask, Group and Detail with it (the tables must be empty).
void storeContent(const GenFile& content);

// A file as other programs might have left it: quotes, lower case, trailing
// commas, one-digit districts, folios with separators, odd payment types,
// names longer than 25, amounts in several spellings. No two payments of one
// agency agree in their first 24 name characters.
QStringList generateMessyLines(std::mt19937& rng, int groups, int payments);

} // namespace zarv::test

// The tests of this folder name the program's types, these helpers and the
// scripted answers to message boxes without their namespaces.
namespace zarv::test {
using ui::Answer;
using ui::ExpectedBox;
using ui::Icon;
} // namespace zarv::test
using namespace zarv;
using namespace zarv::test;
