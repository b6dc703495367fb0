#pragma once
// Pieces of the workbook load's first sheet: the warning texts, the step
// marker, and the transactions its folio rows are saved in.
#include "verifyfile/verifylayout.h"

#include "platform/data/connection.h"
#include "platform/data/recordset.h"

#include <QString>

#include <array>
#include <vector>

namespace zarv::loadparts {

// The cells of a sheet-1 row (columns A to N), or the VERIFY fields stored
// from them.
using FolioCells = std::array<QString, verifylayout::kMortgageColumns>;

// Columns of sheet 1.
enum Column { A, B, C, D, E, F, G, H, I, J, K, L, M, N };

// The formatting warnings of sheet 1; a cell is shown as read, stored is the
// field's value just stored.
namespace warnings {
QString invalidAcd(const QString& a);
QString missingCompany();
QString numberTruncated(const QString& c, const QString& stored);
QString missingDistrict();
QString districtTooLong(const QString& d, const QString& stored);
QString missingJurisdiction();
QString jurisdictionTooLong(const QString& e, const QString& stored);
QString folioTruncated(const QString& f, const QString& stored);
QString pidTruncated(const QString& g, const QString& stored);
QString folioAndPidMissing(const FolioCells& c);
} // namespace warnings

// Saves the folios of sheet 1 in transactions of up to kRowsPerTransaction
// rows: a transaction per row would cost more than the rest of the load.
// abandon() is the error path: the open transaction is rolled back, which
// drops the row being stored, and the rows saved in it before that row are
// saved again, so every row stored before the error stays and none is half
// stored.
class FolioBatch {
public:
    static constexpr size_t kRowsPerTransaction = 512;

    FolioBatch(db::Connection& connection, db::Recordset& rs) : connection_(connection), rs_(rs) {}
    FolioBatch(const FolioBatch&) = delete;
    FolioBatch& operator=(const FolioBatch&) = delete;

    void beginRow();                           // before the row's AddNew
    void rowSaved(const FolioCells& values);   // after its Move 0
    void finish();                             // commits what is open
    void abandon() noexcept;

private:
    void saveAgain();
    void dropAll() noexcept;

    db::Connection& connection_;
    db::Recordset& rs_;
    std::vector<FolioCells> saved_;
    bool open_ = false;
};

// The step marker of the load. Most markers are a fixed text, or a fixed text
// followed by a cell of the row being read: they are put together only when an
// error message shows them, so reading a row builds no marker texts.
class StepMarker {
public:
    void set(const char* fixed)
    {
        kind_ = Kind::Fixed;
        fixed_ = fixed;
    }
    void set(QString text)
    {
        kind_ = Kind::Text;
        text_ = std::move(text);
    }
    // fixed followed by the cell's text; the cell must outlive the marker's use.
    void setCell(const char* fixed, const QString* cell)
    {
        kind_ = Kind::Cell;
        fixed_ = fixed;
        cell_ = cell;
    }
    // The marker of saving a folio row, which names its key cells.
    void setSaving(const FolioCells* row)
    {
        kind_ = Kind::Saving;
        row_ = row;
    }
    QString text() const;

private:
    enum class Kind { Fixed, Text, Cell, Saving };
    Kind kind_ = Kind::Fixed;
    const char* fixed_ = "";
    QString text_;
    const QString* cell_ = nullptr;
    const FolioCells* row_ = nullptr;
};

} // namespace zarv::loadparts
