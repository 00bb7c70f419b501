#pragma once

#include <initializer_list>
#include <string>
#include <variant>

namespace varnex {

// One argument of a printf-style message.
using FormatArgument = std::variant<long long, double, std::string>;

// printf-style formatting of the program's messages and labels without the C
// locale, so numbers always have a decimal point. Understands %s, %d, %i,
// %f/%lf, %g/%lg, %e with an optional precision (%.0lf, %.2lf), and %%. A
// conversion without an argument of a fitting kind is written as it stands,
// so a faulty format can never read what it was not given.
std::string FormatText(const std::string& format, std::initializer_list<FormatArgument> arguments);

} // namespace varnex
