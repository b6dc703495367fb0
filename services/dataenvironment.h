#pragma once
// The data environment: the three database connections and the program's named
// commands, each exposed as a shared recordset. The current row of a recordset is
// how one screen hands a record to the next.
#include "platform/data/connection.h"
#include "platform/data/recordset.h"

#include <QString>
#include <memory>

namespace zarv {

class DataEnvironment {
public:
    // programFolder: where the database files live; programName: the program
    // file's name (decides, through its "ZARVWIN" prefix, which databases are used).
    DataEnvironment(QString programFolder, QString programName);
    ~DataEnvironment();
    DataEnvironment(const DataEnvironment&) = delete;
    DataEnvironment& operator=(const DataEnvironment&) = delete;
    // The full path of one of the database files, as the messages name it.
    QString databasePath(const QString& fileName) const;

    // Checks the database files and sets the connection strings. False when a
    // database file is missing: the user has been told and the program is ending.
    bool DataEnvironment_Initialize();

    const QString& programFolder() const { return folder_; }
    const QString& programName() const { return name_; }

    db::Connection Zarv{QStringLiteral("Zarv")};
    db::Connection ZarvDb{QStringLiteral("ZarvDb")};
    db::Connection LabelDb{QStringLiteral("LabelDb")};

    // The commands' recordsets; each is opened on its first use and then stays
    // as its users leave it (closed, re-sorted, filtered).
    db::Recordset& rsGroup();
    db::Recordset& rsDetail();
    db::Recordset& rsDetail2();
    // For a screen that gives the command a source of its own before opening
    // it: the recordset, left closed if it was never used, so the whole table
    // is not read for nothing.
    db::Recordset& rsDetail2ToReopen();
    db::Recordset& rsFol_Mask();
    db::Recordset& rsZarvSystem();
    db::Recordset& rsFolioMask();
    db::Recordset& rsVerify();
    db::Recordset& rsVerify2();
    db::Recordset& rsCD_JUR();
    db::Recordset& rsJurisdiction();
    db::Recordset& rsCollection_District();
    db::Recordset& rsErrorMessage();

    // The command sources, as the program compares and restores them.
    static const QString kDetailSource;
    static const QString kVerifySource;

    // Commits writes gathered outside a transaction in every connection.
    void flush();

private:
    struct Command;
    enum class FirstUse { Open, LeaveClosed };
    db::Recordset& use(Command& c, FirstUse first = FirstUse::Open);

    QString folder_;
    QString name_;
    std::unique_ptr<Command> group_, detail_, detail2_, folMask_, zarvSystem_, folioMask_, verify_,
        verify2_, cdJur_, jurisdiction_, collectionDistrict_, errorMessage_;
};

// The program's one data environment. install() hands it over (tests install one
// over a temporary folder); DE() is only valid after that.
DataEnvironment& DE();
bool hasDE();
void installDE(std::unique_ptr<DataEnvironment> de);
std::unique_ptr<DataEnvironment> takeDE();

// The single ZarvSystem row, to be written: the recordset open and on it, or on
// a new row when the table has none. Move(0) stores what is set.
db::Recordset& ZarvSystemRowToWrite();

// Keeps the drive, folder and file chosen on the start screen in the single
// ZarvSystem row, for the next start to open at; the data year is cleared until
// a load of the file sets it again. Committed at once.
void RememberDataFile(const QString& drive, const QString& dir, const QString& file);

} // namespace zarv
