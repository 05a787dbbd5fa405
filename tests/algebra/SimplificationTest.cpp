// The rules of the simplification passes, one row each, as the user would
// type the expression and see the result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "algebra/Algebra.h"
#include "algebra/Rewriting.h"
#include "engine/Tolerance.h"
#include "lang/CommandInterpreter.h"
#include "support/RandomExpression.h"
#include "support/RowNames.h"
#include "support/SymbolicCorpus.h"
#include "support/TreeBuilders.h"

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

class PassRows : public ::testing::TestWithParam<Row> {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};

    void expectPass(const std::function<NodePtr(const ExprNode&)>& pass) {
        NodePtr t = ci.parseCommand(GetParam().input);
        ASSERT_FALSE(ci.hasError()) << ci.workspace().error.message;
        const std::string before = t->toText();
        NodePtr r = pass(*t);
        EXPECT_EQ(r->toText(), GetParam().expected);
        EXPECT_EQ(t->toText(), before) << "the input was changed";
        EXPECT_TRUE(kv::test::parentsLinked(*r));
    }
};

// ---- toSumForm -------------------------------------------------------------------

class ToSumForm : public PassRows {};
TEST_P(ToSumForm, Rewrites) {
    expectPass([](const ExprNode& t) { return t.toSumForm(); });
}
INSTANTIATE_TEST_SUITE_P(Rules, ToSumForm,
                         ::testing::Values(Row{"a-b", "a+(-b)"}, Row{"a-b-c", "a+(-b)+(-c)"},
                                           Row{"sin(a-b)*c", "sin(a+(-b))*c"}, Row{"a+b", "a+b"}),
                         rowNames(&Row::input));

// ---- toProductForm -----------------------------------------------------------------

class ToProductForm : public PassRows {};
TEST_P(ToProductForm, Rewrites) {
    expectPass([](const ExprNode& t) { return t.toProductForm(); });
}
INSTANTIATE_TEST_SUITE_P(
    Rules, ToProductForm,
    ::testing::Values(Row{"a/b", "a*b^(-1)"},                  // u / v -> u' * v'^(-1)
                      Row{"sqrt(a/b)", "(a/b)^0.5"},           // sqrt(u) -> u^0.5, u as it is
                      Row{"-(a/b)", "(-a*b^(-1))"},            // -u -> -(u')
                      Row{"(a*b)^(1/c)", "(a*b)^(1*c^(-1))"},  // (a*b)^e -> ((a*b)')^(e')
                      Row{"(a/b)^c", "a^c*(b^c)^(-1)"},        // (a/b)^e -> (a^e)'*((b^e)')^(-1)
                      Row{"a^(1/c)", "a^(1/c)"},               // other powers unchanged
                      Row{"sin(a/b)", "sin(a*b^(-1))"}),
    rowNames(&Row::input));

// ---- simpl: the simplify rules, seen through the whole pipeline ------------------------

class Simpl : public PassRows {};
TEST_P(Simpl, Rewrites) {
    expectPass([](const ExprNode& t) { return simpl(t); });
}

INSTANTIATE_TEST_SUITE_P(Numbers, Simpl,
                         ::testing::Values(Row{"0.000000000004", "0"},  // |x| < 5e-12 is zero
                                           Row{"0.00000000001*x", "1e-011*x"},  // 1e-11 is not
                                           Row{"x^1.000000000001", "x"},  // equal to 1 within 5e-12
                                           Row{"x^1.00000001", "x^1.00000001"},
                                           Row{"-(-x)", "x"},    // -(-a) -> a
                                           Row{"-(x-x)", "0"}),  // -(constant zero) -> 0
                         rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(
    Sums, Simpl,
    ::testing::Values(Row{"x-x", "0"}, Row{"x+(-x)", "0"},  // x - x -> (1 + (-1))*x -> 0
                      Row{"2*x+3*x", "5*x"},                // 2*x + 3*x -> 5*x
                      Row{"2*x*y+3*x*y", "5*y*x"},          // the first common factor
                      Row{"x*y+x*z", "(y+z)*x"},            // x*y + x*z -> (y + z)*x
                      Row{"2*pi+3*pi", "5*pi"}, Row{"x^2+x^2", "2*x^2"}, Row{"x*y-y*x", "0"},
                      Row{"2+3", "5"},        // 2 + 3 -> 5
                      Row{"x+2+3", "x+5"},    // numeric terms
                      Row{"(x-x)+y", "y"},    // 0 + v -> v
                      Row{"3*x-3*x+y", "y"},  // a merged term merges again
                      // A term inside a subtracted sum keeps its sign: not 2*a - b.
                      Row{"a-(a+b)", "(-b)"}, Row{"3-(x+3)", "(-x)"},
                      Row{"ln(x)+ln(y)", "ln(x*y)"},      // ln(a) + ln(b) -> ln(a*b)
                      Row{"2*ln(x)-ln(y)", "ln(x^2/y)"},  // coefficients move in
                      Row{"ln(2*x)+ln(x/2)", "2*ln(x)"},
                      Row{"1/x+1/y", "(y+x)/(x*y)"},  // a sum that becomes a quotient
                      Row{"x+1/x", "(x^2+1)/x"}),
    rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(
    Products, Simpl,
    ::testing::Values(Row{"6/3", "2"},    // constant, integral value
                      Row{"2/4", "1/2"},  // not integral: stays exact, in lowest terms
                      Row{"-12/16", "(-3/4)"}, Row{"4/6*x", "2*x/3"},
                      // Small constants are not zero: 1/1e12, exp(-30).
                      Row{"2/1003290624000", "1/501645312000"}, Row{"exp(-30)", "exp((-30))"},
                      Row{"0*x", "0"}, Row{"1*x", "x"}, Row{"(-1)*x", "(-x)"},  // 0*b, 1*b, (-1)*b
                      Row{"x*0", "0"}, Row{"x*1", "x"}, Row{"x*x", "x^2"},      // x*x -> x^2
                      Row{"x^2*y^2", "(x*y)^2"},                    // a^e*b^e -> (a*b)^e
                      Row{"2^0.5*8^0.5", "4"},                      // positive constant bases
                      Row{"x^0.5*y^0.5", "x^0.5*y^0.5"},            // not (x*y)^0.5 for x, y < 0
                      Row{"(-x)*y", "(-x*y)"},                      // negations come out
                      Row{"x*2*3", "6*x"},                          // numbers multiply, stand first
                      Row{"x*x^2", "x^3"},                          // x*x^n -> x^(n+1)
                      Row{"2^x*2^y", "2^(x+y)"},                    // x^a*x^b -> x^(a+b)
                      Row{"x^2*x^(-2)", "1"}, Row{"x*(1/x)", "1"},  // x*x^(-1) -> 1
                      Row{"x/x^2", "1/x"},                          // (u^a)^n counts as u^(a*n)
                      Row{"sqrt(x)*sqrt(x)", "x"},                  // merged power simplified
                      Row{"6*x/3", "2*x"}, Row{"x/2+x/2", "x"},     // b^k joins the number
                      Row{"y*x", "y*x"}),                           // nothing to do: kept
    rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(
    Powers, Simpl,
    ::testing::Values(Row{"(-4)^0.5", "nan"},                  // even reciprocal: NaN
                      Row{"(-8)^(1/3)", "(-2)"},               // odd one: -(8^(1/3))
                      Row{"2^3", "8"}, Row{"(-2)^3", "(-8)"},  // number base, integral value
                      Row{"12^0.5", "2*3^0.5"},
                      Row{"18^0.5", "3*2^0.5"},  // perfect powers extracted
                      Row{"sqrt(8)", "2*2^0.5"}, Row{"sqrt(x)", "x^0.5"}, Row{"(2*x)^2", "4*x^2"},
                      Row{"(2*x)^(-1)", "1/(2*x)"},  // (c*u)^n -> c^n*u^n
                      Row{"(4*x)^0.5", "(4*x)^0.5"}, Row{"2^3*x^3", "8*x^3"}, Row{"x/(2*x)", "1/2"},
                      Row{"(x^2)^3", "x^6"},             // (u^a)^n -> u^(a*n)
                      Row{"(x^2)^0.5", "(x^2)^0.5"},     // |x|: not x
                      Row{"1/x^2", "1/x^2"},             // a negative n stays
                      Row{"0^0", "0"}, Row{"0^2", "0"},  // 0^e -> 0
                      Row{"0^(-1)", "1/0"},              // but 0^(-1) is not 0
                      Row{"1^x", "1"}, Row{"x^0", "1"}, Row{"x^1", "x"}),
    rowNames(&Row::input));

INSTANTIATE_TEST_SUITE_P(
    Functions, Simpl,
    ::testing::Values(Row{"ln(1)", "0"}, Row{"exp(0)", "1"},        // constant, integral value
                      Row{"ln(x^3)", "3*ln(x)"},                    // ln(u^e) -> e*ln(u)
                      Row{"ln(exp(x))", "x"},                       // ln(exp(u)) -> u
                      Row{"exp(ln(3))", "3"}, Row{"abs(-3)", "3"},  // constant argument
                      Row{"log(2, 8)", "3"}, Row{"log(y, 4)", "log(y, 4)"},  // and base
                      Row{"abs(abs(x))", "abs(x)"}, Row{"abs(x^2)", "x^2"},
                      Row{"abs(x^0.5)", "x^0.5"},      // not an odd exponent
                      Row{"abs(x^3)", "abs(x^3)"},     // odd exponents keep abs,
                      Row{"abs(x^(-1))", "abs(1/x)"},  // negative ones too
                      Row{"sign(-2)", "(-1)"}, Row{"sign(3)", "1"}, Row{"sign(x-x)", "0"},
                      Row{"sign(x^2)", "sign(x^2)"}, Row{"sin(0)", "sin(0)"},
                      Row{"cos(x-x)", "cos(0)"}),  // no folding
    rowNames(&Row::input));

// ---- toQuotientForm ----------------------------------------------------------------------

class ToQuotientForm : public PassRows {};
TEST_P(ToQuotientForm, Rewrites) {
    expectPass([](const ExprNode& t) { return t.toQuotientForm(); });
}
INSTANTIATE_TEST_SUITE_P(
    Rules, ToQuotientForm,
    ::testing::Values(Row{"x^(-1)", "1/x"},          // u^(-1) -> 1/u
                      Row{"x^(-0.5)", "1/sqrt(x)"},  // u^(-0.5) -> 1/sqrt(u)
                      Row{"x^0.5", "x^0.5"}, Row{"x^(-2)", "x^(-2)"},
                      Row{"a*b^(-1)", "a/b"},                // a*(1/b) -> a/b
                      Row{"a^(-1)*b", "b/a"},                // (1/a)*b -> b/a
                      Row{"a^(-1)*b^(-1)", "1/(a*b)"},       // (1/a)*(1/b) -> 1/(a*b)
                      Row{"n*a^(-1)*b^(-1)", "n/(a*b)"},     // (n/a)*(1/b) -> n/(a*b)
                      Row{"a^(-1)*(n*b^(-1))", "n/(a*b)"}),  // (1/a)*(n/b) -> n/(a*b)
    rowNames(&Row::input));

// ---- normalizeSigns --------------------------------------------------------------------

class NormalizeSigns : public PassRows {};
TEST_P(NormalizeSigns, Rewrites) {
    expectPass([](const ExprNode& t) { return t.normalizeSigns(); });
}
INSTANTIATE_TEST_SUITE_P(
    Rules, NormalizeSigns,
    ::testing::Values(Row{"(-a)+(-b)", "(-(b+a))"}, Row{"a+(-b)", "a-b"}, Row{"(-a)+b", "b-a"},
                      Row{"a-(-b)", "a+b"}, Row{"(-a)-b", "(-(a+b))"}, Row{"(-a)-(-b)", "b-a"},
                      Row{"-(-a)", "a"}, Row{"(-a)*(-b)", "(-a)*(-b)"},  // products: operands only
                      Row{"(a+(-b))^2", "(a-b)^2"}),
    rowNames(&Row::input));

// ---- The pipeline as a whole -------------------------------------------------------------

TEST(SimplPipeline, NumbersComeOutNormalisedFromSimplify) {
    CommandInterpreter ci;
    Workspace::Scope scope(ci.workspace());
    NodePtr zeroish = number(1e-12)->simplify();
    EXPECT_EQ(zeroish->kind(), Kind::Zero);
    NodePtr negative = number(-3)->simplify();
    ASSERT_EQ(negative->kind(), Kind::Negation);
    EXPECT_EQ(operandOf(*negative).kind(), Kind::Number);
    EXPECT_EQ(as<NumberNode>(operandOf(*negative)).value, 3);
}

TEST(SimplPipeline, IsIdempotentOnItsOwnResults) {
    CommandInterpreter ci;
    Workspace::Scope scope(ci.workspace());
    for (const char* text : {"x+1/x", "2*x*y+3*x*y", "(x+1)*(x+1)", "ln(x)+ln(y)", "1/x+1/y",
                             "x^x*(ln(x)+1)", "12^0.5*x"}) {
        NodePtr once = simpl(*ci.parseCommand(text));
        NodePtr twice = simpl(*once);
        EXPECT_EQ(twice->toText(), once->toText()) << text;
    }
}

// ---- The passes that take over their tree, against the copying ones ----------------------
//
// The pipeline's passes reuse the nodes of the tree they are given. Below are
// the passes as they were written before, each building a new tree beside its
// input; both must give the same tree for any input.
namespace copying {

using namespace rw;

NodePtr toProductForm(const ExprNode& n) {
    switch (n.kind()) {
        case Kind::Quotient:
            return product(toProductForm(leftOf(n)), power(toProductForm(rightOf(n)), minusOne()));
        case Kind::Sqrt:
            return power(operandOf(n).clone(), number(0.5));
        case Kind::Power: {
            const ExprNode& base = leftOf(n);
            const ExprNode& e = rightOf(n);
            if (base.kind() == Kind::Product) return power(toProductForm(base), toProductForm(e));
            if (base.kind() == Kind::Quotient)
                return product(
                    toProductForm(*power(leftOf(base).clone(), e.clone())),
                    power(toProductForm(*power(rightOf(base).clone(), e.clone())), minusOne()));
            return n.clone();
        }
        default:
            return rebuild(n, [](const ExprNode& c) { return toProductForm(c); });
    }
}

bool isReciprocal(const ExprNode& n) {
    return n.kind() == Kind::Quotient && leftOf(n).kind() == Kind::Number &&
           tol::equal(as<NumberNode>(leftOf(n)).value, 1.0);
}

NodePtr toQuotientForm(const ExprNode& n) {
    switch (n.kind()) {
        case Kind::Power: {
            NodePtr base = toQuotientForm(leftOf(n));
            double v = constantValue(rightOf(n));
            if (tol::equal(v, -1.0)) return quotient(number(1.0), std::move(base));
            if (tol::equal(v, -0.5))
                return quotient(number(1.0), makeFunction(Kind::Sqrt, std::move(base)));
            return power(std::move(base), toQuotientForm(rightOf(n)));
        }
        case Kind::Product: {
            NodePtr a = toQuotientForm(leftOf(n));
            NodePtr b = toQuotientForm(rightOf(n));
            const bool ra = isReciprocal(*a), rb = isReciprocal(*b);
            if (rb && a->kind() == Kind::Quotient) {
                NodePtr bd = takeRight(*b), ad = takeRight(*a);
                return quotient(takeLeft(*a), product(std::move(ad), std::move(bd)));
            }
            if (ra && b->kind() == Kind::Quotient) {
                NodePtr bd = takeRight(*b), ad = takeRight(*a);
                return quotient(takeLeft(*b), product(std::move(ad), std::move(bd)));
            }
            if (rb) return quotient(std::move(a), takeRight(*b));
            if (ra) return quotient(std::move(b), takeRight(*a));
            return product(std::move(a), std::move(b));
        }
        default:
            return rebuild(n, [](const ExprNode& c) { return toQuotientForm(c); });
    }
}

NodePtr normalizeSigns(const ExprNode& n) {
    switch (n.kind()) {
        case Kind::Sum:
        case Kind::Difference: {
            NodePtr a = normalizeSigns(leftOf(n));
            NodePtr b = normalizeSigns(rightOf(n));
            const bool na = a->kind() == Kind::Negation, nb = b->kind() == Kind::Negation;
            if (n.kind() == Kind::Sum) {
                if (na && nb) return negation(sum(takeOperand(*b), takeOperand(*a)));
                if (nb) return difference(std::move(a), takeOperand(*b));
                if (na) return difference(std::move(b), takeOperand(*a));
                return sum(std::move(a), std::move(b));
            }
            if (na && nb) return difference(takeOperand(*b), takeOperand(*a));
            if (nb) return sum(std::move(a), takeOperand(*b));
            if (na) return negation(sum(takeOperand(*a), std::move(b)));
            return difference(std::move(a), std::move(b));
        }
        case Kind::Negation: {
            NodePtr a = normalizeSigns(operandOf(n));
            if (a->kind() == Kind::Negation) return takeOperand(*a);
            return negation(std::move(a));
        }
        default:
            return rebuild(n, [](const ExprNode& c) { return normalizeSigns(c); });
    }
}

NodePtr simpl(const ExprNode& t) {
    return normalizeSigns(*toQuotientForm(*toProductForm(*t.together())->simplify()));
}

}  // namespace copying

// The tree written out with every node's kind, so that two trees that print
// alike but are built differently still differ.
std::string shape(const ExprNode& n) {
    std::string s = kindName(n.kind());
    if (n.kind() == Kind::Number) s += std::to_string(as<NumberNode>(n).value);
    if (n.kind() == Kind::Variable) s += std::to_string(as<VariableNode>(n).index);
    if (isBinaryKind(n.kind())) s += "(" + shape(leftOf(n)) + "," + shape(rightOf(n)) + ")";
    if (isUnaryKind(n.kind())) s += "(" + shape(operandOf(n)) + ")";
    if (n.kind() == Kind::LogBase) s += "[" + shape(*as<LogBaseNode>(n).base) + "]";
    return s;
}

TEST(SimplPipeline, PassesOwningTheirTreeMatchTheCopyingPasses) {
    CommandInterpreter ci;
    Workspace::Scope scope(ci.workspace());
    const kv::test::ExpressionGrammar grammar{{"x", "y", "2", "0.5", "1", "pi"},
                                              {"sin", "sqrt", "ln", "exp", "abs", "-"},
                                              {"2", "(-1)", "(-0.5)", "0.5", "x", "(1/2)", "(-2)"}};
    kv::test::Random random(1210);
    struct Pass {
        const char* name;
        NodePtr (*ours)(const ExprNode&);
        NodePtr (*copying)(const ExprNode&);
    };
    const Pass passes[] = {
        {"toProductForm", [](const ExprNode& t) { return t.toProductForm(); },
         copying::toProductForm},
        {"toQuotientForm", [](const ExprNode& t) { return t.toQuotientForm(); },
         copying::toQuotientForm},
        {"normalizeSigns", [](const ExprNode& t) { return t.normalizeSigns(); },
         copying::normalizeSigns},
        {"simpl", [](const ExprNode& t) { return kv::simpl(t); }, copying::simpl},
    };
    int trees = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string text = kv::test::randomExpression(random, 2 + random.below(4), grammar);
        NodePtr t = ci.parseCommand(text);
        if (ci.hasError()) continue;
        ++trees;
        // The product and quotient forms of the tree, so that each pass also
        // meets the shapes the pipeline hands it.
        NodePtr inputs[] = {t->clone(), copying::toProductForm(*t),
                            copying::toProductForm(*t)->simplify()};
        for (const NodePtr& in : inputs)
            for (const Pass& p : passes) {
                NodePtr ours = p.ours(*in);
                ASSERT_EQ(shape(*ours), shape(*p.copying(*in))) << p.name << " of " << text;
                ASSERT_TRUE(kv::test::parentsLinked(*ours)) << p.name << " of " << text;
            }
    }
    EXPECT_GT(trees, 3500);
}

// The results of a fixed corpus of tasks, as fingerprints written when the
// algorithms were last changed on purpose (KV_WRITE_OUTCOMES=1 writes them
// anew): making the algebra faster must not change one of them.
TEST(SimplPipeline, ResultsAndWorkOfTheCorpusStayAsTheyWere) {
    CommandInterpreter ci;
    Workspace::Scope scope(ci.workspace());
    const std::string path = std::string(KV_TESTS_DIR) + "/algebra/data/symbolic_outcomes.txt";
    const std::vector<std::string> corpus = kv::test::symbolicCorpus(1500);
    std::vector<std::string> now;
    for (const std::string& text : corpus) {
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx",
                      static_cast<unsigned long long>(kv::test::outcomeFingerprint(ci, text)));
        now.emplace_back(hex);
    }
    if (const char* write = std::getenv("KV_WRITE_OUTCOMES"); write && *write == '1') {
        std::ofstream out(path);
        for (const std::string& h : now) out << h << "\n";
        GTEST_SKIP() << "wrote " << path;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::string line;
    std::size_t i = 0, differing = 0;
    for (; std::getline(in, line) && i < now.size(); ++i)
        if (line != now[i] && ++differing <= 5) ADD_FAILURE() << "task " << i << ": " << corpus[i];
    EXPECT_EQ(i, now.size());
    EXPECT_EQ(differing, 0u);
}

}  // namespace
}  // namespace kv
