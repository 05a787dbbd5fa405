// Sets of closed intervals: union, difference, points and the 5e-12 widening.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
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
    EditRow{false, 6 + 4e-12, 7, {{1, 2}, {3, 4}, {5, 7}}},
    EditRow{false, 6 + 1e-11, 7, {{1, 2}, {3, 4}, {5, 6}, {6 + 1e-11, 7}}},
    EditRow{false, 5.5, 9, {{1, 2}, {3, 4}, {5, 9}}},
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

// A scan over a long interval finds its roots from left to right, hundreds of
// thousands of them (nsolve(sin(x)=0.5, x, [0..1000000]) once took hours);
// building and copying such a set must stay linear.
TEST(IntervalSet, RootsInScanOrderBuildALargeSetQuickly) {
    constexpr int kRoots = 300'000;
    IntervalSet s;
    for (int i = 0; i < kRoots; ++i) s.addPoint(0.5 * i);
    s.addPoint(0.5 * (kRoots - 1) + 4e-12);  // the last root found again
    ASSERT_EQ(s.count(), kRoots);
    IntervalSet copy(s);
    ASSERT_EQ(copy.count(), kRoots);
    EXPECT_TRUE(copy.contains(0.5 * 1234));
    EXPECT_FALSE(copy.contains(0.25));
    // After a removal the set still merges what touches its new last interval.
    copy.removeInterval(1000, 1e9);
    copy.addInterval(1000 + 4e-12, 1001);
    ASSERT_EQ(copy.count(), 2001);  // the points 0, 0.5, ..., 1000
    EXPECT_EQ(copy.intervals().back().lo, 1000 - copy.tolerance / 2);
    EXPECT_EQ(copy.intervals().back().hi, 1001);
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

// The touching roots of a scan join its sign-change roots afterwards, in
// between them: a million of them between a million others in one pass, not
// a pass over the whole set each.
TEST(IntervalSet, PointsBetweenManyIntervalsAreAddedQuickly) {
    constexpr int kRoots = 1'000'000;
    IntervalSet s;
    IntervalSet between;
    for (int i = 0; i < kRoots; ++i) s.addPoint(i);
    for (int i = 0; i < kRoots; ++i) between.addPoint(i + 0.5);
    s.addSet(between);
    s.addPoint(7 + 1e-12);  // merges with the point 7
    ASSERT_EQ(s.count(), 2 * kRoots);
    EXPECT_EQ(s.intervals()[14].lo, 7 - s.tolerance / 2);
    EXPECT_EQ(s.intervals()[14].hi, 7 + 1e-12 + s.tolerance / 2);
    EXPECT_EQ(s.intervals()[15].lo, 7.5 - s.tolerance / 2);
}

// The quick merge of an ordered set against the general one (which a set
// takes after a removal): random additions, touching, overlapping, nested,
// within the widening of each other and far apart, give the same bits.
TEST(IntervalSet, OrderedMergeGivesWhatTheGeneralMergeGives) {
    std::uint64_t state = 12345;
    auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 40) / static_cast<double>(1ULL << 24);
    };
    for (int round = 0; round < 200; ++round) {
        IntervalSet quick;
        IntervalSet general;
        general.removeInterval(1e300, 1e300);  // takes the general path from now on
        quick.tolerance = general.tolerance = round % 2 ? 1e-3 : IntervalSet::kDefaultTolerance;
        const double scale = round % 3 == 0 ? 1e-11 : (round % 3 == 1 ? 1.0 : 100.0);
        for (int k = 0; k < 60; ++k) {
            const double a = next() * scale;
            const double w = next() < 0.3 ? 0.0 : next() * scale * 0.1;
            if (next() < 0.5) {
                quick.addPoint(a);
                general.addPoint(a);
            } else {
                quick.addInterval(a, a + w);
                general.addInterval(a, a + w);
            }
            ASSERT_EQ(quick.count(), general.count()) << round << " " << k;
            for (int i = 0; i < quick.count(); ++i) {
                ASSERT_EQ(quick.intervals()[i].lo, general.intervals()[i].lo) << round << " " << k;
                ASSERT_EQ(quick.intervals()[i].hi, general.intervals()[i].hi) << round << " " << k;
            }
        }
    }
}

// Merging a whole ordered set in one pass gives what adding its intervals
// one by one through the general merge gives.
TEST(IntervalSet, OnePassUnionGivesWhatAddingOneByOneGives) {
    std::uint64_t state = 777;
    auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 40) / static_cast<double>(1ULL << 24);
    };
    auto randomSet = [&](double scale, int n) {
        IntervalSet s;
        for (int k = 0; k < n; ++k) {
            const double a = next() * scale;
            s.addInterval(a, a + (next() < 0.3 ? 0.0 : next() * scale * 0.05));
        }
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        const double scale = round % 3 == 0 ? 1e-10 : (round % 3 == 1 ? 1.0 : 1e4);
        const IntervalSet a = randomSet(scale, round % 40);
        const IntervalSet b = randomSet(scale, (round * 7) % 50);
        IntervalSet quick(a);
        quick.addSet(b);
        IntervalSet general;
        general.removeInterval(1e300, 1e300);  // the general path from now on
        for (const Interval& in : a.intervals()) general.addInterval(in.lo, in.hi);
        for (const Interval& in : b.intervals()) general.addInterval(in.lo, in.hi);
        ASSERT_EQ(quick.count(), general.count()) << round;
        for (int i = 0; i < quick.count(); ++i) {
            ASSERT_EQ(quick.intervals()[i].lo, general.intervals()[i].lo) << round;
            ASSERT_EQ(quick.intervals()[i].hi, general.intervals()[i].hi) << round;
        }
    }
    // A set added to itself stays as it is.
    IntervalSet self = randomSet(1.0, 20);
    const IntervalSet before(self);
    self.addSet(self);
    EXPECT_EQ(show(self), show(before));
}

}  // namespace
}  // namespace kv
