#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "algebra/Solving.h"
#include "lang/CommandInterpreter.h"
#include "support/InterpreterFixture.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

class RootsTest : public test::InterpreterFixture {
  protected:
    // The values of the solutions `solve` prints, sorted.
    std::vector<double> solveValues(const std::string& equation) {
        NodePtr list = parse("solve(" + equation + ", x)");
        EXPECT_EQ(list->kind(), Kind::List) << equation;
        std::vector<double> values;
        if (list->kind() != Kind::List) return values;
        for (const NodePtr& e : as<ListNode>(*list).elements) {
            EXPECT_TRUE(e->isConstant()) << equation << ": " << e->toText();
            values.push_back(e->evaluate());
        }
        std::sort(values.begin(), values.end());
        return values;
    }

    // The value of f at x = v.
    double at(const ExprNode& f, double v) {
        ci.workspace().variables[static_cast<std::size_t>(x())].value = v;
        return f.evaluate();
    }
};

struct SolveRow {
    const char* equation;
    std::vector<double> roots;  // sorted
};

class SolveRowTest : public RootsTest, public testing::WithParamInterface<SolveRow> {};

TEST_P(SolveRowTest, Solutions) {
    const SolveRow& row = GetParam();
    std::vector<double> found = solveValues(row.equation);
    ASSERT_EQ(found.size(), row.roots.size()) << row.equation;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (std::isinf(row.roots[i]))
            EXPECT_EQ(found[i], row.roots[i]) << row.equation;
        else
            EXPECT_NEAR(found[i], row.roots[i], 1e-9 * std::max(1.0, std::fabs(row.roots[i])))
                << row.equation;
    }
}

const double kInf = HUGE_VAL;

INSTANTIATE_TEST_SUITE_P(
    Rows, SolveRowTest,
    testing::Values(
        // Every value, no value, the node kinds.
        SolveRow{"0", {kInf}}, SolveRow{"5", {}}, SolveRow{"x-x", {kInf}},
        SolveRow{"x*(x-1)", {0, 1}}, SolveRow{"x*x", {0}}, SolveRow{"(x-1)/(x-1)", {}},
        SolveRow{"(x-1)/(x+2)", {1}}, SolveRow{"ln(x)", {1}}, SolveRow{"sin(x)", {}},
        SolveRow{"-(x-4)", {4}}, SolveRow{"(x-3)^2", {3}}, SolveRow{"(x-3)^(-1)", {}},
        SolveRow{"2^x", {}}, SolveRow{"0*x", {kInf}}, SolveRow{"x*ln(x)", {1}},
        // Polynomials of degree 1 to 3.
        SolveRow{"2*x-3", {1.5}}, SolveRow{"x^2+1", {}}, SolveRow{"x^2-2*x+1", {1}},
        SolveRow{"x^2-2", {-std::sqrt(2.0), std::sqrt(2.0)}}, SolveRow{"x*(x-1)=0", {0, 1}},
        SolveRow{"x^2=5*x-6", {2, 3}}, SolveRow{"x^3-x", {-1, 0, 1}},
        SolveRow{"x^3-6*x^2+11*x-6", {1, 2, 3}}, SolveRow{"x^3+x+1", {-0.6823278038280193}},
        SolveRow{"x^3-3*x+2", {-2, 1}}, SolveRow{"x^3", {0}}, SolveRow{"(x-1)^3", {1}},
        SolveRow{"x^3-3*x+1", {-1.8793852415718169, 0.34729635533386066, 1.532088886237956}},
        // Atoms other than x, fractional and reducible degrees.
        SolveRow{"x-3*sqrt(x)+2", {1, 4}}, SolveRow{"x^(1/3)-2", {8}}, SolveRow{"sqrt(x)+1", {}},
        SolveRow{"x^4-5*x^2+4", {-2, -1, 1, 2}},
        SolveRow{"ln(x)^2-1", {std::exp(-1.0), std::exp(1.0)}}, SolveRow{"x+1/x-2", {1}},
        SolveRow{"exp(x)-1", {0}}, SolveRow{"sqrt(x)-3", {9}},
        // Degrees that depend on x, through logarithms of two terms.
        // Coefficients whose formulas overflow; roots outside the domain;
        // the root of a square root.
        SolveRow{"x^3-1e300", {1e100}}, SolveRow{"x^2+1e300*x+1", {-1e300, -1e-300}},
        SolveRow{"(x^(-2)*x^0.5)^2-2*x", {std::pow(2.0, -0.25)}}, SolveRow{"sqrt(x)", {0}},
        SolveRow{"2^x-8", {3}}, SolveRow{"3*2^x=24", {3}}, SolveRow{"2^x+8", {}},
        SolveRow{"exp(2*x)=5", {std::log(5.0) / 2}}, SolveRow{"2^x-3^x", {0}}),
    rowNames(&SolveRow::equation));

TEST_F(RootsTest, SymbolicCoefficients) {
    NodePtr linear = parse("solve(a*x+b, x)");
    ASSERT_EQ(as<ListNode>(*linear).elements.size(), 1u);
    // Check the root by value at a = 2, b = 3.
    ci.workspace().variables[static_cast<std::size_t>(ci.workspace().variableIndex("a"))].value = 2;
    ci.workspace().variables[static_cast<std::size_t>(ci.workspace().variableIndex("b"))].value = 3;
    EXPECT_DOUBLE_EQ(as<ListNode>(*linear).elements[0]->evaluate(), -1.5);

    NodePtr quadratic = parse("solve(x^2-y, x)");
    ASSERT_EQ(as<ListNode>(*quadratic).elements.size(), 2u);
    ci.workspace().variables[static_cast<std::size_t>(ci.workspace().variableIndex("y"))].value = 9;
    std::vector<double> v{as<ListNode>(*quadratic).elements[0]->evaluate(),
                          as<ListNode>(*quadratic).elements[1]->evaluate()};
    std::sort(v.begin(), v.end());
    EXPECT_DOUBLE_EQ(v[0], -3);
    EXPECT_DOUBLE_EQ(v[1], 3);
}

TEST_F(RootsTest, ExactFormsStayExact) {
    NodePtr r = parse("solve(x^2-2, x)");
    for (const NodePtr& e : as<ListNode>(*r).elements)
        EXPECT_NE(e->kind(), Kind::Number) << e->toText();
    NodePtr third = parse("solve(2*x-1, x)");
    EXPECT_EQ(as<ListNode>(*third).elements[0]->toText(), "1/2");
}

// ---- The node operations that read a polynomial off a term -------------------------

struct TermRow {
    const char* term;
    const char* coefficient;
    const char* factor;
    const char* degree;
};

class TermRowTest : public RootsTest, public testing::WithParamInterface<TermRow> {};

TEST_P(TermRowTest, Splits) {
    const TermRow& row = GetParam();
    NodePtr t = parse(row.term);
    EXPECT_EQ(t->coefficientIn(x())->toText(), row.coefficient) << row.term;
    EXPECT_EQ(t->dependentFactorIn(x())->toText(), row.factor) << row.term;
    EXPECT_EQ(t->degreeIn(x())->toText(), row.degree) << row.term;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TermRowTest,
    testing::Values(TermRow{"3*x^2", "3", "x^2", "2"}, TermRow{"x", "1", "x", "1"},
                    TermRow{"y*5", "y*5", "1", "0"}, TermRow{"-(2*x)", "(-2)", "x", "1"},
                    TermRow{"x/4", "1/4", "x", "1"}, TermRow{"(2*x)^3", "2^3", "x^3", "3"},
                    TermRow{"a*sqrt(x)", "a", "sqrt(x)", "0.5"},
                    TermRow{"x*x^2", "1", "x*x^2", "3"}, TermRow{"2/x", "2", "1/x", "-1"},
                    TermRow{"3*2^x", "3", "2^x", "x"}, TermRow{"exp(2*x)", "1", "exp(2*x)", "2*x"},
                    TermRow{"7*ln(x)", "7", "ln(x)", "1"}),
    rowNames(&TermRow::term));

struct SplitRow {
    const char* tree;
    const char* split;
};

class SplitLogTest : public RootsTest, public testing::WithParamInterface<SplitRow> {};

TEST_P(SplitLogTest, Splits) {
    NodePtr t = parse(GetParam().tree);
    EXPECT_EQ(t->splitLogarithms(x())->toText(), GetParam().split) << GetParam().tree;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitLogTest,
    testing::Values(SplitRow{"ln(3*2^x)", "ln(3)+x*ln(2)"}, SplitRow{"ln(x/y)", "ln(x)-ln(y)"},
                    SplitRow{"ln(x^2)", "ln(x^2)"}, SplitRow{"ln(exp(x))+1", "x+1"},
                    SplitRow{"ln(2*y)", "ln(2*y)"}, SplitRow{"sin(ln(x*y))", "sin(ln(x)+ln(y))"}),
    rowNames(&SplitRow::tree));

// ---- Property: random polynomials ------------------------------------------------------

std::string coefficient(int c) {
    return "(" + std::to_string(c) + ")";
}

TEST_F(RootsTest, RandomQuadraticsAndCubics) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> lead(1, 5), sign(0, 1), small(-9, 9);
    for (int i = 0; i < 60; ++i) {
        const bool cubic = i % 2 == 1;
        std::int64_t a = lead(rng) * (sign(rng) ? 1 : -1);
        std::int64_t b = small(rng), c = small(rng), d = small(rng);
        std::string text;
        std::size_t expected;
        std::vector<double> p;
        if (!cubic) {
            text = coefficient(static_cast<int>(a)) + "*x^2+" + coefficient(static_cast<int>(b)) +
                   "*x+" + coefficient(static_cast<int>(c));
            std::int64_t disc = b * b - 4 * a * c;
            expected = disc > 0 ? 2 : (disc == 0 ? 1 : 0);
            p = {static_cast<double>(c), static_cast<double>(b), static_cast<double>(a)};
        } else {
            text = coefficient(static_cast<int>(a)) + "*x^3+" + coefficient(static_cast<int>(b)) +
                   "*x^2+" + coefficient(static_cast<int>(c)) + "*x+" +
                   coefficient(static_cast<int>(d));
            std::int64_t disc = 18 * a * b * c * d - 4 * b * b * b * d + b * b * c * c -
                                4 * a * c * c * c - 27 * a * a * d * d;
            if (disc > 0)
                expected = 3;
            else if (disc < 0)
                expected = 1;
            else
                expected = b * b == 3 * a * c ? 1 : 2;
            p = {static_cast<double>(d), static_cast<double>(c), static_cast<double>(b),
                 static_cast<double>(a)};
        }
        std::vector<double> roots = solveValues(text);
        EXPECT_EQ(roots.size(), expected) << text;
        for (double r : roots) {
            double value = 0.0, scale = 0.0;
            for (std::size_t k = p.size(); k-- > 0;) {
                value = value * r + p[k];
                scale += std::fabs(p[k]) * std::pow(std::fabs(r), static_cast<double>(k));
            }
            EXPECT_LE(std::fabs(value), 1e-9 * std::max(1.0, scale)) << text << " at " << r;
        }
    }
}

// Products of linear factors with known integer roots, solved as a product,
// as an equation (through the polynomial path) and numerically.
TEST_F(RootsTest, KnownRootsExactAndNumeric) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> root(-4, 4), count(1, 3);
    for (int i = 0; i < 30; ++i) {
        std::vector<int> rs(static_cast<std::size_t>(count(rng)));
        for (int& r : rs) r = root(rng);
        std::string product;
        for (int r : rs)
            product += (product.empty() ? "" : "*") + std::string("(x-") + coefficient(r) + ")";
        std::set<int> distinct(rs.begin(), rs.end());
        std::vector<double> expected(distinct.begin(), distinct.end());

        for (const std::string& eq : {product, product + "=0"}) {
            std::vector<double> found = solveValues(eq);
            ASSERT_EQ(found.size(), expected.size()) << eq;
            for (std::size_t k = 0; k < found.size(); ++k)
                EXPECT_NEAR(found[k], expected[k], 1e-9) << eq;
        }

        // nsolve finds each root within epsilon; repeated roots touch the
        // axis, where |f| < epsilon only says |x - r| < epsilon^(1/m).
        NodePtr f = parse(product);
        IntervalSet zeros = findZeros(*f, IntervalSet(-5.03, 5.07), RootRequest{x(), 1e-8, 0.1});
        ASSERT_EQ(zeros.count(), static_cast<int>(expected.size())) << product;
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const Interval& in = zeros.intervals()[k];
            const double m = 0.5 * (in.lo + in.hi);
            const bool repeated =
                std::count(rs.begin(), rs.end(), static_cast<int>(expected[k])) > 1;
            EXPECT_NEAR(m, expected[k], repeated ? 1e-3 : 1e-8) << product;
            EXPECT_LT(std::fabs(at(*f, m)), 1e-8) << product;
        }
    }
}

}  // namespace
}  // namespace kv
