// printf-style formatting of the program's message texts (%d and %s only; no
// locale dependence).
#pragma once

#include <string>

namespace kv::msg {

std::string format(const char* pattern, int value);
std::string format(const char* pattern, const std::string& value);
std::string format(const char* pattern, const std::string& text, int value);

}  // namespace kv::msg
