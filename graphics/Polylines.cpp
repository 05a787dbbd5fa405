#include "graphics/Polylines.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace kv {

namespace {

bool finite(const Vec3f& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

double distance2ToSegment(const Vec3f& p, const Vec3f& a, const Vec3f& b) {
    const double vx = b.x - a.x, vy = b.y - a.y, vz = b.z - a.z;
    const double wx = p.x - a.x, wy = p.y - a.y, wz = p.z - a.z;
    const double len2 = vx * vx + vy * vy + vz * vz;
    double t = len2 > 0.0 ? (wx * vx + wy * vy + wz * vz) / len2 : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    const double dx = wx - t * vx, dy = wy - t * vy, dz = wz - t * vz;
    return dx * dx + dy * dy + dz * dz;
}

// Douglas and Peucker's simplification: the point farthest from the chord
// of a stretch is kept while it lies farther than the tolerance, and the
// two halves are simplified in turn. Work is bounded (a stretch whose turn
// comes after the budget is spent keeps all its points), so no curve can
// make it quadratic.
void simplify(const std::vector<Vec3f>& run, double tolerance2, std::vector<Vec3f>& out) {
    const std::size_t n = run.size();
    std::vector<char> keep(n, 0);
    keep[0] = keep[n - 1] = 1;
    std::size_t budget = 64 * n;
    std::vector<std::pair<std::size_t, std::size_t>> stack{{0, n - 1}};
    while (!stack.empty()) {
        const auto [first, last] = stack.back();
        stack.pop_back();
        if (last <= first + 1) continue;
        const std::size_t span = last - first - 1;
        if (span > budget) {
            for (std::size_t i = first + 1; i < last; ++i) keep[i] = 1;
            continue;
        }
        budget -= span;
        double worst = -1.0;
        std::size_t at = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = distance2ToSegment(run[i], run[first], run[last]);
            if (d > worst) {
                worst = d;
                at = i;
            }
        }
        if (worst <= tolerance2) continue;
        keep[at] = 1;
        stack.push_back({first, at});
        stack.push_back({at, last});
    }
    for (std::size_t i = 0; i < n; ++i)
        if (keep[i]) out.push_back(run[i]);
}

// Builds the runs point by point; each is simplified when it ends.
class RunBuilder {
  public:
    RunBuilder(std::vector<std::vector<Vec3f>>& runs, float tolerance)
        : runs_(runs), tolerance2_(static_cast<double>(tolerance) * tolerance) {}

    void add(const Vec3f& p) { run_.push_back(p); }

    void end() {
        if (run_.size() >= 2) {
            std::vector<Vec3f> kept;
            if (tolerance2_ > 0.0)
                simplify(run_, tolerance2_, kept);
            else
                kept = std::move(run_);
            runs_.push_back(std::move(kept));
        }
        run_.clear();
    }

  private:
    std::vector<std::vector<Vec3f>>& runs_;
    double tolerance2_;
    std::vector<Vec3f> run_;
};

std::uint64_t keyOf(float x, float y) {
    std::uint32_t a, b;
    std::memcpy(&a, &x, 4);
    std::memcpy(&b, &y, 4);
    return (static_cast<std::uint64_t>(a) << 32) | b;
}

// Chains segments that share end points (the same floats: neighbouring
// cells of an implicit curve compute a crossing once per grid edge) into
// runs, walking forward from each unused segment and then backward.
void chainSegments(const std::vector<Segment2>& segments, RunBuilder& builder) {
    const std::size_t n = segments.size();
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> byEnd;
    byEnd.reserve(n * 2);
    std::vector<char> usable(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const Segment2& s = segments[i];
        if (!std::isfinite(s.x0) || !std::isfinite(s.y0) || !std::isfinite(s.x1) ||
            !std::isfinite(s.y1))
            continue;
        usable[i] = 1;
        byEnd[keyOf(s.x0, s.y0)].push_back(static_cast<std::uint32_t>(i));
        byEnd[keyOf(s.x1, s.y1)].push_back(static_cast<std::uint32_t>(i));
    }
    std::vector<char> used(n, 0);
    // The unused segment that continues from point (x, y), or n.
    auto next = [&](float x, float y) -> std::size_t {
        auto it = byEnd.find(keyOf(x, y));
        if (it == byEnd.end()) return n;
        for (std::uint32_t j : it->second)
            if (!used[j]) return j;
        return n;
    };
    std::vector<Vec3f> backward;
    std::vector<Vec3f> forward;
    for (std::size_t i = 0; i < n; ++i) {
        if (!usable[i] || used[i]) continue;
        used[i] = 1;
        const Segment2& first = segments[i];
        forward.assign({{first.x0, first.y0, 0.0f}, {first.x1, first.y1, 0.0f}});
        for (std::size_t j; (j = next(forward.back().x, forward.back().y)) != n;) {
            used[j] = 1;
            const Segment2& s = segments[j];
            const bool fromStart = keyOf(s.x0, s.y0) == keyOf(forward.back().x, forward.back().y);
            forward.push_back(fromStart ? Vec3f{s.x1, s.y1, 0.0f} : Vec3f{s.x0, s.y0, 0.0f});
        }
        backward.clear();
        Vec3f head = forward.front();
        for (std::size_t j; (j = next(head.x, head.y)) != n;) {
            used[j] = 1;
            const Segment2& s = segments[j];
            const bool fromStart = keyOf(s.x0, s.y0) == keyOf(head.x, head.y);
            head = fromStart ? Vec3f{s.x1, s.y1, 0.0f} : Vec3f{s.x0, s.y0, 0.0f};
            backward.push_back(head);
        }
        for (auto it = backward.rbegin(); it != backward.rend(); ++it) builder.add(*it);
        for (const Vec3f& p : forward) builder.add(p);
        builder.end();
    }
}

}  // namespace

float thinningTolerance(const BoundingBox& box) {
    const double dx = static_cast<double>(box.xmax) - box.xmin;
    const double dy = static_cast<double>(box.ymax) - box.ymin;
    const double dz = static_cast<double>(box.zmax) - box.zmin;
    const double diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!std::isfinite(diagonal)) return 0.0f;
    return static_cast<float>(diagonal * kThinningShare);
}

std::vector<std::vector<Vec3f>> strokeRuns(const FrameGeometry& frame, float tolerance) {
    std::vector<std::vector<Vec3f>> runs;
    RunBuilder builder(runs, tolerance);
    for (const LineStrip& strip : frame.strips) {
        for (const Vec3f& p : strip.points) {
            if (finite(p))
                builder.add(p);
            else
                builder.end();
        }
        builder.end();
    }
    chainSegments(frame.segments, builder);
    return runs;
}

}  // namespace kv
