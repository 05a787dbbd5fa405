// Headless contexts: refused sizes, and contexts that outlive one another.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "export/HeadlessContext.h"
#include "export/Snapshot.h"

namespace kv {
namespace {

// Clears the current framebuffer to a colour and reads one pixel back.
std::vector<unsigned char> clearAndRead(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    return readPixelsTopDown(1, 1);
}

TEST(HeadlessContext, RefusesSizesWithoutPixelsOrBeyondTheLimit) {
    for (auto [w, h] : {std::pair{0, 10}, {10, 0}, {-3, 10}, {HeadlessContext::kMaxSize + 1, 4}}) {
        HeadlessContext c(w, h);
        EXPECT_FALSE(c.ok()) << w << "x" << h;
        EXPECT_FALSE(c.error().empty());
        EXPECT_FALSE(c.makeCurrent());
    }
}

TEST(HeadlessContext, GivesACompatibilityContextOfTheAskedSize) {
    HeadlessContext c(33, 17);
    ASSERT_TRUE(c.ok()) << c.error();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 33);
    EXPECT_EQ(viewport[3], 17);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    const GLuint list = glGenLists(1);
    EXPECT_NE(list, 0u);
    glDeleteLists(list, 1);
}

TEST(HeadlessContext, ContextsOutliveEachOther) {
    auto first = std::make_unique<HeadlessContext>(8, 8);
    ASSERT_TRUE(first->ok()) << first->error();
    HeadlessContext second(8, 8);
    ASSERT_TRUE(second.ok()) << second.error();
    // Each keeps its own framebuffer.
    ASSERT_TRUE(first->makeCurrent());
    EXPECT_EQ(clearAndRead(1, 0, 0), (std::vector<unsigned char>{255, 0, 0}));
    ASSERT_TRUE(second.makeCurrent());
    EXPECT_EQ(clearAndRead(0, 1, 0), (std::vector<unsigned char>{0, 255, 0}));
    ASSERT_TRUE(first->makeCurrent());
    EXPECT_EQ(readPixelsTopDown(1, 1), (std::vector<unsigned char>{255, 0, 0}));
    // The first going away leaves the second working.
    first.reset();
    ASSERT_TRUE(second.makeCurrent());
    EXPECT_EQ(clearAndRead(0, 0, 1), (std::vector<unsigned char>{0, 0, 255}));
}

}  // namespace
}  // namespace kv
