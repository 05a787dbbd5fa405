// Plain CPU geometry of one animation frame of a graph, as the builders
// produce it: line strips (curves), lit quadrilaterals (surfaces) and 2D
// segments (implicit curves), the frame's bounding box and the clip planes the
// frame is drawn with. Nothing here knows about GL: the renderer compiles a
// frame into a display list the first time it draws it.
#pragma once

#include <vector>

namespace kv {

struct Vec3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Six floats in this order: xmin, xmax, ymin, ymax, zmin, zmax.
struct BoundingBox {
    float xmin = 0.0f;
    float xmax = 0.0f;
    float ymin = 0.0f;
    float ymax = 0.0f;
    float zmin = 0.0f;
    float zmax = 0.0f;

    // A box around one point.
    static BoundingBox around(Vec3f p) { return {p.x, p.x, p.y, p.y, p.z, p.z}; }
    // Widens each axis to take in `other`.
    void widen(const BoundingBox& other);
};

// Connected vertices, drawn as one strip of line segments.
struct LineStrip {
    std::vector<Vec3f> points;
};

// A quadrilateral with one normal per corner.
struct Quad {
    Vec3f corners[4];
    Vec3f normals[4];
};

// A segment in the plane z = 0.
struct Segment2 {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
};

// A clip plane: the kept half-space is a*x + b*y + c*z + d >= 0. `index` is
// the plane's number 0..5 (two per axis: x 0 and 1, y 2 and 3, z 4 and 5).
struct ClipPlane {
    int index = 0;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
};

struct FrameGeometry {
    BoundingBox box;
    std::vector<LineStrip> strips;
    std::vector<Quad> quads;
    std::vector<Segment2> segments;
    // The enabled clip planes, in plane order; the others are disabled.
    std::vector<ClipPlane> clipPlanes;

    // Vertices the frame holds, over all its primitives.
    long long vertexCount() const;
};

}  // namespace kv
