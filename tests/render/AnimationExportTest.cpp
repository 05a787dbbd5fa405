// Recording the animation: each video frame is the scene after one more
// step, exactly as the renderer draws it, read from the bottom-left area of
// the pane rounded down to multiples of 4.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/AnimationExport.h"
#include "tests/render/RenderFixture.h"
#include "tests/support/VideoProbe.h"

namespace kv {
namespace {

constexpr int kVideoHeight = test::RenderFixture::kHeight / 4 * 4;  // 150 -> 148

class AnimationExport : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::haveVideoTools()) << "ffprobe and ffmpeg (package ffmpeg) are needed";
        ASSERT_TRUE(fx.context.ok()) << fx.context.error();
        char pattern[] = "/tmp/kv_anim_XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Records `frames` uncompressed frames and decodes them again.
    std::vector<std::vector<unsigned char>> record(int frames) {
        AnimationSettings settings;
        settings.frames = frames;
        std::string error;
        fx.context.makeCurrent();
        EXPECT_TRUE(recordAnimation(fx.scene, fx.renderer, test::RenderFixture::kWidth,
                                    test::RenderFixture::kHeight, path(), settings, error))
            << error;
        return test::decodeFrames(path(), test::RenderFixture::kWidth, kVideoHeight);
    }

    // The pane's picture cut to the video's area: the lowest rows.
    std::vector<unsigned char> shown() {
        const test::Image image = fx.render();
        const std::size_t row = static_cast<std::size_t>(image.width) * 3;
        const std::size_t skip = static_cast<std::size_t>(image.height - kVideoHeight) * row;
        return {image.pixels.begin() + static_cast<std::ptrdiff_t>(skip), image.pixels.end()};
    }

    std::string path() const { return dir_ + "/video.avi"; }

    test::RenderFixture fx;
    std::string dir_;
};

TEST_F(AnimationExport, AStaticSceneTurnsByItsSpinAndNothingElse) {
    fx.run("curve([cos(t), sin(t), t/5], [t, 0..6], color=[1, 0, 0], id=1)");
    fx.scene.rotation = {20.0f, 0.0f, 0.0f};
    fx.scene.spin = {0.0f, 35.0f, 5.0f};
    const SceneVector start = fx.scene.rotation;
    const auto frames = record(12);
    ASSERT_EQ(frames.size(), 12u);

    SceneVector r = start;
    fx.scene.rotation = start;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        r.y = SceneModel::wrapAngle(r.y + 35.0f);
        r.z = SceneModel::wrapAngle(r.z + 5.0f);
        fx.scene.rotation = r;
        EXPECT_EQ(frames[k], shown()) << "frame " << k;
        if (k > 0) {
            EXPECT_NE(frames[k], frames[k - 1]) << "frame " << k;
        }
    }
}

// The counters start from 0 whatever was shown before, so the first frame
// is the first step; afterwards they are back at 0.
TEST_F(AnimationExport, AnimatedGraphsStepFromTheirFirstFrameAndAreRewound) {
    fx.run("curve(sin(a*x), [0..6], anim=[a, 1..3], nframes=4, color=[0, 0, 1], id=1)");
    fx.scene.stepFrames(3);
    const auto frames = record(6);
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(fx.scene.frameIndices(), std::vector<int>{0});
    for (std::size_t k = 0; k < frames.size(); ++k) {
        fx.scene.stepFrames(1);
        EXPECT_EQ(frames[k], shown()) << "frame " << k;
    }
    // Four frames of the graph: after four steps the same frame shows again.
    EXPECT_EQ(frames[1], frames[5]);
    EXPECT_NE(frames[0], frames[1]);
}

TEST_F(AnimationExport, OutOfRangeSettingsAreRefusedBeforeAnythingIsWritten) {
    fx.run("curve(x, [0..1], id=1)");
    struct Row {
        int frames, fps;
        const char* message;
    } rows[] = {{0, 6, "Počet snímků musí být celé číslo od 1 do 10000!"},
                {10001, 6, "Počet snímků musí být celé číslo od 1 do 10000!"},
                {12, 0, "FPS musí být celé číslo od 1 do 100!"},
                {12, 101, "FPS musí být celé číslo od 1 do 100!"}};
    for (const Row& row : rows) {
        AnimationSettings settings;
        settings.frames = row.frames;
        settings.frames_per_second = row.fps;
        std::string error;
        EXPECT_FALSE(recordAnimation(fx.scene, fx.renderer, 200, 150, path(), settings, error));
        EXPECT_EQ(error, row.message);
        EXPECT_TRUE(std::filesystem::is_empty(dir_));
    }
}

}  // namespace
}  // namespace kv
