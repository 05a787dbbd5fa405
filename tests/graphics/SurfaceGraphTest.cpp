// Surface geometry as data: grid sizes, corner positions, unit normals and
// their side, the corner order, gaps under check_def, boxes and frames.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "graphics/GraphLimits.h"
#include "graphics/GraphMessages.h"
#include "graphics/SurfaceGraph.h"
#include "lang/Messages.h"
#include "support/RowNames.h"
#include "tests/graphics/SceneFixture.h"

namespace kv {
namespace {

using kv::test::rowNames;

using test::SceneFixture;

std::set<float> cornerXs(const FrameGeometry& f) {
    std::set<float> xs;
    for (const Quad& q : f.quads)
        for (const Vec3f& c : q.corners) xs.insert(c.x);
    return xs;
}

std::set<float> cornerYs(const FrameGeometry& f) {
    std::set<float> ys;
    for (const Quad& q : f.quads)
        for (const Vec3f& c : q.corners) ys.insert(c.y);
    return ys;
}

struct GridRow {
    const char* command;
    int xs;  // distinct node columns
    int ys;  // distinct node rows
    int quads;
};

class SurfaceGrid : public ::testing::TestWithParam<GridRow> {};

TEST_P(SurfaceGrid, NodesAndCells) {
    SceneFixture fx;
    const GraphObject* g = fx.plot(GetParam().command);
    ASSERT_NE(g, nullptr) << fx.error();
    const FrameGeometry& f = g->frame(0);
    EXPECT_EQ(static_cast<int>(f.quads.size()), GetParam().quads);
    EXPECT_EQ(static_cast<int>(cornerXs(f).size()), GetParam().xs);
    EXPECT_EQ(static_cast<int>(cornerYs(f).size()), GetParam().ys);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SurfaceGrid,
    ::testing::Values(
        GridRow{"surface(x*y, [-1..1], [-1..1], id=1)", 8, 8, 49},  // trunc(2 * 4)
        GridRow{"surface(x*y, [0..1], [0..2.3], id=1)", 4, 9, 24},
        GridRow{"surface(x*y, [0..0.1], [0..0.1], id=1)", 2, 2, 1},  // raised to 2
        // One strip of cells; the other count defaults to 0, raised to 2.
        GridRow{"surface(x*y, [-1..1], [-1..1], nlines_x=1, nlines_y=6, id=1)", 2, 6, 5},
        GridRow{"surface(x*y, [-1..1], [-1..1], nlines_x=1, id=1)", 2, 2, 1},
        GridRow{"surface(x*y, [-1..1], [-1..1], nlines_x=3.9, nlines_y=-3, id=1)", 3, 2, 2}),
    rowNames(&GridRow::command));

// Corners at positions from repeated addition, z = f there, and the unit
// normal (fx, fy, -1) / sqrt(1 + fx^2 + fy^2) at each corner; the quads go
// column after column.
TEST(SurfaceGraph, CornersAndNormalsOfTheSaddle) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("surface(x*y, [-1..1], [-1..1], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const auto& quads = g->frame(0).quads;
    ASSERT_EQ(quads.size(), 49u);
    double nodes[8];
    double t = -1.0;
    for (double& n : nodes) {
        n = t;
        t += 2.0 / 7;
    }
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 7; ++j) {
            const Quad& q = quads[static_cast<std::size_t>(i * 7 + j)];
            const int ci[4] = {i, i, i + 1, i + 1};
            const int cj[4] = {j, j + 1, j + 1, j};
            for (int k = 0; k < 4; ++k) {
                const double x = nodes[ci[k]];
                const double y = nodes[cj[k]];
                EXPECT_EQ(q.corners[k].x, static_cast<float>(x));
                EXPECT_EQ(q.corners[k].y, static_cast<float>(y));
                EXPECT_EQ(q.corners[k].z, static_cast<float>(x * y));
                const Vec3f& n = q.normals[k];
                EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-6);
                const double len = std::sqrt(1 + x * x + y * y);  // fx = y, fy = x
                EXPECT_NEAR(n.x, y / len, 1e-6);
                EXPECT_NEAR(n.y, x / len, 1e-6);
                EXPECT_NEAR(n.z, -1 / len, 1e-6);
            }
        }
    }
}

// The face a quad turns to the front (counter-clockwise corners, right-hand
// rule) is the side its normals point to, for every quad alike: the upper
// side of a graph is the back face, which the renderer gives front_color.
TEST(SurfaceGraph, WindingAgreesWithTheNormals) {
    const char* commands[] = {"surface(sin(x)*cos(y), [-3..3], [-3..3], id=1)",
                              "surface(x^2-y, [2..-1], [1..-1], id=1)",
                              "surface(0, [0..1], [0..1], id=1)"};
    for (const char* c : commands) {
        SceneFixture fx;
        const GraphObject* g = fx.plot(c);
        ASSERT_NE(g, nullptr) << c << ": " << fx.error();
        for (const Quad& q : g->frame(0).quads) {
            const Vec3f& a = q.corners[0];
            const Vec3f& b = q.corners[1];
            const Vec3f& d = q.corners[2];
            const double u[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
            const double v[3] = {d.x - a.x, d.y - a.y, d.z - a.z};
            const double face[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                    u[0] * v[1] - u[1] * v[0]};
            EXPECT_LT(face[2], 0.0) << c;  // clockwise seen from above
            for (const Vec3f& n : q.normals) {
                EXPECT_GT(face[0] * n.x + face[1] * n.y + face[2] * n.z, 0.0) << c;
                EXPECT_LT(n.z, 0.0f) << c;
            }
        }
    }
}

// Under check_def the cells across the poles x = 0 and y = 0 are left out,
// all the others stay.
TEST(SurfaceGraph, CheckDefLeavesGapsAtPoles) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("surface(1/(x*y), [-1..1], [-1..1], check_def=true, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const auto& quads = g->frame(0).quads;
    EXPECT_EQ(quads.size(), 36u);  // 6 x 6 of the 7 x 7 cells
    for (const Quad& q : quads) {
        for (int k = 1; k < 4; ++k) {
            EXPECT_EQ(q.corners[k].x > 0, q.corners[0].x > 0);
            EXPECT_EQ(q.corners[k].y > 0, q.corners[0].y > 0);
        }
        for (const Vec3f& c : q.corners) EXPECT_TRUE(std::isfinite(c.z));
    }
    EXPECT_EQ(cornerXs(g->frame(0)).size(), 8u);

    // A domain edge inside the rectangle, x - y = 0.1 between the nodes
    // 0, 0.25, ..., 1: only the cells wholly on the side x - y >= 0.1.
    const GraphObject* h = fx.plot(
        "surface(sqrt(x-y-0.1), [0..1], [0..1], nlines_x=5, nlines_y=5, check_def=true, id=2)");
    ASSERT_NE(h, nullptr) << fx.error();
    const auto& kept = h->frame(0).quads;
    ASSERT_EQ(kept.size(), 3u);
    const float lowerLeft[3][2] = {{0.5f, 0.0f}, {0.75f, 0.0f}, {0.75f, 0.25f}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(kept[k].corners[0].x, lowerLeft[k][0]);
        EXPECT_EQ(kept[k].corners[0].y, lowerLeft[k][1]);
    }

    // The domain follows the animated variable: a = 0, then a = 0.4.
    const GraphObject* a = fx.plot(
        "surface(sqrt(x-a), [0..1], [0..1], nlines_x=5, nlines_y=2, check_def=true, "
        "anim=[a, 0..0.4], nframes=2, id=4)");
    ASSERT_NE(a, nullptr) << fx.error();
    EXPECT_EQ(a->frame(0).quads.size(), 4u);
    ASSERT_EQ(a->frame(1).quads.size(), 2u);
    EXPECT_EQ(a->frame(1).quads[0].corners[0].x, 0.5f);
    EXPECT_EQ(a->frame(1).quads[0].corners[0].z, static_cast<float>(std::sqrt(0.5 - 0.4)));

    // Without check_def every cell is there, undefined corners and all.
    const GraphObject* k = fx.plot("surface(1/(x*y), [-1..1], [-1..1], nlines_x=3, id=3)");
    ASSERT_NE(k, nullptr) << fx.error();
    EXPECT_EQ(k->frame(0).quads.size(), 2u);
}

// An undefined derivative at a corner gives the normal of a horizontal
// patch.
TEST(SurfaceGraph, UndefinedNormalFallsBackToHorizontal) {
    SceneFixture fx;
    const GraphObject* g =
        fx.plot("surface(sqrt(x^2+y^2), [-1..1], [-1..1], nlines_x=3, nlines_y=3, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    int atApex = 0;
    for (const Quad& q : g->frame(0).quads) {
        for (int k = 0; k < 4; ++k) {
            if (q.corners[k].x != 0.0f || q.corners[k].y != 0.0f) continue;
            ++atApex;
            EXPECT_EQ(q.normals[k].x, 0.0f);
            EXPECT_EQ(q.normals[k].y, 0.0f);
            EXPECT_EQ(q.normals[k].z, -1.0f);
        }
    }
    EXPECT_EQ(atApex, 4);
}

TEST(SurfaceGraph, BoxTakesTheCornersAndTheClipRanges) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("surface(x*y+2, [-1..1], [0..3], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const BoundingBox& b = g->frameBox(0);
    EXPECT_FLOAT_EQ(b.xmin, -1.0f);
    EXPECT_NEAR(b.xmax, 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(b.ymin, 0.0f);
    EXPECT_NEAR(b.ymax, 3.0f, 1e-6);
    EXPECT_NEAR(b.zmin, -1.0f, 1e-6);
    EXPECT_NEAR(b.zmax, 5.0f, 1e-6);

    const GraphObject* h = fx.plot("surface(x*y+2, [-1..1], [0..3], z=[0..4], x=[-0.5..2], id=2)");
    ASSERT_NE(h, nullptr) << fx.error();
    EXPECT_EQ(h->frameBox(0).zmin, 0.0f);
    EXPECT_EQ(h->frameBox(0).zmax, 4.0f);
    EXPECT_EQ(h->frameBox(0).xmin, -0.5f);
    EXPECT_NEAR(h->frameBox(0).xmax, 1.0f, 1e-6);
    EXPECT_EQ(h->frame(0).clipPlanes.size(), 4u);
}

TEST(SurfaceGraph, AnimationBuildsEveryFrame) {
    SceneFixture fx;
    const GraphObject* g = fx.plot(
        "surface(a*x, [0..1], [0..1], anim=[a, 0..2], nframes=3, nlines_x=2, "
        "nlines_y=2, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    ASSERT_EQ(g->frameCount(), 3);
    for (int f = 0; f < 3; ++f) {
        const Quad& q = g->frame(f).quads.at(0);
        EXPECT_EQ(q.corners[2].x, 1.0f);
        EXPECT_EQ(q.corners[2].z, static_cast<float>(f)) << f;  // a = f
        EXPECT_NEAR(q.normals[2].x, f / std::sqrt(1.0 + f * f), 1e-6) << f;
    }
}

TEST(SurfaceGraph, RefusesGridsBeyondTheVertexLimit) {
    SceneFixture fx;
    EXPECT_EQ(fx.plot("surface(x*y, [0..1], [0..1], nlines_x=1e5, nlines_y=1e5, id=1)"), nullptr);
    EXPECT_EQ(fx.error(), msg::format(gmsg::kTooManyVertices, static_cast<int>(kMaxGraphVertices)));
    EXPECT_EQ(fx.scene.graphCount(), 0);
    EXPECT_EQ(fx.plot("surface(x*y, [0..1], [0..1e300], id=1)"), nullptr);
    EXPECT_EQ(fx.plot("surface(x*y+, [0..1], [0..1], id=1)"), nullptr);
    EXPECT_EQ(fx.error(), gmsg::kInvalidInput);
}

}  // namespace
}  // namespace kv
