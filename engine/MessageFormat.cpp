#include "engine/MessageFormat.h"

namespace kv::msg {

namespace {

// Replaces the placeholders of `pattern` in order; only %d and %s occur.
std::string substitute(const char* pattern, const std::string* text, const int* value) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && text) {
            out += *text;
            text = nullptr;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd' && value) {
            out += std::to_string(*value);
            value = nullptr;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace

std::string format(const char* pattern, int value) {
    return substitute(pattern, nullptr, &value);
}

std::string format(const char* pattern, const std::string& value) {
    return substitute(pattern, &value, nullptr);
}

std::string format(const char* pattern, const std::string& text, int value) {
    return substitute(pattern, &text, &value);
}

}  // namespace kv::msg
