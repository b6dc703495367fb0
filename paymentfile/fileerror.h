#pragma once
// A failure of the payment file conversions that does not come from the data
// layer: the file could not be opened, read, backed up or written. Carries a
// number and a description like DbError, so the error messages show both in
// the same pattern. What the file itself gets wrong is a Refusal.
#include "platform/text/failure.h"

namespace zarv::pf {

class FileError : public NumberedError {
public:
    FileError(long number, const QString& description) : NumberedError(number, description) {}

    static constexpr long PathFileAccess = 75;   // a file could not be opened, written or replaced
};

} // namespace zarv::pf
