// The bitmap font of the scene's labels: the characters 32..127 of a
// 10-pixel sans-serif face (10 logical pixels: on a screen of two device
// pixels to the logical one, the glyphs are rasterised 20 pixels tall) (Liberation Sans, found
// through fontconfig), rasterised with FreeType into one-bit glyphs, one display list per character
// that draws the glyph at the raster position and moves it on.
//
// FreeType rather than Qt: the renderer also runs in the batch runner and the
// render tests, where no GUI application object (which Qt's text drawing
// needs) exists.
#pragma once

#include <string>
#include <vector>

namespace kv {

// One glyph as glBitmap takes it: rows bottom to top, each row packed most
// significant bit first into whole bytes with no further padding.
struct GlyphBitmap {
    int width = 0;
    int height = 0;
    float xorig = 0.0f;  // from the glyph's origin to its left edge, negated
    float yorig = 0.0f;  // rows below the baseline
    float advance = 0.0f;
    std::vector<unsigned char> bits;

    bool pixel(int x, int row) const;  // row 0 is the bottom row
};

class LabelFont {
  public:
    static constexpr int kFirstChar = 32;
    static constexpr int kCharCount = 96;
    static constexpr int kPixelHeight = 10;
    // The tallest glyphs made (a device pixel ratio of 8).
    static constexpr int kMaxPixelHeight = 80;

    // Rasterises the 96 glyphs, pixelHeight pixels tall. False, with the
    // reason, when no font could be loaded.
    static bool rasterize(std::vector<GlyphBitmap>& glyphs, std::string& error,
                          int pixelHeight = kPixelHeight);

    LabelFont() = default;
    ~LabelFont() = default;  // the lists belong to the context; destroy() frees them
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    // Compiles the glyph lists in the current context. False, with the
    // reason, when the glyphs or the lists cannot be had.
    bool create(std::string& error, int pixelHeight = kPixelHeight);
    // Deletes the lists; the context that made them must be current.
    void destroy();

    bool ready() const { return base_ != 0; }
    // The list of character 32; a character c is drawn by list base + c - 32.
    unsigned base() const { return base_; }
    // The height the lists were made for; 0 without lists.
    int pixelHeight() const { return base_ != 0 ? pixelHeight_ : 0; }

  private:
    unsigned base_ = 0;
    int pixelHeight_ = 0;
};

}  // namespace kv
