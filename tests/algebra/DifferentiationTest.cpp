// The derivative of every node kind, the power rule's branches, the entries
// along several variables, and the limits that keep a derivative finite.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "engine/TreeRebuild.h"
#include "lang/CommandInterpreter.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct Row {
    const char* input;
    const char* expected;  // d/dx, simplified
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.input;
}

class Derivatives : public ::testing::TestWithParam<Row> {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    int x = ci.workspace().variableIndex("x");
};

TEST_P(Derivatives, FollowTheRuleOfTheirKind) {
    NodePtr t = ci.parseCommand(GetParam().input);
    ASSERT_FALSE(ci.hasError());
    const std::string before = t->toText();
    NodePtr d = t->derivative(IdList{x});
    EXPECT_EQ(d->toText(), GetParam().expected);
    EXPECT_EQ(t->toText(), before) << "the input was changed";
}

INSTANTIATE_TEST_SUITE_P(Leaves, Derivatives,
                         ::testing::Values(Row{"5", "0"}, Row{"pi", "0"}, Row{"x", "1"},
                                           Row{"y", "0"}, Row{"rnd()", "0"}, Row{"sign(x)", "0"},
                                           Row{"fact(x)",
                                               "0"}),  // a step function: 0 wherever it has a slope
                         rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(Operators, Derivatives,
                         ::testing::Values(Row{"x+y", "1"}, Row{"x+x^2", "1+2*x"},
                                           Row{"y-x", "(-1)"}, Row{"x^2-x", "2*x-1"},
                                           Row{"x*y", "y"}, Row{"y*x^2", "2*y*x"},
                                           Row{"x*sin(x)", "sin(x)+x*cos(x)"}, Row{"x/y", "1/y"},
                                           Row{"y/x", "(-y/x^2)"}, Row{"x/(x+1)", "1/(x+1)^2"},
                                           Row{"-x^3", "(-3*x^2)"}),
                         rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(Powers, Derivatives,
                         ::testing::Values(Row{"x^0", "0"},  // exactly 0: no tree
                                           Row{"x^1", "1"},  // exactly 1: u'
                                           Row{"(x^2)^1", "2*x"},
                                           Row{"x^3", "3*x^2"},      // constant exponent
                                           Row{"x^y", "y*x^(y-1)"},  // free of x, not constant
                                           Row{"2^x", "2^x*ln(2)"},  // only the exponent depends
                                           Row{"x^x", "x^x*(ln(x)+1)"}),  // both depend
                         rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(Functions, Derivatives,
                         ::testing::Values(Row{"sin(x)", "cos(x)"},
                                           Row{"cos(2*x)", "(-2*sin(2*x))"},
                                           Row{"exp(x^2)", "2*x*exp(x^2)"}, Row{"ln(x)", "1/x"},
                                           Row{"ln(x^2+1)", "2*x/(x^2+1)"},
                                           Row{"sqrt(x)", "1/(2*x^0.5)"}, Row{"sinh(x)", "cosh(x)"},
                                           Row{"abs(x)", "sign(x)"},
                                           Row{"asin(x)", "1/(1-x^2)^0.5"},
                                           Row{"acos(x)", "(-1/(1-x^2)^0.5)"}, Row{"sin(y)", "0"}),
                         rowNames(&Row::input));

class Differentiation : public ::testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    int x = ci.workspace().variableIndex("x");
    int y = ci.workspace().variableIndex("y");

    NodePtr parse(const char* text) { return ci.parseCommand(text); }
    void set(int row, double v) {
        ci.workspace().variables[static_cast<std::size_t>(row)].value = v;
    }
};

// cosh, atan, tan, tanh, log, log2 and log with a base, checked by value
// against the derivatives they must equal.
TEST_F(Differentiation, FunctionsAgreeWithTheirDerivativesByValue) {
    struct Case {
        NodePtr tree;
        double (*expected)(double);
    };
    auto arg = [&] {
        return makeBinary(Kind::Power, std::make_unique<VariableNode>(x), number(2));
    };
    Case cases[] = {
        {makeFunction(Kind::Cosh, arg()), [](double v) { return 2 * v * std::sinh(v * v); }},
        {makeFunction(Kind::Atan, arg()), [](double v) { return 2 * v / (1 + v * v * v * v); }},
        {makeFunction(Kind::Tan, arg()),
         [](double v) { return 2 * v / (std::cos(v * v) * std::cos(v * v)); }},
        {makeFunction(Kind::Tanh, arg()),
         [](double v) { return 2 * v / (std::cosh(v * v) * std::cosh(v * v)); }},
        {makeFunction(Kind::Log, arg()), [](double v) { return 2 / (v * std::log(10.0)); }},
        {makeFunction(Kind::Log2, arg()), [](double v) { return 2 / (v * std::log(2.0)); }},
        {std::make_unique<LogBaseNode>(arg(), number(3)),
         [](double v) { return 2 / (v * std::log(3.0)); }},
    };
    for (Case& c : cases) {
        NodePtr d = c.tree->derivative(IdList{x});
        for (double v : {0.7, 1.3, 2.0}) {
            set(x, v);
            EXPECT_NEAR(d->evaluate(), c.expected(v), 1e-12) << d->toText() << " at " << v;
        }
    }
}

// A constant base of a logarithm is taken as the number it is worth, one
// with other variables stays as it is (their values at the time of
// differentiation say nothing), and one with the variable differentiates as
// ln(u)/ln(b).
TEST_F(Differentiation, LogarithmsWithABase) {
    LogBaseNode fixed(parse("x^2*y"), parse("y+1"));
    set(y, 1.0);
    NodePtr d = fixed.derivative(IdList{x});
    set(x, 5.0);
    set(y, 7.0);
    // 2xy / (ln(8) x^2 y)
    EXPECT_NEAR(d->evaluate(), 2 / (5.0 * std::log(8.0)), 1e-12) << d->toText();
    LogBaseNode constant(parse("x"), parse("2^3"));
    EXPECT_EQ(constant.derivative(IdList{x})->toText(), "1/(ln(8)*x)");

    LogBaseNode variable(number(8), parse("x"));  // log(x, 8) = ln(8)/ln(x)
    NodePtr dv = variable.derivative(IdList{x});
    set(x, 3.0);
    EXPECT_NEAR(dv->evaluate(), -std::log(8.0) / (3.0 * std::pow(std::log(3.0), 2)), 1e-12)
        << dv->toText();
}

// (+-)u is u with a sign left open: its derivative is (+-)u'.
TEST_F(Differentiation, PlusMinusKeepsItsSign) {
    PlusMinusNode pm(parse("x^2"));
    EXPECT_EQ(pm.derivative(IdList{x})->toText(), "(+-)2*x");
    PlusMinusNode constant(parse("y"));
    EXPECT_EQ(constant.derivative(IdList{x})->toText(), "0");
}

TEST_F(Differentiation, ListsDifferentiateElementByElement) {
    std::vector<NodePtr> items;
    items.push_back(parse("x^2"));
    items.push_back(parse("y"));
    items.push_back(parse("sin(x)"));
    ListNode list(std::move(items));
    EXPECT_EQ(list.derivative(IdList{x})->toText(), "[2*x, 0, cos(x)]");
}

// d/dx of nintegrate(f, t, a..b): f(b)*b' - f(a)*a' + the integral of df/dx.
TEST_F(Differentiation, NumericIntegralsFollowTheirBoundsAndIntegrand) {
    const int t = ci.workspace().variableIndex("t");
    auto integral = [&](NodePtr f, NodePtr lo, NodePtr hi) {
        return std::make_unique<NIntegrateNode>(std::move(f), std::move(lo), std::move(hi),
                                                std::make_unique<VariableNode>(t), number(50));
    };
    // d/dx of the integral of t*x over [0, x^2] is x^2*x*2x + the integral of t over [0, x^2]
    // = 2x^4 + x^4/2.
    NodePtr f = integral(parse("t*x"), number(0), parse("x^2"));
    NodePtr d = f->derivative(IdList{x});
    set(x, 1.5);
    EXPECT_NEAR(d->evaluate(), 2.5 * std::pow(1.5, 4), 1e-9) << d->toText();
    // The integration variable is bound: along t only the bounds count.
    NodePtr g = integral(parse("t"), number(0), number(1));
    EXPECT_EQ(g->derivative(IdList{t})->toText(), "0");
}

TEST_F(Differentiation, AlongAListAndRepeated) {
    NodePtr f = parse("x^3*y^2");
    EXPECT_EQ(derivativeAlong(*f, IdList{x, y})->toText(), "6*x^2*y");
    EXPECT_EQ(derivativeAlong(*f, IdList{})->toText(), f->toText());
    EXPECT_EQ(nthDerivative(2, *parse("x^3"), IdList{x})->toText(), "6*x");
    // derivative itself takes a longer list one variable after the other.
    EXPECT_EQ(f->derivative(IdList{y, x})->toText(), "6*x^2*y");
}

// A counter-example of the random test: d/dx (x/y)^0.5 must keep its sign
// where x and y are both negative (x^0.5*y^0.5 may not become (x*y)^0.5).
TEST_F(Differentiation, SquareRootOfARatioOfNegatives) {
    NodePtr d = parse("(x/y)^0.5")->derivative(IdList{x});
    set(x, -2.0);
    set(y, -3.0);
    const double v = d->evaluate();
    EXPECT_TRUE(std::isnan(v) || std::fabs(v - 0.5 / std::sqrt(2.0 / 3.0) / -3.0) < 1e-12)
        << d->toText() << " = " << v;
}

// The derivative of sin(x+1)*sin(x+2)*...*sin(x+n) has n terms of n factors:
// it grows with the square of the length. Past the result limit it stops,
// and the budget of its scope tells so. (The limit is lowered here so that
// the test stays quick.)
TEST_F(Differentiation, ATooLargeDerivativeIsReported) {
    std::string chain = "sin(x+1)";
    for (int i = 2; i <= 200; ++i) chain += "*sin(x+" + std::to_string(i) + ")";
    NodePtr t = parse(chain.c_str());
    ASSERT_FALSE(ci.hasError());
    RewriteBudget::Scope budget(*t, RewriteBudget::Scope::Mode::Derivative);
    RewriteBudget::current()->setResultLimit(5000);
    NodePtr d = t->derivative(IdList{x});
    EXPECT_TRUE(RewriteBudget::current()->overflowed());
    EXPECT_LE(countNodes(*d, 1u << 30), 5000u);

    // A derivative of ordinary size is not affected.
    RewriteBudget::Scope fresh(*t, RewriteBudget::Scope::Mode::Fresh);
    RewriteBudget::Scope other(*t, RewriteBudget::Scope::Mode::Derivative);
    EXPECT_EQ(parse("x^2")->derivative(IdList{x})->toText(), "2*x");
    EXPECT_FALSE(RewriteBudget::current()->overflowed());
}

}  // namespace
}  // namespace kv
