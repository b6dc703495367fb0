#include "platform/data/dberror.h"

namespace zarv::db {

DbError::DbError(long number, const QString& description)
    : NumberedError(number, description)
{
}

} // namespace zarv::db
