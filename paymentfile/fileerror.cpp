#include "paymentfile/fileerror.h"

#include "platform/data/dberror.h"

#include <exception>

namespace zarv::pf {

Failure currentFailure()
{
    try {
        throw;
    } catch (const db::DbError& e) {
        return {e.number(), e.description()};
    } catch (const FileError& e) {
        return {e.number(), e.description()};
    } catch (const std::overflow_error&) {
        return {6, QStringLiteral("Overflow")};
    } catch (const std::bad_alloc&) {
        return {7, QStringLiteral("Out of memory")};
    } catch (const std::exception& e) {
        return {51, QStringLiteral("Internal error: ") + QString::fromLocal8Bit(e.what())};
    }
}

} // namespace zarv::pf
