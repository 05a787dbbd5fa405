// Curve geometry as data: sample counts, strips, positions, boxes, clip
// planes and animation frames of curves built by the curve command.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/CurveGraph.h"
#include "graphics/GraphLimits.h"
#include "graphics/GraphMessages.h"
#include "lang/Messages.h"
#include "support/RowNames.h"
#include "tests/graphics/SceneFixture.h"

namespace kv {
namespace {

using kv::test::rowNames;

using test::SceneFixture;

std::vector<int> stripSizes(const FrameGeometry& f) {
    std::vector<int> sizes;
    for (const LineStrip& s : f.strips) sizes.push_back(static_cast<int>(s.points.size()));
    return sizes;
}

struct CountRow {
    const char* command;
    std::vector<int> strips;
};

class CurveSampleCount : public ::testing::TestWithParam<CountRow> {};

TEST_P(CurveSampleCount, StripsHaveTheBudgetedSamples) {
    SceneFixture fx;
    const GraphObject* g = fx.plot(GetParam().command);
    ASSERT_NE(g, nullptr) << fx.error();
    EXPECT_EQ(stripSizes(g->frame(0)), GetParam().strips);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CurveSampleCount,
    ::testing::Values(CountRow{"curve(sin(x), [0..6], id=1)", {150}},       // trunc(6 * 25)
                      CountRow{"curve(x, [0..0.01], id=1)", {2}},           // 0 raised to 2
                      CountRow{"curve(x, [0..0.99], id=1)", {24}},          // truncated
                      CountRow{"curve(x, [0..1], nlines=1.9, id=1)", {2}},  // truncated, raised
                      CountRow{"curve(x, [0..1], nlines=500, id=1)", {500}},
                      CountRow{"curve(x, [0..1], nlines=-7, id=1)", {2}},
                      CountRow{"curve(x, [3..1], id=1)", {50}},  // length |1 - 3|
                      CountRow{"curve(x, [0..1], nlines=4*5, id=1)", {20}}),
    rowNames(&CountRow::command));

// Positions come from repeated addition of the step, from lo upwards.
TEST(CurveGraph, SamplesByRepeatedAdditionOfThePositiveStep) {
    struct Row {
        const char* command;
        double lo;
        double step;
        int count;
    } rows[] = {
        {"curve(sin(x), [0..6], id=1)", 0.0, 6.0 / 149, 150},
        {"curve(sin(x), [1..-1], nlines=5, id=1)", 1.0, 0.5, 5},
        {"curve(sin(x), [-2..3], nlines=7, id=1)", -2.0, 5.0 / 6, 7},
    };
    for (const Row& r : rows) {
        SceneFixture fx;
        const GraphObject* g = fx.plot(r.command);
        ASSERT_NE(g, nullptr) << r.command << ": " << fx.error();
        ASSERT_EQ(g->frame(0).strips.size(), 1u);
        const auto& pts = g->frame(0).strips[0].points;
        ASSERT_EQ(static_cast<int>(pts.size()), r.count) << r.command;
        double t = r.lo;
        for (const Vec3f& p : pts) {
            EXPECT_EQ(p.x, static_cast<float>(t)) << r.command;
            EXPECT_EQ(p.y, static_cast<float>(std::sin(t))) << r.command;
            EXPECT_EQ(p.z, 0.0f) << r.command;
            t += r.step;
        }
    }
}

TEST(CurveGraph, ParametricCircleLiesOnTheUnitCircle) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve([cos(t), sin(t)], [t, 0..6.28], id=2)");
    ASSERT_NE(g, nullptr) << fx.error();
    ASSERT_EQ(stripSizes(g->frame(0)), std::vector<int>{157});
    for (const Vec3f& p : g->frame(0).strips[0].points) {
        EXPECT_NEAR(p.x * p.x + p.y * p.y, 1.0, 1e-6);
        EXPECT_EQ(p.z, 0.0f);
    }
    const BoundingBox& b = g->frameBox(0);
    EXPECT_NEAR(b.xmin, -1.0, 1e-4);
    EXPECT_NEAR(b.xmax, 1.0, 1e-6);
    EXPECT_NEAR(b.ymin, -1.0, 1e-4);
    EXPECT_NEAR(b.ymax, 1.0, 1e-4);
    EXPECT_EQ(fx.scene.graph(0).graphId(), 2);
}

TEST(CurveGraph, ThreeComponentsGiveASpaceCurve) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve([t, 2*t, 3*t], [t, 0..1], nlines=3, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const auto& pts = g->frame(0).strips.at(0).points;
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[2].x, 1.0f);
    EXPECT_EQ(pts[2].y, 2.0f);
    EXPECT_EQ(pts[2].z, 3.0f);
    EXPECT_EQ(g->frameBox(0).zmax, 3.0f);
}

// The domain search must not reset the animated variable: frame 1 of
// sqrt(x-a) with a = 1 starts at x = 1 and samples defined values.
TEST(CurveGraph, CheckDefKeepsTheAnimatedValues) {
    SceneFixture fx;
    const GraphObject* g =
        fx.plot("curve(sqrt(x-a), [0..2], anim=[a, 0..1], nframes=2, check_def=true, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const auto& pts = g->frame(1).strips.at(0).points;
    ASSERT_FALSE(pts.empty());
    EXPECT_NEAR(pts.front().x, 1.0f, 1e-3);
    // Only the end at the domain edge (within the search's tolerance) may fall
    // just outside it.
    for (std::size_t i = 1; i < pts.size(); ++i) EXPECT_TRUE(std::isfinite(pts[i].y)) << pts[i].x;
    EXPECT_NEAR(g->frame(0).strips.at(0).points.front().x, 0.0f, 1e-3);
}

// Undefined samples stay in the strip but neither seed nor widen the box.
TEST(CurveGraph, BoxTakesFiniteValuesOnly) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve(1/x, [-1..1], nlines=3, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const auto& pts = g->frame(0).strips.at(0).points;
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_TRUE(std::isinf(pts[1].y));
    const BoundingBox& b = g->frameBox(0);
    EXPECT_EQ(b.ymin, -1.0f);
    EXPECT_EQ(b.ymax, 1.0f);

    // The seed point x = 0 has y = inf: the box starts from 0 instead.
    const GraphObject* h = fx.plot("curve(1/x, [0..2], nlines=2, id=2)");
    ASSERT_NE(h, nullptr) << fx.error();
    EXPECT_EQ(h->frameBox(0).ymin, 0.0f);
    EXPECT_EQ(h->frameBox(0).ymax, 0.5f);
}

TEST(CurveGraph, ClipRangeLimitsTheBoxAndRecordsAbsolutePlanes) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve(x, [-3..3], x=[-1..1], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const BoundingBox& b = g->frameBox(0);
    EXPECT_EQ(b.xmin, -1.0f);
    EXPECT_EQ(b.xmax, 1.0f);
    EXPECT_EQ(b.ymin, -3.0f);  // y is not clipped
    EXPECT_EQ(b.ymax, 3.0f);

    // The planes keep -|lo| <= v <= |hi|, whatever the signs of the bounds.
    const GraphObject* h = fx.plot("curve(x, [0..1], y=[0.5..2], z=[-3..-1], id=2)");
    ASSERT_NE(h, nullptr) << fx.error();
    const auto& planes = h->frame(0).clipPlanes;
    ASSERT_EQ(planes.size(), 4u);
    const double expected[4][5] = {
        {2, 0, -1, 0, 2}, {3, 0, 1, 0, 0.5}, {4, 0, 0, -1, 1}, {5, 0, 0, 1, 3}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(planes[i].index, expected[i][0]);
        EXPECT_EQ(planes[i].a, expected[i][1]);
        EXPECT_EQ(planes[i].b, expected[i][2]);
        EXPECT_EQ(planes[i].c, expected[i][3]);
        EXPECT_EQ(planes[i].d, expected[i][4]);
    }
    EXPECT_TRUE(g->frame(0).clipPlanes.size() == 2u);
}

// Under check_def a pole splits the curve: no segment crosses it, and the
// budget is shared in proportion to the pieces' lengths.
TEST(CurveGraph, CheckDefSplitsAtAPole) {
    constexpr double kHalfPi = 1.5707963267948966;
    struct Row {
        const char* command;
        double pole;
        double leftLength;
        double rightLength;
        int budget;
    } rows[] = {
        {"curve(1/x, [-1..1], check_def=true, id=1)", 0.0, 1.0, 1.0, 50},
        {"curve(1/(x-1), [-1..2], check_def=TRUE, nlines=90, id=1)", 1.0, 2.0, 1.0, 90},
        {"curve(tan(-x), [0.5..3], check_def=true, nlines=100, id=1)", kHalfPi, kHalfPi - 0.5,
         3 - kHalfPi, 100},
    };
    for (const Row& r : rows) {
        SceneFixture fx;
        const GraphObject* g = fx.plot(r.command);
        ASSERT_NE(g, nullptr) << fx.error();
        const FrameGeometry& f = g->frame(0);
        ASSERT_EQ(f.strips.size(), 2u) << r.command;
        // Left of the pole both curves are negative, right of it positive.
        for (const Vec3f& p : f.strips[0].points) EXPECT_LT(p.y, 0.0f) << r.command;
        for (const Vec3f& p : f.strips[1].points) EXPECT_GT(p.y, 0.0f) << r.command;
        // The points are floats: the pole as a float is the bound.
        EXPECT_LE(f.strips[0].points.back().x, static_cast<float>(r.pole)) << r.command;
        EXPECT_GE(f.strips[1].points.front().x, static_cast<float>(r.pole)) << r.command;
        const double total = r.leftLength + r.rightLength;
        // Each piece is slightly shorter than its side (the pole is cut out),
        // so its share of the budget is at most one sample below the exact one.
        const int left = static_cast<int>(f.strips[0].points.size());
        const int right = static_cast<int>(f.strips[1].points.size());
        EXPECT_LE(left, r.leftLength / total * r.budget) << r.command;
        EXPECT_GE(left, r.leftLength / total * r.budget - 1) << r.command;
        EXPECT_LE(right, r.rightLength / total * r.budget) << r.command;
        EXPECT_GE(right, r.rightLength / total * r.budget - 1) << r.command;
        for (const LineStrip& s : f.strips)
            for (const Vec3f& p : s.points) EXPECT_TRUE(std::isfinite(p.y)) << r.command;
    }
}

// Without check_def the same curve is one strip across the pole.
TEST(CurveGraph, WithoutCheckDefOneStrip) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve(1/x, [-1..1], check_def=yes, id=1)");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(stripSizes(g->frame(0)), std::vector<int>{50});
}

TEST(CurveGraph, AnimationFramesSetTheVariable) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve(sin(a*x), [0..6], anim=[a, 1..3], nframes=21, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    ASSERT_EQ(g->frameCount(), 21);
    EXPECT_EQ(g->definition()->nframes, 21);
    for (int f : {0, 10, 20}) {
        const double a = 1.0 + f * 0.1;
        for (const Vec3f& p : g->frame(f).strips.at(0).points)
            EXPECT_NEAR(p.y, std::sin(a * p.x), 1e-5) << "frame " << f;
    }
    // The variable keeps the last frame's value.
    EXPECT_DOUBLE_EQ(fx.variable("a"), 3.0);
}

TEST(CurveGraph, BoundsAndCountsAreEvaluatedPerFrame) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve(x, [0..b], anim=[b, 1..2], nframes=2, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    EXPECT_EQ(stripSizes(g->frame(0)), std::vector<int>{25});
    EXPECT_EQ(stripSizes(g->frame(1)), std::vector<int>{50});
    EXPECT_EQ(g->frameBox(1).xmax, 2.0f);

    // Later anim variables may use earlier ones; nlines may use both.
    const GraphObject* h =
        fx.plot("curve(x, [0..1], anim=[p, 0..1], anim=[q, p..p+10], nlines=q+2, nframes=3, id=2)");
    ASSERT_NE(h, nullptr) << fx.error();
    // Frame 1: p = 0.5, q = 0.5 + 1 * 10 / 2.
    EXPECT_EQ(stripSizes(h->frame(1)), std::vector<int>{7});
    EXPECT_EQ(stripSizes(h->frame(2)), std::vector<int>{13});
}

// The animation formula from + f * |to - from| / (nframes - 1): the
// absolute value makes a falling range run upwards from `from`.
TEST(CurveGraph, AnimationValuesFollowTheFormula) {
    struct Row {
        const char* command;
        std::vector<float> values;  // y of each frame
    } rows[] = {
        {"curve(a+0*x, [0..1], anim=[a, 0..1], nframes=11, id=1)",
         {0, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1}},
        {"curve(a+0*x, [0..1], anim=[a, 3..1], nframes=3, id=1)", {3, 4, 5}},
        // One frame: the step divides by zero; the frame takes the from value.
        {"curve(a+0*x, [0..1], anim=[a, 5..9], nframes=1, id=1)", {5}},
        // No frame at all cannot be drawn: one frame.
        {"curve(a+0*x, [0..1], anim=[a, 5..9], nframes=0, id=1)", {5}},
        // Without anim the graph has one frame whatever nframes says.
        {"curve(2+0*x, [0..1], nframes=10, id=1)", {2}},
    };
    for (const Row& r : rows) {
        SceneFixture fx;
        const GraphObject* g = fx.plot(r.command);
        ASSERT_NE(g, nullptr) << r.command << ": " << fx.error();
        ASSERT_EQ(g->frameCount(), static_cast<int>(r.values.size())) << r.command;
        EXPECT_EQ(g->definition()->nframes, g->frameCount()) << r.command;
        for (int f = 0; f < g->frameCount(); ++f)
            EXPECT_NEAR(g->frame(f).strips.at(0).points.at(0).y, r.values[f], 1e-6)
                << r.command << " frame " << f;
    }
}

TEST(CurveGraph, FrameIndexIsAbsoluteValueOfCounterModFrames) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("curve(a*x, [0..1], anim=[a, 1..3], nframes=3, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const int rows[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {4, 1}, {-1, 1}, {-3, 0}, {-5, 2}};
    for (const auto& r : rows) {
        EXPECT_EQ(g->frameIndex(r[0]), r[1]) << r[0];
        EXPECT_EQ(g->frameBox(r[0]).ymax, static_cast<float>(r[1] + 1)) << r[0];
    }
}

TEST(CurveGraph, TextsThatDoNotParseFailTheBuild) {
    const char* commands[] = {
        "curve(x, [0..], id=1)",
        "curve(x, [..1], id=1)",
        "curve(x, [0,1], id=1)",
        "curve(x+, [0..1], id=1)",
        "curve([x, y, z, w], [0..1], id=1)",
        "curve(x, [0..1], nlines=2+, id=1)",
        "curve(x, [0..1], anim=[a, 0..], id=1)",
        "curve(x, [0..1], anim=[0..1], id=1)",
    };
    for (const char* c : commands) {
        SceneFixture fx;
        fx.run(c);
        EXPECT_EQ(fx.ci.workspace().error.code, 2) << c;
        EXPECT_EQ(fx.error(), gmsg::kInvalidInput) << c;
        EXPECT_EQ(fx.scene.graphCount(), 0) << c;
    }
}

TEST(CurveGraph, BuildFlagIsSetOnlyWhileBuilding) {
    SceneFixture fx;
    auto def = std::make_unique<CurveDefinition>();
    def->x_expr = "x";
    def->y_expr = "x";
    def->param_var = fx.ci.workspace().variableIndex("x");
    def->param_lo = "0";
    def->param_hi = "1";
    CurveGraph g;
    EXPECT_FALSE(fx.ci.workspace().graphBuildInProgress);
    ASSERT_TRUE(g.build(std::move(def), fx.parser()));
    EXPECT_FALSE(fx.ci.workspace().graphBuildInProgress);
    EXPECT_EQ(g.frameCount(), 1);

    auto bad = std::make_unique<CurveDefinition>();
    bad->y_expr = "(";
    EXPECT_FALSE(g.build(std::move(bad), fx.parser()));
    EXPECT_EQ(g.definition(), nullptr);
    EXPECT_EQ(g.frameCount(), 0);
    EXPECT_FALSE(fx.ci.workspace().graphBuildInProgress);
}

// Requests beyond the limits are refused before anything is allocated, and
// nothing reaches the scene.
TEST(CurveGraph, OversizedRequestsAreRefused) {
    const std::string frames = msg::format(gmsg::kTooManyFrames, kMaxGraphFrames);
    const std::string vertices =
        msg::format(gmsg::kTooManyVertices, static_cast<int>(kMaxGraphVertices));
    struct Row {
        std::string command;
        std::string message;  // empty: accepted
    } rows[] = {
        {"curve(x, [0..1], nlines=10000001, id=1)", vertices},
        {"curve(x, [0..1], nlines=1e300, id=1)", vertices},
        {"curve(x, [0..1], nlines=inf, id=1)", vertices},
        {"curve(x, [0..1e9], id=1)", vertices},
        // The limit counts all frames together.
        {"curve(x, [0..1], nlines=6000000, anim=[a, 0..1], nframes=2, id=1)", vertices},
        {"curve(x, [0..1], anim=[a, 0..1], nframes=10001, id=1)", frames},
        {"curve(x, [0..1], anim=[a, 0..1], nframes=1e12, id=1)", frames},
        {"curve(x, [0..1], anim=[a, 0..1], nframes=10000, nlines=2, id=1)", ""},
        // Without anim the graph has one frame, however many were asked for.
        {"curve(x, [0..1], nframes=1e12, id=1)", ""},
    };
    for (const Row& r : rows) {
        SceneFixture fx;
        fx.run(r.command);
        if (r.message.empty()) {
            EXPECT_FALSE(fx.ci.hasError()) << r.command << ": " << fx.error();
            EXPECT_EQ(fx.scene.graphCount(), 1) << r.command;
        } else {
            EXPECT_EQ(fx.ci.workspace().error.code, 2) << r.command;
            EXPECT_EQ(fx.error(), r.message) << r.command;
            EXPECT_EQ(fx.scene.graphCount(), 0) << r.command;
        }
    }
}

}  // namespace
}  // namespace kv
