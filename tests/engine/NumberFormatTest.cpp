// How numbers print: the digit count, the three-digit exponent, the words for
// non-finite values, and independence from the C locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "engine/NumberFormat.h"
#include "support/RowNames.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct FormatRow {
    double value;
    int digits;
    const char* expected;
    friend void PrintTo(const FormatRow& r, std::ostream* os) { *os << r.expected; }
};

class FormatNumberTest : public ::testing::TestWithParam<FormatRow> {};

TEST_P(FormatNumberTest, Prints) {
    const FormatRow& row = GetParam();
    EXPECT_EQ(formatNumber(row.value, row.digits), row.expected);
    // A NumberNode prints with the workspace's digit count, read at each call.
    FreshWorkspace env;
    NodePtr n = num(row.value);
    env.ws.ndigits = row.digits;
    EXPECT_EQ(n->toText(), row.expected);
    EXPECT_EQ(formatNumber(row.value), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatNumberTest,
    ::testing::Values(
        FormatRow{1.0 / 3, 12, "0.333333333333"}, FormatRow{0.1 + 0.2, 12, "0.3"},
        FormatRow{100, 12, "100"}, FormatRow{1e20, 12, "1e+020"}, FormatRow{1e-5, 12, "1e-005"},
        FormatRow{-2.5, 12, "-2.5"}, FormatRow{0, 12, "0"}, FormatRow{0.0001, 12, "0.0001"},
        FormatRow{1.5e-7, 12, "1.5e-007"}, FormatRow{123456789012, 12, "123456789012"},
        FormatRow{1234567890123, 12, "1.23456789012e+012"}, FormatRow{999999999999.6, 12, "1e+012"},
        FormatRow{1e300, 12, "1e+300"}, FormatRow{-1.25e-300, 12, "-1.25e-300"},
        FormatRow{3.141592653589793, 3, "3.14"}, FormatRow{1234, 3, "1.23e+003"},
        FormatRow{999, 3, "999"}, FormatRow{3.7, 0, "4"}, FormatRow{0.5, 0, "0.5"},
        FormatRow{0.1 + 0.2, 15, "0.3"}, FormatRow{0.1 + 0.2, 17, "0.30000000000000004"},
        FormatRow{kInf, 12, "inf"}, FormatRow{-kInf, 3, "-inf"},
        FormatRow{std::numeric_limits<double>::quiet_NaN(), 12, "nan"}),
    rowNames(&FormatRow::expected));

TEST(FormatNumber, ComputedNonFiniteValuesPrintAsWords) {
    FreshWorkspace env;
    EXPECT_EQ(quot(num(1), var("x"))->toNumber()->toText(), "inf");
    EXPECT_EQ(quot(num(-1), var("x"))->toNumber()->toText(), "-inf");
    EXPECT_EQ(fn(Kind::Sqrt, num(-2))->toNumber()->toText(), "nan");
}

// Restores the C locale when the test ends, whatever happens in between.
struct LocaleGuard {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    ~LocaleGuard() { std::setlocale(LC_ALL, saved.c_str()); }
};

TEST(FormatNumber, IgnoresDecimalCommaLocale) {
    LocaleGuard guard;
    if (!std::setlocale(LC_ALL, "cs_CZ.UTF-8")) GTEST_SKIP() << "cs_CZ.UTF-8 is not installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 0.5);
    ASSERT_STREQ(probe, "0,5") << "the locale does not use a decimal comma";

    EXPECT_EQ(formatNumber(0.5, 12), "0.5");
    EXPECT_EQ(formatNumber(1.5e-7, 12), "1.5e-007");
    EXPECT_EQ(formatNumber(-1234.5, 3), "-1.23e+003");
    FreshWorkspace env;
    EXPECT_EQ(num(2.25)->toText(), "2.25");
}

}  // namespace
}  // namespace kv
