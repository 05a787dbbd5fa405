// A typeset surface for tests: fixed font metrics and pictures kept as
// pixel grids, so layouts can be checked as sizes and strokes.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Typeset.h"

namespace kv::test {

class GridImage : public TypesetImage {
  public:
    GridImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), 0) {}
    int width;
    int height;
    std::vector<char> pixels;  // 1 where black
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && pixels[y * width + x];
    }
    void set(int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[y * width + x] = 1;
    }
    int blackCount() const {
        int n = 0;
        for (char p : pixels) n += p;
        return n;
    }
};

// Characters are `charWidth` wide and the text height is the font size + 3;
// text is drawn as a filled rectangle one pixel inside its extent.
class RecordingSurface : public TypesetSurface {
  public:
    int size = 13;
    int charWidth() const { return size * 7 / 13; }

    int fontPixelSize() const override { return size; }
    void setFontPixelSize(int pixels) override { size = pixels; }
    TextExtent measureText(std::string_view utf8) override {
        int chars = 0;
        for (unsigned char c : utf8)
            if ((c & 0xC0) != 0x80) ++chars;
        return {chars * charWidth(), size + 3};
    }
    int averageCharWidth() override { return charWidth(); }
    int fontHeight() override { return size + 3; }
    std::unique_ptr<TypesetImage> newImage(int width, int height) override {
        return std::make_unique<GridImage>(width, height);
    }
    void drawText(TypesetImage& image, int x, int y, int w, int h, std::string_view) override {
        auto& g = static_cast<GridImage&>(image);
        for (int yy = y + 1; yy < y + h - 1; ++yy)
            for (int xx = x + 1; xx < x + w - 1; ++xx) g.set(xx, yy);
    }
    void drawLine(TypesetImage& image, int x0, int y0, int x1, int y1) override {
        auto& g = static_cast<GridImage&>(image);
        int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i < steps; ++i)
            g.set(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    }
    void setPixel(TypesetImage& image, int x, int y) override {
        static_cast<GridImage&>(image).set(x, y);
    }
    void copyImage(TypesetImage& target, const TypesetImage& source, int x, int y) override {
        auto& t = static_cast<GridImage&>(target);
        const auto& s = static_cast<const GridImage&>(source);
        for (int yy = 0; yy < s.height; ++yy)
            for (int xx = 0; xx < s.width; ++xx)
                if (s.at(xx, yy)) t.set(x + xx, y + yy);
    }
};

inline const GridImage& grid(const TypesetBox& box) {
    return static_cast<const GridImage&>(*box.image);
}

}  // namespace kv::test
