#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "algebra/Solving.h"
#include "lang/CommandInterpreter.h"
#include "support/InterpreterFixture.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

constexpr double kPi = 3.141592653589793;

class NumericZerosTest : public test::InterpreterFixture {
  protected:
    // The midpoints of the intervals found, in the order of the set.
    std::vector<double> zeros(const std::string& f, double lo, double hi, double eps = 1e-8,
                              double h = 0.1) {
        NodePtr t = parse(f);
        RootRequest rq{x(), eps, h};
        IntervalSet s = findZeros(*t, IntervalSet(lo, hi), rq);
        std::vector<double> mids;
        for (const Interval& in : s.intervals()) mids.push_back(0.5 * (in.lo + in.hi));
        return mids;
    }
};

struct ZeroRow {
    const char* f;
    double lo, hi;
    std::vector<double> expected;
};

class ZerosRowTest : public NumericZerosTest, public testing::WithParamInterface<ZeroRow> {};

TEST_P(ZerosRowTest, FindsEachRootOnce) {
    const ZeroRow& row = GetParam();
    std::vector<double> found = zeros(row.f, row.lo, row.hi);
    ASSERT_EQ(found.size(), row.expected.size()) << row.f;
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_NEAR(found[i], row.expected[i], 1e-7) << row.f << " root " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ZerosRowTest,
    testing::Values(
        // The scan: a sign change refined, a root met by a scan point, the
        // right end, a reversed interval.
        ZeroRow{"x^2-2", 0, 2, {std::sqrt(2.0)}}, ZeroRow{"sin(x)", 0, 7, {0, kPi, 2 * kPi}},
        ZeroRow{"x-1", 0, 1, {1}}, ZeroRow{"x-0.95", 0, 1, {0.95}},
        ZeroRow{"x^2-2", 2, 0, {std::sqrt(2.0)}}, ZeroRow{"x^3-x", -2, 2, {-1, 0, 1}},
        ZeroRow{"cos(x)-x", -1, 1, {0.7390851332151607}},
        // Touching roots, found among the zeros of the derivative.
        ZeroRow{"(x-0.05)^2+0", -1, 1, {0.05}}, ZeroRow{"x^2-0.5*x+0.0625", -1, 1, {0.25}},
        ZeroRow{"cos(x)+1", 0, 4, {3.141592653589793}},
        // A pole changes sign but is no root.
        ZeroRow{"1/x", -1, 1, {}}, ZeroRow{"1/(x-0.33)+0", -1, 1, {}},
        // Products and constant factors.
        ZeroRow{"0*x", -1, 1, {0}}, ZeroRow{"3*(x-0.5)", -1, 1, {0.5}},
        ZeroRow{"x*(x-0.5)", -1, 1, {0, 0.5}}, ZeroRow{"(x+1)*sqrt(x)", -2, 2, {0}},
        // Quotients: the denominator's zeros are removed.
        ZeroRow{"(x-1)/(x-1)", 0, 2, {}}, ZeroRow{"(x-1)/x", -2, 2, {1}},
        ZeroRow{"x/(x-1)", -2, 2, {0}},
        // Powers: the base's zeros, none under a non-positive exponent.
        ZeroRow{"(x-0.25)^3", -1, 1, {0.25}}, ZeroRow{"x^(-1)", -1, 1, {}},
        ZeroRow{"(x-0.5)^0", -1, 1, {}},
        // Functions.
        ZeroRow{"ln(x)", 0, 3, {1}}, ZeroRow{"ln(x+2)", -1.5, 3, {-1}},
        ZeroRow{"sqrt(x)", -1, 1, {0}}, ZeroRow{"exp(x)", -5, 5, {}},
        ZeroRow{"asin(x-0.3)", -3, 3, {0.3}}, ZeroRow{"acos(x)", -3, 3, {1}},
        ZeroRow{"tan(x)", -1, 4, {0, kPi}}, ZeroRow{"tanh(x-1)", -3, 3, {1}},
        ZeroRow{"abs(x-0.5)", -1, 1, {0.5}}, ZeroRow{"x", -1, 1, {0}}, ZeroRow{"x", 1, 2, {}},
        ZeroRow{"5", -1, 1, {}}),
    rowNames(&ZeroRow::f));

TEST_F(NumericZerosTest, ConstantZeroGivesTheWholeSet) {
    NodePtr t = parse("y-y+0");
    IntervalSet s = findZeros(*t, IntervalSet(-1, 1), RootRequest{x(), 1e-8, 0.1});
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.intervals()[0].lo, -1);
    EXPECT_EQ(s.intervals()[0].hi, 1);
}

TEST_F(NumericZerosTest, RootIntervalsHaveWidthEpsilon) {
    NodePtr t = parse("x^2-2");
    IntervalSet s = findZeros(*t, IntervalSet(0, 2), RootRequest{x(), 1e-4, 0.1});
    ASSERT_EQ(s.count(), 1);
    EXPECT_NEAR(s.intervals()[0].hi - s.intervals()[0].lo, 1e-4, 1e-12);
    double m = 0.5 * (s.intervals()[0].lo + s.intervals()[0].hi);
    EXPECT_LE(std::fabs(m * m - 2), 1e-4);
}

TEST_F(NumericZerosTest, VariableValueIsRestored) {
    NodePtr t = parse("x^2-2");
    ci.workspace().variables[static_cast<std::size_t>(x())].value = 42;
    findZeros(*t, IntervalSet(0, 2), RootRequest{x(), 1e-8, 0.1});
    EXPECT_EQ(ci.workspace().variables[static_cast<std::size_t>(x())].value, 42);
}

// Requests that would never finish return at once with nothing found.
TEST_F(NumericZerosTest, DegenerateScansEndAtOnce) {
    NodePtr t = parse("x-1e15");
    for (double h : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
        IntervalSet s = scanZeros(RootRequest{x(), 1e-8, h}, *t, IntervalSet(0, 2));
        EXPECT_TRUE(s.empty()) << h;
    }
    // A step below the spacing of doubles at the bounds does not move x.
    // (A scan that never ends is caught by ctest's time limit of the test.)
    IntervalSet s = scanZeros(RootRequest{x(), 1e-8, 1e-3}, *t, IntervalSet(1e15, 1e15 + 1e6));
    (void)s;
}

// The end of an interval is scanned in halving steps; that must stop, for
// any relation of the step to the interval's length.
TEST_F(NumericZerosTest, RightEndScanTerminates) {
    NodePtr t = parse("x-3.05");
    for (double h : {0.1, 0.7, 5.0, 1e3}) {
        IntervalSet s = scanZeros(RootRequest{x(), 1e-8, h}, *t, IntervalSet(3, 3.1));
        ASSERT_EQ(s.count(), 1) << h;
        EXPECT_NEAR(s.intervals()[0].lo, 3.05, 1e-8) << h;
    }
}

struct DomainRow {
    const char* f;
    double lo, hi;
    std::vector<Interval> expected;
};

class DomainRowTest : public NumericZerosTest, public testing::WithParamInterface<DomainRow> {};

TEST_P(DomainRowTest, CutsTheSet) {
    const DomainRow& row = GetParam();
    NodePtr t = parse(row.f);
    RootRequestScope scope(RootRequest{x(), 1e-8, 0.1});
    IntervalSet d = t->domainIn(IntervalSet(row.lo, row.hi), x());
    ASSERT_EQ(d.count(), static_cast<int>(row.expected.size())) << row.f;
    for (std::size_t i = 0; i < row.expected.size(); ++i) {
        EXPECT_NEAR(d.intervals()[i].lo, row.expected[i].lo, 1e-7) << row.f;
        EXPECT_NEAR(d.intervals()[i].hi, row.expected[i].hi, 1e-7) << row.f;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DomainRowTest,
    testing::Values(DomainRow{"x^2+sin(x)", -1, 1, {{-1, 1}}},
                    DomainRow{"sqrt(x)", -1, 1, {{0, 1}}},
                    DomainRow{"sqrt(1-x^2)", -3, 3, {{-1, 1}}},
                    DomainRow{"ln(x-1)", 0, 3, {{1, 3}}}, DomainRow{"asin(x)", -3, 3, {{-1, 1}}},
                    DomainRow{"acos(x/2)+ln(x)", -3, 3, {{0, 2}}},
                    DomainRow{"1/x", -1, 1, {{-1, 0}, {0, 1}}},
                    DomainRow{"tan(x/2)", -4, 4, {{-4, -kPi}, {-kPi, kPi}, {kPi, 4}}},
                    DomainRow{"x^0.5", -1, 1, {{0, 1}}}, DomainRow{"x^2", -1, 1, {{-1, 1}}}),
    rowNames(&DomainRow::f));

}  // namespace
}  // namespace kv
