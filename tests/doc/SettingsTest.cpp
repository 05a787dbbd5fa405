#include <gtest/gtest.h>

#include "doc/Settings.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct DigitsRow {
    const char* text;
    int digits;           // -1: refused
    const char* message;  // when refused
};

class DigitTextTest : public testing::TestWithParam<DigitsRow> {};

TEST_P(DigitTextTest, ChecksLikeTheDialog) {
    const DigitsRow& row = GetParam();
    DigitsCheck c = checkDigitText(row.text);
    if (row.digits >= 0) {
        ASSERT_TRUE(c.digits.has_value()) << row.text << ": " << c.message;
        EXPECT_EQ(*c.digits, row.digits) << row.text;
    } else {
        EXPECT_FALSE(c.digits.has_value()) << row.text;
        EXPECT_EQ(c.message, row.message) << row.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, DigitTextTest,
                         testing::Values(DigitsRow{"7.9", 7, ""}, DigitsRow{"0", 0, ""},
                                         DigitsRow{"", 0, ""}, DigitsRow{"15", 15, ""},
                                         DigitsRow{" 12", 12, ""}, DigitsRow{"1e1", 10, ""},
                                         DigitsRow{"-0.5", 0, ""},
                                         DigitsRow{"16", -1, "Zadejte číslo od 0 do 15!"},
                                         DigitsRow{"-1", -1, "Zadejte číslo od 0 do 15!"},
                                         DigitsRow{"1e9", -1, "Zadejte číslo od 0 do 15!"},
                                         DigitsRow{"5x", -1, "Zadejte číslo od 1 do 15!"},
                                         DigitsRow{"abc", -1, "Zadejte číslo od 1 do 15!"},
                                         DigitsRow{"12 ", -1, "Zadejte číslo od 1 do 15!"},
                                         DigitsRow{"  ", -1, "Zadejte číslo od 1 do 15!"},
                                         DigitsRow{"7,5", -1, "Zadejte číslo od 1 do 15!"}),
                         rowNames(&DigitsRow::text));

}  // namespace
}  // namespace kv
