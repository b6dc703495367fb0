#pragma once
#include "platform/text/failure.h"

#include <QString>

namespace zarv::db {

// A data-access failure with the error number and description a user is shown.
class DbError : public NumberedError {
public:
    DbError(long number, const QString& description);

    // The numbers the data layer raises.
    static constexpr long BofOrEof = 3021;          // no current row
    static constexpr long ItemNotFound = 3265;      // field name unknown
    static constexpr long BadArguments = 3001;      // filter or criterion refused
    static constexpr long ObjectClosed = 3704;      // operation on a closed recordset
    static constexpr long ObjectOpen = 3705;        // operation not allowed while open
    static constexpr long ReadOnly = 3251;          // recordset does not allow the operation
    static constexpr long RowDeleted = -2147217885; // current row was deleted
    static constexpr long DatabaseFailure = -2147467259; // the database refused (constraint, I/O)
};

} // namespace zarv::db
