// The typeset surface on QImage and QPainter: the console's pictures. The
// layout is worked out in logical pixels; the pictures are painted at the
// screen's device pixel ratio (twice as many pixels each way on a 2x
// screen), so text and rules stay crisp instead of being scaled up.
#pragma once

#include <QFont>
#include <QImage>

#include "engine/Typeset.h"

namespace kv {

class QtTypesetImage : public TypesetImage {
  public:
    explicit QtTypesetImage(QImage img) : image(std::move(img)) {}
    QImage image;
};

class QtTypesetSurface : public TypesetSurface {
  public:
    // Pictures larger than this many device pixels are not made; the caller
    // prints the text form instead.
    static constexpr long long kMaxPixels = 4096LL * 4096LL;

    explicit QtTypesetSurface(const QFont& font, qreal devicePixelRatio = 1.0);

    int fontPixelSize() const override;
    void setFontPixelSize(int pixels) override;
    TextExtent measureText(std::string_view utf8) override;
    int averageCharWidth() override;
    int fontHeight() override;
    std::unique_ptr<TypesetImage> newImage(int width, int height) override;
    void drawText(TypesetImage& image, int x, int y, int width, int height,
                  std::string_view utf8) override;
    void drawLine(TypesetImage& image, int x0, int y0, int x1, int y1) override;
    void setPixel(TypesetImage& image, int x, int y) override;
    void copyImage(TypesetImage& target, const TypesetImage& source, int x, int y) override;

  private:
    int device(int logical) const;

    QFont font_;
    qreal ratio_ = 1.0;
};

}  // namespace kv
