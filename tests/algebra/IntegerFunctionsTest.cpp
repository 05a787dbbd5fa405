#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "algebra/IntegerFunctions.h"

namespace kv {
namespace {

constexpr double kTwo63 = 9223372036854775808.0;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FoldRow {
    std::vector<double> args;
    double gcd;
    double lcm;
};

class IntegerFoldTest : public testing::TestWithParam<FoldRow> {};

TEST_P(IntegerFoldTest, GcdAndLcm) {
    const FoldRow& row = GetParam();
    IntegerResult g = gcdOf(row.args);
    IntegerResult l = lcmOf(row.args);
    ASSERT_EQ(g.status, IntegerStatus::Ok);
    ASSERT_EQ(l.status, IntegerStatus::Ok);
    EXPECT_EQ(g.value, row.gcd);
    EXPECT_EQ(l.value, row.lcm);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IntegerFoldTest,
    testing::Values(
        // Every sign combination: gcd is negative when exactly one argument
        // is, lcm never.
        FoldRow{{12, 18}, 6, 36}, FoldRow{{-12, 18}, -6, 36}, FoldRow{{12, -18}, -6, 36},
        FoldRow{{-12, -18}, 6, 36}, FoldRow{{18, 12}, 6, 36}, FoldRow{{5, 5}, 5, 5},
        FoldRow{{-5, 5}, -5, 5},
        // Folding from the left carries the sign along.
        FoldRow{{-12, 18, 4}, -2, 36}, FoldRow{{-12, 18, -4}, 2, 36}, FoldRow{{2, 3, 4}, 1, 12},
        FoldRow{{7}, 7, 7}, FoldRow{{-7}, -7, -7}, FoldRow{{}, 0, 0},
        // Truncation toward zero.
        FoldRow{{12.9, 18}, 6, 36}, FoldRow{{-12.9, 18.7}, -6, 36}, FoldRow{{0.5, 3}, 3, 0},
        // Zero arguments: gcd(a, 0) = |a| under the sign rule, lcm(a, 0) = 0.
        FoldRow{{0, 0}, 0, 0}, FoldRow{{4, 0}, 4, 0}, FoldRow{{0, 4}, 4, 0},
        FoldRow{{-4, 0}, -4, 0}, FoldRow{{0, -4}, -4, 0},
        // The ends of the 64-bit range.
        FoldRow{{-kTwo63, 0}, -kTwo63, 0}, FoldRow{{-kTwo63, -kTwo63}, kTwo63, kTwo63},
        FoldRow{{-kTwo63, 2}, -2, kTwo63}, FoldRow{{-kTwo63, -1}, 1, kTwo63}));

TEST(IntegerFunctionsTest, ExactAtTheInt64Limits) {
    const std::int64_t mn = std::numeric_limits<std::int64_t>::min();
    const std::int64_t mx = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(gcd(SignedInteger::of(mn), SignedInteger::of(mn)),
              (SignedInteger{false, std::uint64_t{1} << 63}));
    EXPECT_EQ(gcd(SignedInteger::of(mx), SignedInteger::of(mn)), (SignedInteger{true, 1}));
    EXPECT_EQ(lcm(SignedInteger::of(mx), SignedInteger::of(mx - 1)), std::nullopt);
    EXPECT_EQ(lcm(SignedInteger::of(mx), SignedInteger::of(mx)),
              (SignedInteger{false, static_cast<std::uint64_t>(mx)}));
}

TEST(IntegerFunctionsTest, TruncationRange) {
    EXPECT_EQ(truncateToInt64(-kTwo63), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(truncateToInt64(kTwo63), std::nullopt);
    EXPECT_EQ(truncateToInt64(-kTwo63 - 4096), std::nullopt);
    EXPECT_EQ(truncateToInt64(-2.9), -2);
    EXPECT_EQ(truncateToInt64(kNaN), std::nullopt);
    EXPECT_EQ(truncateToInt64(-kInf), std::nullopt);
}

struct BadRow {
    std::vector<double> args;
    IntegerStatus status;
    int argument;
};

TEST(IntegerFunctionsTest, BadArgumentsAreReported) {
    const BadRow rows[] = {
        {{kNaN, 2}, IntegerStatus::NotFinite, 0},     {{2, kInf}, IntegerStatus::NotFinite, 1},
        {{2, 4, -kInf}, IntegerStatus::NotFinite, 2}, {{1e30, 2}, IntegerStatus::OutOfRange, 0},
        {{2, kTwo63}, IntegerStatus::OutOfRange, 1},
    };
    for (const BadRow& row : rows) {
        for (auto fold : {gcdOf, lcmOf}) {
            IntegerResult r = fold(row.args);
            EXPECT_EQ(r.status, row.status);
            EXPECT_EQ(r.argument, row.argument);
        }
    }
    IntegerResult r = lcmOf({4294967296.0, 4294967295.0, 7});
    EXPECT_EQ(r.status, IntegerStatus::Overflow);
    EXPECT_EQ(r.argument, 2);
}

}  // namespace
}  // namespace kv
