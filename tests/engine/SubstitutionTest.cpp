// substitute, replaceSubterm and replaceEqual: new trees with parts replaced,
// the receiver left as it was.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ExprNode.h"
#include "support/RowNames.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

TEST(Substitute, GivesEveryOccurrenceItsOwnCopy) {
    FreshWorkspace env;
    int x = env.ws.variableIndex("x");
    NodePtr f = prod(fn(Kind::Sin, var("x")), var("x"));
    NodePtr e = sum(var("y"), num(1));
    NodePtr g = f->substitute(x, *e);
    EXPECT_EQ(g->toText(), "sin(y+1)*(y+1)");
    EXPECT_EQ(f->toText(), "sin(x)*x");
    EXPECT_TRUE(parentsLinked(*g));
    const ExprNode* first = &operandOf(leftOf(*g));
    const ExprNode* second = &rightOf(*g);
    EXPECT_NE(first, second);
    EXPECT_NE(first, e.get());
    EXPECT_NE(&leftOf(*first), &leftOf(*second));
    valueOf("y") = 2;
    EXPECT_DOUBLE_EQ(g->evaluate(), std::sin(3.0) * 3);

    const char* x2[][2] = {{"y+pi", "y+pi"},
                           {"x", "2"},
                           {"[x, 1, [x]]", "[2, 1, [2]]"},
                           {"log(2, x^3)", "log(2, 2^3)"},
                           {"(-(x-x))", "(-(2-2))"}};
    NodePtr trees[] = {sum(var("y"), cnst("pi")), var("x"), list(var("x"), num(1), list(var("x"))),
                       logb(num(2), power(var("x"), num(3))), neg(diff(var("x"), var("x")))};
    for (std::size_t i = 0; i < std::size(trees); ++i) {
        ASSERT_EQ(trees[i]->toText(), x2[i][0]);
        NodePtr r = trees[i]->substitute(x, *num(2));
        EXPECT_EQ(r->toText(), x2[i][1]);
        EXPECT_TRUE(parentsLinked(*r));
    }
}

// A user function f(b) = log(b, 8) called as f(2) goes through substitute; a
// base left behind keeps the parameter in the result.
TEST(Substitute, ReachesTheBaseOfALogarithm) {
    FreshWorkspace env;
    int x = env.ws.variableIndex("x");
    NodePtr r = logb(var("x"), num(8))->substitute(x, *num(2));
    EXPECT_EQ(r->toText(), "log(2, 8)");
    EXPECT_NEAR(r->evaluate(), 3, 1e-14);
}

// The integration variable is bound: renaming it gives the same integral,
// replacing it by an expression leaves the integrand alone.
TEST(Substitute, IntegralsSubstituteBoundsAndRenameTheirVariable) {
    FreshWorkspace env;
    int x = env.ws.variableIndex("x");
    int t = env.ws.variableIndex("t");
    NodePtr i = integral(prod(var("x"), var("t")), "t", num(0), var("x"), num(10));
    NodePtr withTwo = i->substitute(x, *num(2));  // integral of 2t over [0, 2]
    EXPECT_NEAR(withTwo->evaluate(), 4, 1e-12);
    EXPECT_TRUE(parentsLinked(*withTwo));
    NodePtr renamed = i->substitute(t, *var("u"));
    NodePtr kept = i->substitute(t, *num(5));
    valueOf("x") = 3;  // integral of 3u over [0, 3]
    EXPECT_NEAR(renamed->evaluate(), 13.5, 1e-12);
    EXPECT_EQ(as<NIntegrateNode>(*renamed).variable->index, env.ws.findVariable("u"));
    EXPECT_NEAR(kept->evaluate(), 13.5, 1e-12);
}

TEST(ReplaceSubterm, PresentTargetTakesTheReplacementItself) {
    FreshWorkspace env;
    NodePtr f = prod(fn(Kind::Sin, sum(var("x"), num(1))), var("y"));
    // The operand of sin, the right child and the root itself.
    const ExprNode* targets[] = {&operandOf(leftOf(*f)), &rightOf(*f), f.get()};
    const char* expected[] = {"sin(z^2)*y", "sin(x+1)*z^2", "z^2"};
    for (int i = 0; i < 3; ++i) {
        NodePtr repl = power(var("z"), num(2));
        const ExprNode* address = repl.get();
        NodePtr g = f->replaceSubterm(targets[i], repl);
        EXPECT_EQ(repl, nullptr);
        EXPECT_EQ(g->toText(), expected[i]);
        EXPECT_TRUE(isInside(address, *g));
        EXPECT_TRUE(parentsLinked(*g));
    }
    EXPECT_EQ(f->toText(), "sin(x+1)*y");
}

TEST(ReplaceSubterm, AbsentTargetLeavesTheReplacementWithTheCaller) {
    FreshWorkspace env;
    NodePtr f = sum(var("x"), list(num(1), var("x")));
    NodePtr elsewhere = var("x");  // equal to subtrees, but not in the tree
    NodePtr repl = num(4);
    NodePtr g = f->replaceSubterm(elsewhere.get(), repl);
    ASSERT_NE(repl, nullptr);
    EXPECT_EQ(repl->toText(), "4");
    EXPECT_EQ(repl->parent, nullptr);
    EXPECT_EQ(g->toText(), "x+[1, x]");
    EXPECT_TRUE(parentsLinked(*g));

    NodePtr inList = f->replaceSubterm(as<ListNode>(rightOf(*f)).elements[1].get(), repl);
    EXPECT_EQ(inList->toText(), "x+[1, 4]");
    EXPECT_EQ(repl, nullptr);
}

struct ReplaceRow {
    Builder tree;
    Builder pattern;
    Builder repl;
    const char* expected;
    friend void PrintTo(const ReplaceRow& r, std::ostream* os) { *os << r.expected; }
};

class ReplaceEqualTest : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(ReplaceEqualTest, ReplacesEveryEqualSubtreeByACopy) {
    FreshWorkspace env;
    NodePtr t = GetParam().tree();
    std::string before = t->toText();
    NodePtr pattern = GetParam().pattern();
    NodePtr repl = GetParam().repl();
    NodePtr r = t->replaceEqual(*pattern, *repl);
    EXPECT_EQ(r->toText(), GetParam().expected);
    EXPECT_EQ(t->toText(), before);
    EXPECT_FALSE(isInside(repl.get(), *r));
    EXPECT_TRUE(parentsLinked(*r));
}

const auto x = [] { return var("x"); };

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, ReplaceEqualTest, ::testing::Values(
    ReplaceRow{TREE(prod(sum(x(), num(1)), fn(Kind::Sin, sum(num(1), x())))),
               TREE(sum(x(), num(1))), TREE(var("z")), "z*sin(z)"},
    ReplaceRow{TREE(sum(x(), num(1))), TREE(sum(num(1), x())), TREE(num(5)), "5"},
    ReplaceRow{TREE(diff(x(), var("y"))), TREE(diff(var("y"), x())), TREE(num(5)), "x-y"},
    ReplaceRow{TREE(sum(num(0.1 + 0.2), x())), TREE(num(0.3)), TREE(var("c")), "c+x"},
    ReplaceRow{TREE(power(x(), x())), TREE(x()), TREE(sum(var("a"), var("b"))), "(a+b)^(a+b)"},
    ReplaceRow{TREE(sum(sum(var("a"), var("b")), var("c"))), TREE(sum(var("b"), var("c"))),
               TREE(num(1)), "a+b+c"},
    ReplaceRow{TREE(list(x(), neg(x()))), TREE(x()), TREE(num(2)), "[2, (-2)]"},
    ReplaceRow{TREE(sum(rnd(), var("y"))), TREE(rnd()), TREE(num(2)), "rnd()+y"}),
    rowNames(&ReplaceRow::expected));
// clang-format on

}  // namespace
}  // namespace kv
