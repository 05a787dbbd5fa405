// Pictures of the scene: read back upright, saved at the asked size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "export/Snapshot.h"
#include "tests/render/JpegDecode.h"
#include "tests/render/RenderFixture.h"

namespace kv {
namespace {

using test::Image;
using test::reddish;
using test::RenderFixture;

// Red pixels in the upper and the lower half of a picture.
std::pair<int, int> redHalves(const Image& img) {
    int upper = 0, lower = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (reddish(img.at(x, y))) (y < img.height / 2 ? upper : lower)++;
    return {upper, lower};
}

TEST(Snapshot, RenderedFileHasTheAskedSizeAndIsUpright) {
    RenderFixture fx;  // only for its scene and interpreter
    fx.run("curve(1+x^2, [-1..1], color=[1, 0, 0], id=1)");
    fx.run("line_width(4)");  // wide enough to stay red through the compression
    fx.overlay(false);
    fx.scene.translation = {0.0f, 0.0f, -5.0f};
    char dirName[] = "/tmp/kv_snap_XXXXXX";
    const std::string dir = ::mkdtemp(dirName);
    const std::string path = dir + "/scene.jpg";
    std::string error;
    ASSERT_TRUE(renderSnapshot(fx.scene, path, 160, 120, error)) << error;
    const test::DecodedJpeg jpeg = test::decodeJpeg(path);
    ASSERT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.width, 160);
    EXPECT_EQ(jpeg.height, 120);
    Image img{jpeg.width, jpeg.height, jpeg.pixels};
    const auto [upper, lower] = redHalves(img);
    EXPECT_GT(upper, 10);
    EXPECT_EQ(lower, 0);
    // The lists of that context are gone with it; the graph keeps no names.
    EXPECT_TRUE(fx.scene.graph(0).lists.empty());

    EXPECT_FALSE(renderSnapshot(fx.scene, dir + "/no/such/dir.jpg", 64, 48, error));
    EXPECT_NE(error.find("Can't open"), std::string::npos) << error;
    EXPECT_FALSE(renderSnapshot(fx.scene, path, 0, 48, error));
    EXPECT_FALSE(error.empty());
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kv
