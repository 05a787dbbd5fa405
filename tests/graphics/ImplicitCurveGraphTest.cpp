// Implicit curve geometry as data: grid sizes, crossings refined by regula
// falsi, the chain the segments form, boxes, reversed bounds and exact zeros.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "graphics/GraphLimits.h"
#include "graphics/GraphMessages.h"
#include "graphics/ImplicitCurveGraph.h"
#include "lang/Messages.h"
#include "support/RowNames.h"
#include "tests/graphics/SceneFixture.h"

namespace kv {
namespace {

using kv::test::rowNames;

using test::SceneFixture;
using End = std::pair<float, float>;

struct CountRow {
    const char* command;
    int segments;
};

class ImplicitCurveGrid : public ::testing::TestWithParam<CountRow> {};

// A straight zero line through one column (or row) of cells cuts both
// triangles of each of its cells: the segment count tells the grid size.
TEST_P(ImplicitCurveGrid, SegmentsOfAStraightLine) {
    SceneFixture fx;
    const GraphObject* g = fx.plot(GetParam().command);
    ASSERT_NE(g, nullptr) << fx.error();
    EXPECT_EQ(static_cast<int>(g->frame(0).segments.size()), GetParam().segments);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ImplicitCurveGrid,
    ::testing::Values(CountRow{"icurve(x-0.01, [-2..2], [-2..2], id=1)", 2 * 79},  // 80 rows
                      CountRow{"icurve(y=0.01, [-2..2], [-2..2], id=1)", 2 * 79},  // 80 columns
                      CountRow{"icurve(x-0.01, [-2..2], [0..1.27], id=1)", 2 * 24},
                      CountRow{"icurve(x-0.01, [-2..2], [0..0.01], id=1)", 2},  // raised to 2
                      CountRow{"icurve(x-0.01, [-2..2], [-2..2], num_x=1, num_y=3, id=1)", 4},
                      CountRow{"icurve(y-0.01, [-2..2], [-2..2], num_x=5.5, id=1)", 2 * 4},
                      CountRow{"icurve(x^2+y^2+1, [-2..2], [-2..2], id=1)", 0}),
    rowNames(&CountRow::command));

// The unit circle: every end within 1e-3 of it, and the segments join end
// to end into one closed chain (each crossing is shared by the two
// triangles on either side of its edge).
TEST(ImplicitCurveGraph, CircleIsOneClosedChainOnTheCircle) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("icurve(x^2+y^2=1, [-2..2], [-2..2], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const auto& segs = g->frame(0).segments;
    ASSERT_GT(segs.size(), 100u);
    std::map<End, std::vector<std::size_t>> at;
    for (std::size_t k = 0; k < segs.size(); ++k) {
        const Segment2& s = segs[k];
        EXPECT_NEAR(std::hypot(s.x0, s.y0), 1.0, 1e-3);
        EXPECT_NEAR(std::hypot(s.x1, s.y1), 1.0, 1e-3);
        at[{s.x0, s.y0}].push_back(k);
        at[{s.x1, s.y1}].push_back(k);
    }
    for (const auto& [end, users] : at) EXPECT_EQ(users.size(), 2u);
    // Walk the chain from the first segment.
    std::vector<bool> seen(segs.size(), false);
    std::size_t k = 0;
    End next{segs[0].x1, segs[0].y1};
    std::size_t walked = 0;
    while (!seen[k]) {
        seen[k] = true;
        ++walked;
        const auto& users = at[next];
        if (users.size() != 2) break;
        const std::size_t other = users[0] == k ? users[1] : users[0];
        const Segment2& s = segs[other];
        next = (End{s.x0, s.y0} == next) ? End{s.x1, s.y1} : End{s.x0, s.y0};
        k = other;
    }
    EXPECT_EQ(walked, segs.size());
    EXPECT_EQ(k, 0u);

    const BoundingBox& b = g->frameBox(0);
    EXPECT_EQ(b.xmin, -2.0f);
    EXPECT_EQ(b.xmax, 2.0f);
    EXPECT_EQ(b.ymin, -2.0f);
    EXPECT_EQ(b.ymax, 2.0f);
}

std::vector<End> ends(const GraphObject& g) {
    std::vector<End> e;
    for (const Segment2& s : g.frame(0).segments) {
        e.push_back({s.x0, s.y0});
        e.push_back({s.x1, s.y1});
    }
    std::sort(e.begin(), e.end());
    return e;
}

// One cell of x^2 + y^2 - 1/2 over [0, 1]^2: corner values -1/2, 1/2, 1/2,
// 3/2; only (0, 0) is negative. The crossings lie on the bottom edge, the
// left edge and the diagonal from (0, 0) to (1, 1).
TEST(ImplicitCurveGraph, RegulaFalsiRefinesTheFirstInterpolation) {
    SceneFixture fx;
    const GraphObject* first =
        fx.plot("icurve(x^2+y^2=1/2, [0..1], [0..1], num_x=2, num_y=2, iters=0, id=1)");
    ASSERT_NE(first, nullptr) << fx.error();
    // Linear interpolation: 1/2 along the edges, 1/4 along the diagonal.
    std::vector<End> expected = {{0.0f, 0.5f}, {0.25f, 0.25f}, {0.25f, 0.25f}, {0.5f, 0.0f}};
    EXPECT_EQ(ends(*first), expected);

    const GraphObject* refined =
        fx.plot("icurve(x^2+y^2=1/2, [0..1], [0..1], num_x=2, num_y=2, id=2)");
    ASSERT_NE(refined, nullptr) << fx.error();
    const float r = static_cast<float>(std::sqrt(0.5));
    const std::vector<End> got = ends(*refined);
    ASSERT_EQ(got.size(), 4u);
    const End onCircle[4] = {{0.0f, r}, {0.5f, 0.5f}, {0.5f, 0.5f}, {r, 0.0f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(got[k].first, onCircle[k].first, 1e-3);
        EXPECT_NEAR(got[k].second, onCircle[k].second, 1e-3);
    }
}

// Rounds beyond the bound add nothing a float could hold; a huge count once
// made every crossing loop for billions of rounds.
TEST(ImplicitCurveGraph, RoundsAreBounded) {
    SceneFixture fx;
    const GraphObject* bounded =
        fx.plot("icurve(x^2+y^2=1/2, [0..1], [0..1], num_x=9, num_y=9, iters=" +
                std::to_string(kMaxCrossingRounds) + ", id=1)");
    ASSERT_NE(bounded, nullptr) << fx.error();
    for (const char* iters : {"1e308", "2147483647"}) {
        const GraphObject* huge =
            fx.plot(std::string("icurve(x^2+y^2=1/2, [0..1], [0..1], num_x=9, num_y=9, iters=") +
                    iters + ", id=2)");
        ASSERT_NE(huge, nullptr) << fx.error();
        EXPECT_EQ(ends(*huge), ends(*bounded)) << iters;
    }
}

TEST(ImplicitCurveGraph, ReversedBoundsAreSwapped) {
    SceneFixture fx;
    const GraphObject* a = fx.plot("icurve(x-y, [1..-1], [-1..1], id=1)");
    const GraphObject* b = fx.plot("icurve(x-y, [-1..1], [-1..1], id=2)");
    ASSERT_NE(a, nullptr) << fx.error();
    ASSERT_NE(b, nullptr) << fx.error();
    EXPECT_FALSE(a->frame(0).segments.empty());
    EXPECT_EQ(ends(*a), ends(*b));
    const BoundingBox& box = a->frameBox(0);
    EXPECT_EQ(box.xmin, -1.0f);
    EXPECT_EQ(box.xmax, 1.0f);
    EXPECT_EQ(box.zmin, 0.0f);
    EXPECT_EQ(box.zmax, 0.0f);
}

// f = x over [-1, 1] with a node column at x = 0 exactly: the edges along
// that column have both ends zero and store no crossing; the segments that
// remain lie on x = 0 and cover it.
TEST(ImplicitCurveGraph, ZeroNodesGiveSegmentsOnTheZeroColumn) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("icurve(x, [-1..1], [-1..1], num_x=3, num_y=3, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    double covered = 0.0;
    for (const Segment2& s : g->frame(0).segments) {
        EXPECT_EQ(s.x0, 0.0f);
        EXPECT_EQ(s.x1, 0.0f);
        covered += std::fabs(s.y1 - s.y0);
    }
    EXPECT_DOUBLE_EQ(covered, 2.0);
}

// Where f is undefined no crossing is located.
TEST(ImplicitCurveGraph, UndefinedSamplesDrawNothing) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("icurve(sqrt(x)-1/2, [-1..1], [-1..1], num_x=5, num_y=2, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    for (const Segment2& s : g->frame(0).segments) {
        EXPECT_NEAR(s.x0, 0.25, 1e-3);
        EXPECT_NEAR(s.x1, 0.25, 1e-3);
    }
    EXPECT_EQ(g->frame(0).segments.size(), 2u);
}

TEST(ImplicitCurveGraph, AnimationMovesTheCurve) {
    SceneFixture fx;
    const GraphObject* g =
        fx.plot("icurve(x-a, [-1..1], [-1..1], anim=[a, -0.5..0.5], nframes=3, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    ASSERT_EQ(g->frameCount(), 3);
    for (int f = 0; f < 3; ++f) {
        ASSERT_FALSE(g->frame(f).segments.empty());
        for (const Segment2& s : g->frame(f).segments) EXPECT_NEAR(s.x0, -0.5 + 0.5 * f, 1e-6);
    }
}

TEST(ImplicitCurveGraph, RefusesGridsBeyondTheLimitAndBadTexts) {
    SceneFixture fx;
    EXPECT_EQ(fx.plot("icurve(x-y, [0..1], [0..1], num_x=1e4, num_y=1e4, id=1)"), nullptr);
    EXPECT_EQ(fx.error(), msg::format(gmsg::kTooManyVertices, static_cast<int>(kMaxGraphVertices)));
    EXPECT_EQ(fx.plot("icurve(x-y, [0..1], [0..1/0], id=1)"), nullptr);
    EXPECT_EQ(fx.plot("icurve(x-, [0..1], [0..1], id=1)"), nullptr);
    EXPECT_EQ(fx.error(), gmsg::kInvalidInput);
    EXPECT_EQ(fx.scene.graphCount(), 0);
}

}  // namespace
}  // namespace kv
