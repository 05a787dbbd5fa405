// The builders sample through compiled trees, on two threads for grids; the
// geometry must be exactly what sampling point by point with `evaluate`
// gives, and the sampled variables must be left as that leaves them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SceneFixture.h"
#include "graphics/SplitWork.h"

namespace kv {
namespace {

using kv::test::SceneFixture;

// The bytes of every float of every frame, with the frame's box.
std::vector<unsigned char> bytesOf(const GraphObject& g) {
    std::vector<unsigned char> bytes;
    auto put = [&](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        bytes.insert(bytes.end(), b, b + n);
    };
    for (int f = 0; f < g.frameCount(); ++f) {
        const FrameGeometry& fr = g.frame(f);
        put(&fr.box, sizeof fr.box);
        for (const LineStrip& s : fr.strips) {
            put(s.points.data(), s.points.size() * sizeof(Vec3f));
            bytes.push_back(0xAA);  // strip boundary
        }
        put(fr.quads.data(), fr.quads.size() * sizeof(Quad));
        put(fr.segments.data(), fr.segments.size() * sizeof(Segment2));
    }
    return bytes;
}

struct Built {
    std::vector<unsigned char> bytes;
    long long vertices = 0;
    double x = 0.0;
    double y = 0.0;
    double t = 0.0;
};

Built build(const std::string& command, bool compiled) {
    SceneFixture s;
    s.ci.workspace().compiledSampling = compiled;
    // Every command closes with its graph id.
    const std::string withId = command.substr(0, command.size() - 1) + ", id=1)";
    const GraphObject* g = s.plot(withId);
    EXPECT_NE(g, nullptr) << command << ": " << s.error();
    Built b;
    if (!g) return b;
    b.bytes = bytesOf(*g);
    for (int f = 0; f < g->frameCount(); ++f) b.vertices += g->frame(f).vertexCount();
    auto value = [&](const char* name) {
        return s.ci.workspace().findVariable(name) >= 0 ? s.variable(name) : 0.0;
    };
    b.x = value("x");
    b.y = value("y");
    b.t = value("t");
    return b;
}

class SamplingPathsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SamplingPathsTest, CompiledSamplingGivesTheGeometryOfEvaluate) {
    const Built fast = build(GetParam(), true);
    const Built plain = build(GetParam(), false);
    ASSERT_GT(plain.vertices, 0);
    EXPECT_EQ(fast.vertices, plain.vertices);
    EXPECT_TRUE(fast.bytes == plain.bytes) << "the geometry differs";
    EXPECT_EQ(std::memcmp(&fast.x, &plain.x, sizeof(double)), 0) << fast.x << " " << plain.x;
    EXPECT_EQ(std::memcmp(&fast.y, &plain.y, sizeof(double)), 0) << fast.y << " " << plain.y;
    EXPECT_EQ(std::memcmp(&fast.t, &plain.t, sizeof(double)), 0) << fast.t << " " << plain.t;
}

// Grids of 210 x 210 and more are sampled on two threads where there are two
// cores (see samplingWorkers).
INSTANTIATE_TEST_SUITE_P(
    Builders, SamplingPathsTest,
    ::testing::Values(
        "curve(sin(3*x)*exp(-x/4)+x^2/(1+x^2), [-5..5], nlines=3001)",
        "curve([cos(t)^3, sin(t)*t, sqrt(t)], [t, -1..7], nlines=999)",
        "curve(1/x + ln(x), [-2..2], check_def=true, nlines=500)",
        "curve(a*x^2, [0..1], anim=[a, -1..1], nframes=4, nlines=300)",
        "surface(exp(-(x^2+y^2))*cos(3*x)*sin(2*y), [-2..2], [-2..2], nlines_x=210, "
        "nlines_y=230)",
        "surface(sqrt(1-x^2-y^2), [-1..1], [-1..1], nlines_x=41, nlines_y=37)",
        "surface(1/(x*y), [-1..1], [-1..1], check_def=true, nlines_x=21, nlines_y=21)",
        "surface([x*cos(y), x*sin(y), x^2/3], [x, 0..2], [y, 0..6.3], nlines_x=250, "
        "nlines_y=200)",
        "surface(a*sin(x*y), [-2..2], [-2..2], anim=[a, 0..1], nframes=3, nlines_x=30, "
        "nlines_y=30)",
        "icurve(x^2+y^2-4+sin(3*x)*cos(2*y), [-3..3], [-3..3], num_x=300, num_y=280)",
        "icurve(x*y-1, [-2..2], [-2..2], num_x=53, num_y=47, iters=1)",
        "icurve(ln(x)-y, [-1..3], [-3..3], num_x=61, num_y=61, iters=4)",
        "icurve(abs(x)+abs(y)-1, [-2..2], [-2..2], num_x=40, num_y=40)"));

// Cells of a grid this large are assembled on two threads, each widening a
// box of its own; under check_def they are assembled on one. Where the
// surface is defined everywhere the two must give the same bytes, box
// included.
TEST(SamplingPathsTest, CellsAssembledOnTwoThreadsMatchOneThread) {
    auto run = [](const char* checkDef) {
        SceneFixture s;
        const GraphObject* g =
            s.plot(std::string("surface(x*y*exp(-x^2)-0.5, [-3..2], [-2..1], nlines_x=240, "
                               "nlines_y=230, check_def=") +
                   checkDef + ", id=1)");
        EXPECT_NE(g, nullptr) << s.error();
        return g ? bytesOf(*g) : std::vector<unsigned char>{};
    };
    const auto parallel = run("false");
    ASSERT_EQ(parallel.size(), sizeof(BoundingBox) + 239u * 229u * sizeof(Quad));
    EXPECT_TRUE(parallel == run("true"));
}

// Trees the compiled form leaves alone take the point-by-point path in both
// builds: rnd() keeps its sequence (the generator is pinned).
TEST(SamplingPathsRndTest, TreesWithRndAreSampledPointByPoint) {
    auto run = [](bool compiled) {
        SceneFixture s;
        s.ci.workspace().compiledSampling = compiled;
        s.ci.workspace().millisecondClock = [] { return 12345u; };
        const GraphObject* g = s.plot(
            "surface(x*y+rnd(), [-1..1], [-1..1], nlines_x=7, "
            "nlines_y=5, id=1)");
        return g ? bytesOf(*g) : std::vector<unsigned char>{};
    };
    const auto fast = run(true);
    ASSERT_FALSE(fast.empty());
    EXPECT_TRUE(fast == run(false));
}

TEST(SplitWorkTest, EveryIndexIsDoneOnceByOneWorker) {
    for (int workers : {1, 2}) {
        for (int count : {0, 1, 2, 7, 1000}) {
            std::vector<int> done(static_cast<std::size_t>(count), 0);
            std::vector<int> by(static_cast<std::size_t>(count), -1);
            splitWork(count, workers, [&](int first, int last, int worker) {
                for (int i = first; i < last; ++i) {
                    ++done[static_cast<std::size_t>(i)];
                    by[static_cast<std::size_t>(i)] = worker;
                }
            });
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(done[static_cast<std::size_t>(i)], 1) << count << " " << i;
                EXPECT_EQ(by[static_cast<std::size_t>(i)],
                          workers == 2 && count > 1 && i >= count / 2 ? 1 : 0);
            }
        }
    }
}

}  // namespace
}  // namespace kv
