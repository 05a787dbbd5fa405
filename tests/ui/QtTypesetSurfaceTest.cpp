// The console's pictures are laid out in logical pixels and painted at the
// screen's device pixel ratio: on a 2x screen every logical pixel is a 2 x 2
// block and the text is drawn with four times the pixels, not scaled up.
#include <gtest/gtest.h>

#include <QFont>

#include "ui/QtTypesetSurface.h"

namespace kv {
namespace {

const QImage& imageOf(const TypesetImage& i) {
    return static_cast<const QtTypesetImage&>(i).image;
}

int darkPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 128;
    return n;
}

TEST(QtTypesetSurface, PaintsAtTheDevicePixelRatioWithALogicalLayout) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(13);
    int textPixels[2] = {0, 0};
    for (int r = 1; r <= 2; ++r) {
        QtTypesetSurface surface(font, r);
        auto picture = surface.newImage(40, 20);
        auto child = surface.newImage(3, 3);
        ASSERT_TRUE(picture && child);
        const QImage& img = imageOf(*picture);
        EXPECT_EQ(img.width(), 40 * r);
        EXPECT_EQ(img.height(), 20 * r);
        EXPECT_EQ(img.devicePixelRatio(), r);
        surface.drawText(*picture, 0, 0, 20, 20, "x");
        textPixels[r - 1] = darkPixels(img);
        surface.setPixel(*picture, 39, 19);
        surface.drawLine(*picture, 20, 10, 40, 10);
        surface.setPixel(*child, 2, 2);
        surface.copyImage(*picture, *child, 30, 0);
        // Each logical pixel is a whole block of device pixels.
        for (int dy = 0; dy < r; ++dy)
            for (int dx = 0; dx < r; ++dx) {
                EXPECT_LT(qGray(img.pixel(39 * r + dx, 19 * r + dy)), 128);
                EXPECT_LT(qGray(img.pixel(25 * r + dx, 10 * r + dy)), 128);
                EXPECT_LT(qGray(img.pixel(32 * r + dx, 2 * r + dy)), 128);  // the copied child
            }
        EXPECT_GT(qGray(img.pixel(25 * r, 10 * r - 1)), 128);  // the line is one logical pixel
    }
    EXPECT_GT(textPixels[1], 3 * textPixels[0]);
}

}  // namespace
}  // namespace kv
