// The wire mesh of a surface as separate edges, each shared edge once.
// Drawing the quads' outlines would stroke every inner edge twice, once for
// each quad beside it: twice the line work, and a blended edge twice as
// dark inside the mesh as on its border.
#pragma once

#include <vector>

#include "graphics/Geometry.h"

namespace kv {

struct Edge3 {
    Vec3f from;
    Vec3f to;
};

// The edges of the quads whose four corners are finite, in the order they
// first occur; an edge two quads share (the same two corner positions, in
// either direction) is listed once, and an edge of no length not at all.
std::vector<Edge3> meshEdges(const std::vector<Quad>& quads);

}  // namespace kv
