#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/TextScan.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct SplitRow {
    const char* text;
    const char* separator;
    std::vector<std::string> parts;
};

class SplitTopLevelTest : public testing::TestWithParam<SplitRow> {};

TEST_P(SplitTopLevelTest, Splits) {
    const SplitRow& row = GetParam();
    auto parts = splitTopLevel(row.text, row.separator);
    std::vector<std::string> got(parts.begin(), parts.end());
    EXPECT_EQ(got, row.parts) << row.text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitTopLevelTest,
    testing::Values(SplitRow{"a,b,c", ",", {"a", "b", "c"}},
                    SplitRow{"f(a,b),c", ",", {"f(a,b)", "c"}},
                    SplitRow{"[1,2],x", ",", {"[1,2]", "x"}}, SplitRow{"(a],b", ",", {"(a]", "b"}},
                    SplitRow{"", ",", {}},                  // empty text: no parts
                    SplitRow{"a,,b", ",", {"a", "", "b"}},  // empty inner parts kept
                    SplitRow{",a", ",", {"", "a"}},
                    SplitRow{"a,", ",", {"a,"}},  // separator at the last position
                    SplitRow{"a=", "=", {"a="}}, SplitRow{"a==", "=", {"a", "="}},
                    SplitRow{"0..1", "..", {"0", "1"}}, SplitRow{"0...1", "..", {"0", ".1"}},
                    SplitRow{"1..", "..", {"1.."}}, SplitRow{"x->0", "->", {"x", "0"}},
                    SplitRow{" x //c", "//", {" x ", "c"}}, SplitRow{" //", "//", {" //"}},
                    SplitRow{"a", "", {"a"}}),
    rowNames(&SplitRow::text));

struct StripRow {
    const char* text;
    char open;
    char close;
    const char* result;
};

class StripOuterTest : public testing::TestWithParam<StripRow> {};

TEST_P(StripOuterTest, Strips) {
    const StripRow& row = GetParam();
    EXPECT_EQ(stripOuterParentheses(row.text, row.open, row.close), row.result) << row.text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StripOuterTest,
    testing::Values(StripRow{"(x)", '(', ')', "x"}, StripRow{"((x))", '(', ')', "x"},
                    StripRow{"(a)(b)", '(', ')', "(a)(b)"},
                    StripRow{"((a)(b))", '(', ')', "(a)(b)"},
                    StripRow{"((a)+(b))", '(', ')', "(a)+(b)"}, StripRow{"()", '(', ')', ""},
                    StripRow{"x", '(', ')', "x"}, StripRow{"(x", '(', ')', "(x"},
                    StripRow{"[0..1]", '[', ']', "0..1"}, StripRow{"[[0..1]]", '[', ']', "0..1"},
                    StripRow{"[a]..[b]", '[', ']', "[a]..[b]"}, StripRow{"(x))", '(', ')', "(x))"}),
    rowNames(&StripRow::text));

TEST(StripOuterTest, HundredThousandPairsAtOnce) {
    std::string text = std::string(100000, '(') + "x" + std::string(100000, ')');
    EXPECT_EQ(stripOuterParentheses(text, '(', ')'), "x");
}

struct DecimalRow {
    const char* text;
    std::size_t length;
};

class DecimalPrefixTest : public testing::TestWithParam<DecimalRow> {};

TEST_P(DecimalPrefixTest, Length) {
    EXPECT_EQ(decimalPrefixLength(GetParam().text), GetParam().length) << GetParam().text;
}

// Only digits, a fraction and an exponent: no words, no hexadecimal, no sign.
INSTANTIATE_TEST_SUITE_P(
    Rows, DecimalPrefixTest,
    testing::Values(DecimalRow{"12", 2}, DecimalRow{"12.5x", 4}, DecimalRow{".5", 2},
                    DecimalRow{"5.", 2}, DecimalRow{".", 0}, DecimalRow{"1e5", 3},
                    DecimalRow{"1e", 1}, DecimalRow{"1e+", 1}, DecimalRow{"1e-7y", 4},
                    DecimalRow{"2E+3", 4}, DecimalRow{"inf", 0}, DecimalRow{"infinity", 0},
                    DecimalRow{"nan", 0}, DecimalRow{"nanx", 0}, DecimalRow{"0x1p3", 1},
                    DecimalRow{"-1", 0}, DecimalRow{"+1", 0}, DecimalRow{"x1", 0},
                    DecimalRow{"1.2.3", 3}, DecimalRow{"", 0}),
    rowNames(&DecimalRow::text));

TEST(ReadDecimalTest, PointWhateverTheLocaleAndRange) {
    EXPECT_EQ(readDecimal("2.5"), 2.5);
    EXPECT_EQ(readDecimal(".25"), 0.25);
    EXPECT_EQ(readDecimal("1e3"), 1000.0);
    EXPECT_TRUE(std::isinf(readDecimal("1e400")));
    EXPECT_EQ(readDecimal("1e-400"), 0.0);
}

struct NestingRow {
    const char* text;
    int depth;
};

class NestingTest : public testing::TestWithParam<NestingRow> {};

TEST_P(NestingTest, CountsOnlyPairsThatCostRecursion) {
    EXPECT_EQ(significantNesting(GetParam().text), GetParam().depth) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Rows, NestingTest,
                         testing::Values(NestingRow{"x", 0}, NestingRow{"(x)", 0},
                                         NestingRow{"((((x))))", 0}, NestingRow{"sin(x)", 1},
                                         NestingRow{"sin((x))", 1},
                                         NestingRow{"sin(sin(sin(x)))", 3},
                                         NestingRow{"(((x+1)*2)+1)", 2}, NestingRow{"(a)+(b)", 1},
                                         NestingRow{"f(a)(b)", 1}),
                         rowNames(&NestingRow::text));

}  // namespace
}  // namespace kv
