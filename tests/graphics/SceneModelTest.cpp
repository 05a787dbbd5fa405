// The scene's arithmetic: framing, removal and clearing, animation stepping,
// spin, the drag modes and the reset of the view.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/SceneModel.h"
#include "tests/graphics/SceneFixture.h"

namespace kv {
namespace {

using test::SceneFixture;

class CountingObserver : public SceneObserver {
  public:
    void sceneChanged() override { ++changes; }
    void animationTimerRestarted(int period) override { periods.push_back(period); }
    void graphReleasing(GraphObject& g) override { released.push_back(g.graphId()); }
    int changes = 0;
    std::vector<int> periods;
    std::vector<int> released;
};

// The frames graph i shows, tick after tick.
std::vector<int> playedFrames(SceneFixture& fx, int graph, int ticks) {
    std::vector<int> frames;
    for (int t = 0; t < ticks; ++t) {
        frames.push_back(fx.scene.graph(graph).frameIndex(fx.scene.frameIndices()[graph]));
        fx.scene.playStep();
    }
    return frames;
}

TEST(SceneModel, AddGraphFramesTheSceneBox) {
    SceneFixture fx;
    ASSERT_NE(fx.plot("curve(x, [1..3], id=1)"), nullptr);
    const BoundingBox& b = fx.scene.scene_box;
    EXPECT_EQ(b.xmin, 1.0f);
    EXPECT_EQ(b.xmax, 3.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.x, -2.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.y, -2.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.z, -std::sqrt(8.0f));

    // A second graph widens the box; the view is framed on the whole scene.
    ASSERT_NE(fx.plot("curve([t, 0, t], [t, -1..0], id=2)"), nullptr);
    EXPECT_EQ(b.xmin, -1.0f);
    EXPECT_EQ(b.xmax, 3.0f);
    EXPECT_EQ(b.ymin, 0.0f);
    EXPECT_EQ(b.ymax, 3.0f);
    EXPECT_EQ(b.zmin, -1.0f);
    EXPECT_EQ(b.zmax, 0.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.x, -1.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.y, -1.5f);
    EXPECT_FLOAT_EQ(fx.scene.translation.z, -std::sqrt(16.0f + 9.0f + 1.0f));
}

TEST(SceneModel, RemoveGraphTakesTheFirstMatchingId) {
    SceneFixture fx;
    CountingObserver obs;
    fx.scene.setObserver(&obs);
    fx.run("curve(x, [0..1], id=1)");
    fx.run("curve(x, [0..5], id=2)");
    fx.run("curve(x, [0..2], id=1)");
    ASSERT_EQ(fx.scene.graphCount(), 3);

    EXPECT_FALSE(fx.scene.removeGraph(7));
    EXPECT_EQ(fx.scene.graphCount(), 3);
    EXPECT_TRUE(fx.scene.removeGraph(1));
    ASSERT_EQ(fx.scene.graphCount(), 2);
    EXPECT_EQ(fx.scene.graph(0).graphId(), 2);
    EXPECT_EQ(fx.scene.graph(1).graphId(), 1);
    EXPECT_EQ(fx.scene.graph(1).frameBox(0).xmax, 2.0f);
    EXPECT_EQ(fx.scene.frameIndices().size(), 2u);
    EXPECT_EQ(fx.scene.directions().size(), 2u);
    EXPECT_EQ(obs.released, std::vector<int>{1});
    // The box shown is that of the graphs left.
    EXPECT_EQ(fx.scene.scene_box.xmax, 5.0f);
    EXPECT_TRUE(fx.scene.removeGraph(2));
    EXPECT_EQ(fx.scene.scene_box.xmax, 2.0f);
}

TEST(SceneModel, ClearGraphsResetsTransformAndBackground) {
    SceneFixture fx;
    CountingObserver obs;
    fx.scene.setObserver(&obs);
    for (int i = 1; i <= 5; ++i) fx.run("curve(x, [0..1], id=" + std::to_string(i) + ")");
    fx.scene.rotation = {10, 20, 30};
    fx.scene.scale = {2, 3, 0};
    fx.scene.setBackground({0.1, 0.2, 0.3});
    fx.scene.setLineWidth(3.0f);

    fx.scene.clearGraphs();
    EXPECT_EQ(fx.scene.graphCount(), 0);
    EXPECT_TRUE(fx.scene.frameIndices().empty());
    EXPECT_TRUE(fx.scene.directions().empty());
    EXPECT_EQ(obs.released.size(), 5u);
    const SceneVector zero{};
    for (const SceneVector* v : {&fx.scene.translation, &fx.scene.rotation}) {
        EXPECT_EQ(v->x, zero.x);
        EXPECT_EQ(v->y, zero.y);
        EXPECT_EQ(v->z, zero.z);
    }
    EXPECT_EQ(fx.scene.scale.x, 1.0f);
    EXPECT_EQ(fx.scene.scale.y, 1.0f);
    EXPECT_EQ(fx.scene.scale.z, 1.0f);
    EXPECT_EQ(fx.scene.background().r, 1.0);
    EXPECT_EQ(fx.scene.background().g, 1.0);
    EXPECT_EQ(fx.scene.background().b, 1.0);
    // The line width is not part of what clearing resets.
    EXPECT_EQ(fx.scene.lineWidth(), 3.0f);
}

TEST(SceneModel, InitialSettings) {
    SceneModel scene;
    EXPECT_EQ(scene.lineWidth(), 1.5f);
    EXPECT_EQ(scene.background().r + scene.background().g + scene.background().b, 3.0);
    EXPECT_EQ(scene.drag_mode, SceneModel::RotateXZ);
    EXPECT_EQ(scene.render_mode, 2);
    EXPECT_EQ(scene.animationPeriod(), 0);
}

TEST(SceneModel, PlayingWrapsOrBounces) {
    SceneFixture fx;
    ASSERT_NE(fx.plot("curve(a*x, [0..1], anim=[a, 0..1], nframes=5, id=1)"), nullptr);
    EXPECT_EQ(playedFrames(fx, 0, 10), (std::vector<int>{0, 1, 2, 3, 4, 0, 1, 2, 3, 4}));

    SceneFixture bouncing;
    ASSERT_NE(bouncing.plot("curve(a*x, [0..1], anim=[a, 0..1], nframes=5, id=1)"), nullptr);
    bouncing.scene.bounce = true;
    EXPECT_EQ(playedFrames(bouncing, 0, 10), (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1, 0, 1}));

    // Two frames bounce between both; one frame stays put.
    SceneFixture small;
    ASSERT_NE(small.plot("curve(a*x, [0..1], anim=[a, 0..1], nframes=2, id=1)"), nullptr);
    ASSERT_NE(small.plot("curve(a*x, [0..1], anim=[a, 0..1], nframes=1, id=2)"), nullptr);
    small.scene.bounce = true;
    EXPECT_EQ(playedFrames(small, 0, 5), (std::vector<int>{0, 1, 0, 1, 0}));
}

TEST(SceneModel, AnimatedGraphsKeepTheirOwnCounters) {
    SceneFixture fx;
    fx.run("curve(a*x, [0..1], anim=[a, 0..1], nframes=3, id=1)");
    fx.run("curve(a*x, [0..1], anim=[a, 0..1], nframes=4, id=2)");
    fx.run("curve(x, [0..1], id=3)");
    ASSERT_EQ(fx.scene.graphCount(), 3);
    for (int t = 0; t < 5; ++t) fx.scene.playStep();
    EXPECT_EQ(fx.scene.graph(0).frameIndex(fx.scene.frameIndices()[0]), 5 % 3);
    EXPECT_EQ(fx.scene.graph(1).frameIndex(fx.scene.frameIndices()[1]), 5 % 4);
    EXPECT_EQ(fx.scene.frameIndices()[2], 0);  // not animated: not advanced

    fx.run("curve(x, [0..1], id=4)");
    EXPECT_EQ(fx.scene.frameIndices(), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(fx.scene.directions(), (std::vector<int>{1, 1, 1, 1}));
}

TEST(SceneModel, PeriodFollowsTheLastAnimatedGraph) {
    SceneFixture fx;
    CountingObserver obs;
    fx.scene.setObserver(&obs);
    fx.run("curve(a*x, [0..1], anim=[a, 0..1], frame_time=200, id=1)");
    EXPECT_EQ(fx.scene.animationPeriod(), 200);
    fx.run("curve(a*x, [0..1], anim=[a, 0..1], id=2)");
    EXPECT_EQ(fx.scene.animationPeriod(), 71);
    fx.run("curve(x, [0..1], frame_time=500, id=3)");  // not animated
    EXPECT_EQ(fx.scene.animationPeriod(), 71);
    EXPECT_EQ(obs.periods, (std::vector<int>{200, 71}));
}

TEST(SceneModel, AnimationTickNeedsFocusAndNoButtonHeld) {
    SceneFixture fx;
    fx.run("curve(a*x, [0..1], anim=[a, 0..1], nframes=3, id=1)");
    auto frame = [&] { return fx.scene.frameIndices()[0]; };
    EXPECT_FALSE(fx.scene.animationTick(true));  // not animating
    fx.scene.animating = true;
    EXPECT_FALSE(fx.scene.animationTick(false));
    fx.scene.leftButtonDown(0, 0);
    EXPECT_FALSE(fx.scene.animationTick(true));
    fx.scene.leftButtonUp();
    fx.scene.rightButtonDown(0, 0);
    EXPECT_FALSE(fx.scene.animationTick(true));
    fx.scene.rightButtonUp();
    EXPECT_EQ(frame(), 0);
    // The spin keeps turning the scene while it animates.
    fx.scene.spin = {1, 0, 0};
    EXPECT_TRUE(fx.scene.animationTick(true));
    EXPECT_EQ(frame(), 1);
    EXPECT_EQ(fx.scene.rotation.x, 1.0f);
}

TEST(SceneModel, StepFramesMovesEveryCounter) {
    SceneFixture fx;
    fx.run("curve(a*x, [0..1], anim=[a, 0..1], nframes=3, id=1)");
    fx.run("curve(x, [0..1], id=2)");
    fx.scene.stepFrames(1);
    EXPECT_EQ(fx.scene.frameIndices(), (std::vector<int>{1, 1}));
    fx.scene.stepFrames(-1);
    fx.scene.stepFrames(-1);
    EXPECT_EQ(fx.scene.frameIndices(), (std::vector<int>{-1, -1}));
    // |-1 mod 3| = 1; a one-frame graph shows its only frame.
    EXPECT_EQ(fx.scene.graph(0).frameIndex(-1), 1);
    EXPECT_EQ(fx.scene.graph(1).frameIndex(-1), 0);
}

TEST(SceneModel, WrapAngle) {
    const float rows[][2] = {
        {0, 0},
        {360, 360},
        {361, 1},
        {720, 360},
        {725, 5},
        {-360, -360},
        {-361, -1},
        {-800, -440},                       // one turn only
        {1e30f, std::fmod(1e30f, 360.0f)},  // no endless loop
        {INFINITY, 0},
        {NAN, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(SceneModel::wrapAngle(r[0]), r[1]) << r[0];
}

TEST(SceneModel, SpinTickAdvancesAndWraps) {
    SceneModel scene;
    scene.spin = {4, -4, 0};
    scene.rotation = {358, -358, 5};
    EXPECT_FALSE(scene.spinTick(true));  // not spinning
    scene.spinning = true;
    EXPECT_FALSE(scene.spinTick(false));
    scene.animating = true;
    EXPECT_FALSE(scene.spinTick(true));
    scene.animating = false;
    EXPECT_TRUE(scene.spinTick(true));
    EXPECT_EQ(scene.rotation.x, 2.0f);
    EXPECT_EQ(scene.rotation.y, -2.0f);
    EXPECT_EQ(scene.rotation.z, 5.0f);
    scene.spin = {};
    EXPECT_FALSE(scene.spinTick(true));
}

// One drag movement of (dx, dy) pixels in a 360 x 180 pane: one degree per
// horizontal pixel, two per vertical pixel.
struct DragRow {
    int mode;
    int dx;
    int dy;
    SceneVector rotation;
    SceneVector spin;
    SceneVector translation;
    SceneVector scale;
};

class DragModes : public ::testing::TestWithParam<DragRow> {};

TEST_P(DragModes, OneMovement) {
    const DragRow& r = GetParam();
    SceneModel scene;
    scene.drag_mode = static_cast<SceneModel::DragMode>(r.mode);
    scene.leftButtonDown(100, 100);
    EXPECT_TRUE(scene.mouseMove(100 + r.dx, 100 + r.dy, 360, 180));
    auto expectVec = [](const SceneVector& got, const SceneVector& want, const char* what) {
        EXPECT_FLOAT_EQ(got.x, want.x) << what;
        EXPECT_FLOAT_EQ(got.y, want.y) << what;
        EXPECT_FLOAT_EQ(got.z, want.z) << what;
    };
    expectVec(scene.rotation, r.rotation, "rotation");
    expectVec(scene.spin, r.spin, "spin");
    expectVec(scene.translation, r.translation, "translation");
    expectVec(scene.scale, r.scale, "scale");
}

INSTANTIATE_TEST_SUITE_P(Rows, DragModes,
                         ::testing::Values(
                             // Rotations; a movement of at most 6 pixels leaves no spin.
                             DragRow{0, 5, 3, {6, 5, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
                             DragRow{1, 5, 3, {0, 6, 5}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
                             DragRow{2, 5, 3, {6, 0, 5}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
                             // A flick: (d - 6) degrees per pixel of spin, at most 4 per tick.
                             DragRow{0, 8, 0, {0, 8, 0}, {0, 2, 0}, {0, 0, 0}, {1, 1, 1}},
                             DragRow{0, 100, 7, {14, 100, 0}, {2, 4, 0}, {0, 0, 0}, {1, 1, 1}},
                             DragRow{2, -8, 0, {0, 0, -8}, {0, 0, -4}, {0, 0, 0}, {1, 1, 1}},
                             DragRow{1, 0, -30, {0, -60, 0}, {0, -4, 0}, {0, 0, 0}, {1, 1, 1}},
                             // Angles wrap after the movement.
                             DragRow{0, 400, 0, {0, 40, 0}, {0, 4, 0}, {0, 0, 0}, {1, 1, 1}},
                             // Moving and scaling.
                             DragRow{3, 16, 8, {0, 0, 0}, {0, 0, 0}, {2, -1, 0}, {1, 1, 1}},
                             DragRow{4, 5, 50, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2, 1, 1}},
                             DragRow{5, 50, 5, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 2, 1}},
                             DragRow{6, 50, 10, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 3}},
                             // A scale never becomes negative.
                             DragRow{4, -100, 0, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 1, 1}},
                             DragRow{6, 0, -6, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 0}}));

TEST(SceneModel, DragSequenceAndSpinAfterRelease) {
    SceneModel scene;
    scene.drag_mode = SceneModel::RotateXY;
    scene.spin = {1, 1, 1};
    scene.spinning = true;
    scene.leftButtonDown(0, 0);
    EXPECT_FALSE(scene.spinning);
    EXPECT_EQ(scene.spin.x + scene.spin.y + scene.spin.z, 0.0f);
    // Each movement counts from the previous position.
    scene.mouseMove(10, 0, 360, 360);
    scene.mouseMove(12, 0, 360, 360);
    EXPECT_FLOAT_EQ(scene.rotation.y, 12.0f);
    EXPECT_FLOAT_EQ(scene.spin.y, 4.0f);  // from the flick, kept by the slow move
    scene.leftButtonUp();
    EXPECT_FALSE(scene.mouseMove(50, 50, 360, 360));
    EXPECT_TRUE(scene.spinning);
    EXPECT_TRUE(scene.spinTick(true));
    EXPECT_FLOAT_EQ(scene.rotation.y, 16.0f);
}

TEST(SceneModel, RightDragMovesAlongZ) {
    SceneModel scene;
    scene.spinning = true;
    scene.rightButtonDown(10, 10);
    EXPECT_FALSE(scene.spinning);
    scene.mouseMove(10, 20, 100, 100);
    scene.mouseMove(30, 15, 100, 100);
    EXPECT_FLOAT_EQ(scene.translation.z, 1.0f);
    EXPECT_EQ(scene.rotation.x + scene.rotation.y + scene.rotation.z, 0.0f);
    scene.rightButtonUp();
    EXPECT_TRUE(scene.spinning);
}

TEST(SceneModel, ResetViewFramesTheCurrentFrames) {
    SceneFixture fx;
    fx.scene.resetView();  // no graph: nothing happens
    fx.run("curve(a*x, [0..2], anim=[a, 1..3], nframes=3, id=1)");
    fx.scene.rotation = {1, 2, 3};
    fx.scene.scale = {4, 5, 6};
    fx.scene.translation = {7, 8, 9};
    fx.scene.spin = {1, 1, 1};
    fx.scene.spinning = true;
    fx.scene.stepFrames(2);  // frame 2: y from 0 to 6
    fx.scene.resetView();
    EXPECT_FALSE(fx.scene.spinning);
    EXPECT_EQ(fx.scene.spin.x + fx.scene.spin.y + fx.scene.spin.z, 0.0f);
    EXPECT_EQ(fx.scene.rotation.x + fx.scene.rotation.y + fx.scene.rotation.z, 0.0f);
    EXPECT_EQ(fx.scene.scale.x * fx.scene.scale.y * fx.scene.scale.z, 1.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.x, -1.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.y, -3.0f);
    EXPECT_FLOAT_EQ(fx.scene.translation.z, -std::sqrt(40.0f));
}

TEST(SceneModel, ShadingChoiceReachesEveryGraph) {
    SceneFixture fx;
    fx.run("curve(x, [0..1], id=1)");
    fx.scene.setShadeModel(ShadeModel::Flat);
    EXPECT_EQ(fx.scene.graph(0).definition()->shade_model, ShadeModel::Flat);
    // A graph made later takes the scene's current choice.
    fx.run("curve(x, [0..1], id=2)");
    EXPECT_EQ(fx.scene.graph(1).definition()->shade_model, ShadeModel::Flat);
}

}  // namespace
}  // namespace kv
