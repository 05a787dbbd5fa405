// A mesh strokes each edge once, however many quads share it.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/MeshEdges.h"

namespace kv {
namespace {

std::vector<Quad> grid(int n, int skip = -1) {
    std::vector<Quad> quads;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            Quad q;
            const float x = static_cast<float>(i), y = static_cast<float>(j);
            q.corners[0] = {x, y, 0};
            q.corners[1] = {x, y + 1, 0};
            q.corners[2] = {x + 1, y + 1, 0};
            q.corners[3] = {x + 1, y, 0};
            if (i * n + j == skip) q.corners[2].z = NAN;
            quads.push_back(q);
        }
    return quads;
}

TEST(MeshEdges, SharedEdgesOnceAndUndefinedQuadsLeftOut) {
    // n x n cells: n + 1 lines of n edges each way.
    EXPECT_EQ(meshEdges(grid(1)).size(), 4u);
    EXPECT_EQ(meshEdges(grid(3)).size(), 24u);
    EXPECT_EQ(meshEdges(grid(200)).size(), 2u * 200u * 201u);
    // The middle cell of 3 x 3 undefined: its four edges are still borders
    // of its neighbours.
    EXPECT_EQ(meshEdges(grid(3, 4)).size(), 24u);
    // A corner cell undefined: its two outer edges go.
    EXPECT_EQ(meshEdges(grid(3, 0)).size(), 22u);
    // A quad folded to a point has no edge to draw.
    Quad point;
    EXPECT_TRUE(meshEdges({point}).empty());
}

}  // namespace
}  // namespace kv
