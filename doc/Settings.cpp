#include "doc/Settings.h"

#include <cmath>

#include "engine/TextScan.h"

namespace kv {

// As the C library's decimal conversion reads it: leading white space, an
// optional sign, then a decimal number; when no number can be read nothing is
// consumed at all. Whatever is left over makes the text invalid.
DigitsCheck checkDigitText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t len = decimalPrefixLength(text.substr(i));
    const std::size_t consumed = len > 0 ? i + len : 0;
    if (consumed != text.size()) return {std::nullopt, "Zadejte číslo od 1 do 15!"};
    double value = len > 0 ? readDecimal(text.substr(i, len)) : 0.0;
    double n = std::trunc(negative ? -value : value);
    if (!(n >= 0 && n <= 15)) return {std::nullopt, "Zadejte číslo od 0 do 15!"};
    return {static_cast<int>(n), ""};
}

}  // namespace kv
