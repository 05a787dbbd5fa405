#include "graphics/SceneOverlay.h"

#include <charconv>
#include <cmath>

#include "engine/Tolerance.h"

namespace kv {

namespace {

constexpr OverlayColor kXColor{0.8f, 0.0f, 0.0f, 1.0f};
constexpr OverlayColor kYColor{0.0f, 0.8f, 0.0f, 1.0f};
constexpr OverlayColor kZColor{0.0f, 0.0f, 0.8f, 1.0f};
constexpr OverlayColor kBlack{0.0f, 0.0f, 0.0f, 1.0f};
// Below this an extent counts as none.
constexpr float kFlat = static_cast<float>(tol::kEpsilon);

OverlayColor withAlpha(OverlayColor c, float a) {
    c.a = a;
    return c;
}

int sign(float v) {
    return (v > 0.0f) - (v < 0.0f);
}

// "%.3g" of the C locale.
std::string number(float v) {
    char buf[32];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 3);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

// Beside a minimum the label moves out by -0.2, beside a maximum by +0.2.
float outward(float v, bool atMax) {
    return atMax ? v + kLabelShift : v - kLabelShift;
}

}  // namespace

std::string cornerText(float x, float y) {
    return "[" + number(x) + ", " + number(y) + "]";
}

std::string cornerText(float x, float y, float z) {
    return "[" + number(x) + ", " + number(y) + ", " + number(z) + "]";
}

std::vector<OverlayLine> boxEdges(const BoundingBox& b) {
    const OverlayColor grey{0.8f, 0.8f, 0.8f, 0.4f};
    auto at = [&](bool x, bool y, bool z) {
        return Vec3f{x ? b.xmax : b.xmin, y ? b.ymax : b.ymin, z ? b.zmax : b.zmin};
    };
    std::vector<OverlayLine> edges = {
        {at(0, 0, 0), at(1, 0, 0), withAlpha(kXColor, 0.7f)},
        {at(0, 0, 0), at(0, 1, 0), withAlpha(kYColor, 0.7f)},
        {at(0, 0, 0), at(0, 0, 1), withAlpha(kZColor, 0.7f)},
    };
    // The remaining edges along x, y and z.
    for (int i = 0; i < 4; ++i) {
        const bool p = i & 1;
        const bool q = i & 2;
        if (p || q) {
            edges.push_back({at(0, p, q), at(1, p, q), grey});
            edges.push_back({at(p, 0, q), at(p, 1, q), grey});
            edges.push_back({at(p, q, 0), at(p, q, 1), grey});
        }
    }
    return edges;
}

std::vector<OverlayLine> axisLines(const BoundingBox& b) {
    std::vector<OverlayLine> axes;
    const bool straddlesX = sign(b.xmin) != sign(b.xmax) && b.xmin != 0.0f;
    const bool straddlesY = sign(b.ymin) != sign(b.ymax) && b.ymin != 0.0f;
    const bool reachesZ = sign(b.zmin) != sign(b.zmax) || b.zmin == 0.0f;
    if (straddlesY && reachesZ) axes.push_back({{b.xmin, 0, 0}, {b.xmax, 0, 0}, kXColor});
    if (straddlesX && reachesZ) axes.push_back({{0, b.ymin, 0}, {0, b.ymax, 0}, kYColor});
    if (straddlesX && straddlesY) axes.push_back({{0, 0, b.zmin}, {0, 0, b.zmax}, kZColor});
    return axes;
}

std::vector<OverlayLabel> boxLabels(const BoundingBox& b) {
    const float dx = std::fabs(b.xmax - b.xmin);
    const float dy = std::fabs(b.ymax - b.ymin);
    const float dz = std::fabs(b.zmax - b.zmin);
    std::vector<OverlayLabel> labels;
    if (!(dx >= kFlat && dy >= kFlat)) return labels;
    const float s = kLabelShift;
    if (dz >= kFlat || b.zmin != 0.0f) {
        labels.push_back({"X", {b.xmin + dx / 2, b.ymin - s, b.zmin - s}, kXColor});
        labels.push_back({"Y", {b.xmin - s, b.ymin + dy / 2, b.zmin - s}, kYColor});
        labels.push_back({"Z", {b.xmin - s, b.ymin - s, b.zmin + dz / 2}, kZColor});
        for (int i = 0; i < 8; ++i) {
            const bool xm = i & 4;
            const bool ym = i & 2;
            const bool zm = i & 1;
            const float x = xm ? b.xmax : b.xmin;
            const float y = ym ? b.ymax : b.ymin;
            const float z = zm ? b.zmax : b.zmin;
            labels.push_back(
                {cornerText(x, y, z), {x - s, outward(y, ym), outward(z, zm)}, kBlack});
        }
    } else {  // flat, in the plane z = 0
        labels.push_back({"X", {b.xmin + dx / 2, b.ymin - s, 0.0f}, kXColor});
        labels.push_back({"Y", {b.xmin - s, b.ymin + dy / 2, 0.0f}, kYColor});
        for (int i = 0; i < 4; ++i) {
            const bool xm = i & 2;
            const bool ym = i & 1;
            const float x = xm ? b.xmax : b.xmin;
            const float y = ym ? b.ymax : b.ymin;
            labels.push_back({cornerText(x, y), {x - s, outward(y, ym), 0.0f}, kBlack});
        }
    }
    return labels;
}

OverlayColor readableOn(const OverlayColor& label, float bgRed, float bgGreen, float bgBlue) {
    const bool black = label.r == 0.0f && label.g == 0.0f && label.b == 0.0f;
    const float luminance = 0.2126f * bgRed + 0.7152f * bgGreen + 0.0722f * bgBlue;
    if (!black || luminance >= 0.5f) return label;
    return {1.0f, 1.0f, 1.0f, label.a};
}

}  // namespace kv
