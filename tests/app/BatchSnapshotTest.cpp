// The batch runner's --snapshot option: the final scene saved as a JPEG
// picture of the asked size, and the arguments it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/BatchCall.h"
#include "tests/render/JpegDecode.h"

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

}  // namespace
}  // namespace kv
