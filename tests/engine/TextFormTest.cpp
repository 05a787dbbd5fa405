// The one-line text form: parentheses decided by the kinds of the direct
// children, function call spellings and the fixed forms of the leaves.
#include <gtest/gtest.h>

#include "engine/ExprNode.h"
#include "support/RowNames.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

struct TextRow {
    Builder tree;
    const char* expected;
    friend void PrintTo(const TextRow& r, std::ostream* os) { *os << r.expected; }
};

class TextFormTest : public ::testing::TestWithParam<TextRow> {};

TEST_P(TextFormTest, Prints) {
    FreshWorkspace env;
    EXPECT_EQ(GetParam().tree()->toText(), GetParam().expected);
}

const auto a = [] { return var("a"); };
const auto b = [] { return var("b"); };
const auto c = [] { return var("c"); };
const auto d = [] { return var("d"); };
const auto x = [] { return var("x"); };

INSTANTIATE_TEST_SUITE_P(
    Operators, TextFormTest,
    ::testing::Values(TextRow{TREE(prod(sum(a(), b()), diff(c(), d()))), "(a+b)*(c-d)"},
                      TextRow{TREE(sum(prod(a(), b()), c())), "a*b+c"},
                      TextRow{TREE(sum(a(), sum(b(), c()))), "a+b+c"},
                      TextRow{TREE(sum(a(), diff(b(), c()))), "a+b-c"},
                      TextRow{TREE(diff(a(), sum(b(), c()))), "a-(b+c)"},
                      TextRow{TREE(diff(a(), diff(b(), c()))), "a-(b-c)"},
                      TextRow{TREE(diff(diff(a(), b()), c())), "a-b-c"},
                      TextRow{TREE(diff(a(), prod(b(), c()))), "a-b*c"},
                      TextRow{TREE(quot(a(), prod(b(), c()))), "a/(b*c)"},
                      TextRow{TREE(quot(prod(a(), b()), c())), "a*b/c"},
                      TextRow{TREE(quot(a(), quot(b(), c()))), "a/(b/c)"},
                      TextRow{TREE(quot(quot(a(), b()), c())), "a/b/c"},
                      TextRow{TREE(quot(sum(a(), b()), diff(c(), d()))), "(a+b)/(c-d)"},
                      TextRow{TREE(quot(a(), power(b(), num(2)))), "a/b^2"},
                      TextRow{TREE(prod(a(), quot(b(), c()))), "a*b/c"},
                      TextRow{TREE(power(power(x(), num(2)), num(3))), "(x^2)^3"},
                      TextRow{TREE(power(x(), power(num(2), num(3)))), "x^(2^3)"},
                      TextRow{TREE(power(neg(x()), num(2))), "((-x))^2"},
                      TextRow{TREE(power(x(), neg(num(1)))), "x^(-1)"},
                      TextRow{TREE(power(quot(a(), b()), prod(c(), d()))), "(a/b)^(c*d)"},
                      TextRow{TREE(power(sum(a(), b()), diff(c(), d()))), "(a+b)^(c-d)"},
                      TextRow{TREE(power(fn(Kind::Sin, x()), num(2))), "sin(x)^2"},
                      TextRow{TREE(prod(power(num(2), x()), num(3))), "2^x*3"},
                      TextRow{TREE(neg(sum(a(), b()))), "(-(a+b))"},
                      TextRow{TREE(neg(diff(a(), b()))), "(-(a-b))"},
                      TextRow{TREE(neg(prod(a(), b()))), "(-a*b)"}, TextRow{TREE(neg(x())), "(-x)"},
                      TextRow{TREE(neg(neg(x()))), "(-(-x))"},
                      TextRow{TREE(sum(x(), neg(var("y")))), "x+(-y)"},
                      TextRow{TREE(prod(neg(x()), var("y"))), "(-x)*y"},
                      TextRow{TREE(diff(x(), num(-5))), "x--5"},
                      TextRow{TREE(prod(num(3), num(-2.5))), "3*-2.5"},
                      TextRow{TREE(power(num(-2), num(2))), "-2^2"},
                      TextRow{TREE(fn(Kind::PlusMinus, x())), "(+-)x"},
                      TextRow{TREE(fn(Kind::PlusMinus, sum(a(), b()))), "(+-)a+b"},
                      TextRow{TREE(fn(Kind::Sin, sum(a(), b()))), "sin(a+b)"},
                      TextRow{TREE(fn(Kind::Sqrt, neg(x()))), "sqrt((-x))"},
                      TextRow{TREE(logb(num(2), num(8))), "log(2, 8)"},
                      TextRow{TREE(logb(a(), prod(b(), c()))), "log(a, b*c)"}),
    rowNames(&TextRow::expected));

INSTANTIATE_TEST_SUITE_P(
    Leaves, TextFormTest,
    ::testing::Values(TextRow{TREE(zero()), "0"}, TextRow{TREE(num(0.25)), "0.25"},
                      TextRow{TREE(cnst("pi")), "pi"}, TextRow{TREE(rnd()), "rnd()"},
                      TextRow{TREE(text("Funkce přidána")), "Funkce přidána"},
                      TextRow{TREE(list()), "[]"}, TextRow{TREE(list(num(1), x())), "[1, x]"},
                      TextRow{TREE(list(list(), sum(a(), b()))), "[[], a+b]"},
                      TextRow{TREE(integral(x(), "x", num(0), num(1), num(5))),
                              "0"}),  // not evaluated yet
    rowNames(&TextRow::expected));

TEST(TextForm, FunctionsAndFixedForms) {
    FreshWorkspace env;
    const Kind kinds[] = {Kind::Sin,  Kind::Cos,  Kind::Tan,  Kind::Asin, Kind::Acos, Kind::Atan,
                          Kind::Sinh, Kind::Cosh, Kind::Tanh, Kind::Exp,  Kind::Ln,   Kind::Log,
                          Kind::Log2, Kind::Sqrt, Kind::Abs,  Kind::Sign, Kind::Fact};
    std::string calls;
    for (Kind k : kinds) calls += fn(k, x())->toText() + " ";
    EXPECT_EQ(calls,
              "sin(x) cos(x) tan(x) asin(x) acos(x) atan(x) sinh(x) cosh(x) tanh(x) exp(x) ln(x) "
              "log(x) log2(x) sqrt(x) abs(x) sign(x) fact(x) ");

    struct StubGraph : GraphIdSource {
        int graphId() const override { return 17; }
    } graph;
    EXPECT_EQ(GraphRefNode(&graph).toText(), "ID je: 17");

    // An integral prints its last value with six digits, whatever the setting.
    env.ws.ndigits = 2;
    auto last = [](double v) { return NIntegrateNode(x(), num(0), num(1), nullptr, num(5), v); };
    EXPECT_EQ(last(1.0 / 3).toText(), "0.333333");
    EXPECT_EQ(last(1234567).toText(), "1.23457e+006");
    EXPECT_EQ(last(-1e-5).toText(), "-1e-005");
}

}  // namespace
}  // namespace kv
