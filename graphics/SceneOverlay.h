// What the scene draws over its graphs, worked out from the scene box alone:
// the edges of the bounding box, the coordinate axes and the labels. The GL
// renderer draws these lists; keeping them as data lets the conditions and
// the label texts be checked without any context.
#pragma once

#include <string>
#include <vector>

#include "graphics/Geometry.h"

namespace kv {

struct OverlayColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

struct OverlayLine {
    Vec3f from;
    Vec3f to;
    OverlayColor color;
};

// How far the labels stand out from the box, in scene units.
inline constexpr float kLabelShift = 0.2f;

struct OverlayLabel {
    std::string text;
    Vec3f at;  // raster position of the text's start
    OverlayColor color;
};

// The twelve edges of the box. The three leaving (xmin, ymin, zmin) carry the
// colour of their axis at alpha 0.7 and come first (x, y, z); the other nine
// are light grey at alpha 0.4.
std::vector<OverlayLine> boxEdges(const BoundingBox& box);

// The coordinate axes that cross the box, in the order x, y, z. An axis is
// drawn only where the box straddles the origin in the other two coordinates
// (a box that merely starts at 0 in y shows no x axis; one lying in z = 0
// shows x and y).
std::vector<OverlayLine> axisLines(const BoundingBox& box);

// The axis names and the corner coordinates: eight "[x, y, z]" corners for a
// box with depth (or lifted off z = 0), four "[x, y]" corners for a flat box
// in z = 0, nothing for a box without width or height.
std::vector<OverlayLabel> boxLabels(const BoundingBox& box);

// The colour a label is drawn in over a background of the given colour: the
// black corner labels turn white over a dark background (relative luminance
// below one half), where black would not be read; coloured labels keep
// their colour.
OverlayColor readableOn(const OverlayColor& label, float bgRed, float bgGreen, float bgBlue);

// The corner texts, numbers as printf's "%.3g" writes them in the C locale
// whatever the process locale is.
std::string cornerText(float x, float y);
std::string cornerText(float x, float y, float z);

}  // namespace kv
