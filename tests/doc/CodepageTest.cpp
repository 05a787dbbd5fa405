#include <gtest/gtest.h>

#include <string>

#include "doc/Codepage.h"

namespace kv {
namespace {

struct MappingRow {
    unsigned char byte;
    const char* utf8;
};

// Characters where code page 1250 differs from Latin-1, plus plain ASCII.
const MappingRow kMappings[] = {
    {0x41, "A"},      {0x80, "€"}, {0x8A, "Š"}, {0x8D, "Ť"}, {0x9A, "š"}, {0x9E, "ž"},
    {0xA0, "\u00A0"}, {0xC8, "Č"}, {0xCC, "Ě"}, {0xE8, "č"}, {0xEC, "ě"}, {0xF8, "ř"},
    {0xF9, "ů"},      {0x84, "„"}, {0x93, "“"}, {0xB9, "ą"}, {0xFB, "ű"},
};

TEST(Codepage, KnownCharactersBothWays) {
    for (const MappingRow& row : kMappings) {
        std::string byte(1, static_cast<char>(row.byte));
        ConvertResult decoded = cp1250ToUtf8(byte);
        ASSERT_EQ(decoded.status, ConvertStatus::Ok);
        EXPECT_EQ(decoded.text, row.utf8) << "byte " << int(row.byte);
        ConvertResult encoded = utf8ToCp1250(row.utf8);
        ASSERT_EQ(encoded.status, ConvertStatus::Ok) << row.utf8;
        EXPECT_EQ(encoded.text, byte) << row.utf8;
    }
}

TEST(Codepage, EveryDefinedByteRoundTripsAndUndefinedOnesAreReplaced) {
    const std::string undefinedBytes = "\x81\x83\x88\x90\x98";
    for (int b = 1; b < 256; ++b) {
        std::string in = "a" + std::string(1, static_cast<char>(b)) + "z";
        ConvertResult decoded = cp1250ToUtf8(in);
        ASSERT_EQ(decoded.status, ConvertStatus::Ok) << b;
        if (undefinedBytes.find(static_cast<char>(b)) != std::string::npos) {
            EXPECT_EQ(decoded.text, "a\uFFFDz") << b;
            EXPECT_EQ(decoded.replaced, 1) << b;
            continue;
        }
        EXPECT_EQ(decoded.replaced, 0) << b;
        ConvertResult encoded = utf8ToCp1250(decoded.text);
        ASSERT_EQ(encoded.status, ConvertStatus::Ok) << b;
        EXPECT_EQ(encoded.text, in) << b;
    }
}

struct UnconvertibleRow {
    const char* utf8;
    std::size_t offset;
    std::size_t length;
};

TEST(Codepage, EncodingStopsAtTheFirstCharacterItCannotHold) {
    const UnconvertibleRow rows[] = {
        {"a→b", 1, 3},           // arrow: not in the code page
        {"čšž中", 6, 3},         // CJK after characters that are
        {"x😀", 1, 4},            // outside the Basic Multilingual Plane
        {"ab\xFF", 2, 1},        // not UTF-8 at all
        {"ok\xC3", 2, 1},        // sequence cut short
        {"\xC0\x80", 0, 1},      // overlong zero
        {"\xED\xA0\x80", 0, 1},  // surrogate
    };
    for (const UnconvertibleRow& row : rows) {
        ConvertResult r = utf8ToCp1250(row.utf8);
        EXPECT_EQ(r.status, ConvertStatus::Unconvertible) << row.utf8;
        EXPECT_EQ(r.badOffset, row.offset) << row.utf8;
        EXPECT_EQ(r.badLength, row.length) << row.utf8;
    }
}

TEST(Codepage, Utf8Validation) {
    const std::pair<const char*, bool> rows[] = {
        {"", true},
        {"abc", true},
        {"příliš žluťoučký", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xC1\xBF", false},          // overlong
        {"\xE0\x9F\xBF", false},      // overlong
        {"\xED\xBF\xBF", false},      // surrogate
        {"\xE2\x82", false},          // cut short
        {"\x80", false},              // lone continuation byte
        {"\xE8", false},              // code page 1250 "č"
    };
    for (const auto& [text, valid] : rows) EXPECT_EQ(isValidUtf8(text), valid) << text;
}

}  // namespace
}  // namespace kv
