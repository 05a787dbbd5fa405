// Numeric evaluation: values per kind, IEEE domain errors, the factorial, the
// random generator and the order in which operators evaluate their children,
// and numeric integrals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/ExprNode.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;

// Exact for zero and non-finite values, within rounding otherwise.
::testing::AssertionResult near(double v, double expected) {
    bool ok = std::isnan(expected)      ? std::isnan(v)
              : std::isfinite(expected) ? std::fabs(v - expected) <= 1e-13 * std::fabs(expected)
                                        : v == expected;
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << v << " instead of " << expected;
}

struct ValueRow {
    Builder tree;
    double expected;
};

class EvaluateKindTest : public ::testing::TestWithParam<ValueRow> {};

TEST_P(EvaluateKindTest, GivesValue) {
    FreshWorkspace env;
    NodePtr t = GetParam().tree();
    EXPECT_TRUE(near(t->evaluate(), GetParam().expected)) << t->toText();
}

// Variables are built fresh, so their value is 0.
INSTANTIATE_TEST_SUITE_P(
    Rows, EvaluateKindTest,
    ::testing::Values(
        ValueRow{TREE(zero()), 0}, ValueRow{TREE(text("7")), 0}, ValueRow{TREE(list(num(5))), 0},
        ValueRow{TREE(cnst("pi")), kPi}, ValueRow{TREE(diff(num(7), num(2))), 5},
        ValueRow{TREE(quot(num(8), num(2))), 4}, ValueRow{TREE(power(num(-2), num(3))), -8},
        ValueRow{TREE(power(num(-8), quot(num(1), num(3)))), kNaN},
        ValueRow{TREE(power(num(0), num(0))), 1}, ValueRow{TREE(quot(num(1), var("x"))), kInf},
        ValueRow{TREE(quot(num(-1), var("x"))), -kInf}, ValueRow{TREE(quot(num(0), num(0))), kNaN},
        ValueRow{TREE(neg(num(5))), -5}, ValueRow{TREE(fn(Kind::PlusMinus, num(5))), 5},
        ValueRow{TREE(fn(Kind::Sin, quot(cnst("pi"), num(2)))), 1},
        ValueRow{TREE(fn(Kind::Cos, cnst("pi"))), -1}, ValueRow{TREE(fn(Kind::Asin, num(2))), kNaN},
        ValueRow{TREE(fn(Kind::Acos, num(-1))), kPi},
        ValueRow{TREE(fn(Kind::Atan, num(1))), kPi / 4},
        ValueRow{TREE(fn(Kind::Cosh, num(1))), 1.5430806348152437},
        ValueRow{TREE(fn(Kind::Tan, quot(cnst("pi"), num(4)))), std::tan(kPi / 4)},
        ValueRow{TREE(fn(Kind::Tanh, num(1))), 0.7615941559557649},
        ValueRow{TREE(fn(Kind::Ln, fn(Kind::Exp, num(2)))), 2},
        ValueRow{TREE(fn(Kind::Ln, num(0))), -kInf}, ValueRow{TREE(fn(Kind::Log, num(1000))), 3},
        ValueRow{TREE(fn(Kind::Log2, num(8))), 3}, ValueRow{TREE(logb(num(2), num(8))), 3},
        ValueRow{TREE(logb(num(10), num(0.01))), -2}, ValueRow{TREE(fn(Kind::Sqrt, num(-1))), kNaN},
        ValueRow{TREE(fn(Kind::Abs, num(-3))), 3}, ValueRow{TREE(fn(Kind::Sign, num(-2))), -1},
        ValueRow{TREE(fn(Kind::Sign, num(0.1))), 1}, ValueRow{TREE(fn(Kind::Sign, num(-0.0))), 0},
        ValueRow{TREE(fn(Kind::Sign, num(kNaN))), 0},
        ValueRow{TREE(sum(num(1), fn(Kind::Sqrt, num(-4)))), kNaN}));

// sign(|t|!) for t the value truncated toward zero; huge values must not loop.
using FactRow = std::pair<double, double>;  // argument, value
class FactNodeTest : public ::testing::TestWithParam<FactRow> {};

TEST_P(FactNodeTest, IsSignedFactorialOfTruncatedValue) {
    FreshWorkspace env;
    auto [x, expected] = GetParam();
    NodePtr t = fn(Kind::Fact, num(x));
    // A loop over a huge argument would not return: ctest's time limit of
    // the test catches that, without a clock here that a busy machine moves.
    double v = t->evaluate();
    EXPECT_TRUE(near(v, expected)) << "fact(" << x << ")";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, FactNodeTest, ::testing::ValuesIn(std::vector<FactRow>{
    {5, 120}, {4.5, 24}, {1, 1}, {2, 2}, {0.7, 0}, {0, 0}, {-0.7, 0}, {-3, -6}, {-4, -24},
    {-4.9, -24}, {170, 7.257415615307999e306}, {171, kInf}, {1e19, kInf}, {1e300, kInf},
    {-1e300, -kInf}, {kInf, kInf}, {-kInf, -kInf}, {kNaN, kNaN}}));
// clang-format on

// From seed 1 the 15-bit generator gives 41, 18467, 6334.
const auto clockAtOne = [] { return std::uint32_t{1}; };
const double kR1 = 41 / 32767.0;
const double kR2 = 18467 / 32767.0;

TEST(EvaluateRnd, EachNewNodeRestartsTheSequence) {
    FreshWorkspace env;
    env.ws.millisecondClock = clockAtOne;
    NodePtr a = rnd();
    const double first[] = {kR1, kR2, 6334 / 32767.0};
    for (double expected : first) EXPECT_EQ(a->evaluate(), expected);
    NodePtr b = rnd();
    for (double expected : first) EXPECT_EQ(b->evaluate(), expected);
}

TEST(EvaluateRnd, StaysWithinZeroAndOne) {
    FreshWorkspace env;
    NodePtr r = rnd();
    double lo = 1, hi = 0;
    for (int i = 0; i < 20000; ++i) {
        double v = r->evaluate();
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, 0.0);
    EXPECT_LT(lo, 0.01);
    EXPECT_LE(hi, 1.0);
    EXPECT_GT(hi, 0.99);
}

// Sums, products and powers take the first output on their right,
// differences and quotients on their left.
TEST(EvaluateRnd, OrderOfChildren) {
    struct Row {
        Builder tree;
        double expected;
    } rows[] = {
        {TREE(sum(rnd(), neg(rnd()))), kR2 - kR1},
        {TREE(prod(rnd(), sum(rnd(), num(1)))), kR2 * (kR1 + 1)},
        {TREE(power(rnd(), rnd())), std::pow(kR2, kR1)},
        {TREE(diff(rnd(), rnd())), kR1 - kR2},
        {TREE(quot(rnd(), rnd())), kR1 / kR2},
    };
    for (const Row& row : rows) {
        FreshWorkspace env;
        env.ws.millisecondClock = clockAtOne;
        NodePtr t = row.tree();
        EXPECT_TRUE(near(t->evaluate(), row.expected)) << t->toText();
    }
}

TEST(EvaluateIntegral, RepeatsItsValueAndKeepsIt) {
    FreshWorkspace env;
    NodePtr t = integral(power(var("t"), num(2)), "t", num(0), num(1), quot(num(50), num(2)));
    double first = t->evaluate();
    EXPECT_NEAR(first, 1.0 / 3, 1e-14);
    EXPECT_EQ(as<NIntegrateNode>(*t).lastValue, first);
    EXPECT_EQ(t->evaluate(), first);
    EXPECT_EQ(as<NIntegrateNode>(*t).lastValue, first);
    EXPECT_EQ(t->toText(), "0.333333");
    EXPECT_DOUBLE_EQ(valueOf("t"), 51.0 / 52);  // the last sample, (2m-1)/(2m) with m = 26

    NodePtr reversed = integral(power(var("t"), num(2)), "t", num(1), num(0), num(25));
    EXPECT_NEAR(reversed->evaluate(), -first, 1e-15);

    NodePtr bounds = integral(prod(var("a"), var("t")), "t", num(0), var("b"), num(10));
    valueOf("a") = 3;
    valueOf("b") = 2;
    EXPECT_NEAR(bounds->evaluate(), 6, 1e-13);
}

// Simpson's rule with m pairs over [0, 1] overestimates the integral of t^4 by
// 1/(120 m^4), which shows the pair count used: truncated, at least 2, even.
TEST(EvaluateIntegral, PairCount) {
    const std::pair<double, int> rows[] = {{26, 26}, {7.9, 8}, {100, 100}, {1, 2},
                                           {0, 2},   {-5, 2},  {kNaN, 2}};
    for (auto [pairs, m] : rows) {
        FreshWorkspace env;
        NodePtr t = integral(power(var("t"), num(4)), "t", num(0), num(1), num(pairs));
        EXPECT_NEAR(t->evaluate(), 0.2 + 1 / (120 * std::pow(m, 4)), 1e-14) << pairs;
    }
}

// Large pair counts go through the compiled integrand; the integral must have
// the very bits of the plain loop, and leave the variable at the same point.
// Trees the compiled form refuses (rnd, inner integrals) fall back to it.
TEST(EvaluateIntegral, CompiledIntegrandGivesThePlainBits) {
    const struct Row {
        const char* what;
        Builder tree;
    } rows[] = {
        {"t^2 over 300 pairs",
         TREE(integral(power(var("t"), num(2)), "t", num(0), num(1), num(300)))},
        {"sin(a t)/t, b..0 reversed, odd count 1001",
         TREE(integral(quot(fn(Kind::Sin, prod(var("a"), var("t"))), var("t")), "t", var("b"),
                       num(0), num(1001)))},
        {"exp(-t^2) over 100000 pairs", TREE(integral(fn(Kind::Exp, neg(power(var("t"), num(2)))),
                                                      "t", num(-3), num(3), num(100000)))},
        {"ln t across 0: NaN samples",
         TREE(integral(fn(Kind::Ln, var("t")), "t", num(-1), num(1), num(500)))},
        {"a bound of 257 pairs, blocks not filled",
         TREE(integral(fn(Kind::Sqrt, sum(var("t"), num(1))), "t", num(0), num(8), num(257)))},
        {"an inner integral",
         TREE(integral(integral(prod(var("t"), var("u")), "u", num(0), var("t"), num(300)), "t",
                       num(0), num(1), num(300)))},
    };
    for (const Row& row : rows) {
        double value[2];
        double last[2];
        for (int compiled = 0; compiled < 2; ++compiled) {
            FreshWorkspace env;
            env.ws.compiledSampling = compiled == 1;
            valueOf("a") = 2.5;
            valueOf("b") = 4;
            NodePtr t = row.tree();
            value[compiled] = t->evaluate();
            last[compiled] = valueOf("t");
            // Again, from the compiled integrand the first evaluation kept.
            const double again = t->evaluate();
            EXPECT_EQ(std::memcmp(&again, &value[compiled], sizeof(double)), 0) << row.what;
        }
        EXPECT_EQ(std::memcmp(&value[0], &value[1], sizeof(double)), 0)
            << row.what << ": " << value[0] << " vs " << value[1];
        EXPECT_EQ(last[0], last[1]) << row.what;
    }
}

}  // namespace
}  // namespace kv
