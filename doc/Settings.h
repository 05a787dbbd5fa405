// The four preferences that persist between runs, with their sections, keys
// and defaults, and the check of the digit count the settings dialog makes.
// Storage itself is the desktop program's (a per-user key-value store).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct Settings {
    int ndigits = 12;          // "ParserSettings" / "ndigits"
    bool querySave = true;     // "UI" / "query_save"
    bool formatOutput = true;  // "UI" / "format_output"
    bool showGToolbar = true;  // "UI" / "show_gtoolbar"
};

inline constexpr const char* kSectionParser = "ParserSettings";
inline constexpr const char* kSectionUi = "UI";
inline constexpr const char* kKeyDigits = "ndigits";
inline constexpr const char* kKeyQuerySave = "query_save";
inline constexpr const char* kKeyFormatOutput = "format_output";
inline constexpr const char* kKeyShowGToolbar = "show_gtoolbar";

// Reads the digit-count text of the settings dialog: a decimal number
// (leading blanks allowed, truncated toward zero) with nothing after it, from
// 0 to 15. An empty text reads as 0. On failure, the message to show.
struct DigitsCheck {
    std::optional<int> digits;
    std::string message;
};
DigitsCheck checkDigitText(std::string_view text);

}  // namespace kv
