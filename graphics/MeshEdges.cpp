#include "graphics/MeshEdges.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_set>

namespace kv {

namespace {

// An edge as the bits of its two ends, the smaller end first, so that both
// directions give one key. Positions compare by their bits: the builders
// give shared corners the very same floats.
struct EdgeKey {
    std::array<std::uint32_t, 6> bits;
    bool operator==(const EdgeKey& other) const { return bits == other.bits; }
};

struct EdgeHash {
    std::size_t operator()(const EdgeKey& k) const {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (std::uint32_t b : k.bits) h = (h ^ b) * 0x100000001B3ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

std::array<std::uint32_t, 3> bitsOf(const Vec3f& p) {
    std::array<std::uint32_t, 3> out;
    std::memcpy(&out[0], &p.x, 4);
    std::memcpy(&out[1], &p.y, 4);
    std::memcpy(&out[2], &p.z, 4);
    return out;
}

bool finite(const Vec3f& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

std::vector<Edge3> meshEdges(const std::vector<Quad>& quads) {
    std::vector<Edge3> edges;
    edges.reserve(quads.size() * 2 + 16);
    std::unordered_set<EdgeKey, EdgeHash> seen;
    seen.reserve(quads.size() * 3);
    for (const Quad& q : quads) {
        if (!finite(q.corners[0]) || !finite(q.corners[1]) || !finite(q.corners[2]) ||
            !finite(q.corners[3]))
            continue;
        for (int k = 0; k < 4; ++k) {
            const Vec3f& a = q.corners[k];
            const Vec3f& b = q.corners[(k + 1) % 4];
            const auto ba = bitsOf(a);
            const auto bb = bitsOf(b);
            if (ba == bb) continue;
            const bool aFirst = ba < bb;
            const auto& lo = aFirst ? ba : bb;
            const auto& hi = aFirst ? bb : ba;
            const EdgeKey key{{lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]}};
            if (seen.insert(key).second) edges.push_back({a, b});
        }
    }
    return edges;
}

}  // namespace kv
