// Scanning helpers of number and command texts: top-level splitting, outer
// parentheses, decimal number prefixes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Splits at every occurrence of `separator` at nesting depth 0, where '(' and
// '[' open and ')' and ']' close. Empty parts are kept, except an empty last
// part; a separator that begins at the last possible position
// (text length - separator length) is not recognised.
std::vector<std::string_view> splitTopLevel(std::string_view text, std::string_view separator);

// Removes pairs of `open`/`close` for as long as one pair encloses the whole
// text. Linear in the length of the text, however many pairs there are.
std::string_view stripOuterParentheses(std::string_view text, char open, char close);

// Length of the longest prefix that reads as a decimal number: digits, an
// optional fraction, an optional exponent (leading white space is skipped as
// the C library does). No sign, no "inf", "nan" or hexadecimal. 0 when none.
std::size_t decimalPrefixLength(std::string_view text);

// The value of a decimal text accepted by decimalPrefixLength, read with a
// point as the decimal separator whatever the locale. Out-of-range values
// become infinity or zero as the C library gives them.
double readDecimal(std::string_view text);

// The text with every blank (0x20) removed; tabs stay.
std::string removeBlanks(std::string_view text);

// Trims blanks, tabs, carriage returns and line feeds at both ends.
std::string_view trim(std::string_view text);

// Whether `text` ends with `suffix`, ASCII letters compared without case
// (file extensions: ".PNG" is ".png").
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// How deeply parentheses nest, not counting pairs that only repeat an
// enclosing pair ("((x))") or enclose the whole text. Each counted level costs
// the parser at least one level of recursion, so this bounds nesting cheaply
// before parsing starts. The text must be balanced.
int significantNesting(std::string_view text);

}  // namespace kv
