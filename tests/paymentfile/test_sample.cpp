// The sample payment file under samples/ is the writer's own output for the
// content below; it loads cleanly and reads back to itself.
//
// To make it anew (for another year, or after a change of the layout):
//   ZARV_WRITE_SAMPLE=1 paymentfile_tests --gtest_filter='SampleFile.*'
#include "payfile_support.h"

#include <QDate>
#include <QFileInfo>

namespace {

struct SamplePayment {
    const char* number;
    const char* name;
    const char* cd;
    const char* jur;
    const char* folio;
    const char* abc;
    double gross, reg, add, delq;
    const char* legal;
};

struct SampleGroup {
    const char* group;
    const char* agency;
    const char* duedate;
    const char* name1;
    const char* name2;
    const char* contact;
    const char* phone;
    const char* addr[6];
    std::vector<SamplePayment> payments;
};

const SampleGroup kGroups[] = {
    {"0001", "0104", "2026-06-30", "NORTHMARK SAVINGS & LOAN", "MORTGAGE SERVICING DIVISION", "HELGA MARROW",
     "(555)201-4470", {"PO BOX 1180", "ARDEN QUAY", "VELMORAN VM4 2KD", "", "", ""},
     {{"NM-20417", "ABERNATHY, COLM", "01", "701", "000000000310442187", "B", 2418.60, 1948.60, 0, 0, "LOT 14 PLAN 7731"},
      {"NM-20433", "VASQUEZ-HOLM, INES", "01", "701", "000000000310442205", "A", 1977.35, 0, 0, 0, "LOT 15 PLAN 7731"},
      {"NM-20502", "LINDQVIST, ASTRID", "03", "702", "000000112400930018", "B", 3120.00, 2650.00, 0, 0, "UNIT 4 STRATA 118"},
      {"NM-20503", "LINDQVIST, PER", "03", "702", "000000112400930018", "B", 3120.00, 2650.00, 0, 0, "UNIT 4 STRATA 118"},
      {"NM-20611", "O'DONNELL, MAEVE", "03", "705", "000041207760012034", "C", 2890.10, 2420.10, 2145.10, 0, "PT LOT 2 CON 5"},
      {"NM-20688", "TREMBLAY HOLDINGS LTD", "07", "712", "000004411200300091", "A", 8804.25, 0, 0, 312.40, "BLOCK C PLAN 55012"}}},
    {"0002", "0217", "2026-06-30", "BRENHALLOW CO-OPERATIVE BANK", "", "TOMAS OYELARAN", "(555)338-0912",
     {"17 CHANDLERS ROW", "SUITE 400", "BRENHALLOW BH1 9QA", "", "", ""},
     {{"BCB-7001", "NAKASHIMA, REI", "01", "701", "000000000208119934", "C", 1650.00, 1180.00, 905.00, 0, "LOT 3 PLAN 2210"},
      {"BCB-7002", "FENWICK, ARTHUR & JUNE", "02", "701", "000000000417003318", "B", 2205.45, 1735.45, 0, -60.00, "LOT 22 PLAN 9032"},
      {"BCB-7010", "MBEKI, THANDIWE", "05", "705", "000041310050002207", "A", 3377.80, 0, 0, 0, "PT LOT 9 CON 2"},
      {"BCB-7011", "ROSSI, GIANLUCA", "05", "799", "000000000000558120", "A", 1402.00, 0, 0, 148.75, "PARCEL 88"}}},
    {"0003", "0388", "2026-07-15", "KESTREL HOME FINANCE, LTD", "ATTN: PROPERTY TAX", "ODALYS REYNA",
     "(555)474-2200", {"2 WHARF STREET", "LOWER MILLBANK", "VELMORAN VM9 4TT", "", "", ""},
     {{"K-118820", "DUBOIS, ELODIE", "02", "701", "000000000417003322", "B", 2580.00, 2110.00, 0, 0, "LOT 23 PLAN 9032"},
      {"K-118821", "HARGREAVES, SAMUEL", "02", "702", "000000230011470006", "C", 4015.50, 3545.50, 3270.50, -120.25, "UNIT 12 STRATA 301"},
      {"K-118902", "QUILL, BERNADETTE", "07", "712", "000004411200300104", "A", 5120.90, 0, 0, 0, "BLOCK D PLAN 55012"}}},
    {"0004", "0451", "2026-06-30", "VELMORAN TEACHERS CREDIT UNION", "", "PRIYA RAMASWAMY", "(555)600-1212",
     {"88 SCHOOLHOUSE LANE", "VELMORAN VM2 7AB", "", "", "", ""},
     {}},
};

struct SampleMask {
    const char* jur;
    int len;
    const char* mask;
};
const SampleMask kMasks[] = {
    {"701", 9, "###-###-###"},
    {"702", 12, "####-####-####"},
    {"705", 14, "###-###-####-####"},
    {"712", 18, "######-######-######"},
};

// The payment follows from the payment type and the delinquent tax or credit.
double paymentOf(const SamplePayment& p)
{
    const double base = *p.abc == 'A' ? p.gross : (*p.abc == 'B' ? p.reg : p.add);
    return base + p.delq;
}

void storeSample(const QString& year)
{
    for (const SampleMask& m : kMasks)
        addMask(m.jur, m.len, m.mask, year);
    for (const SampleGroup& g : kGroups) {
        addGroup(g.group, g.agency,
                 {{"DUEDATE", g.duedate}, {"NAME1", g.name1}, {"NAME2", g.name2}, {"CONTACT", g.contact},
                  {"CONT_PHONE", g.phone}, {"ADDR1", g.addr[0]}, {"ADDR2", g.addr[1]}, {"ADDR3", g.addr[2]},
                  {"ADDR4", g.addr[3]}, {"ADDR5", g.addr[4]}, {"ADDR6", g.addr[5]}});
        for (const SamplePayment& p : g.payments) {
            addPayment(g.agency, {{"NUMBER", p.number},   {"NAME", p.name},           {"CD", p.cd},
                                  {"JUR", p.jur},         {"FOLIO", p.folio},         {"ABC", p.abc},
                                  {"GROSS_TAX", p.gross}, {"REG_GRANT", p.reg},       {"ADD_GRANT", p.add},
                                  {"DELQ", p.delq},       {"PAYMENT", paymentOf(p)},  {"LEGAL", p.legal}});
        }
    }
}

class SampleFile : public DeTest {
protected:
    static QString sample() { return samplePath(QStringLiteral("Zarvdata.csv")); }
};

TEST_F(SampleFile, IsTheWritersOwnOutput)
{
    const bool rewrite = qEnvironmentVariable("ZARV_WRITE_SAMPLE") == QLatin1String("1");
    QString year = QString::number(QDate::currentDate().year());
    if (!rewrite) {
        ASSERT_TRUE(QFileInfo::exists(sample())) << "make it with ZARV_WRITE_SAMPLE=1";
        year = crlfLines(readFile(sample())).value(0).mid(19);
    }
    storeSample(year);
    const QString target = rewrite ? sample() : path("Zarvdata.csv");
    const SaveResult r = Mdb2Csv(year, target, path("Zarvdata.bak"));
    ASSERT_TRUE(r.ok);
    if (!rewrite) {
        EXPECT_EQ(readFile(target), readFile(sample()));
    }
}

TEST_F(SampleFile, LoadsCleanlyAndShowsWhatAPaymentRunMeets)
{
    ASSERT_TRUE(Csv2Mdb(sample()));
    EXPECT_FALSE(DupFoliosFound);
    EXPECT_EQ(rowsOf("SELECT * FROM \"Group\"").size(), 4u);
    EXPECT_EQ(rowsOf("SELECT * FROM Fol_Mask").size(), 4u);
    EXPECT_EQ(rowsOf("SELECT * FROM Detail").size(), 13u);
    for (const char* type : {"A", "B", "C"})
        EXPECT_FALSE(rowsOf(QStringLiteral("SELECT * FROM Detail WHERE ABC = '%1'").arg(QLatin1String(type))).empty());
    // One folio paid twice under one agency, for its two owners; a credit and a delinquency.
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail WHERE FOLIO = '000000112400930018' ORDER BY NAME", "NAME"),
              QStringList({"LINDQVIST ASTRID", "LINDQVIST PER"}));
    EXPECT_FALSE(rowsOf("SELECT * FROM Detail WHERE DELQ < 0").empty());
    EXPECT_FALSE(rowsOf("SELECT * FROM Detail WHERE DELQ > 0").empty());
    // A group without payments.
    EXPECT_EQ(columnOf("SELECT FOLIO_CNT FROM \"Group\" WHERE MORTCO = '0451'", "FOLIO_CNT"), QStringList{"0"});

    const QString year = columnOf("SELECT Year FROM ZarvSystem", "Year").value(0);
    ASSERT_TRUE(Mdb2Csv(year, path("Zarvdata.csv"), path("Zarvdata.bak")).ok);
    EXPECT_EQ(readFile(path("Zarvdata.csv")), readFile(sample()));
}

} // namespace
