// Implicit surfaces as data: a closed sphere with its vertices on the sphere
// and its normals and faces outward, a torus, an empty set that still frames
// its box, and surfaces of revolution.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "graphics/ImplicitSurfaceGraph.h"
#include "tests/graphics/SceneFixture.h"

namespace kv {
namespace {

using test::SceneFixture;

using Point = std::tuple<float, float, float>;

Point key(const Vec3f& p) {
    return {p.x, p.y, p.z};
}

// Every directed edge of the faces (a triangle's repeated corner left out)
// must occur once, and its reverse once: the mesh is closed and its faces
// are wound alike.
void expectClosedAndConsistent(const FrameGeometry& f) {
    std::map<std::pair<Point, Point>, int> edges;
    for (const Quad& q : f.quads) {
        const int n = key(q.corners[2]) == key(q.corners[3]) ? 3 : 4;
        for (int k = 0; k < n; ++k) {
            const Point a = key(q.corners[k]);
            const Point b = key(q.corners[(k + 1) % n]);
            if (a != b) ++edges[{a, b}];
        }
    }
    int open = 0;
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1) ++open;
    }
    EXPECT_EQ(open, 0);
}

TEST(ImplicitSurfaceGraph, SphereIsClosedOnTheSphereAndOutward) {
    SceneFixture fx;
    const GraphObject* g =
        fx.plot("isurface(x^2+y^2+z^2=1, [-1.3..1.3], [-1.3..1.3], [-1.3..1.3], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const FrameGeometry& f = g->frame(0);
    ASSERT_GT(f.quads.size(), 500u);
    expectClosedAndConsistent(f);
    for (const Quad& q : f.quads) {
        // The face's own normal, by its winding.
        const Vec3f& a = q.corners[0];
        const Vec3f& b = q.corners[1];
        const Vec3f& c = q.corners[2];
        const double u[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
        const double v[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        const double face[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                u[0] * v[1] - u[1] * v[0]};
        EXPECT_GE(face[0] * a.x + face[1] * a.y + face[2] * a.z, -1e-9);
        for (int k = 0; k < 4; ++k) {
            const Vec3f& p = q.corners[k];
            const Vec3f& n = q.normals[k];
            const double r = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            EXPECT_NEAR(r, 1.0, 1e-5);
            EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0, 1e-5);
            // The gradient's direction is the radius.
            EXPECT_NEAR((n.x * p.x + n.y * p.y + n.z * p.z) / r, 1.0, 1e-4);
        }
    }
}

TEST(ImplicitSurfaceGraph, TorusIsClosedAndNearTheTorus) {
    SceneFixture fx;
    const GraphObject* g = fx.plot(
        "isurface((sqrt(x^2+y^2)-1)^2+z^2=0.09, [-1.5..1.5], [-1.5..1.5], [-0.5..0.5], "
        "num_x=40, num_y=40, num_z=14, id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const FrameGeometry& f = g->frame(0);
    ASSERT_GT(f.quads.size(), 500u);
    expectClosedAndConsistent(f);
    for (const Quad& q : f.quads)
        for (const Vec3f& p : q.corners) {
            const double rho = std::sqrt(p.x * p.x + p.y * p.y) - 1.0;
            EXPECT_NEAR(std::sqrt(rho * rho + p.z * p.z), 0.3, 1e-3);
        }
}

TEST(ImplicitSurfaceGraph, EmptySetFramesTheBox) {
    SceneFixture fx;
    const GraphObject* g = fx.plot("isurface(x^2+y^2+z^2+1, [2..-1], [-1..3], [0..1], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const FrameGeometry& f = g->frame(0);
    EXPECT_TRUE(f.quads.empty());
    EXPECT_EQ(f.box.xmin, -1.0f);
    EXPECT_EQ(f.box.xmax, 2.0f);
    EXPECT_EQ(f.box.ymax, 3.0f);
    EXPECT_EQ(f.box.zmin, 0.0f);
    EXPECT_EQ(f.box.zmax, 1.0f);
}

// sqrt(x) turned about the x axis: every vertex at the distance sqrt(x)
// from the axis, 100 lines along the curve (trunc(4 * 25)) and 36 around,
// the box the whole radius 2 either side of the axis although no line lies
// at the angle pi. A user's value or function called rot_angle is none of
// the surface's business.
TEST(ImplicitSurfaceGraph, RotationOfSqrtIsAParaboloid) {
    SceneFixture fx;
    fx.run("rot_angle=5");
    const GraphObject* g = fx.plot("rotsurface(sqrt(x), [x, 0..4], id=1)");
    ASSERT_NE(g, nullptr) << fx.error();
    const FrameGeometry& f = g->frame(0);
    EXPECT_EQ(f.quads.size(), 99u * 35u);
    for (const Quad& q : f.quads)
        for (const Vec3f& p : q.corners)
            EXPECT_NEAR(std::sqrt(p.y * p.y + p.z * p.z), std::sqrt(p.x), 1e-5);
    EXPECT_EQ(f.box.xmax, 4.0f);
    for (float bound : {f.box.ymin, f.box.zmin}) EXPECT_EQ(bound, -2.0f);
    for (float bound : {f.box.ymax, f.box.zmax}) EXPECT_EQ(bound, 2.0f);
    fx.run("rot_angle(t)=t^2");
    const GraphObject* h = fx.plot("rotsurface(y^2, [0..2], axis=y, nlines_rot=12, id=2)");
    ASSERT_NE(h, nullptr) << fx.error();
    for (const Quad& q : h->frame(0).quads)
        for (const Vec3f& p : q.corners)
            EXPECT_NEAR(std::sqrt(p.x * p.x + p.z * p.z), p.y * p.y, 1e-4);
    const BoundingBox& box = h->frame(0).box;
    for (float bound : {box.xmin, box.zmin}) EXPECT_EQ(bound, -4.0f);
    for (float bound : {box.xmax, box.zmax}) EXPECT_EQ(bound, 4.0f);
}

}  // namespace
}  // namespace kv
