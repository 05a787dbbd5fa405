#include "graphics/DepthRange.h"

#include <algorithm>
#include <cmath>

#include "graphics/SceneModel.h"

namespace kv {

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// The distance in front of the viewer of a scene point: the model-view of
// the renderer is translate, rotate about x, y, z, scale; only the eye's z
// matters here.
struct EyeDepth {
    double sx, sy, sz;  // scale
    double cx, sxr, cy, syr, cz, szr;
    double tz;

    explicit EyeDepth(const SceneModel& s)
        : sx(s.scale.x),
          sy(s.scale.y),
          sz(s.scale.z),
          cx(std::cos(s.rotation.x * kDegrees)),
          sxr(std::sin(s.rotation.x * kDegrees)),
          cy(std::cos(s.rotation.y * kDegrees)),
          syr(std::sin(s.rotation.y * kDegrees)),
          cz(std::cos(s.rotation.z * kDegrees)),
          szr(std::sin(s.rotation.z * kDegrees)),
          tz(s.translation.z) {}

    double operator()(double x, double y, double z) const {
        x *= sx;
        y *= sy;
        z *= sz;
        // Rz, then Ry, then Rx, applied to the point in that order (x after
        // Ry is not needed for the depth).
        const double x1 = cz * x - szr * y;
        const double y1 = szr * x + cz * y;
        const double z2 = -syr * x1 + cy * z;
        const double z3 = sxr * y1 + cx * z2;
        return -(z3 + tz);
    }
};

struct Span {
    double nearest = INFINITY;
    double farthest = -INFINITY;
    bool any() const { return nearest <= farthest; }
};

bool finiteBox(const BoundingBox& b) {
    return std::isfinite(b.xmin) && std::isfinite(b.xmax) && std::isfinite(b.ymin) &&
           std::isfinite(b.ymax) && std::isfinite(b.zmin) && std::isfinite(b.zmax);
}

void take(Span& span, const EyeDepth& depth, const BoundingBox& b, double margin) {
    if (!finiteBox(b)) return;
    for (int k = 0; k < 8; ++k) {
        const double x = (k & 1) ? b.xmax + margin : b.xmin - margin;
        const double y = (k & 2) ? b.ymax + margin : b.ymin - margin;
        const double z = (k & 4) ? b.zmax + margin : b.zmin - margin;
        const double d = depth(x, y, z);
        if (!std::isfinite(d)) continue;
        span.nearest = std::min(span.nearest, d);
        span.farthest = std::max(span.farthest, d);
    }
}

}  // namespace

DepthRange depthRange(const SceneModel& scene) {
    if (!std::isfinite(scene.translation.z)) return kFallbackDepthRange;
    const EyeDepth depth(scene);
    Span geometry;
    take(geometry, depth, scene.scene_box, 0.0);
    for (int i = 0; i < scene.graphCount(); ++i) take(geometry, depth, scene.currentBox(i), 0.0);
    if (!geometry.any() || geometry.farthest <= 0.0) return kFallbackDepthRange;
    Span labels = geometry;
    if (scene.show_labels) take(labels, depth, scene.scene_box, kLabelShift);

    // A flat scene facing the viewer has no depth of its own: a tenth of
    // its distance either way keeps it well inside the planes.
    const double thickness = geometry.farthest - geometry.nearest;
    const double geometryFar =
        std::max(geometry.farthest + 0.05 * thickness, geometry.farthest * 1.1);
    double nearPlane = std::min(geometry.nearest - 0.05 * thickness, geometry.nearest * 0.9);
    // The labels beside the box push the far plane out, but never so far
    // that the geometry would lose its depth resolution: beside a box of
    // 1e-6 they stand hundreds of thousands of box sizes away anyway.
    double farPlane = geometryFar;
    if (nearPlane > 0.0) {
        const double labelsFar = std::max(labels.farthest * 1.1, geometryFar);
        farPlane = std::max(geometryFar, std::min(labelsFar, nearPlane / kMinNearShare));
    }
    nearPlane = std::max(nearPlane, farPlane * kMinNearShare);
    if (!std::isfinite(farPlane) || !(nearPlane > 0.0) || !(farPlane > nearPlane))
        return kFallbackDepthRange;
    return {nearPlane, farPlane};
}

}  // namespace kv
