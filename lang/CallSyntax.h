// How each built-in call is written, in Czech: the console's hint after
// "name(" and its completion list come from this table, and the manual's
// overview of calls lists the same rows.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct CallSyntax {
    std::string_view name;     // the word typed
    std::string_view syntax;   // how a call is written, as the manual writes it
    std::string_view meaning;  // a few words of what it does
};

// Every row, grouped as the manual groups them; a name with several forms
// has one row per form, one after the other.
std::span<const CallSyntax> callSyntaxTable();

// The rows of `name` (empty when it is no built-in call).
std::span<const CallSyntax> callSyntaxOf(std::string_view name);

// The hint shown after "name(": one line per form, "syntax – meaning".
std::string callHint(std::string_view name);

}  // namespace kv
