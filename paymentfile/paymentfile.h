#pragma once
// The payment data file (Zarvdata.csv): loading it into the working tables
// Group, Detail and Fol_Mask, writing the tables back, and the list of repeated
// payments the last load set aside. Both conversions work on DE() and talk to
// the user only through zarv::ui::ui().
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>

namespace zarv {

// ---------------------------------------------------------------- load

// Empties Detail, Group and Fol_Mask and refills them from the file at path;
// stores the file's year in ZarvSystem.Year and recounts every group. True only
// when the whole file was read. False without a word for a missing or empty
// file; otherwise the user has been told why. Repeated payments do not make the
// result False: they go to DupFolios and set DupFoliosFound.
// Leaves rsGroup on its first row and rsDetail filtered on the last group's
// agency ("MORTCO = '<agency>'").
// Before its rows are kept, the clerk is asked about values too long for their
// columns and groups whose own count or total differs from their payments; a
// clerk who stops, or a file refused for its own faults (told in plain words,
// naming the line), leaves nothing of the file in the tables and the year as
// it was. end, when given, tells how the load ended.
enum class LoadEnd {
    Loaded,
    Missing,   // no file, or an empty one: nothing said
    Refused,   // the file was refused and the clerk told why in plain words
    Stopped,   // the clerk chose to load nothing
    Failed,    // an unexpected error, reported as such
};
bool Csv2Mdb(const QString& path, LoadEnd* end = nullptr);

// The repeated payments of the last load. Row i holds the (i+1)-th repeat met,
// for i below the smaller of DupFolioCount and kDupFolioRows.
constexpr int kDupFolioRows = 201;
constexpr int kDupFolioColumns = 14;

// The columns of a DupFolios row.
enum DupFolioColumn : int {
    dfFolioDisp = 0,   // the folio in its jurisdiction's display form
    dfMortco = 1,
    dfNumber = 2,
    dfName = 3,
    dfCd = 4,
    dfJur = 5,
    dfFolio = 6,       // 18 digits
    dfGrossTax = 7,
    dfRegGrant = 8,
    dfAddGrant = 9,
    dfDelq = 10,
    dfLegal = 11,
    dfAbc = 12,
    dfPayment = 13,
};

using DupFolioRow = std::array<QVariant, kDupFolioColumns>;

inline std::array<DupFolioRow, kDupFolioRows> DupFolios;
inline long DupFolioCount = 0;     // every repeat of the last load, also those not stored
inline bool DupFoliosFound = false;

// Clears the list as every load starts: all cells Null, count 0, flag off.
void ResetDupFolios();

// ---------------------------------------------------------------- save

// What a payment run's saves share. A run's first save copies the old file to
// its backup name; a retry (under the same or another name) leaves that copy
// alone, so the backup always holds the file as it was before the run.
struct SaveRun {
    bool backupMade = false;
    bool backupTried = false;   // the backup step ran
    // What the backup step could not do, told with the save's outcome.
    QStringList notes;
};

struct SaveResult {
    bool ok = false;      // the file was written and is in place
    double total = 0;     // the sum of PAYMENT over every payment line written
};

// Writes Fol_Mask, Group and Detail to filePath in the payment file layout.
// The old file is first copied to bakPath (once per run, see SaveRun) and the
// copy verified, and the file as the tax office sent it is kept
// (KeepReceivedCopy); a copy that cannot be made does not stop the save, and
// is reported with its outcome, as is a new copy as received.
// The new text goes to a temporary file that replaces filePath
// only when complete. On any failure the user is told, the old file stays as it
// was and ok is false. Removes the commas from NUMBER, NAME, CD, JUR and LEGAL
// of every payment it writes, in the table itself.
// year: the data year kept in ZarvSystem; used for the header when it is four
// characters long once trimmed.
SaveResult Mdb2Csv(const QString& year, const QString& filePath, const QString& bakPath, SaveRun& run);
// A single save with its own backup step.
SaveResult Mdb2Csv(const QString& year, const QString& filePath, const QString& bakPath);

// The backup name of a payment file: "...csv" (any letter case) becomes
// "...bak" keeping the rest of the name; any other name gets ".BAK" appended.
QString BakPathFor(const QString& filePath);

// The years a payment file may carry: four digits from "2000" to the current
// year plus one.
bool PaymentYearAccepted(const QString& year);
// What the load tells the user when line 1 carries a year outside that window.
QString YearRefusedMessage(const QString& year);
// The head of a refusal of a whole file: "<path> cannot be loaded." and a blank line.
QString RefusedFileText(const QString& path);

} // namespace zarv
