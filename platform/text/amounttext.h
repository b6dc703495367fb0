#pragma once
// Amounts as people and spreadsheet programs write them.
#include <QStringView>

#include <optional>

namespace zarv::txt {

// The whole text read as one amount, or nullopt when it is none. Accepted:
// blanks around the parts; digits with "." as the decimal sign and an optional
// exponent ("1e3"); thousands separators between groups of three digits
// ("1,234.50"); one currency sign before or after the digits ("$25.00",
// "-$25.00", "25.00 $"); a sign in front or behind ("-12", "12-"); parentheses
// around it for a negative ("(25.00)", "($25.00)"); a dash alone for zero, as
// accounting formats show it ("$ -"). The empty text is no
// amount. A well-formed amount too large for a double throws
// std::overflow_error, as vb::Val does.
std::optional<double> ReadAmount(QStringView text);

} // namespace zarv::txt
