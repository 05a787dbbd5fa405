#include "engine/NumberFormat.h"

#include <charconv>
#include <cmath>

#include "engine/Workspace.h"

namespace kv {

std::string formatNumber(double v) {
    return formatNumber(v, Workspace::current().ndigits);
}

std::string formatNumber(double v, int digits) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    if (digits < 1) digits = 1;
    if (digits > 40) digits = 40;
    char buf[128];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    std::string text(buf, res.ptr);
    // The exponent is written with at least three digits: 1e+20 -> 1e+020.
    auto e = text.find('e');
    if (e != std::string::npos) {
        std::string digitsPart = text.substr(e + 2);
        while (digitsPart.size() < 3) digitsPart.insert(digitsPart.begin(), '0');
        text = text.substr(0, e + 2) + digitsPart;
    }
    return text;
}

}  // namespace kv
