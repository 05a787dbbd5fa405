// Sets of closed intervals: union, difference, points and the 5e-12 widening.
#include <gtest/gtest.h>

#include <cfloat>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/IntervalSet.h"

namespace kv {
namespace {

using Spans = std::vector<std::pair<double, double>>;

IntervalSet makeSet(const Spans& spans) {
    IntervalSet s;
    for (auto [lo, hi] : spans) s.addInterval(lo, hi);
    return s;
}

std::string show(const Spans& spans) {
    std::ostringstream out;
    out.precision(17);
    for (auto [lo, hi] : spans) out << "[" << lo << ", " << hi << "]";
    return out.str();
}

std::string show(const IntervalSet& s) {
    Spans spans;
    for (const Interval& in : s.intervals()) spans.emplace_back(in.lo, in.hi);
    return show(spans);
}

const Spans kThree = {{5, 6}, {1, 2}, {3, 4}};

struct EditRow {
    bool remove;
    double a;
    double b;
    Spans expected;
    friend void PrintTo(const EditRow& r, std::ostream* os) {
        *os << (r.remove ? "remove " : "add ") << r.a << ".." << r.b;
    }
};

class IntervalEditTest : public ::testing::TestWithParam<EditRow> {};

TEST_P(IntervalEditTest, StartingFromThreeIntervals) {
    IntervalSet s = makeSet(kThree);
    if (GetParam().remove)
        s.removeInterval(GetParam().a, GetParam().b);
    else
        s.addInterval(GetParam().a, GetParam().b);
    EXPECT_EQ(show(s), show(GetParam().expected));
}

// Union merges everything touching [a, b]; difference keeps the cut points.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, IntervalEditTest, ::testing::Values(
    EditRow{false, 1.2, 1.8, {{1, 2}, {3, 4}, {5, 6}}},
    EditRow{false, 1.5, 3.5, {{1, 4}, {5, 6}}},
    EditRow{false, 0, 7, {{0, 7}}},
    EditRow{false, 2.5, 5.5, {{1, 2}, {2.5, 6}}},
    EditRow{false, 2.5, 2.7, {{1, 2}, {2.5, 2.7}, {3, 4}, {5, 6}}},
    EditRow{false, -1, 0, {{-1, 0}, {1, 2}, {3, 4}, {5, 6}}},
    EditRow{false, 2, 3, {{1, 4}, {5, 6}}},
    EditRow{false, 2 + 4e-12, 2.5, {{1, 2.5}, {3, 4}, {5, 6}}},
    EditRow{false, 2 + 1e-11, 2.5, {{1, 2}, {2 + 1e-11, 2.5}, {3, 4}, {5, 6}}},
    EditRow{false, 2.5, 3 - 4e-12, {{1, 2}, {2.5, 4}, {5, 6}}},
    EditRow{true, 1.5, 5.5, {{1, 1.5}, {5.5, 6}}},
    EditRow{true, 1.5, 3.5, {{1, 1.5}, {3.5, 4}, {5, 6}}},
    EditRow{true, 3.2, 3.7, {{1, 2}, {3, 3.2}, {3.7, 4}, {5, 6}}},
    EditRow{true, 0, 7, {}},
    EditRow{true, 2.5, 2.7, {{1, 2}, {3, 4}, {5, 6}}},
    EditRow{true, 2, 3, {{1, 2}, {3, 4}, {5, 6}}},
    EditRow{true, 0, 4.5, {{5, 6}}},
    EditRow{true, 2 + 4e-12, 2.5, {{1, 2 + 4e-12}, {3, 4}, {5, 6}}}));
// clang-format on

TEST(IntervalSet, ContainsIsWidenedByFiveTimesTenToMinusTwelve) {
    IntervalSet s(1, 2);
    EXPECT_TRUE(s.contains(2 + 4e-12));
    EXPECT_FALSE(s.contains(2 + 6e-12));
    EXPECT_TRUE(s.contains(1 - 4e-12));
    EXPECT_FALSE(s.contains(1 - 6e-12));
}

TEST(IntervalSet, AddPointGivesTheToleranceWidth) {
    IntervalSet s;
    EXPECT_TRUE(s.empty());
    s.addPoint(0);
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.intervals()[0].lo, -DBL_EPSILON / 2);
    EXPECT_EQ(s.intervals()[0].hi, DBL_EPSILON / 2);
    s.addPoint(4e-12);  // the same root found twice
    EXPECT_EQ(s.count(), 1);
    s.addPoint(1e-11);
    EXPECT_EQ(s.count(), 2);
    s.addPoint(-3);
    EXPECT_EQ(s.count(), 3);
    EXPECT_LT(s.intervals()[0].hi, -2.9);

    IntervalSet wide;
    wide.tolerance = 0.5;
    wide.addPoint(2);
    EXPECT_EQ(show(wide), show(Spans{{1.75, 2.25}}));
}

TEST(IntervalSet, AddSetAndRemoveSetGoIntervalByInterval) {
    IntervalSet s = makeSet(kThree);
    s.addSet(makeSet({{1.5, 3.5}, {5.5, 8}}));
    EXPECT_EQ(show(s), show(Spans{{1, 4}, {5, 8}}));
    s.removeSet(makeSet({{0, 2}, {6, 7}}));
    EXPECT_EQ(show(s), show(Spans{{2, 4}, {5, 6}, {7, 8}}));
}

TEST(IntervalSet, CopiesKeepIntervalsAndTolerance) {
    IntervalSet s = makeSet(kThree);
    s.tolerance = 0.25;
    IntervalSet copy(s);
    EXPECT_EQ(show(copy), show(s));
    EXPECT_EQ(copy.tolerance, 0.25);
    IntervalSet assigned;
    assigned.addInterval(-5, -4);
    assigned = s;
    EXPECT_EQ(show(assigned), show(s));
    EXPECT_EQ(assigned.tolerance, 0.25);
    copy.addInterval(0, 10);
    EXPECT_EQ(s.count(), 3);
}

}  // namespace
}  // namespace kv
