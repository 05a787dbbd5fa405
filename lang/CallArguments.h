// The argument forms shared by built-in calls and graph commands: intervals
// a..b (optionally in brackets), ranges [a..b] or [v, a..b], options
// name=value, and variable names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/ErrorCode.h"
#include "engine/ExprNode.h"

namespace kv {

class CommandInterpreter;

// The error code of malformed intervals, options, limit points and
// evaluation points.
inline constexpr ErrorCode kArgumentFormatError = ErrorCode::ArgumentFormat;

// The two bound texts of an interval.
struct IntervalText {
    std::string_view lower;
    std::string_view upper;
};

// "a..b" or "[a..b]": the text is trimmed, enclosing brackets are removed
// and the rest must split at top-level ".." into exactly two parts. Nothing
// otherwise. Bounds may be empty texts (they fail when parsed).
std::optional<IntervalText> splitInterval(std::string_view text);

// A range "[a..b]" or "[v, a..b]"; `variable` is empty when not given.
struct RangeText {
    std::string_view variable;
    IntervalText interval;
};
std::optional<RangeText> splitRange(std::string_view text);

// The two bound trees of an interval argument.
struct IntervalTrees {
    NodePtr lower;
    NodePtr upper;
};

// Parses an interval argument: both bounds with parseCommand. A malformed
// interval records error code 6 "'%s' není platný formát intervalu!" with the
// interval text (the record's text is `callText`); an error inside a bound
// stays in the record as the bound's parse left it. Nothing on any error.
std::optional<IntervalTrees> parseInterval(CommandInterpreter& ci, std::string_view callText,
                                           std::string_view text);

// "name=value", split at the first top-level "=" (the value keeps any
// further "="). Nothing when the text has no such "=" (a trailing "=" does not
// count, as splitTopLevel has it).
struct OptionText {
    std::string_view name;
    std::string_view value;
};
std::optional<OptionText> splitOption(std::string_view text);

// The variable row named by an argument: blanks removed, created when new.
int variableArgument(CommandInterpreter& ci, std::string_view text);

}  // namespace kv
