// The near and far planes of the perspective, chosen from where the scene
// stands in front of the viewer. Fixed planes (say 0.01 and 1e9) leave a
// 24-bit depth buffer no resolution once the camera stands back by 1e8, and
// every fragment then fails the depth test; planes that hug the scene keep
// the ratio far / near small for a box of 1e-6 as for one of 1e12.
#pragma once

#include "graphics/Geometry.h"
#include "graphics/SceneOverlay.h"

namespace kv {

class SceneModel;

struct DepthRange {
    double nearPlane = 0.0;
    double farPlane = 0.0;
};

// Planes used while the scene has nothing finite to look at.
inline constexpr DepthRange kFallbackDepthRange{0.01, 1e9};
// The nearest near plane, as a share of the far one: the depth buffer keeps
// about far / (near * 2^24) of resolution at the far plane.
inline constexpr double kMinNearShare = 1e-4;

// The planes that take in the scene box and every graph's box at its
// current frame, seen through the scene's translation, rotation and scale;
// the far plane also takes in the labels placed beside the box.
DepthRange depthRange(const SceneModel& scene);

}  // namespace kv
