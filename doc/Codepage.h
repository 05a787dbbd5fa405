// Conversion between code page 1250 (how documents store text on disk) and
// UTF-8 (how the program holds text in memory), done with the C library's
// iconv. Code page 1250 is one byte per character, so a converted string's
// byte length in code page 1250 is its character count.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

enum class ConvertStatus {
    Ok,
    Unconvertible,  // a character has no counterpart in the target encoding
    Unavailable,    // the system offers no converter for code page 1250
};

struct ConvertResult {
    ConvertStatus status = ConvertStatus::Ok;
    std::string text;           // the converted text (complete only when Ok)
    std::size_t badOffset = 0;  // Unconvertible: byte offset of the character in the input
    std::size_t badLength = 0;  // and its length in bytes
    int replaced = 0;           // decoding: undefined bytes replaced by U+FFFD
};

// Decodes code page 1250. The five byte values the code page leaves undefined
// become U+FFFD and are counted in `replaced`; the status is then still Ok.
ConvertResult cp1250ToUtf8(std::string_view cp1250);

// Encodes UTF-8 as code page 1250. Stops at the first character the code page
// cannot hold, or at the first malformed UTF-8 sequence (Unconvertible).
ConvertResult utf8ToCp1250(std::string_view utf8);

// True when `s` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view s);

// Length of the well-formed UTF-8 sequence starting at `s[pos]`, or 0 when
// the bytes there are not one.
std::size_t utf8SequenceLength(std::string_view s, std::size_t pos);

}  // namespace kv
