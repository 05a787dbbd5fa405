#include <gtest/gtest.h>

#include "engine/Typeset.h"
#include "lang/CommandInterpreter.h"
#include "support/RecordingSurface.h"

namespace kv {
namespace {

using test::grid;
using test::RecordingSurface;

class TypesetTest : public testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    RecordingSurface s;  // 7-pixel characters, text 16 pixels high

    TypesetBox box(const std::string& text) {
        NodePtr t = ci.parseCommand(text);
        EXPECT_FALSE(ci.hasError()) << text;
        return t->typeset(s);
    }
};

TEST_F(TypesetTest, TextBoxIsTheTextExtent) {
    TypesetBox b = box("abc");
    EXPECT_EQ(b.width, 21);
    EXPECT_EQ(b.height, 16);
    EXPECT_EQ(b.axis, 8);
}

TEST_F(TypesetTest, FractionBarSpansBothPartsPlusSix) {
    TypesetBox b = box("1/22");
    EXPECT_EQ(b.width, 14 + 6);
    EXPECT_EQ(b.height, 16 + 16 + 3);
    EXPECT_EQ(b.axis, 17);  // the bar row: numerator height + 1
    for (int x = 0; x < b.width; ++x) EXPECT_TRUE(grid(b).at(x, 17)) << x;
    EXPECT_FALSE(grid(b).at(0, 16));
}

TEST_F(TypesetTest, SquareRootSizes) {
    struct Row {
        const char* text;
        int a;  // min(H / 3, 10) with H = operand height + 2
    };
    for (Row r : {Row{"sqrt(x)", 6}, Row{"sqrt(1/x)", 10}}) {
        NodePtr t = ci.parseCommand(r.text);
        TypesetBox inner = operandOf(*t).typeset(s);
        TypesetBox b = t->typeset(s);
        EXPECT_EQ(b.height, inner.height + 2) << r.text;
        EXPECT_EQ(b.width, inner.width + r.a + 6) << r.text;
        EXPECT_EQ(b.axis, inner.axis + 2) << r.text;
        EXPECT_TRUE(grid(b).at(b.width - 1 - 0, 0) || grid(b).at(b.width - 2, 0)) << r.text;
    }
}

TEST_F(TypesetTest, ParenthesesBlankBelowTwelvePixels) {
    s.size = 8;  // text 11 pixels high
    TypesetBox small = parenthesize(s, textBox(s, "x"));
    EXPECT_EQ(small.width, s.charWidth() + 10);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_FALSE(grid(small).at(x, y)) << x << "," << y;
    s.size = 13;  // 16 pixels: the curve is drawn
    TypesetBox big = parenthesize(s, textBox(s, "x"));
    EXPECT_TRUE(grid(big).at(3, 0));
    EXPECT_TRUE(grid(big).at(0, 6));
    EXPECT_TRUE(grid(big).at(3, big.height - 1));
    EXPECT_TRUE(grid(big).at(0, 8));  // the straight part
    EXPECT_TRUE(grid(big).at(big.width - 5 + 1, 0));
    EXPECT_TRUE(grid(big).at(big.width - 1, 6));
}

TEST_F(TypesetTest, PowerRaisesASmallerExponent) {
    TypesetBox b = box("x^2");
    // Exponent font 13/1.15 -> 11: text 14 high, 5 wide; raise = ceil(16/1.5) = 11.
    const int d = 14 - 11;
    EXPECT_EQ(b.width, 7 + 5 + 2);
    EXPECT_EQ(b.height, d + 16);
    EXPECT_EQ(b.axis, 8 + d);
    EXPECT_EQ(s.size, 13) << "the font is restored";
}

TEST_F(TypesetTest, NestedExponentsShrinkAgain) {
    TypesetBox flat = box("x^2");
    TypesetBox nested = box("x^(2^3)");
    EXPECT_GT(nested.height, flat.height);
    EXPECT_EQ(s.size, 13);
}

TEST_F(TypesetTest, LeftPowerBaseIsParenthesized) {
    TypesetBox b = box("x^2^3");  // (x^2)^3
    TypesetBox inner = box("x^2");
    EXPECT_GE(b.width, inner.width + 10);
}

TEST_F(TypesetTest, LargeNumberShowsAsPowerOfTen) {
    TypesetBox b = box("1e20");  // 10 with a raised 20
    TypesetBox ten = textBox(s, "10");
    EXPECT_EQ(b.width, ten.width + 2 * 5 + 2);
    EXPECT_GT(b.height, 16);
    // 2.5e-7 as 2.5 * 10^-7: mantissa, dot cell, power. (Typed as a command,
    // 2.5e-7 would be the difference 2.5e-7 of the language, so build it.)
    TypesetBox scaled = NumberNode(2.5e-7).typeset(s);
    EXPECT_EQ(scaled.width, 21 + 5 + ten.width + 2 * 5 + 2);
}

TEST_F(TypesetTest, OperatorsAndSigns) {
    struct Row {
        const char* text;
        int width;
    } rows[] = {
        {"a+b", 7 + (7 + 3) + 7},
        {"a-b", 7 + (7 + 2) + 7},
        {"a*b", 7 + 5 + 7},
        {"a-(b+c)", 7 + 9 + (7 + 10 + 7 + 10)},  // right side keeps its parentheses
        {"-x", 7 + 7 - 1},
        {"abs(x)", 7 + 6},
    };
    for (const Row& r : rows) EXPECT_EQ(box(r.text).width, r.width) << r.text;
}

TEST_F(TypesetTest, FunctionsAndLists) {
    TypesetBox sinx = box("sin(x)");
    EXPECT_EQ(sinx.width, 21 + 2 + 7 + 10);
    EXPECT_EQ(box("tan(x)").width, sinx.width);
    EXPECT_EQ(argumentRow(s, {}).height, 12);
    ListNode empty;
    TypesetBox brackets = empty.typeset(s);
    EXPECT_EQ(brackets.width, 7 + 10);  // a blank between square brackets
    EXPECT_TRUE(grid(brackets).at(0, 0));
    EXPECT_TRUE(grid(brackets).at(3, 0));
    EXPECT_FALSE(grid(brackets).at(4, 0));  // a line excludes its end point
}

TEST_F(TypesetTest, PiIsTheGreekLetter) {
    TypesetBox b = box("pi");
    EXPECT_EQ(b.width, 7);  // one character
    EXPECT_EQ(b.axis, 16 / 2 + 1);
}

}  // namespace
}  // namespace kv
