// The LaTeX form: the structures a paper needs, parentheses where the
// picture has them, and the leaves LaTeX would misread if copied as text.
#include <gtest/gtest.h>

#include "engine/ExprNode.h"
#include "support/RowNames.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

struct LatexRow {
    Builder tree;
    const char* expected;
    friend void PrintTo(const LatexRow& r, std::ostream* os) { *os << r.expected; }
};

class LatexFormTest : public ::testing::TestWithParam<LatexRow> {};

TEST_P(LatexFormTest, Prints) {
    FreshWorkspace env;
    EXPECT_EQ(GetParam().tree()->toLatex(), GetParam().expected);
}

const auto a = [] { return var("a"); };
const auto b = [] { return var("b"); };
const auto x = [] { return var("x"); };

INSTANTIATE_TEST_SUITE_P(
    Forms, LatexFormTest,
    ::testing::Values(
        LatexRow{TREE(quot(fn(Kind::Sqrt, sum(power(x(), num(2)), num(1))), diff(x(), num(1)))),
                 "\\frac{\\sqrt{x^{2}+1}}{x-1}"},
        LatexRow{TREE(prod(sum(a(), b()), neg(x()))),
                 "\\left(a+b\\right) \\cdot \\left(-x\\right)"},
        LatexRow{TREE(diff(a(), sum(b(), x()))), "a-\\left(b+x\\right)"},
        LatexRow{TREE(diff(x(), num(-5))), "x-\\left(-5\\right)"},
        LatexRow{TREE(power(num(-2), num(2))), "\\left(-2\\right)^{2}"},
        LatexRow{TREE(power(power(x(), num(2)), quot(a(), b()))),
                 "\\left(x^{2}\\right)^{\\frac{a}{b}}"},
        LatexRow{TREE(power(fn(Kind::Sin, x()), num(2))), "\\sin\\left(x\\right)^{2}"},
        LatexRow{TREE(fn(Kind::Abs, diff(x(), cnst("pi")))), "\\left|x-\\pi\\right|"},
        LatexRow{TREE(logb(num(2), x())), "\\log_{2}\\left(x\\right)"},
        LatexRow{TREE(fn(Kind::Atan, x())), "\\arctan\\left(x\\right)"},
        LatexRow{TREE(fn(Kind::Fact, num(5))), "5!"},
        LatexRow{TREE(fn(Kind::Fact, sum(a(), b()))), "\\left(a+b\\right)!"},
        LatexRow{TREE(fn(Kind::PlusMinus, sum(a(), b()))), "\\pm \\left(a+b\\right)"},
        LatexRow{TREE(list(num(1), var("alpha"), var("xy"))),
                 "\\left[1, \\alpha, \\mathit{xy}\\right]"},
        LatexRow{TREE(cnst("c_light")), "\\mathrm{c\\_light}"},
        LatexRow{TREE(num(2.5e-7)), "2.5 \\cdot 10^{-7}"}, LatexRow{TREE(num(1e20)), "10^{20}"},
        LatexRow{TREE(text("50% {x_1}")), "\\text{50\\% \\{x\\_1\\}}"}),
    rowNames(&LatexRow::expected));

}  // namespace
}  // namespace kv
