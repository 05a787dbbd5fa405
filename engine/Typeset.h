// Typeset output: a tree drawn as a small black-on-white picture in
// two-dimensional layout (fractions stacked, exponents raised in a smaller
// font, roots under a radical sign). The layout rules live in
// engine/Typeset.cpp and draw through TypesetSurface, an abstract raster
// surface; the desktop program implements it with QImage and QPainter, tests
// with a recording surface, so the rules are checked as box sizes and strokes.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace kv {

// A picture owned by the surface implementation.
class TypesetImage {
  public:
    virtual ~TypesetImage() = default;
};

struct TypesetBox {
    std::unique_ptr<TypesetImage> image;  // null when allocation failed
    int axis = 0;                         // pixels from the top to the alignment line
    int width = 0;
    int height = 0;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

class TypesetSurface {
  public:
    virtual ~TypesetSurface() = default;

    // ---- the current font ----
    // Size of the current font in pixels (the character height).
    virtual int fontPixelSize() const = 0;
    virtual void setFontPixelSize(int pixels) = 0;
    virtual TextExtent measureText(std::string_view utf8) = 0;
    virtual int averageCharWidth() = 0;
    // The full text height of the current font.
    virtual int fontHeight() = 0;

    // ---- pictures ----
    // A new white picture; null when it cannot be allocated.
    virtual std::unique_ptr<TypesetImage> newImage(int width, int height) = 0;
    // Draws text centred in the rectangle, in the current font, black.
    virtual void drawText(TypesetImage& image, int x, int y, int width, int height,
                          std::string_view utf8) = 0;
    // A one-pixel black line that includes (x0, y0) and excludes (x1, y1).
    virtual void drawLine(TypesetImage& image, int x0, int y0, int x1, int y1) = 0;
    virtual void setPixel(TypesetImage& image, int x, int y) = 0;
    virtual void copyImage(TypesetImage& target, const TypesetImage& source, int x, int y) = 0;
};

// Building blocks shared by the node layouts.
TypesetBox textBox(TypesetSurface& s, std::string_view utf8);
TypesetBox parenthesize(TypesetSurface& s, TypesetBox inner, bool square = false);
TypesetBox argumentRow(TypesetSurface& s, std::vector<TypesetBox> boxes);
TypesetBox functionBox(TypesetSurface& s, std::string_view name, std::vector<TypesetBox> args);

}  // namespace kv
