// The label glyphs: a 10-pixel face with ink where characters have it.
#include <gtest/gtest.h>

#include "graphics/LabelFont.h"

namespace kv {
namespace {

TEST(LabelFont, RasterisesTheNinetySixCharactersAtTenPixels) {
    std::vector<GlyphBitmap> glyphs;
    std::string error;
    ASSERT_TRUE(LabelFont::rasterize(glyphs, error)) << error;
    ASSERT_EQ(glyphs.size(), 96u);
    auto ink = [](const GlyphBitmap& g) {
        int n = 0;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) n += g.pixel(x, y);
        return n;
    };
    EXPECT_EQ(ink(glyphs[0]), 0);
    EXPECT_GT(glyphs[0].advance, 0);
    for (int c = '!'; c <= '~'; ++c) {
        const GlyphBitmap& g = glyphs[static_cast<std::size_t>(c - 32)];
        EXPECT_GT(ink(g), 0) << static_cast<char>(c);
        EXPECT_LE(g.height, 12) << static_cast<char>(c);
        EXPECT_GE(g.advance, 2) << static_cast<char>(c);
        EXPECT_LE(g.advance, 11) << static_cast<char>(c);
    }
    // Capitals stand on the baseline about 7 pixels high; the bracket goes
    // below it.
    const GlyphBitmap& x = glyphs['X' - 32];
    EXPECT_EQ(x.yorig, 0);
    EXPECT_GE(x.height, 6);
    EXPECT_LE(x.height, 8);
    EXPECT_GT(glyphs['[' - 32].yorig, 0);
    // Rows run bottom to top: the foot of "L" is its bottom row.
    const GlyphBitmap& l = glyphs['L' - 32];
    int bottom = 0, top = 0;
    for (int i = 0; i < l.width; ++i) {
        bottom += l.pixel(i, 0);
        top += l.pixel(i, l.height - 1);
    }
    EXPECT_GT(bottom, top);
}

}  // namespace
}  // namespace kv
