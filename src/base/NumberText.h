#pragma once

#include <string>
#include <string_view>

namespace varnex {

// Locale-independent number text. The desktop program's toolkit sets the C
// locale from the environment, which would make printf and scanf read and
// write decimal commas on some machines; project inputs must mean the same on
// every machine, so all number text goes through these.

// printf's "%.<precision>g" in the C locale (precision 6 is also what a
// standard stream writes for a double with default settings).
std::string FormatG(double value, int precision = 6);

// printf's "%lf" / "%f" (six decimals) in the C locale.
std::string FormatF(double value, int decimals = 6);

// The number scanf's "%lf" would read at `text[position]`: leading white
// space skipped, an optional sign, a decimal or hexadecimal floating number,
// "inf", "infinity" or "nan". On success `position` moves past the number;
// on failure it is left where it was. An exponent beyond the range of double
// gives infinity (overflow) or zero (underflow), as strtod does.
bool ScanDouble(std::string_view text, std::size_t& position, double& value);

// True when the whole text, with nothing before or after it, is one number.
bool ParseWholeNumber(std::string_view text, double& value);

} // namespace varnex
