// Copying and the structural queries of the node model: equals, isZero,
// isConstant, dependsOn, toNumber.
#include <gtest/gtest.h>

#include "engine/ExprNode.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

struct PairRow {
    Builder a;
    Builder b;
    bool equal;
};

class EqualsTest : public ::testing::TestWithParam<PairRow> {};

TEST_P(EqualsTest, ComparesStructure) {
    FreshWorkspace env;
    NodePtr a = GetParam().a();
    NodePtr b = GetParam().b();
    EXPECT_EQ(a->equals(*b), GetParam().equal) << a->toText() << " vs " << b->toText();
}

// Numbers compare within 5e-12; sums and products also with their two
// children swapped, but nothing is reassociated.
INSTANTIATE_TEST_SUITE_P(
    Rows, EqualsTest,
    ::testing::Values(
        PairRow{TREE(num(0.1 + 0.2)), TREE(num(0.3)), true},
        PairRow{TREE(num(1)), TREE(num(1 + 4e-12)), true},
        PairRow{TREE(num(1)), TREE(num(1 + 6e-12)), false},
        PairRow{TREE(num(0)), TREE(zero()), false}, PairRow{TREE(zero()), TREE(zero()), true},
        PairRow{TREE(var("x")), TREE(var("x")), true},
        PairRow{TREE(var("x")), TREE(var("y")), false},
        PairRow{TREE(cnst("pi")), TREE(cnst("pi")), true},
        PairRow{TREE(cnst("pi")), TREE(cnst("e")), false},
        PairRow{TREE(cnst("pi")), TREE(num(3.141592653589793)), false},
        PairRow{TREE(rnd()), TREE(rnd()), false}, PairRow{TREE(text("a")), TREE(text("a")), false},
        PairRow{TREE(sum(var("x"), var("y"))), TREE(sum(var("y"), var("x"))), true},
        PairRow{TREE(prod(var("x"), num(2))), TREE(prod(num(2), var("x"))), true},
        PairRow{TREE(diff(var("x"), var("y"))), TREE(diff(var("y"), var("x"))), false},
        PairRow{TREE(quot(var("x"), var("y"))), TREE(quot(var("y"), var("x"))), false},
        PairRow{TREE(power(var("x"), var("y"))), TREE(power(var("y"), var("x"))), false},
        PairRow{TREE(sum(var("x"), var("y"))), TREE(prod(var("x"), var("y"))), false},
        PairRow{TREE(sum(sum(num(1), num(2)), num(3))), TREE(sum(num(1), sum(num(2), num(3)))),
                false},
        PairRow{TREE(sum(sum(var("x"), var("y")), var("z"))),
                TREE(sum(var("z"), sum(var("y"), var("x")))), true},
        PairRow{TREE(fn(Kind::Sin, var("x"))), TREE(fn(Kind::Sin, var("x"))), true},
        PairRow{TREE(fn(Kind::Sin, var("x"))), TREE(fn(Kind::Cos, var("x"))), false},
        PairRow{TREE(neg(var("x"))), TREE(neg(var("y"))), false},
        PairRow{TREE(list(num(1), var("x"))), TREE(list(num(1), var("x"))), true},
        PairRow{TREE(list(num(1))), TREE(list(num(1), var("x"))), false}));

struct ZeroRow {
    Builder tree;
    bool zero;
};

class IsZeroTest : public ::testing::TestWithParam<ZeroRow> {};

TEST_P(IsZeroTest, IsStructural) {
    FreshWorkspace env;
    NodePtr t = GetParam().tree();
    EXPECT_EQ(t->isZero(), GetParam().zero) << t->toText();
}

// A function of a zero operand reports zero whatever its value (cos(0) too);
// other constant trees are zero by value; trees with variables never are.
INSTANTIATE_TEST_SUITE_P(
    Rows, IsZeroTest,
    ::testing::Values(
        ZeroRow{TREE(zero()), true}, ZeroRow{TREE(num(0)), true}, ZeroRow{TREE(num(1)), false},
        ZeroRow{TREE(fn(Kind::Cos, num(0))), true}, ZeroRow{TREE(sum(num(0), zero())), true},
        ZeroRow{TREE(sum(num(2), var("x"))), false}, ZeroRow{TREE(diff(num(1), num(1))), true},
        ZeroRow{TREE(prod(num(0), var("x"))), false}, ZeroRow{TREE(fn(Kind::Ln, num(1))), true},
        ZeroRow{TREE(fn(Kind::Sin, cnst("pi"))), false}, ZeroRow{TREE(var("x")), false},
        ZeroRow{TREE(cnst("false")), false}, ZeroRow{TREE(list()), false}));

// Whether a tree holds a variable, and whether it holds x.
TEST(ExprNodeQueries, IsConstantAndDependsOn) {
    FreshWorkspace env;
    int x = env.ws.variableIndex("x");
    struct Row {
        NodePtr tree;
        bool constant;
        bool onX;
    } rows[] = {
        // clang-format off
        {num(2), true, false}, {cnst("pi"), true, false}, {var("x"), false, true},
        {rnd(), false, false}, {list(num(1)), false, false}, {sum(num(2), cnst("e")), true, false},
        {prod(num(2), var("x")), false, true}, {fn(Kind::Exp, var("y")), false, false},
        {fn(Kind::Sin, power(var("x"), num(2))), false, true},
        {integral(var("x"), "t", num(0), num(1), num(5)), true, true},
        // clang-format on
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tree->toText());
        EXPECT_EQ(row.tree->isConstant(), row.constant);
        EXPECT_EQ(row.tree->dependsOn(x), row.onX);
        EXPECT_FALSE(row.tree->dependsOn(-1));
    }
}

// The base of a logarithm and the bounds of an integral are as much part of
// the value as the argument and the integrand; ignoring them lets the
// simplifier fold log(x, 8) as a constant, cancel integrals over different
// ranges and lose the dependence of an integral on its bounds.
TEST(ExprNodeQueries, LogBaseAndIntegralBoundsCount) {
    FreshWorkspace env;
    int x = env.ws.variableIndex("x");
    EXPECT_FALSE(logb(var("x"), num(8))->isConstant());
    EXPECT_TRUE(logb(var("x"), num(8))->dependsOn(x));
    EXPECT_FALSE(logb(num(2), var("x"))->equals(*logb(num(10), var("x"))));
    EXPECT_TRUE(integral(var("t"), "t", num(0), var("x"), num(5))->dependsOn(x));
    EXPECT_FALSE(integral(var("t"), "t", num(0), num(1), num(5))
                     ->equals(*integral(var("t"), "t", num(0), num(2), num(5))));
}

TEST(ExprNodeClone, IsAnIndependentDeepCopy) {
    FreshWorkspace env;
    struct StubGraph : GraphIdSource {
        int graphId() const override { return 3; }
    } graph;
    NodePtr trees[] = {
        prod(fn(Kind::Sin, var("x")), sum(num(1.5), cnst("pi"))),
        logb(num(2), diff(var("x"), num(1))),
        list(num(1), var("y"), list()),
        integral(power(var("t"), num(2)), "t", num(0), var("x"), quot(num(50), num(2))),
        std::make_unique<GraphRefNode>(&graph),
        text("Funkce přidána"),
    };
    for (const NodePtr& t : trees) {
        SCOPED_TRACE(t->toText());
        NodePtr c = t->clone();
        EXPECT_NE(c.get(), t.get());
        EXPECT_EQ(c->kind(), t->kind());
        EXPECT_EQ(c->toText(), t->toText());
        EXPECT_TRUE(parentsLinked(*c));
        EXPECT_TRUE(parentsLinked(*t));
    }
    EXPECT_EQ(as<GraphRefNode>(*trees[4]->clone()).graph, &graph);

    double v = trees[3]->evaluate();  // an integral's copy keeps its last value
    EXPECT_EQ(as<NIntegrateNode>(*trees[3]->clone()).lastValue, v);
}

std::uint32_t clockAt777() {
    return 777;
}

TEST(ExprNodeClone, ResetsVariablesAndReseedsRandom) {
    FreshWorkspace env;
    NodePtr t = prod(var("x"), var("x"));
    valueOf("x") = 5;
    EXPECT_EQ(t->evaluate(), 25);
    t->clone();
    EXPECT_EQ(valueOf("x"), 0);

    env.ws.millisecondClock = &clockAt777;
    NodePtr r = rnd();
    env.ws.rngState = 1;
    r->clone();
    EXPECT_EQ(env.ws.rngState, 777u);
}

TEST(ExprNodeToNumber, FoldsTreesAndListElements) {
    FreshWorkspace env;
    NodePtr t = sum(var("x"), num(0.5));
    NodePtr l = list(sum(num(1), num(1)), var("x"), fn(Kind::Sqrt, num(9)));
    valueOf("x") = 4;
    NodePtr n = t->toNumber();
    ASSERT_EQ(n->kind(), Kind::Number);
    EXPECT_EQ(as<NumberNode>(*n).value, 4.5);

    NodePtr folded = l->toNumber();
    ASSERT_EQ(folded->kind(), Kind::List);
    EXPECT_EQ(folded->toText(), "[2, 4, 3]");
    for (const NodePtr& e : as<ListNode>(*folded).elements) EXPECT_EQ(e->kind(), Kind::Number);
    EXPECT_TRUE(parentsLinked(*folded));
}

}  // namespace
}  // namespace kv
