// Strokes: strips split at undefined samples and thinned, plane segments
// chained end to end whatever their order and direction.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "graphics/Polylines.h"

namespace kv {
namespace {

// The largest distance from the samples to the stroke.
double strayOf(const std::vector<Vec3f>& samples, const std::vector<Vec3f>& stroke) {
    double worst = 0.0;
    for (const Vec3f& p : samples) {
        double best = 1e300;
        for (std::size_t i = 0; i + 1 < stroke.size(); ++i) {
            const Vec3f& a = stroke[i];
            const Vec3f& b = stroke[i + 1];
            const double vx = b.x - a.x, vy = b.y - a.y;
            double t = ((p.x - a.x) * vx + (p.y - a.y) * vy) / (vx * vx + vy * vy);
            t = std::clamp(t, 0.0, 1.0);
            best = std::min(best, std::hypot(p.x - a.x - t * vx, p.y - a.y - t * vy));
        }
        worst = std::max(worst, best);
    }
    return worst;
}

TEST(Polylines, StripsAreSplitAtUndefinedSamplesAndSimplifiedWithinTheTolerance) {
    FrameGeometry frame;
    LineStrip strip;
    // A slow arc with one fast wiggle: the arc loses most samples, the
    // wiggle keeps its shape.
    for (int i = 0; i <= 20000; ++i) {
        const float x = i * 0.0001f;
        const float wiggle = (x > 1.2f && x < 1.3f) ? 0.05f * std::sin((x - 1.2f) * 62.83f) : 0.0f;
        strip.points.push_back({x, std::sin(x) + wiggle, 0.0f});
    }
    strip.points[10000].y = NAN;
    frame.strips.push_back(strip);
    const float tolerance = 0.001f;
    const auto runs = strokeRuns(frame, tolerance);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].front().x, 0.0f);
    EXPECT_EQ(runs[0].back().x, strip.points[9999].x);  // the last sample before the gap
    EXPECT_EQ(runs[1].front().x, strip.points[10001].x);
    EXPECT_EQ(runs[1].back().x, 2.0f);
    EXPECT_LT(runs[0].size(), 100u);
    EXPECT_LT(runs[1].size(), 300u);
    const std::vector<Vec3f> first(strip.points.begin(), strip.points.begin() + 10000);
    const std::vector<Vec3f> second(strip.points.begin() + 10001, strip.points.end());
    EXPECT_LE(strayOf(first, runs[0]), tolerance * 1.01);
    EXPECT_LE(strayOf(second, runs[1]), tolerance * 1.01);
    // Without a tolerance every sample stays.
    EXPECT_EQ(strokeRuns(frame, 0.0f)[0].size(), 10000u);
}

TEST(Polylines, ShuffledSegmentsOfAClosedAndAnOpenCurveChainIntoTwoRuns) {
    FrameGeometry frame;
    const int n = 360;
    auto at = [](int k) {
        const double a = 2 * M_PI * (k % n) / n;
        return std::pair<float, float>(static_cast<float>(std::cos(a)),
                                       static_cast<float>(std::sin(a)));
    };
    for (int k = 0; k < n; ++k) {
        auto [x0, y0] = at(k);
        auto [x1, y1] = at(k + 1);
        // Every other segment reversed, as neighbouring cells give them.
        frame.segments.push_back(k % 2 ? Segment2{x1, y1, x0, y0} : Segment2{x0, y0, x1, y1});
    }
    for (int k = 0; k < 10; ++k) frame.segments.push_back({5.0f + k, 0.0f, 6.0f + k, 0.0f});
    frame.segments.push_back({NAN, 0.0f, 1.0f, 1.0f});
    std::shuffle(frame.segments.begin(), frame.segments.end(), std::mt19937(7));
    auto runs = strokeRuns(frame, 0.0f);
    ASSERT_EQ(runs.size(), 2u);
    std::sort(runs.begin(), runs.end(),
              [](const auto& a, const auto& b) { return a.size() > b.size(); });
    EXPECT_EQ(runs[0].size(), static_cast<std::size_t>(n + 1));  // closed: first point again
    EXPECT_EQ(runs[0].front().x, runs[0].back().x);
    EXPECT_EQ(runs[1].size(), 11u);
    EXPECT_EQ(std::min(runs[1].front().x, runs[1].back().x), 5.0f);
    EXPECT_EQ(std::max(runs[1].front().x, runs[1].back().x), 15.0f);
}

}  // namespace
}  // namespace kv
