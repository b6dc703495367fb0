#include "services/dataenvironment.h"

#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/schema.h"
#include "services/system.h"

#include <QDir>
#include <QFileInfo>

namespace zarv {

using db::LockType;
using db::Recordset;

const QString DataEnvironment::kDetailSource =
    QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, CD, JUR, FOLIO");
const QString DataEnvironment::kVerifySource = QStringLiteral("SELECT * FROM VERIFY ORDER BY NUMBER");

struct DataEnvironment::Command {
    Command(db::Connection* c, const QString& source, LockType lock) : rs(c, source, lock) {}
    Recordset rs;
    bool used = false;
};

namespace {

const QString kConnectionStart =
    QStringLiteral("Provider=MSDASQL.1;Password=%1;Persist Security Info=True;"
                   "Data Source=MS Access Database;Mode=ReadWrite;Initial Catalog=");
const QString kPassword = QStringLiteral("lanterns");

// The path of name in folder, matching the name in any letter case (the files
// may have been copied by a system that does not keep case).
QString inFolder(const QString& folder, const QString& name)
{
    QDir dir(folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    }
    return exact;
}

void severe(const QString& file, const QString& path)
{
    ui::ui().msgBox(QStringLiteral("SEVERE ERROR - The %1 file is missing: %2")
                        .arg(file, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())),
                    ui::Buttons::OK, ui::Icon::Critical);
    ui::ui().endProgram(1);
}

std::unique_ptr<DataEnvironment>& slot()
{
    static std::unique_ptr<DataEnvironment> de;
    return de;
}

} // namespace

DataEnvironment::DataEnvironment(QString programFolder, QString programName)
    : folder_(std::move(programFolder)), name_(std::move(programName))
{
    group_ = std::make_unique<Command>(&Zarv, QStringLiteral("Group"), LockType::Optimistic);
    detail_ = std::make_unique<Command>(&Zarv, kDetailSource, LockType::Optimistic);
    detail2_ = std::make_unique<Command>(&Zarv, kDetailSource, LockType::ReadOnly);
    folMask_ = std::make_unique<Command>(&Zarv, QStringLiteral("Fol_Mask"), LockType::Optimistic);
    zarvSystem_ = std::make_unique<Command>(&Zarv, QStringLiteral("ZarvSystem"), LockType::Optimistic);
    folioMask_ = std::make_unique<Command>(
        &ZarvDb, QStringLiteral("SELECT * FROM FolioMask ORDER BY YEAR, JUR_CD"), LockType::Optimistic);
    verify_ = std::make_unique<Command>(&Zarv, kVerifySource, LockType::Optimistic);
    verify2_ = std::make_unique<Command>(&Zarv, kVerifySource, LockType::ReadOnly);
    cdJur_ = std::make_unique<Command>(
        &Zarv, QStringLiteral("SELECT * FROM CD_JUR ORDER BY Collection_District_Code, Jurisdiction_Code"),
        LockType::Optimistic);
    jurisdiction_ = std::make_unique<Command>(
        &Zarv, QStringLiteral("SELECT * FROM Jurisdiction ORDER BY Jurisdiction_Code"), LockType::Optimistic);
    collectionDistrict_ = std::make_unique<Command>(
        &Zarv, QStringLiteral("SELECT * FROM Collection_District ORDER BY Collection_District_Code"),
        LockType::Optimistic);
    errorMessage_ = std::make_unique<Command>(
        &ZarvDb, QStringLiteral("SELECT * FROM ErrorMessage ORDER BY ErrorNumber"), LockType::Optimistic);
}

DataEnvironment::~DataEnvironment()
{
    // Recordsets go before their connections; a pending edit is saved on close.
    for (auto* c : {&group_, &detail_, &detail2_, &folMask_, &zarvSystem_, &folioMask_, &verify_, &verify2_,
                    &cdJur_, &jurisdiction_, &collectionDistrict_, &errorMessage_}) {
        try {
            if (*c && (*c)->rs.isOpen())
                (*c)->rs.close();
        } catch (const std::exception&) {
            // Nothing more can be done for a row that cannot be saved at the end.
        }
        c->reset();
    }
    try {
        flush();
    } catch (const std::exception&) {
        // The program is closing: the working database is scratch for one run.
    }
}

QString DataEnvironment::databasePath(const QString& fileName) const
{
    return QDir::toNativeSeparators(QFileInfo(inFolder(folder_, fileName)).absoluteFilePath());
}

bool DataEnvironment::DataEnvironment_Initialize()
{
    QString marker;
    try {
        marker = QStringLiteral("(001)");
        ui::ui().doEvents();

        const QString zarvPath = inFolder(folder_, QStringLiteral("Zarv.mdb"));
        if (!FileExists(zarvPath)) {
            marker = QStringLiteral("(005)");
            severe(QStringLiteral("Zarv.mdb"), zarvPath);
            return false;
        }
        Zarv.setConnectionTimeout(120);
        marker = QStringLiteral("(002)");
        marker = folder_.endsWith(QLatin1Char('/')) ? QStringLiteral("(003)") : QStringLiteral("(004)");
        Zarv.setConnectionString(kConnectionStart.arg(QString()) + zarvPath);
        addMissingColumns(Zarv);

        marker = QStringLiteral("(006)");
        const QString baseName = QFileInfo(name_).completeBaseName();
        const bool zarvWin = vb::Left(vb::UCase(baseName), 7) == QLatin1String("ZARVWIN");

        if (!zarvWin) {
            const QString zarvDbPath = inFolder(folder_, QStringLiteral("ZarvDb.mdb"));
            if (!FileExists(zarvDbPath)) {
                marker = QStringLiteral("(010)");
                severe(QStringLiteral("ZarvDb.mdb"), zarvDbPath);
                return false;
            }
            ZarvDb.setConnectionTimeout(120);
            marker = QStringLiteral("(007)");
            marker = folder_.endsWith(QLatin1Char('/')) ? QStringLiteral("(008)") : QStringLiteral("(009)");
            ZarvDb.setConnectionString(kConnectionStart.arg(kPassword) + zarvDbPath);

            marker = QStringLiteral("(011)");
            const QString labelPath = inFolder(folder_, QStringLiteral("label.mdb"));
            if (!FileExists(labelPath)) {
                marker = QStringLiteral("(015)");
                severe(QStringLiteral("Label.mdb"), labelPath);
                return false;
            }
            LabelDb.setConnectionTimeout(120);
            marker = QStringLiteral("(012)");
            marker = folder_.endsWith(QLatin1Char('/')) ? QStringLiteral("(013)") : QStringLiteral("(014)");
            LabelDb.setConnectionString(kConnectionStart.arg(kPassword) + labelPath);
        } else {
            marker = QStringLiteral("(016)");
            LabelDb.setConnectionString(Zarv.connectionString());
            marker = QStringLiteral("(017)");
            ZarvDb.setConnectionString(Zarv.connectionString());
            marker = QStringLiteral("(018)");
        }
        marker = QStringLiteral("(019)");
        return true;
    } catch (const std::exception&) {
        ui::ui().msgBox(QStringLiteral("SEVERE ERROR (DataEnvironment_Initialize-%1 ) # %2 ")
                            .arg(marker, vb::Str(double(currentFailure().number))),
                        ui::Buttons::OK, ui::Icon::Critical);
    }
    ui::ui().setBusy(false);
    return true;
}

db::Recordset& DataEnvironment::use(Command& c, FirstUse first)
{
    if (!c.used) {
        c.used = true;
        if (first == FirstUse::Open && !c.rs.isOpen())
            c.rs.open();
    }
    return c.rs;
}

db::Recordset& DataEnvironment::rsGroup() { return use(*group_); }
db::Recordset& DataEnvironment::rsDetail() { return use(*detail_); }
db::Recordset& DataEnvironment::rsDetail2() { return use(*detail2_); }
db::Recordset& DataEnvironment::rsDetail2ToReopen() { return use(*detail2_, FirstUse::LeaveClosed); }
db::Recordset& DataEnvironment::rsFol_Mask() { return use(*folMask_); }
db::Recordset& DataEnvironment::rsZarvSystem() { return use(*zarvSystem_); }
db::Recordset& DataEnvironment::rsFolioMask() { return use(*folioMask_); }
db::Recordset& DataEnvironment::rsVerify() { return use(*verify_); }
db::Recordset& DataEnvironment::rsVerify2() { return use(*verify2_); }
db::Recordset& DataEnvironment::rsCD_JUR() { return use(*cdJur_); }
db::Recordset& DataEnvironment::rsJurisdiction() { return use(*jurisdiction_); }
db::Recordset& DataEnvironment::rsCollection_District() { return use(*collectionDistrict_); }
db::Recordset& DataEnvironment::rsErrorMessage() { return use(*errorMessage_); }

void DataEnvironment::flush()
{
    for (db::Connection* c : {&Zarv, &ZarvDb, &LabelDb}) {
        if (c->state() == 1)
            c->flush();
    }
}

DataEnvironment& DE()
{
    Q_ASSERT(slot());
    return *slot();
}

bool hasDE()
{
    return slot() != nullptr;
}

void installDE(std::unique_ptr<DataEnvironment> de)
{
    slot() = std::move(de);
}

std::unique_ptr<DataEnvironment> takeDE()
{
    return std::move(slot());
}

db::Recordset& ZarvSystemRowToWrite()
{
    db::Recordset& rs = DE().rsZarvSystem();
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() > 0)
        rs.moveFirst();
    else
        rs.addNew();
    return rs;
}

void RememberDataFile(const QString& drive, const QString& dir, const QString& file)
{
    db::Recordset& rs = ZarvSystemRowToWrite();
    rs.setValue(QStringLiteral("Drive"), drive);
    rs.setValue(QStringLiteral("Dir"), dir);
    rs.setValue(QStringLiteral("File"), file);
    rs.setValue(QStringLiteral("Year"), QString());
    rs.move(0);
    DE().flush();
}

} // namespace zarv
