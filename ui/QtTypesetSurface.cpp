#include "ui/QtTypesetSurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kv {

namespace {
QImage& imageOf(TypesetImage& i) {
    return static_cast<QtTypesetImage&>(i).image;
}
const QImage& imageOf(const TypesetImage& i) {
    return static_cast<const QtTypesetImage&>(i).image;
}
QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
}  // namespace

QtTypesetSurface::QtTypesetSurface(const QFont& font, qreal devicePixelRatio)
    : font_(font),
      ratio_(devicePixelRatio > 0.0 && std::isfinite(devicePixelRatio)
                 ? std::min<qreal>(devicePixelRatio, 8.0)
                 : 1.0) {
    if (font_.pixelSize() <= 0) {
        QFontInfo info(font_);
        font_.setPixelSize(info.pixelSize());
    }
}

int QtTypesetSurface::fontPixelSize() const {
    return font_.pixelSize();
}

void QtTypesetSurface::setFontPixelSize(int pixels) {
    font_.setPixelSize(std::max(1, pixels));
}

TextExtent QtTypesetSurface::measureText(std::string_view utf8) {
    QFontMetrics fm(font_);
    return {fm.horizontalAdvance(text(utf8)), fm.height()};
}

int QtTypesetSurface::averageCharWidth() {
    return QFontMetrics(font_).averageCharWidth();
}

int QtTypesetSurface::fontHeight() {
    return QFontMetrics(font_).height();
}

// The first device pixel of logical coordinate v.
int QtTypesetSurface::device(int v) const {
    return static_cast<int>(std::floor(v * ratio_));
}

std::unique_ptr<TypesetImage> QtTypesetSurface::newImage(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    const long long w = static_cast<long long>(std::ceil(width * ratio_));
    const long long h = static_cast<long long>(std::ceil(height * ratio_));
    if (w * h > kMaxPixels) return nullptr;
    QImage img;
    if (width > 0 && height > 0) {
        img = QImage(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
        if (img.isNull()) return nullptr;
        img.setDevicePixelRatio(ratio_);
        img.fill(Qt::white);
    }
    return std::make_unique<QtTypesetImage>(std::move(img));
}

void QtTypesetSurface::drawText(TypesetImage& image, int x, int y, int width, int height,
                                std::string_view utf8) {
    QImage& img = imageOf(image);
    if (img.isNull()) return;
    QPainter p(&img);
    p.setFont(font_);
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, width, height), Qt::AlignCenter, text(utf8));
}

// A line that includes its first point and excludes its last, as the layout
// rules expect.
void QtTypesetSurface::drawLine(TypesetImage& image, int x0, int y0, int x1, int y1) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        setPixel(image, x, y);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// One logical pixel: a block of device pixels.
void QtTypesetSurface::setPixel(TypesetImage& image, int x, int y) {
    QImage& img = imageOf(image);
    const int x0 = device(x);
    const int y0 = device(y);
    const int x1 = std::max(x0 + 1, device(x + 1));
    const int y1 = std::max(y0 + 1, device(y + 1));
    for (int dy = std::max(y0, 0); dy < std::min(y1, img.height()); ++dy)
        for (int dx = std::max(x0, 0); dx < std::min(x1, img.width()); ++dx)
            img.setPixel(dx, dy, qRgb(0, 0, 0));
}

void QtTypesetSurface::copyImage(TypesetImage& target, const TypesetImage& source, int x, int y) {
    QImage& t = imageOf(target);
    const QImage& s = imageOf(source);
    if (t.isNull() || s.isNull()) return;
    QPainter p(&t);
    p.drawImage(QPointF(x, y), s);  // logical position; both images share the ratio
}

}  // namespace kv
