// The planes of the perspective hug the scene: every corner of the box lies
// between them, and far / near stays small enough for a 24-bit depth buffer,
// from a box of 1e-6 to one of 1e12, turned or not.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/DepthRange.h"
#include "graphics/SceneModel.h"

namespace kv {
namespace {

struct DepthRow {
    const char* name;
    BoundingBox box;
    SceneVector rotation;
    float standBack;  // the camera's distance as a share of the box diagonal
};

void PrintTo(const DepthRow& row, std::ostream* os) {
    *os << row.name;
}

class DepthRanges : public ::testing::TestWithParam<DepthRow> {};

// The eye-space depth of a point under the renderer's model-view.
double depthOf(const SceneModel& s, double x, double y, double z) {
    const double k = M_PI / 180.0;
    auto turn = [](double& a, double& b, double degrees) {
        const double c = std::cos(degrees), n = std::sin(degrees);
        const double a2 = c * a - n * b;
        b = n * a + c * b;
        a = a2;
    };
    turn(x, y, s.rotation.z * k);
    turn(z, x, s.rotation.y * k);
    turn(y, z, s.rotation.x * k);
    return -(z + s.translation.z);
}

TEST_P(DepthRanges, TakeInTheBoxWithResolutionToSpare) {
    const DepthRow& row = GetParam();
    SceneModel scene;
    scene.scene_box = row.box;
    const BoundingBox& b = row.box;
    const double dx = b.xmax - b.xmin, dy = b.ymax - b.ymin, dz = b.zmax - b.zmin;
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    scene.translation = {static_cast<float>(-(b.xmin + dx / 2)),
                         static_cast<float>(-(b.ymin + dy / 2)),
                         static_cast<float>(-d * row.standBack)};
    scene.rotation = row.rotation;
    const DepthRange r = depthRange(scene);
    ASSERT_GT(r.nearPlane, 0.0);
    ASSERT_GT(r.farPlane, r.nearPlane);
    EXPECT_LE(r.farPlane / r.nearPlane, 1.0 / kMinNearShare * 1.0001);
    for (int k = 0; k < 8; ++k) {
        const double depth = depthOf(scene, (k & 1) ? b.xmax : b.xmin, (k & 2) ? b.ymax : b.ymin,
                                     (k & 4) ? b.zmax : b.zmin);
        if (depth <= 0) continue;  // behind the viewer: nothing to keep
        EXPECT_GE(depth, r.nearPlane) << "corner " << k;
        EXPECT_LE(depth, r.farPlane) << "corner " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scene, DepthRanges,
    ::testing::Values(
        DepthRow{"UnitCube", {-1, 1, -1, 1, -1, 1}, {}, 1.0f},
        DepthRow{"FlatCurveFacingTheViewer", {0, 6, -1, 1, 0, 0}, {}, 1.0f},
        DepthRow{"MicroBox", {0, 6e-6f, -1e-6f, 1e-6f, 0, 0}, {}, 1.0f},
        DepthRow{"MillionHigh", {0, 6, -1e6f, 1e6f, 0, 0}, {}, 1.0f},
        DepthRow{"PoleOfOneOverX", {-1, 1, -1e8f, 1e8f, 0, 0}, {}, 1.0f},
        DepthRow{"TeraBoxTurned", {-1e12f, 1e12f, -1e12f, 1e12f, 0, 3e11f}, {30, 45, 10}, 1.0f},
        DepthRow{"SurfaceTurnedEdgeOn", {-2, 2, -2, 2, -1, 1}, {90, 0, 0}, 1.0f},
        DepthRow{"WheeledIntoTheBox", {-1, 1, -1, 1, -1, 1}, {}, 0.1f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DepthRange, AnEmptyOrUnboundedSceneKeepsTheFallbackPlanes) {
    SceneModel scene;
    scene.translation = {0, 0, 0};
    DepthRange r = depthRange(scene);  // a box of one point at the eye
    EXPECT_EQ(r.nearPlane, kFallbackDepthRange.nearPlane);
    scene.scene_box = {0, INFINITY, 0, 1, 0, 1};
    scene.translation = {0, 0, -5};
    r = depthRange(scene);
    EXPECT_EQ(r.farPlane, kFallbackDepthRange.farPlane);
}

}  // namespace
}  // namespace kv
