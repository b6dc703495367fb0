#include "verifyfile/loadparts.h"

namespace zarv::loadparts {

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString NOTE = QStringLiteral("NOTE: The program only issues the first 3 warnings.");

} // namespace

namespace warnings {

QString invalidAcd(const QString& a)
{
    return QStringLiteral("WARNING ( Invalid value in the Add/Change/Delete column ) :  ") + CRLF +
           QStringLiteral(" The column A (Add/Change/Delete) content is not valid. :") + a + CRLF + QStringLiteral(" ") +
           CRLF + QStringLiteral(" Valid values are 'A', 'C', 'D', or ' ' ") + CRLF +
           QStringLiteral(" 'A' - Add this mortgage") + CRLF + QStringLiteral(" 'C' - Change this mortgage") + CRLF +
           QStringLiteral(" 'D' - Delete/Remove this mortgage") + CRLF + QStringLiteral(" ' ' - no change") + CRLF +
           CRLF + NOTE;
}

QString missingCompany()
{
    return QStringLiteral("WARNING ( Mortgage Company # MISSING ) :  ") + CRLF +
           QStringLiteral(" The Mortgage Company is stored in column B and it is four characters.") + CRLF +
           QStringLiteral(" The Mortgage Company identifies who pays for the property taxes") + CRLF + CRLF + NOTE;
}

QString numberTruncated(const QString& c, const QString& stored)
{
    return QStringLiteral("WARNING ( Mortgage # TRUNCATED ) :  ") + CRLF + QStringLiteral(" Mortgage # on the spreadsheet:") +
           c + CRLF + QStringLiteral(" Mortgage # truncated to (12 char. MAX):") + stored + CRLF + CRLF + NOTE;
}

QString missingDistrict()
{
    return QStringLiteral("WARNING ( Collection District Code 'CD' is MISSING ) :  ") + CRLF +
           QStringLiteral(" The Collection District Code is stored in column D and it is two digits.") + CRLF + CRLF +
           NOTE;
}

QString districtTooLong(const QString& d, const QString& stored)
{
    return QStringLiteral("WARNING ( Collection District Code 'CD' is too long ) :  ") + CRLF +
           QStringLiteral(" Collection District Code on the spreadsheet:") + d + CRLF +
           QStringLiteral(" Collection District Code truncated to (2 digits):") + stored + CRLF +
           QStringLiteral(" The Collection District Code is stored in column D and it is two digits.") + CRLF + CRLF +
           NOTE;
}

QString missingJurisdiction()
{
    return QStringLiteral("WARNING ( Jurisdiction Code 'JUR' is MISSING ) :  ") + CRLF +
           QStringLiteral(" The Jurisdiction Code is stored in column E and it is three digits.") + CRLF + CRLF + NOTE;
}

QString jurisdictionTooLong(const QString& e, const QString& stored)
{
    return QStringLiteral("WARNING ( Jurisdiction Code 'JUR' is too long ) :  ") + CRLF +
           QStringLiteral(" Jurisdiction Code on the spreadsheet:") + e + CRLF +
           QStringLiteral(" Jurisdiction Code truncated to (3 digits):") + stored + CRLF +
           QStringLiteral(" The Jurisdiction Code is stored in column E and it is three digits.") + CRLF + CRLF + NOTE;
}

QString folioTruncated(const QString& f, const QString& stored)
{
    return QStringLiteral("WARNING ( FOLIO # TRUNCATED ) :  ") + CRLF + QStringLiteral(" FOLIO # on the spreadsheet:") + f +
           CRLF + QStringLiteral(" FOLIO # truncated to (18 digits MAX):") + stored + CRLF + CRLF + NOTE;
}

QString pidTruncated(const QString& g, const QString& stored)
{
    return QStringLiteral("WARNING ( PID # TRUNCATED ) :  ") + CRLF + QStringLiteral(" PID on the spreadsheet:") + g + CRLF +
           QStringLiteral(" PID truncated to (9 digits MAX):") + stored + CRLF + CRLF + NOTE;
}

QString folioAndPidMissing(const FolioCells& c)
{
    return QStringLiteral("WARNING ( FOLIO # and PID # is MISSING ) :  ") + CRLF +
           QStringLiteral(" The Folio # or PID # needs to be entered!") + CRLF + CRLF +
           QStringLiteral(" on the spreadsheet: ") + CRLF + QStringLiteral("   Name(") + c[H] + QStringLiteral(") ") + CRLF +
           QStringLiteral("   Address(") + c[I] + QStringLiteral(" ") + c[J] + QStringLiteral(" ") + c[K] +
           QStringLiteral(" ") + c[L] + QStringLiteral(" ") + c[M] + QStringLiteral(")") + CRLF + CRLF + NOTE;
}

} // namespace warnings

// ---------------------------------------------------------------- FolioBatch

void FolioBatch::beginRow()
{
    if (open_)
        return;
    connection_.beginTrans();
    open_ = true;
}

void FolioBatch::rowSaved(const FolioCells& values)
{
    saved_.push_back(values);
    if (saved_.size() >= kRowsPerTransaction)
        finish();
}

void FolioBatch::finish()
{
    if (open_)
        connection_.commitTrans();
    open_ = false;
    saved_.clear();
}

void FolioBatch::abandon() noexcept
{
    try {
        if (rs_.isOpen() && rs_.editPending())
            rs_.cancelUpdate();
        if (open_) {
            open_ = false;
            connection_.rollbackTrans();
            saveAgain();
        }
    } catch (const std::exception&) {
        dropAll();
    }
    saved_.clear();
}

void FolioBatch::saveAgain()
{
    if (saved_.empty())
        return;
    connection_.beginTrans();
    open_ = true;
    for (const FolioCells& values : saved_) {
        rs_.addNew();
        for (size_t k = 0; k < values.size(); ++k)
            rs_.setValue(verifylayout::kVerifyFields[qsizetype(k)], values[k]);
        rs_.move(0);
    }
    connection_.commitTrans();
    open_ = false;
}

void FolioBatch::dropAll() noexcept
{
    try {
        if (rs_.isOpen() && rs_.editPending())
            rs_.cancelUpdate();
        if (open_)
            connection_.rollbackTrans();
    } catch (const std::exception&) {
        // Nothing more can be done; the load reports its first error.
    }
    open_ = false;
}

// ---------------------------------------------------------------- StepMarker

QString StepMarker::text() const
{
    switch (kind_) {
    case Kind::Fixed:
        return QString::fromLatin1(fixed_);
    case Kind::Text:
        return text_;
    case Kind::Cell:
        return QString::fromLatin1(fixed_) + *cell_;
    case Kind::Saving: {
        const FolioCells& c = *row_;
        return QStringLiteral("128 ") + QStringLiteral(" Mort. Co:") + c[B] + QStringLiteral(" CD:") + c[D] +
               QStringLiteral(" JUR:") + c[E] + QStringLiteral(" FOLIO:") + c[F] + QStringLiteral(" PID:") + c[G] +
               QStringLiteral(" (Most likely duplicate KEY violation)");
    }
    }
    return {};
}

} // namespace zarv::loadparts
