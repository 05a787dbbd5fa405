// The lines of a frame as the renderer strokes them. A rasteriser snaps
// vertices to a sub-pixel grid, so a segment far shorter than a pixel gets
// the direction of that grid (or none at all) and a curve of a hundred
// thousand samples, or an implicit curve on a fine grid, comes out faint and
// broken. Strokes are therefore simplified first: a sample is left out
// where the stroke without it stays within a tiny share of the frame's box
// (a few hundredths of a pixel at the framed view), which leaves a smooth
// curve with pieces of several pixels and keeps every wiggle that shows.
#pragma once

#include <vector>

#include "graphics/Geometry.h"

namespace kv {

// How far a simplified stroke may stray from its samples, as a share of the
// frame box's diagonal (under a twentieth of a pixel when the box fills an
// 800-pixel view).
inline constexpr double kThinningShare = 1.0 / 16384.0;

// The runs of finite points of the frame's strips (a point that is not
// finite ends a run), and its plane segments chained end to end into runs
// (segments that share an end point continue each other), each run
// simplified to within `tolerance` of its points (its first and last points
// always kept; 0 keeps every point). Runs of one point are dropped.
std::vector<std::vector<Vec3f>> strokeRuns(const FrameGeometry& frame, float tolerance);

// The thinning tolerance of a frame: kThinningShare of its box's diagonal;
// 0 (nothing thinned) for a box without finite size.
float thinningTolerance(const BoundingBox& box);

}  // namespace kv
