// The scene drawn headlessly and checked pixel by pixel: background, curves
// where their samples project, clip planes, the four surface modes with
// their materials, implicit-curve segments, labels, projection and lists.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/CurveGraph.h"
#include "graphics/GlRenderer.h"
#include "tests/render/RenderFixture.h"

namespace kv {
namespace {

using test::bluish;
using test::dark;
using test::greenish;
using test::Image;
using test::Pixel;
using test::reddish;
using test::RenderFixture;
using test::Rgb;
using test::squareGrid;
using test::white;

// Distance from a pixel centre to the segment a-b, in pixels.
double distanceToSegment(double px, double py, Pixel a, Pixel b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((px - a.x) * vx + (py - a.y) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.x + t * vx), py - (a.y + t * vy));
}

// The projected polyline of a graph's strips.
std::vector<std::vector<Pixel>> projectedStrips(const RenderFixture& fx, const GraphObject& g) {
    std::vector<std::vector<Pixel>> out;
    for (const LineStrip& s : g.frame(0).strips) {
        std::vector<Pixel> line;
        for (const Vec3f& p : s.points) line.push_back(fx.project(p.x, p.y, p.z));
        out.push_back(line);
    }
    return out;
}

double distanceToStrips(double px, double py, const std::vector<std::vector<Pixel>>& strips) {
    double best = 1e300;
    for (const auto& line : strips)
        for (std::size_t i = 0; i + 1 < line.size(); ++i)
            best = std::min(best, distanceToSegment(px, py, line[i], line[i + 1]));
    return best;
}

int countPixels(const Image& img, bool (*test)(Rgb)) {
    int n = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (test(img.at(x, y))) ++n;
    return n;
}

TEST(GlRenderer, ClearsToTheBackgroundColour) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    Image before = fx.render();
    EXPECT_EQ(countPixels(before, white), before.width * before.height);
    fx.run("bg_color(0, 0, 1)");
    Image img = fx.render();
    EXPECT_FALSE(GlRenderer().renderFrame(fx.scene));  // a renderer without set-up draws nothing
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Rgb c = img.at(x, y);
            ASSERT_TRUE(c.r == 0 && c.g == 0 && c.b == 255) << x << "," << y;
        }
}

TEST(GlRenderer, RedCurveLiesWhereItsSamplesProjectAndNowhereElse) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    fx.run("curve(sin(x), [0..6], color=[1, 0, 0], id=1)");
    fx.overlay(false);
    Image img = fx.render();
    const auto strips = projectedStrips(fx, fx.scene.graph(0));

    int red = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Rgb c = img.at(x, y);
            const double d = distanceToStrips(x + 0.5, y + 0.5, strips);
            if (reddish(c)) {
                ++red;
                EXPECT_LT(d, 2.5) << "red pixel off the curve at " << x << "," << y;
            } else if (d > 3.0) {
                EXPECT_TRUE(white(c)) << "not background at " << x << "," << y;
            }
        }
    EXPECT_GT(red, 150);
    // Every sample has red beside it.
    for (const Pixel& p : strips[0])
        EXPECT_GT(img.countNear(static_cast<int>(p.x), static_cast<int>(p.y), 1, reddish), 0)
            << p.x << "," << p.y;
}

TEST(GlRenderer, TheViewTransformMovesTheCurve) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    fx.run("curve([x, x^2, x], [-1..1], color=[1, 0, 0], id=1)");
    fx.overlay(false);
    fx.scene.rotation = {30.0f, -20.0f, 15.0f};
    fx.scene.scale = {1.0f, 0.5f, 2.0f};
    fx.scene.translation.x += 0.3f;
    Image img = fx.render();
    const auto strips = projectedStrips(fx, fx.scene.graph(0));
    int red = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (reddish(img.at(x, y))) {
                ++red;
                EXPECT_LT(distanceToStrips(x + 0.5, y + 0.5, strips), 2.5) << x << "," << y;
            }
    EXPECT_GT(red, 50);
}

TEST(GlRenderer, ClipPlanesCutTheCurveAtTheSlab) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    fx.run("curve(x/3, [-3..3], x=[-1..1], color=[1, 0, 0], id=1)");
    fx.overlay(false);
    Image img = fx.render();
    const double left = fx.project(-1, 0, 0).x;
    const double right = fx.project(1, 0, 0).x;
    // The frame shows the clipped box, so beyond the slab there is room.
    ASSERT_GT(left, 20.0);
    ASSERT_LT(right, img.width - 20.0);
    int inside = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (reddish(img.at(x, y))) {
                EXPECT_GT(x, left - 2) << x << "," << y;
                EXPECT_LT(x, right + 2) << x << "," << y;
                ++inside;
            }
    EXPECT_GT(inside, 30);

    // The same curve without the option reaches beyond the slab.
    RenderFixture plain;
    plain.run("curve(x/3, [-3..3], color=[1, 0, 0], id=1)");
    plain.overlay(false);
    plain.scene.translation = fx.scene.translation;
    Image all = plain.render();
    const Pixel beyond = fx.project(-1.5, -0.5, 0);
    EXPECT_GT(all.countNear(static_cast<int>(beyond.x), static_cast<int>(beyond.y), 1, reddish), 0);
    EXPECT_EQ(img.countNear(static_cast<int>(beyond.x), static_cast<int>(beyond.y), 1, reddish), 0);
}

TEST(GlRenderer, UndefinedSamplesBreakTheStrip) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    FrameGeometry g;
    const float inf = INFINITY;
    g.strips.push_back({{{-1, 0, 0}, {-0.5f, 0, 0}, {0, inf, 0}, {0.5f, 0, 0}, {1, 0, 0}}});
    g.box = {-1, 1, -1, 1, 0, 0};
    auto def = std::make_unique<CurveDefinition>();
    def->color = {1, 0, 0};
    ASSERT_NE(fx.add(std::move(def), g), nullptr);
    fx.overlay(false);
    Image img = fx.render();
    const Pixel mid = fx.project(0, 0, 0);
    const Pixel piece = fx.project(-0.75, 0, 0);
    const Pixel above = fx.project(0, 0.5, 0);
    EXPECT_GT(img.countNear(static_cast<int>(piece.x), static_cast<int>(piece.y), 1, reddish), 0);
    // Nothing goes up towards the infinite sample, nor joins the pieces.
    EXPECT_EQ(img.countNear(static_cast<int>(above.x), static_cast<int>(above.y), 3, reddish), 0);
    EXPECT_EQ(img.countNear(static_cast<int>(mid.x), static_cast<int>(mid.y), 2, reddish), 0);
}

// A square surface with wire colour green, drawn in one mode.
struct SurfaceScene : RenderFixture {
    explicit SurfaceScene(int mode, int cells = 4) {
        auto def = std::make_unique<SurfaceDefinition>();
        def->wire_color = {0, 1, 0};
        graph = add(std::move(def), squareGrid(cells));
        scene.render_mode = static_cast<SceneModel::RenderMode>(mode);
        overlay(false);
    }
    // Centres of the cells of the 4 x 4 grid, as pixels.
    std::vector<Pixel> cellCentres() const {
        std::vector<Pixel> out;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) out.push_back(project(-0.75 + 0.5 * i, -0.75 + 0.5 * j, 0));
        return out;
    }
    GraphObject* graph = nullptr;
};

TEST(GlRenderer, SolidSurfaceShowsFrontColourAboveAndBackColourBelow) {
    SurfaceScene fx(0);
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    ASSERT_NE(fx.graph, nullptr);
    Image above = fx.render();
    // The upper side is the back face: lit with front_color (red).
    for (const Pixel& p : fx.cellCentres()) {
        const Rgb c = above.at(static_cast<int>(p.x), static_cast<int>(p.y));
        EXPECT_TRUE(reddish(c) && c.r > 150) << c.r << " " << c.g << " " << c.b;
    }
    EXPECT_EQ(countPixels(above, greenish), 0);  // no wire in mode 0

    // Turned over, the front face shows back_color (blue).
    fx.scene.rotation.x = 180.0f;
    Image below = fx.render();
    for (const Pixel& p : fx.cellCentres()) {
        const Rgb c = below.at(static_cast<int>(p.x), static_cast<int>(p.y));
        EXPECT_TRUE(bluish(c) && c.b > 150) << c.r << " " << c.g << " " << c.b;
    }
}

TEST(GlRenderer, SolidSurfaceIsLitByTheViewerFixedLight) {
    SurfaceScene fx(0, 1);
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    // Facing the viewer, the light (1, 0, 1) falls at 45 degrees; tilted
    // about y towards the light, the same face gets brighter.
    Image facing = fx.render();
    const Pixel centre = fx.project(0, 0, 0);
    const int r0 = facing.at(static_cast<int>(centre.x), static_cast<int>(centre.y)).r;
    fx.scene.rotation.y = 40.0f;
    Image tilted = fx.render();
    const Pixel c2 = fx.project(0, 0, 0);
    const int r1 = tilted.at(static_cast<int>(c2.x), static_cast<int>(c2.y)).r;
    EXPECT_GT(r1, r0 + 10);
    EXPECT_LT(r0, 240);  // lit, not flat red
}

TEST(GlRenderer, WireModeShowsOnlyWireColouredLines) {
    SurfaceScene fx(1);
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    Image img = fx.render();
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Rgb c = img.at(x, y);
            // Green blended over white: red and blue alike, green highest.
            ASSERT_TRUE(std::abs(c.r - c.b) < 12 && c.g >= c.r - 4) << x << "," << y;
        }
    for (const Pixel& p : fx.cellCentres())
        EXPECT_TRUE(white(img.at(static_cast<int>(p.x), static_cast<int>(p.y))));
    // The line x = 0 of the grid is drawn.
    const Pixel mid = fx.project(0, 0.25, 0);
    EXPECT_GT(img.countNear(static_cast<int>(mid.x), static_cast<int>(mid.y), 1, greenish), 0);
}

TEST(GlRenderer, SolidWithWireModeDrawsFacesAndMesh) {
    SurfaceScene fx(2);
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    Image img = fx.render();
    for (const Pixel& p : fx.cellCentres())
        EXPECT_TRUE(reddish(img.at(static_cast<int>(p.x), static_cast<int>(p.y))));
    // The mesh over the red faces raises their green.
    const Pixel mid = fx.project(0, 0.25, 0);
    EXPECT_GT(img.countNear(static_cast<int>(mid.x), static_cast<int>(mid.y), 1,
                            [](Rgb c) { return c.g > 100; }),
              0);
}

TEST(GlRenderer, HiddenLineModeHidesWhatLiesBehind) {
    // Thin antialiased lines over blue: the red curve, and the green mesh,
    // told apart from the blue background and the white faces.
    auto red = [](Rgb c) { return c.r > 80 && c.g < 60; };
    auto green = [](Rgb c) { return c.g > 90 && c.r < 60; };
    auto render = [&](int mode) {
        SurfaceScene fx(mode);
        EXPECT_TRUE(fx.context.ok()) << fx.context.error();
        fx.run("bg_color(0, 0, 1)");
        // Behind the surface, seen from above.
        fx.run("curve([x, 0.3, -0.5], [-0.8..0.8], color=[1, 0, 0], id=2)");
        fx.scene.translation = {0.0f, 0.0f, -3.0f};
        Image img = fx.render();
        bool centresWhite = true;
        for (const Pixel& p : fx.cellCentres())
            centresWhite =
                centresWhite && white(img.at(static_cast<int>(p.x), static_cast<int>(p.y)));
        int reds = 0, greens = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                reds += red(img.at(x, y));
                greens += green(img.at(x, y));
            }
        return std::make_tuple(reds, greens, centresWhite);
    };
    auto [redHidden, greenHidden, whiteHidden] = render(3);
    EXPECT_EQ(redHidden, 0);
    EXPECT_GT(greenHidden, 100);
    EXPECT_TRUE(whiteHidden);
    auto [redWire, greenWire, whiteWire] = render(1);
    EXPECT_GT(redWire, 30);
    EXPECT_GT(greenWire, 100);
    EXPECT_FALSE(whiteWire);  // the blue background shows through the mesh
}

TEST(GlRenderer, ImplicitCurveSegmentsAreDrawnInTheirColour) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    FrameGeometry g;
    g.segments.push_back({-1.0f, -1.0f, 1.0f, 1.0f});
    g.box = {-1, 1, -1, 1, 0, 0};
    auto def = std::make_unique<ImplicitCurveDefinition>();
    def->color = {0, 0, 1};
    ASSERT_NE(fx.add(std::move(def), g), nullptr);
    fx.overlay(false);
    Image img = fx.render();
    const Pixel a = fx.project(-1, -1, 0);
    const Pixel b = fx.project(1, 1, 0);
    int blue = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (bluish(img.at(x, y))) {
                ++blue;
                EXPECT_LT(distanceToSegment(x + 0.5, y + 0.5, a, b), 2.5);
            }
    EXPECT_GT(blue, 40);
}

TEST(GlRenderer, LabelsDarkenPixelsNearTheBoxCorners) {
    auto render = [](bool labels, std::vector<Pixel>& anchors, Pixel& xLabel) {
        RenderFixture fx;
        EXPECT_TRUE(fx.context.ok()) << fx.context.error();
        EXPECT_TRUE(fx.renderer.labelsAvailable()) << fx.renderer.fontError();
        fx.run("curve(x/2, [-1..1], color=[1, 0, 0], id=1)");
        fx.overlay(false);
        fx.scene.show_labels = labels;
        const BoundingBox& b = fx.scene.scene_box;
        anchors.clear();
        for (float x : {b.xmin, b.xmax})
            for (float y : {b.ymin - 0.2f, b.ymax + 0.2f})
                anchors.push_back(fx.project(x - 0.2, y, 0));
        xLabel = fx.project(b.xmin + (b.xmax - b.xmin) / 2, b.ymin - 0.2, 0);
        return fx.render();
    };
    std::vector<Pixel> anchors;
    Pixel xLabel;
    Image without = render(false, anchors, xLabel);
    Image with = render(true, anchors, xLabel);
    // The text starts at its anchor and runs right, above the baseline.
    auto darkAfter = [](const Image& img, Pixel p) {
        int n = 0;
        for (int y = static_cast<int>(p.y) - 10; y <= static_cast<int>(p.y) + 3; ++y)
            for (int x = static_cast<int>(p.x) - 1; x <= static_cast<int>(p.x) + 30; ++x)
                if (img.inside(x, y) && dark(img.at(x, y))) ++n;
        return n;
    };
    for (const Pixel& p : anchors) {
        EXPECT_EQ(darkAfter(without, p), 0);
        EXPECT_GT(darkAfter(with, p), 10) << p.x << "," << p.y;
    }
    // The axis name carries the axis colour.
    EXPECT_GT(
        with.countNear(static_cast<int>(xLabel.x) + 3, static_cast<int>(xLabel.y) - 4, 4, reddish),
        3);
    EXPECT_EQ(without.countNear(static_cast<int>(xLabel.x) + 3, static_cast<int>(xLabel.y) - 4, 4,
                                reddish),
              0);
}

TEST(GlRenderer, BoxAndAxesAreDrawnInAxisColours) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    fx.run("curve(x/2, [-1..1], color=[0, 0, 1], id=1)");
    fx.overlay(false);
    fx.scene.show_axes = true;
    Image axes = fx.render();
    // The x axis (red) runs along y = 0; the y axis (green) along x = 0.
    const Pixel onX = fx.project(-0.6, 0, 0);
    const Pixel onY = fx.project(0, 0.35, 0);
    EXPECT_GT(axes.countNear(static_cast<int>(onX.x), static_cast<int>(onX.y), 1, reddish), 0);
    EXPECT_GT(axes.countNear(static_cast<int>(onY.x), static_cast<int>(onY.y), 1, greenish), 0);

    fx.scene.show_axes = false;
    fx.scene.show_box = true;
    Image box = fx.render();
    const Pixel bottom = fx.project(0.5, -0.5, 0);  // the x edge from the minimum corner
    EXPECT_GT(box.countNear(static_cast<int>(bottom.x), static_cast<int>(bottom.y), 1, reddish), 0);
}

TEST(GlRenderer, ZeroSizedAreaLeavesTheProjectionAlone) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    auto projection = [] {
        std::vector<double> m(16);
        glGetDoublev(GL_PROJECTION_MATRIX, m.data());
        return m;
    };
    const std::vector<double> before = projection();
    const double f = 1.0 / std::tan(55.0 / 2.0 * M_PI / 180.0);
    EXPECT_NEAR(before[5], f, 1e-5);
    EXPECT_NEAR(before[0], f * RenderFixture::kHeight / RenderFixture::kWidth, 1e-5);
    fx.renderer.resize(640, 0);
    EXPECT_EQ(projection(), before);
    fx.renderer.resize(0, 480);
    EXPECT_EQ(projection(), before);
    fx.renderer.resize(100, 400);
    EXPECT_NEAR(projection()[0], f / 0.25, 1e-5);
}

TEST(GlRenderer, FramesAreCompiledOnceAndReleasedWithTheGraph) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    fx.run("curve(sin(a*x), [0..6], anim=[a, 1..3], nframes=3, id=1)");
    GraphObject& g = fx.scene.graph(0);
    EXPECT_TRUE(g.lists.empty());  // nothing compiled before the first draw
    fx.render();
    ASSERT_EQ(g.lists.size(), 3u);
    const unsigned first = g.lists[0];
    EXPECT_NE(first, 0u);
    EXPECT_EQ(g.lists[1], 0u);
    fx.scene.stepFrames(1);
    fx.render();
    fx.render();
    EXPECT_EQ(g.lists[0], first);
    ASSERT_NE(g.lists[1], 0u);
    EXPECT_EQ(glIsList(g.lists[1]), GL_TRUE);
    const std::vector<unsigned> names = g.lists;
    fx.renderer.releaseGraph(g);
    EXPECT_TRUE(g.lists.empty());
    for (unsigned n : names) {
        if (n != 0) {
            EXPECT_EQ(glIsList(n), GL_FALSE);
        }
    }
}

bool magenta(Rgb c) {
    return c.r > c.g + 60 && c.b > c.g + 60;
}
bool bright(Rgb c) {
    return c.r > 170 && c.g > 170 && c.b > 170;
}

int magentaPixels(const std::vector<std::string>& commands) {
    RenderFixture fx;
    EXPECT_TRUE(fx.context.ok()) << fx.context.error();
    if (!fx.context.ok()) return 0;
    fx.overlay(false);
    for (const std::string& c : commands) fx.run(c);
    return countPixels(fx.render(), magenta);
}

// Scenes whose lines once came out faint, broken or not at all, each
// against a plainly drawn reference: the share of the reference's magenta
// pixels the scene must reach (or, without a reference, a pixel count: a
// line across the picture's width).
struct VisibleLineRow {
    const char* name;
    std::vector<std::string> scene;
    std::vector<std::string> reference;
    double share;
};

void PrintTo(const VisibleLineRow& row, std::ostream* os) {
    *os << row.name;
}

class VisibleLines : public ::testing::TestWithParam<VisibleLineRow> {};

TEST_P(VisibleLines, AsDarkAndWholeAsTheReference) {
    const VisibleLineRow& row = GetParam();
    const int got = magentaPixels(row.scene);
    const int wanted = row.reference.empty()
                           ? RenderFixture::kWidth / 2
                           : static_cast<int>(row.share * magentaPixels(row.reference));
    EXPECT_GE(got, wanted);
    EXPECT_GT(wanted, 0);
}

const char* const kSine150 = "curve(sin(x), [0..6], nlines=150, color=[1,0,1], id=1)";

INSTANTIATE_TEST_SUITE_P(
    GlRenderer, VisibleLines,
    ::testing::Values(
        VisibleLineRow{"AThousandSamples",
                       {"curve(sin(x), [0..6], nlines=1000, color=[1,0,1], id=1)"},
                       {kSine150},
                       0.7},
        VisibleLineRow{"AHundredThousandSamples",
                       {"curve(sin(x), [0..6], nlines=100000, color=[1,0,1], id=1)"},
                       {kSine150},
                       0.7},
        VisibleLineRow{"DefinitionCheckedPole",
                       {"curve(1/x, [-1..1], check_def=true, color=[1,0,1], id=1)"},
                       {},
                       0.0},
        VisibleLineRow{
            "MillionHighBox", {"curve(sin(x)*10^6, [0..6], color=[1,0,1], id=1)"}, {}, 0.0},
        VisibleLineRow{
            "TinyBox", {"curve(sin(x)/1000000, [0..0.000006], color=[1,0,1], id=1)"}, {}, 0.0},
        VisibleLineRow{
            "LongSlowWave", {"curve(10*sin(x/10), [0..200], color=[1,0,1], id=1)"}, {}, 0.0},
        VisibleLineRow{"FineImplicitGrid",
                       {"icurve(x^2+y^2=1, [-2..2], [-2..2], num_x=400, num_y=400, "
                        "color=[1,0,1], id=1)"},
                       {"icurve(x^2+y^2=1, [-2..2], [-2..2], color=[1,0,1], id=1)"},
                       0.7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GlRenderer, ThickCurveIsOneStrokeWithoutGaps) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    fx.overlay(false);
    fx.run("line_width(5)");
    fx.run("curve(sin(x), [0..6], color=[1,0,1], id=1)");
    const Image img = fx.render();
    // Every column the curve crosses holds a run of at least five magenta
    // pixels (a steep part holds more); a seam or bead gap shows as a
    // column without one.
    const int left = static_cast<int>(fx.project(0.2, 0, 0).x);
    const int right = static_cast<int>(fx.project(5.8, 0, 0).x);
    ASSERT_LT(left + 20, right);
    for (int x = left; x <= right; ++x) {
        int run = 0, best = 0;
        for (int y = 0; y < img.height; ++y) {
            run = magenta(img.at(x, y)) ? run + 1 : 0;
            best = std::max(best, run);
        }
        EXPECT_GE(best, 4) << "column " << x;
    }
}

TEST(GlRenderer, LabelsAreBrightOnADarkBackgroundAndNotHiddenBySurfaces) {
    auto brightPixels = [](bool labels) {
        RenderFixture fx;
        EXPECT_TRUE(fx.context.ok()) << fx.context.error();
        if (!fx.context.ok()) return 0;
        fx.run("bg_color(0, 0, 0.15)");
        fx.run(
            "surface(x*y, [-1..1], [-1..1], front_color=[0,0,0.3], back_color=[0,0,0.3], "
            "id=1)");
        fx.scene.show_labels = labels;
        fx.scene.render_mode = SceneModel::SolidModel;
        return countPixels(fx.render(), bright);
    };
    EXPECT_GT(brightPixels(true), brightPixels(false) + 40);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The unit sphere of isurface: in mode 0 a lit disc of front_color (red,
// its outside) around the centre of the picture, with no blue of the inner
// side; in mode 1 only black mesh lines, with white between them.
// The solid picture of one graph without the overlay, and its colour where
// the origin lands.
Image solidPicture(RenderFixture& fx, const char* command, Rgb& centre) {
    fx.run(command);
    fx.overlay(false);
    fx.scene.render_mode = SceneModel::SolidModel;
    Image solid = fx.render();
    const Pixel c = fx.project(0.0f, 0.0f, 0.0f);
    centre = solid.at(static_cast<int>(c.x), static_cast<int>(c.y));
    return solid;
}

TEST(GlRenderer, ImplicitSphereSolidAndWire) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    Rgb centre;
    Image solid = solidPicture(
        fx, "isurface(x^2+y^2+z^2=1, [-1.5..1.5], [-1.5..1.5], [-1.5..1.5], id=1)", centre);
    EXPECT_GT(centre.r, 100);
    EXPECT_LT(centre.b, 60);
    EXPECT_GT(countPixels(solid, [](Rgb p) { return p.r > 60 && p.r > p.b + 40; }), 2000);
    EXPECT_EQ(countPixels(solid, [](Rgb p) { return p.b > p.r + 40; }), 0);

    fx.scene.render_mode = SceneModel::WireModel;
    Image wire = fx.render();
    EXPECT_GT(countPixels(wire, [](Rgb p) { return p.r < 100 && p.g < 100 && p.b < 100; }), 500);
    EXPECT_EQ(countPixels(wire, [](Rgb p) { return p.r > p.b + 40; }), 0);
}

// A surface of revolution seen from the side: its near wall, facing the
// viewer and the light, is its lit outside in front_color; were the normals
// turned against the faces' winding, it would stay dark in the ambient light.
TEST(GlRenderer, SurfaceOfRevolutionIsLitOutside) {
    RenderFixture fx;
    ASSERT_TRUE(fx.context.ok()) << fx.context.error();
    Rgb centre;
    solidPicture(fx, "rotsurface(1+x^2/4, [x, -1..1], id=1)", centre);
    EXPECT_GT(centre.r, 100);
    EXPECT_LT(centre.b, 60);
}

}  // namespace
}  // namespace kv
