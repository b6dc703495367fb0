#include "platform/data/dberror.h"

namespace zarv::db {

DbError::DbError(long number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description)
{
}

} // namespace zarv::db
