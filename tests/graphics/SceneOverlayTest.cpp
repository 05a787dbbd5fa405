// The overlay as data: which axes a box shows, its edge colours, and the
// label texts and places.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "graphics/SceneOverlay.h"

namespace kv {
namespace {

struct AxisRow {
    BoundingBox box;
    bool x, y, z;
};

class AxisConditions : public ::testing::TestWithParam<AxisRow> {};

TEST_P(AxisConditions, AxesShowWhereTheBoxStraddlesTheOrigin) {
    const AxisRow& row = GetParam();
    bool x = false, y = false, z = false;
    // Each axis in its colour, through the origin, across the box.
    const BoundingBox& b = row.box;
    for (const OverlayLine& a : axisLines(b)) {
        if (a.color.r == 0.8f) {
            x = true;
            EXPECT_TRUE(a.from.x == b.xmin && a.to.x == b.xmax && a.from.y == 0 && a.to.y == 0 &&
                        a.from.z == 0 && a.to.z == 0);
        } else if (a.color.g == 0.8f) {
            y = true;
            EXPECT_TRUE(a.from.y == b.ymin && a.to.y == b.ymax && a.from.x == 0 && a.to.x == 0 &&
                        a.from.z == 0 && a.to.z == 0);
        } else if (a.color.b == 0.8f) {
            z = true;
            EXPECT_TRUE(a.from.z == b.zmin && a.to.z == b.zmax && a.from.x == 0 && a.to.x == 0 &&
                        a.from.y == 0 && a.to.y == 0);
        }
    }
    EXPECT_EQ(x, row.x);
    EXPECT_EQ(y, row.y);
    EXPECT_EQ(z, row.z);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, AxisConditions,
    ::testing::Values(
        // xmin xmax ymin ymax zmin zmax -> x y z
        AxisRow{{-1, 1, -1, 1, -1, 1}, true, true, true},
        AxisRow{{-1, 1, -1, 1, 0, 0}, true, true, true},    // flat: z from 0 to 0
        AxisRow{{-1, 1, 0, 2, 0, 0}, false, true, false},   // ymin = 0 hides x and z
        AxisRow{{-1, 1, -1, 1, 1, 2}, false, false, true},  // lifted off z = 0
        AxisRow{{-1, 1, -1, 1, 0, 2}, true, true, true},    // zmin = 0 suffices
        AxisRow{{-1, 1, -1, 1, -2, 0}, true, true, true},   // signs -1 and 0 differ
        AxisRow{{1, 2, -1, 1, 0, 0}, true, false, false},   // all of x positive
        AxisRow{{0, 2, -1, 1, 0, 0}, true, false, false},   // xmin = 0
        AxisRow{{-2, -1, -3, -1, -1, 1}, false, false, false}));

TEST(SceneOverlay, BoxEdgesAreColouredByAxisFromTheMinimumCorner) {
    const BoundingBox b{-1, 2, -3, 4, -5, 6};
    const std::vector<OverlayLine> edges = boxEdges(b);
    ASSERT_EQ(edges.size(), 12u);
    int coloured = 0, grey = 0;
    for (const OverlayLine& e : edges) {
        const bool fromMin = (e.from.x == -1 && e.from.y == -3 && e.from.z == -5);
        // Each edge runs along exactly one axis, between two corners.
        const int along = (e.from.x != e.to.x) + (e.from.y != e.to.y) + (e.from.z != e.to.z);
        EXPECT_EQ(along, 1);
        if (fromMin) {
            ++coloured;
            EXPECT_FLOAT_EQ(e.color.a, 0.7f);
            EXPECT_FLOAT_EQ(e.color.r, e.from.x != e.to.x ? 0.8f : 0.0f);
            EXPECT_FLOAT_EQ(e.color.g, e.from.y != e.to.y ? 0.8f : 0.0f);
            EXPECT_FLOAT_EQ(e.color.b, e.from.z != e.to.z ? 0.8f : 0.0f);
        } else {
            ++grey;
            EXPECT_FLOAT_EQ(e.color.a, 0.4f);
            EXPECT_FLOAT_EQ(e.color.r, 0.8f);
            EXPECT_FLOAT_EQ(e.color.g, 0.8f);
            EXPECT_FLOAT_EQ(e.color.b, 0.8f);
        }
    }
    EXPECT_EQ(coloured, 3);
    EXPECT_EQ(grey, 9);
}

std::vector<std::string> texts(const std::vector<OverlayLabel>& labels) {
    std::vector<std::string> out;
    for (const OverlayLabel& l : labels) out.push_back(l.text);
    return out;
}

TEST(SceneOverlay, FlatBoxInThePlaneGetsTwoDimensionalCorners) {
    const auto labels = boxLabels({-1, 6, 0, 1234.5f, 0, 0});
    EXPECT_EQ(texts(labels), (std::vector<std::string>{"X", "Y", "[-1, 0]", "[-1, 1.23e+03]",
                                                       "[6, 0]", "[6, 1.23e+03]"}));
    // "X" below the middle of the bottom edge, "Y" left of the middle of the
    // left edge; corners 0.2 to the left and 0.2 outside in y.
    EXPECT_FLOAT_EQ(labels[0].at.x, 2.5f);
    EXPECT_FLOAT_EQ(labels[0].at.y, -0.2f);
    EXPECT_FLOAT_EQ(labels[1].at.x, -1.2f);
    EXPECT_FLOAT_EQ(labels[1].at.y, 617.25f);
    EXPECT_FLOAT_EQ(labels[2].at.x, -1.2f);
    EXPECT_FLOAT_EQ(labels[2].at.y, -0.2f);
    EXPECT_FLOAT_EQ(labels[5].at.x, 5.8f);
    EXPECT_FLOAT_EQ(labels[5].at.y, 1234.7f);
    for (const OverlayLabel& l : labels) EXPECT_EQ(l.at.z, 0.0f);
    EXPECT_FLOAT_EQ(labels[0].color.r, 0.8f);
    EXPECT_FLOAT_EQ(labels[1].color.g, 0.8f);
    EXPECT_FLOAT_EQ(labels[2].color.r + labels[2].color.g + labels[2].color.b, 0.0f);
}

TEST(SceneOverlay, BoxWithDepthGetsEightCornersAndThreeNames) {
    const auto labels = boxLabels({0, 1, 0, 2, -0.5f, 0.25f});
    ASSERT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels[2].text, "Z");
    EXPECT_FLOAT_EQ(labels[2].at.z, -0.5f + 0.375f);
    EXPECT_EQ(labels[3].text, "[0, 0, -0.5]");
    EXPECT_FLOAT_EQ(labels[3].at.x, -0.2f);
    EXPECT_FLOAT_EQ(labels[3].at.y, -0.2f);
    EXPECT_FLOAT_EQ(labels[3].at.z, -0.7f);
    EXPECT_EQ(labels[10].text, "[1, 2, 0.25]");
    EXPECT_FLOAT_EQ(labels[10].at.x, 0.8f);
    EXPECT_FLOAT_EQ(labels[10].at.y, 2.2f);
    EXPECT_FLOAT_EQ(labels[10].at.z, 0.45f);
    // A flat box lifted off z = 0 is labelled in three dimensions too.
    EXPECT_EQ(boxLabels({0, 1, 0, 1, 3, 3}).size(), 11u);
}

TEST(SceneOverlay, BoxWithoutWidthOrHeightHasNoLabels) {
    EXPECT_TRUE(boxLabels({0, 0, -1, 1, 0, 0}).empty());  // the line x = 0
    EXPECT_TRUE(boxLabels({-1, 1, 2, 2, -1, 1}).empty());
    EXPECT_TRUE(boxLabels({}).empty());
}

TEST(SceneOverlay, CornerNumbersIgnoreTheLocale) {
    // A decimal-comma locale, when the system has one.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool comma = std::setlocale(LC_ALL, "cs_CZ.UTF-8") != nullptr;
    EXPECT_EQ(cornerText(0.5f, -2.25f), "[0.5, -2.25]");
    EXPECT_EQ(cornerText(1e-5f, 123456.0f, -0.0f), "[1e-05, 1.23e+05, -0]");
    EXPECT_EQ(cornerText(3.14159f, 100.0f), "[3.14, 100]");
    std::setlocale(LC_ALL, previous.c_str());
    if (!comma) GTEST_SKIP() << "no decimal-comma locale installed; checked in the C locale only";
}

TEST(SceneOverlay, BlackLabelsTurnWhiteOnlyOverADarkBackground) {
    const OverlayColor black{0.0f, 0.0f, 0.0f, 1.0f};
    const OverlayColor red{0.8f, 0.0f, 0.0f, 1.0f};
    struct {
        const char* name;
        float r, g, b;
        OverlayColor label;
        float expectedRed;
    } rows[] = {
        {"white", 1.0f, 1.0f, 1.0f, black, 0.0f},
        {"dark blue", 0.0f, 0.0f, 0.15f, black, 1.0f},
        {"pure blue is dark", 0.0f, 0.0f, 1.0f, black, 1.0f},
        {"yellow is light", 1.0f, 1.0f, 0.0f, black, 0.0f},
        {"axis names keep their colour", 0.0f, 0.0f, 0.0f, red, 0.8f},
    };
    for (const auto& row : rows) {
        const OverlayColor c = readableOn(row.label, row.r, row.g, row.b);
        EXPECT_EQ(c.r, row.expectedRed) << row.name;
        EXPECT_EQ(c.r == 1.0f, c.g == 1.0f && c.b == 1.0f) << row.name;
        EXPECT_EQ(c.a, 1.0f) << row.name;
    }
}

}  // namespace
}  // namespace kv
