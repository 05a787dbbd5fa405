#include "lang/CallArguments.h"

#include "engine/TextScan.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"

namespace kv {

namespace {

// An unmatched bracket would otherwise end up in a bound ("[0..1" would give
// the bound "[0", which reads as a new variable).
bool bracketsBalance(std::string_view text) {
    int depth = 0;
    for (char c : text) {
        depth += (c == '[') - (c == ']');
        if (depth < 0) return false;
    }
    return depth == 0;
}

}  // namespace

std::optional<IntervalText> splitInterval(std::string_view text) {
    if (!bracketsBalance(text)) return std::nullopt;
    std::string_view inner = stripOuterParentheses(trim(text), '[', ']');
    std::vector<std::string_view> parts = splitTopLevel(inner, "..");
    if (parts.size() != 2) return std::nullopt;
    return IntervalText{parts[0], parts[1]};
}

std::optional<RangeText> splitRange(std::string_view text) {
    std::string_view inner = stripOuterParentheses(trim(text), '[', ']');
    std::vector<std::string_view> parts = splitTopLevel(inner, ",");
    if (parts.size() == 1) {
        std::optional<IntervalText> interval = splitInterval(parts[0]);
        if (!interval) return std::nullopt;
        return RangeText{{}, *interval};
    }
    if (parts.size() == 2) {
        std::optional<IntervalText> interval = splitInterval(parts[1]);
        if (!interval) return std::nullopt;
        return RangeText{trim(parts[0]), *interval};
    }
    return std::nullopt;
}

std::optional<IntervalTrees> parseInterval(CommandInterpreter& ci, std::string_view callText,
                                           std::string_view text) {
    std::optional<IntervalText> bounds = splitInterval(text);
    if (!bounds) {
        ci.fail(kArgumentFormatError, callText,
                msg::format(msg::kInvalidInterval, std::string(text)));
        return std::nullopt;
    }
    IntervalTrees trees;
    trees.lower = ci.parseCommand(bounds->lower);
    if (ci.hasError()) return std::nullopt;
    trees.upper = ci.parseCommand(bounds->upper);
    if (ci.hasError()) return std::nullopt;
    return trees;
}

std::optional<OptionText> splitOption(std::string_view text) {
    std::vector<std::string_view> parts = splitTopLevel(text, "=");
    if (parts.size() < 2) return std::nullopt;
    return OptionText{parts[0], text.substr(parts[0].size() + 1)};
}

int variableArgument(CommandInterpreter& ci, std::string_view text) {
    return ci.workspace().variableIndex(removeBlanks(text));
}

}  // namespace kv
