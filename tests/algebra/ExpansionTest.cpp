// together, expandall and expandIn: every cell of the common-denominator
// table, the expansion rules, and the limits that keep them from growing
// without bound.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
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
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.input;
}

class Rows : public ::testing::TestWithParam<Row> {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    NodePtr parse() {
        NodePtr t = ci.parseCommand(GetParam().input);
        EXPECT_FALSE(ci.hasError()) << GetParam().input;
        return t;
    }
};

class Together : public Rows {};
TEST_P(Together, CombinesOverOneFractionBar) {
    NodePtr t = parse();
    EXPECT_EQ(t->together()->toText(), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, Together,
    ::testing::Values(Row{"1/x+2/x", "(1+2)/x"},          // equal denominators
                      Row{"1/x+1/y", "(1*y+1*x)/(x*y)"},  // both quotients
                      Row{"1/x+y", "(1+y*x)/x"},          // only a
                      Row{"y+1/x", "(y*x+1)/x"},          // only b
                      Row{"1/x-2/x", "(1-2)/x"}, Row{"1/x-1/y", "(1*y-1*x)/(x*y)"},
                      Row{"1/x-y", "(1-y*x)/x"}, Row{"x-1/y", "(x*y-1)/y"},
                      Row{"(1/x)*(2/y)", "1*2/(x*y)"}, Row{"(1/x)*y", "1*y/x"},
                      Row{"y*(1/x)", "y*1/x"}, Row{"(1/x)/(2/y)", "1*y/(2*x)"},
                      Row{"(1/x)/y", "1/(y*x)"}, Row{"y/(2/x)", "y*x/2"}, Row{"x+y", "x+y"},
                      Row{"x*y", "x*y"}, Row{"x/y", "x/y"},  // neither
                      Row{"x^(-2)", "1/x^2"},                // the exponent simplifies to -k
                      Row{"x^(1-2)", "1/x^1"}, Row{"(1/x)^2", "(1/x)^2"},
                      Row{"sin(1/x+1)", "sin((1+1*x)/x)"},  // functions convert their argument
                      Row{"-(1/x)", "(-1/x)"}),
    rowNames(&Row::input));

class Expandall : public Rows {};
TEST_P(Expandall, MultipliesOutProductsOfSums) {
    NodePtr t = parse();
    EXPECT_EQ(t->expandall()->toText(), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Rules, Expandall,
    ::testing::Values(Row{"(a+b)*(c+d)", "a*c+a*d+b*c+b*d"}, Row{"(a-b)*c", "a*c+(-b*c)"},
                      Row{"(a+b)*(c+d)*(e+f)", "a*c*e+a*c*f+a*d*e+a*d*f+b*c*e+b*c*f+b*d*e+b*d*f"},
                      Row{"x*x", "x^2"}, Row{"2*3", "6"},  // a product of non-sums
                      Row{"(a+b)*c+(d+e)*f", "a*c+b*c+d*f+e*f"}, Row{"-((a+b)*c)", "(-(a*c+b*c))"},
                      Row{"(x+1)^2", "(x+1)^2"}, Row{"1/(x+1)", "1/(x+1)"},  // copied
                      Row{"sin((a+b)*c)", "sin((a+b)*c)"}),
    rowNames(&Row::input));

class ExpandIn : public Rows {};
TEST_P(ExpandIn, ExpandsWhatDependsOnTheVariable) {
    NodePtr t = parse();
    EXPECT_EQ(t->expandIn(ci.workspace().variableIndex("x"))->toText(), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Rules, ExpandIn,
    ::testing::Values(Row{"(x+1)*(x-2)", "x^2+(-2*x)+x+(-2)"},
                      Row{"(x+1)^2", "x^2+x+x+1"},  // integral powers 2 to 8
                      Row{"(x+1)^9", "(x+1)^9"}, Row{"(x+1)^0.5", "(x+1)^0.5"},
                      Row{"(x^2+x)/c", "x^2*c^(-1)+x*c^(-1)"},  // a denominator free of x
                      Row{"(x+1)/x", "(x+1)/x"},
                      Row{"(a+b)*(c+d)+x", "(a+b)*(c+d)+x"}),  // free of x: kept
    rowNames(&Row::input));

class ExpansionLimits : public ::testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    int x = ci.workspace().variableIndex("x");

    NodePtr parse(const std::string& text) {
        NodePtr t = ci.parseCommand(text);
        EXPECT_FALSE(ci.hasError()) << ci.workspace().error.message;
        return t;
    }
    double at(const ExprNode& t, double v) {
        ci.workspace().variables[static_cast<std::size_t>(x)].value = v;
        return t.evaluate();
    }
};

// x + 1/(x + 1/(x + ...)): each level doubles the common denominator. Past
// the node limit the levels stay apart, and the value is kept.
TEST_F(ExpansionLimits, ContinuedFractionsStopAtTheNodeLimit) {
    std::string text = "x";
    for (int i = 0; i < 40; ++i) text = "x+1/(" + text + ")";
    NodePtr t = parse(text);
    const std::size_t n = countNodes(*t, 1u << 30);
    NodePtr results[] = {t->together(), simpl(*t)};
    for (const NodePtr& r : results) {
        EXPECT_LE(countNodes(*r, 1u << 30), 4 * RewriteBudget(n).nodeLimit());
        EXPECT_NEAR(at(*r, 1.5), at(*t, 1.5), 1e-9);
    }
}

// A product of 40 binomials has 2^40 terms; the factors that would pass the
// limit stay unexpanded.
TEST_F(ExpansionLimits, ProductsOfManySumsStopAtTheNodeLimit) {
    std::string text = "(x+1)";
    for (int i = 2; i <= 40; ++i) text += "*(x+" + std::to_string(i) + ")";
    NodePtr t = parse(text);
    NodePtr r = t->expandall();
    EXPECT_LE(countNodes(*r, 1u << 30), 4 * RewriteBudget(countNodes(*t, 1u << 30)).nodeLimit());
    EXPECT_NEAR(at(*r, 0.3) / at(*t, 0.3), 1.0, 1e-9);
}

// Long and deep inputs finish and keep their value. The sizes are far beyond
// what an exponential rule could handle; the time bound (processor time, so
// that a busy machine does not matter) only catches such a rule.
TEST_F(ExpansionLimits, LongAndDeepInputsFinish) {
    auto chain = [](const char* op, int n) {
        std::string s = "x";
        for (int i = 1; i < n; ++i) s += std::string(op) + "x" + std::to_string(i % 50);
        return s;
    };
    std::string nested = "x";
    for (int i = 0; i < 120; ++i) nested = "sin(" + nested + ")";
    std::string exponents = "x";
    for (int i = 0; i < 80; ++i) exponents = "x^(" + exponents + ")";
    const std::string texts[] = {chain("+", 3000), chain("*", 1000), chain("-", 3000),
                                 chain("/", 600),  nested,           exponents};
    for (const std::string& text : texts) {
        NodePtr t = parse(text);
        const std::clock_t start = std::clock();
        NodePtr s = simpl(*t);
        NodePtr g = t->together();
        NodePtr e = t->expandall();
        NodePtr d = t->derivative(IdList{x});
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        EXPECT_LT(seconds, 60.0) << text.substr(0, 40);
        for (int v = 0; v < 50; ++v) {
            const int row = ci.workspace().variableIndex("x" + std::to_string(v));
            ci.workspace().variables[static_cast<std::size_t>(row)].value = 1.0 + v / 100.0;
        }
        const double expected = at(*t, 0.7);
        for (const ExprNode* r : {s.get(), g.get(), e.get()})
            EXPECT_NEAR(at(*r, 0.7), expected, 1e-9 * std::max(1.0, std::fabs(expected)))
                << text.substr(0, 40);
    }
}

}  // namespace
}  // namespace kv
