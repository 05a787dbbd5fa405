// The batch runner's --snapshot option: the final scene saved as a JPEG or
// PNG picture of the asked size and view, and the arguments it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/BatchCall.h"
#include "tests/render/JpegDecode.h"
#include "tests/support/VideoProbe.h"

namespace kv {
namespace {

using test::batch;
using test::BatchResult;

class BatchSnapshot : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kv_batch_snap_XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }
    std::string dir_;
};

TEST_F(BatchSnapshot, SavesTheFinalSceneAtTheAskedSize) {
    const std::string path = file("scene.jpg");
    const BatchResult r = batch({"--snapshot", path, "--size", "64x48"},
                                "curve(x^2, [-1..1], color=[1, 0, 0], id=1)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(">> curve("), std::string::npos);  // the transcript comes first
    const test::DecodedJpeg img = test::decodeJpeg(path);
    ASSERT_TRUE(img.ok);
    EXPECT_EQ(img.width, 64);
    EXPECT_EQ(img.height, 48);
}

TEST_F(BatchSnapshot, DefaultSizeIs800By600) {
    const std::string path = file("default.jpg");
    const BatchResult r = batch({"--snapshot", path}, "1+1\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const test::DecodedJpeg img = test::decodeJpeg(path);
    ASSERT_TRUE(img.ok);
    EXPECT_EQ(img.width, 800);
    EXPECT_EQ(img.height, 600);
    // No graph: the picture is the white background alone.
    EXPECT_GT(img.at(400, 300)[0], 250);
}

TEST_F(BatchSnapshot, RefusesUnusableArguments) {
    const char* sizes[] = {"0x10",   "10x0",  "10",    "10x",      "x10",
                           "10x10x", "-5x10", "10X10", "99999x10", "ax10"};
    for (const char* size : sizes) {
        const BatchResult r = batch({"--snapshot", file("s.jpg"), "--size", size}, "1\n");
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_NE(r.err.find("Neplatná velikost snímku: "), std::string::npos) << size;
        EXPECT_TRUE(r.out.empty()) << size;  // nothing is run
    }
    EXPECT_EQ(batch({"--size", "10x10"}, "1\n").status, 2);  // size without a picture
    EXPECT_EQ(batch({"--snapshot"}, "1\n").status, 2);
    EXPECT_FALSE(std::filesystem::exists(file("s.jpg")));
}

TEST_F(BatchSnapshot, UnwritablePictureIsANonZeroExitWithAMessage) {
    const BatchResult r = batch({"--snapshot", file("missing/s.jpg"), "--size", "16x16"}, "1+1\n");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("Snímek se nepodařilo uložit"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find(">> 1+1"), std::string::npos);  // the run itself completed
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);       // one line
}

// A PNG by its name: lossless, so a picture of the background is exactly
// white.
TEST_F(BatchSnapshot, PngByTheExtension) {
    const std::string path = file("scene.PNG");
    const BatchResult r = batch({"--snapshot", path, "--size", "64x48"}, "1+1\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto frames = test::decodeFrames(path, 64, 48);
    ASSERT_EQ(frames.size(), 1u);
    for (unsigned char c : frames[0]) ASSERT_EQ(c, 255);
    EXPECT_EQ(test::runCommand("head -c 4 '" + path + "' | tail -c 3"), "PNG");
}

// The view options change the picture as the scene pane's keys would.
TEST_F(BatchSnapshot, ViewRenderModeAndOverlayOptions) {
    const char* surface =
        "surface(x*y, [-1..1], [-1..1], front_color=[1,0,0], "
        "back_color=[1,0,0], id=1)\n";
    auto picture = [&](std::vector<std::string> options) {
        const std::string path = file("view.png");
        options.insert(options.begin(), {"--snapshot", path, "--size", "80x60"});
        const BatchResult r = batch(options, surface);
        EXPECT_EQ(r.status, 0) << r.err;
        const auto frames = test::decodeFrames(path, 80, 60);
        return frames.empty() ? std::vector<unsigned char>{} : frames[0];
    };
    auto reds = [](const std::vector<unsigned char>& p) {
        int n = 0;
        for (std::size_t i = 0; i + 2 < p.size(); i += 3) n += p[i] > p[i + 1] + 80;
        return n;
    };
    const auto plain = picture({});
    ASSERT_FALSE(plain.empty());
    EXPECT_NE(picture({"--view", "60,0,30"}), plain);
    EXPECT_EQ(picture({"--view", "0,0,0"}), plain);
    // Without the overlay (whose x axis and label are red too), the lit
    // faces are the red; the mesh alone has none.
    const auto bare = picture({"--no-box", "--no-axes", "--no-labels"});
    EXPECT_NE(bare, plain);
    EXPECT_GT(reds(bare), 200);
    EXPECT_EQ(reds(picture({"--render-mode", "1", "--no-box", "--no-axes", "--no-labels"})), 0);
    // Unusable values stop the run before anything is drawn.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--render-mode", "4"},
                                                {"--render-mode", "x"},
                                                {"--view", "1,2"},
                                                {"--view", "1,2,3,"},
                                                {"--spin", "a,b,c"},
                                                {"--view"}}) {
        std::vector<std::string> args{"--snapshot", file("bad.png")};
        args.insert(args.end(), bad.begin(), bad.end());
        const BatchResult r = batch(args, surface);
        EXPECT_EQ(r.status, 2) << bad[0];
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(batch({"--view", "1,2,3"}, surface).status, 2);  // a view without a picture
    EXPECT_FALSE(std::filesystem::exists(file("bad.png")));
}

}  // namespace
}  // namespace kv
