#pragma once
// A failure of the payment file conversions that does not come from the data
// layer: the file could not be opened, read, backed up or written, or its lines
// do not fit together. Carries a number and a description like DbError, so the
// error messages show both in the same pattern.
#include <QString>
#include <stdexcept>

namespace zarv::pf {

class FileError : public std::runtime_error {
public:
    FileError(long number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description)
    {
    }
    long number() const { return number_; }
    QString description() const { return description_; }

    static constexpr long PathFileAccess = 75;   // a file could not be opened, written or replaced
    static constexpr long NoCurrentRow = 3021;   // a payment line without a group before it
    static constexpr long TypeMismatch = 13;     // an amount that is no number
    static constexpr long Duplicate = 3022;      // a second group for one agency
    static constexpr long Unwritable = 5;        // characters a save could not write back
    static constexpr long NotCommaSeparated = 54; // fields another separator or an unclosed quote hides

private:
    long number_;
    QString description_;
};

// The number and description of whatever was thrown, for the error messages.
struct Failure {
    long number = 0;
    QString description;
};

// Call inside a catch block: the number and description of the exception in
// flight (data layer, file layer, number overflow or anything else).
Failure currentFailure();

} // namespace zarv::pf
