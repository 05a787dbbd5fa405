// How the console prints numbers: `%.<ndigits>g` with a three-digit exponent
// ("1e+020"), and "inf", "-inf", "nan". Independent of the C locale: always a
// decimal point.
#pragma once

#include <string>

namespace kv {

// Formats with the current workspace's digit count.
std::string formatNumber(double v);
// Formats with an explicit count of significant digits (0 counts as 1).
std::string formatNumber(double v, int digits);
// printf's "%g": six significant digits, same exponent rule.
inline std::string formatShort(double v) {
    return formatNumber(v, 6);
}

}  // namespace kv
