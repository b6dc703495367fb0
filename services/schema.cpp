#include "services/schema.h"

#include "platform/data/connection.h"
#include "platform/data/textrule.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace zarv {

namespace {

// Text columns hold "" rather than Null and compare without regard to letter
// case, as every filter, find and sort of the program does.
#define T(name) "\"" name "\" TEXT NOT NULL DEFAULT '' COLLATE JET"
#define N(name) "\"" name "\" DOUBLE NOT NULL DEFAULT 0"

const char* const kZarv[] = {
    "CREATE TABLE IF NOT EXISTS \"Group\" (" T("GROUP") ", " T("MORTCO") ", " T("FILE_ID") ", " T("DUEDATE") ", "
    T("CREATE") ", " T("NAME1") ", " T("NAME2") ", " T("CONTACT") ", " T("CONT_PHONE") ", " T("ADDR1") ", "
    T("ADDR2") ", " T("ADDR3") ", " T("ADDR4") ", " T("ADDR5") ", " T("ADDR6") ", " N("FOLIO_CNT") ", "
    N("TOT_PAY") ", " T("SORTORDER") ", " T("ACD") ")",
    "CREATE INDEX IF NOT EXISTS Group_MORTCO ON \"Group\" (MORTCO)",

    "CREATE TABLE IF NOT EXISTS Detail (" T("MORTCO") ", " T("NUMBER") ", " T("NAME") ", " T("CD") ", "
    T("JUR") ", " T("FOLIO") ", " T("FOLIO_DISP") ", " N("PAYMENT") ", " T("ABC") ", " N("GROSS_TAX") ", "
    N("REG_GRANT") ", " N("ADD_GRANT") ", " N("DELQ") ", " T("LEGAL") ", " T("FILE_ID") ")",
    "CREATE UNIQUE INDEX IF NOT EXISTS Detail_Key ON Detail (MORTCO, CD, JUR, FOLIO, NAME)",

    "CREATE TABLE IF NOT EXISTS Fol_Mask (" T("JUR_CD") ", " T("YEAR") ", " N("FOLIO_LEN") ", " T("FOLIO_MASK") ")",
    "CREATE INDEX IF NOT EXISTS Fol_Mask_JUR_CD ON Fol_Mask (JUR_CD)",

    "CREATE TABLE IF NOT EXISTS ZarvSystem (" T("Drive") ", " T("Dir") ", " T("File") ", " T("Year") ")",
    // What the program last wrote to each data file (SHA-256), to tell a file
    // that arrived since from its own.
    "CREATE TABLE IF NOT EXISTS WrittenFile (\"PATH\" TEXT NOT NULL PRIMARY KEY, " T("DIGEST") ")",

    "CREATE TABLE IF NOT EXISTS VERIFY (" T("ACD") ", " T("MORTCO") ", " T("NUMBER") ", " T("CD") ", " T("JUR")
    ", " T("FOLIO") ", " T("PID") ", " T("NAME") ", " T("ADDR1") ", " T("ADDR2") ", " T("ADDR3") ", " T("ADDR4")
    ", " T("ADDR5") ", " T("LEGAL") ")",
    "CREATE INDEX IF NOT EXISTS VERIFY_NUMBER ON VERIFY (NUMBER)",
    "CREATE INDEX IF NOT EXISTS VERIFY_FOLIO ON VERIFY (JUR, FOLIO)",
    "CREATE INDEX IF NOT EXISTS VERIFY_PID ON VERIFY (PID)",

    "CREATE TABLE IF NOT EXISTS Collection_District (" T("Collection_District_Code") ", "
    T("Collection_District_Name") ")",
    "CREATE TABLE IF NOT EXISTS Jurisdiction (" T("Jurisdiction_Code") ", " T("Jurisdiction_Name") ")",
    "CREATE TABLE IF NOT EXISTS CD_JUR (" T("Collection_District_Code") ", " T("Jurisdiction_Code") ")",
    "CREATE INDEX IF NOT EXISTS CD_JUR_Pair ON CD_JUR (Collection_District_Code, Jurisdiction_Code)",
};

const char* const kZarvDb[] = {
    "CREATE TABLE IF NOT EXISTS FolioMask (" T("JUR_CD") ", " T("YEAR") ", " N("FOLIO_LEN") ", "
    T("FOLIO_MASK") ")",
    "CREATE TABLE IF NOT EXISTS ErrorMessage (\"ErrorNumber\" INTEGER NOT NULL DEFAULT 0, " T("ErrorMsg") ")",
    "CREATE INDEX IF NOT EXISTS ErrorMessage_Number ON ErrorMessage (ErrorNumber)",
};

// The label database is only checked for presence at start-up.
const char* const kLabel[] = {
    "CREATE TABLE IF NOT EXISTS Label (" T("LabelText") ")",
};

// Columns added to the working tables since their first form, for a
// database made before: table, column, its definition.
const char* const kAddedColumns[][3] = {
    // The group section (its FILE_ID) a payment was loaded under.
    {"Detail", "FILE_ID", T("FILE_ID")},
};

#undef T
#undef N

bool hasColumn(sqlite3* db, const char* table, const char* column, bool* tableFound)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &st, nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
    bool found = false;
    *tableFound = false;
    while (sqlite3_step(st) == SQLITE_ROW) {
        *tableFound = true;
        if (QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))).compare(column, Qt::CaseInsensitive) == 0)
            found = true;
    }
    sqlite3_finalize(st);
    return found;
}

template <size_t N>
bool create(const QString& path, const char* const (&statements)[N], QString* error)
{
    // Create the empty file first: connections only open existing databases.
    if (!QFile::exists(path)) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("Could not create %1: %2").arg(path, f.errorString());
            return false;
        }
    }
    try {
        db::Connection c(QStringLiteral("schema"));
        c.setConnectionString(QStringLiteral("Initial Catalog=") + path);
        c.open();
        c.beginTrans();
        for (const char* sql : statements)
            c.execute(QString::fromUtf8(sql));
        c.commitTrans();
        c.close();
    } catch (const db::DbError& e) {
        if (error)
            *error = QStringLiteral("Could not set up %1: %2").arg(path, e.description());
        return false;
    }
    return true;
}

struct Database {
    sqlite3* db = nullptr;
    Database(const QString& path, int flags)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
        // The indexes sort text by the program's own rule: without it they cannot be checked.
        if (db)
            db::detail::registerTextRule(db);
    }
    ~Database() { sqlite3_close(db); }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"); }
};

QStringList columnsOf(sqlite3* db, const QString& table)
{
    QStringList columns;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &st, nullptr) != SQLITE_OK)
        return columns;
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_STATIC);
    while (sqlite3_step(st) == SQLITE_ROW)
        columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return columns;
}

} // namespace

QString databaseDamage(const QString& path)
{
    Database d(path, SQLITE_OPEN_READWRITE);
    if (!d.db)
        return d.error();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(d.db, "PRAGMA quick_check(1)", -1, &st, nullptr) != SQLITE_OK)
        return d.error();
    QString fault;
    const int step = sqlite3_step(st);
    if (step == SQLITE_ROW) {
        const QString answer = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        if (answer.compare(QLatin1String("ok"), Qt::CaseInsensitive) != 0)
            fault = answer;
    } else if (step != SQLITE_DONE) {
        fault = d.error();
    }
    sqlite3_finalize(st);
    return fault;
}

long long copyReadableRows(const QString& from, const QString& to, const QString& table)
{
    Database source(from, SQLITE_OPEN_READONLY);
    Database target(to, SQLITE_OPEN_READWRITE);
    if (!source.db || !target.db)
        return 0;
    const QStringList columns = columnsOf(target.db, table);
    if (columns.isEmpty())
        return 0;
    QStringList quoted;
    for (const QString& c : columns)
        quoted << QLatin1Char('"') + c + QLatin1Char('"');
    const QByteArray select = QStringLiteral("SELECT rowid, %1 FROM \"%2\" WHERE rowid > ?1 ORDER BY rowid")
                                  .arg(quoted.join(u','), table).toUtf8();
    const QByteArray insert = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                  .arg(table, quoted.join(u','), QStringList(columns.size(), QStringLiteral("?")).join(u','))
                                  .toUtf8();
    sqlite3_stmt* in = nullptr;
    if (sqlite3_prepare_v2(target.db, insert.constData(), -1, &in, nullptr) != SQLITE_OK)
        return 0;
    sqlite3_exec(target.db, "BEGIN", nullptr, nullptr, nullptr);
    long long kept = 0;
    sqlite3_int64 after = -1;
    // A damaged page ends a scan: the rows past it are sought a little further on.
    sqlite3_int64 skip = 1;
    for (int attempt = 0; attempt < 8; ++attempt) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(source.db, select.constData(), -1, &st, nullptr) != SQLITE_OK)
            break;
        sqlite3_bind_int64(st, 1, after);
        bool any = false;
        int step;
        while ((step = sqlite3_step(st)) == SQLITE_ROW) {
            any = true;
            after = sqlite3_column_int64(st, 0);
            for (int i = 0; i < columns.size(); ++i)
                sqlite3_bind_value(in, i + 1, sqlite3_column_value(st, i + 1));
            if (sqlite3_step(in) == SQLITE_DONE)
                ++kept;
            sqlite3_reset(in);
        }
        sqlite3_finalize(st);
        if (step == SQLITE_DONE)
            break;
        skip = any ? 1 : skip * 16;
        after += skip;
    }
    sqlite3_finalize(in);
    sqlite3_exec(target.db, "COMMIT", nullptr, nullptr, nullptr);
    return kept;
}

void addMissingColumns(db::Connection& zarv)
{
    for (const auto& [table, column, definition] : kAddedColumns) {
        bool tableFound = false;
        if (!hasColumn(zarv.handle(), table, column, &tableFound) && tableFound) {
            zarv.execute(QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN %2")
                             .arg(QLatin1String(table), QLatin1String(definition)));
        }
    }
}

bool createDatabases(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Could not create the folder %1").arg(folder);
        return false;
    }
    const QDir dir(folder);
    return create(dir.filePath(QStringLiteral("Zarv.mdb")), kZarv, error) &&
           create(dir.filePath(QStringLiteral("ZarvDb.mdb")), kZarvDb, error) &&
           create(dir.filePath(QStringLiteral("label.mdb")), kLabel, error);
}

} // namespace zarv
