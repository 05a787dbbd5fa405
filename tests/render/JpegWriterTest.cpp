// JPEG files as written and read back: size, orientation, colours, the grey
// path, and failures that leave no file behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/JpegWriter.h"
#include "tests/render/JpegDecode.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/kv_jpeg_XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Names of everything in the folder.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename());
        return names;
    }

  private:
    fs::path path_;
};

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Top half red, bottom half blue; the left column of the top half green.
std::vector<unsigned char> testPicture(int w, int h) {
    std::vector<unsigned char> px(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = px.data() + (static_cast<std::size_t>(y) * w + x) * 3;
            const bool top = y < h / 2;
            const bool left = x < w / 4;
            p[0] = top && !left ? 255 : 0;
            p[1] = top && left ? 255 : 0;
            p[2] = top ? 0 : 255;
        }
    return px;
}

TEST(JpegWriter, WritesTheRowsTopFirstInColour) {
    TempDir dir;
    const int w = 37, h = 24;  // a width whose rows are not a multiple of 4 bytes
    const auto px = testPicture(w, h);
    std::string error;
    ASSERT_TRUE(writeJpeg(dir.file("a.jpg"), px.data(), w, h, true, 100, &error)) << error;
    const test::DecodedJpeg img = test::decodeJpeg(dir.file("a.jpg"));
    ASSERT_TRUE(img.ok);
    EXPECT_EQ(img.width, w);
    EXPECT_EQ(img.height, h);
    EXPECT_EQ(img.components, 3);
    EXPECT_FALSE(img.progressive);
    struct Probe {
        int x, y, r, g, b;
    } probes[] = {{30, 3, 255, 0, 0}, {2, 3, 0, 255, 0}, {20, 20, 0, 0, 255}};
    for (const Probe& p : probes) {
        const unsigned char* c = img.at(p.x, p.y);
        EXPECT_NEAR(c[0], p.r, 12) << p.x << "," << p.y;
        EXPECT_NEAR(c[1], p.g, 12) << p.x << "," << p.y;
        EXPECT_NEAR(c[2], p.b, 12) << p.x << "," << p.y;
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.jpg"});  // no temporary left
}

TEST(JpegWriter, GreyPathStoresLuminance) {
    TempDir dir;
    const int w = 16, h = 16;
    const auto px = testPicture(w, h);
    ASSERT_TRUE(writeJpeg(dir.file("g.jpg"), px.data(), w, h, false, 100));
    const test::DecodedJpeg img = test::decodeJpeg(dir.file("g.jpg"));
    ASSERT_TRUE(img.ok);
    EXPECT_EQ(img.components, 1);
    EXPECT_NEAR(img.at(12, 2)[0], 76, 6);   // 0.299 * 255
    EXPECT_NEAR(img.at(12, 12)[0], 29, 6);  // 0.114 * 255
}

TEST(JpegWriter, RefusesAPictureWithoutPixels) {
    TempDir dir;
    const auto px = testPicture(4, 4);
    EXPECT_FALSE(writeJpeg(dir.file("n.jpg"), nullptr, 4, 4, true, 100));
    EXPECT_FALSE(writeJpeg(dir.file("n.jpg"), px.data(), 0, 4, true, 100));
    EXPECT_FALSE(writeJpeg(dir.file("n.jpg"), px.data(), 4, 0, true, 100));
    EXPECT_FALSE(writeJpeg(dir.file("n.jpg"), px.data(), -4, 4, true, 100));
    EXPECT_TRUE(dir.entries().empty());
}

TEST(JpegWriter, UncreatableFileIsReportedNotShown) {
    TempDir dir;
    const auto px = testPicture(4, 4);
    std::string error;
    bool fatal = true;
    const std::string path = dir.file("missing/x.jpg");
    EXPECT_FALSE(writeJpeg(path, px.data(), 4, 4, true, 100, &error, &fatal));
    EXPECT_EQ(error, "JpegFile :\nCan't open " + path + "\n");
    EXPECT_FALSE(fatal);
}

TEST(JpegWriter, FatalLibraryErrorReturnsAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("old.jpg");
    std::ofstream(path) << "previous";
    // Wider than the format allows: the library stops with a fatal error.
    const int w = 70000;
    std::vector<unsigned char> px(static_cast<std::size_t>(w) * 3, 128);
    std::string error;
    bool fatal = false;
    EXPECT_FALSE(writeJpeg(path, px.data(), w, 1, true, 100, &error, &fatal));
    EXPECT_TRUE(fatal);
    EXPECT_NE(error.find("65500"), std::string::npos) << error;
    EXPECT_EQ(contents(path), "previous");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.jpg"});
    // The writer is usable again afterwards.
    const auto ok = testPicture(8, 8);
    EXPECT_TRUE(writeJpeg(path, ok.data(), 8, 8, true, 100));
    EXPECT_TRUE(test::decodeJpeg(path).ok);
}

}  // namespace
}  // namespace kv
