// The compiled form against `evaluate`: thousands of random trees over every
// compiled kind, sampled at ordinary and awkward points (zeros of both signs,
// infinities, NaN, huge values), must give the same bits; trees it does not
// compile say so.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/CompiledExpr.h"
#include "engine/ExprNode.h"
#include "support/Random.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The same bits, or both NaN.
bool same(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const Kind kFunctions[] = {Kind::Cos,  Kind::Sin,  Kind::Negation, Kind::Sqrt, Kind::Log,
                           Kind::Log2, Kind::Ln,   Kind::Sinh,     Kind::Cosh, Kind::Abs,
                           Kind::Sign, Kind::Asin, Kind::Acos,     Kind::Atan, Kind::Exp,
                           Kind::Tan,  Kind::Tanh, Kind::PlusMinus};
constexpr int kFunctionCount = static_cast<int>(std::size(kFunctions));
const Kind kOperators[] = {Kind::Sum, Kind::Difference, Kind::Product, Kind::Quotient, Kind::Power};

// A random tree of every kind the compiled form handles: the sampled x and
// y, a third variable a it reads from the workspace, numbers, named
// constants, zero, texts and lists (both evaluate to 0), and factorials of
// constant subtrees (folded).
NodePtr randomTree(Random& r, int depth) {
    if (depth == 0 || r.below(10) < 2) {
        switch (r.below(12)) {
            case 0:
            case 1:
            case 2:
                return var("x");
            case 3:
            case 4:
            case 5:
                return var("y");
            case 6:
                return var("a");
            case 7:
                return cnst(r.below(2) ? "pi" : "e");
            case 8:
                return zero();
            case 9:
                return num(static_cast<double>(r.below(7)) - 2.0);
            default:
                return num(r.uniform(-4, 4));
        }
    }
    const int pick = r.below(24);
    if (pick < 10) {
        const Kind k = kOperators[r.below(5)];
        // Powers mostly with small integer exponents, as typed.
        if (k == Kind::Power && r.below(3) > 0)
            return power(randomTree(r, depth - 1), num(static_cast<double>(r.below(7)) - 3.0));
        NodePtr left = randomTree(r, depth - 1);
        return op(k, std::move(left), randomTree(r, depth - 1));
    }
    if (pick < 20) return fn(kFunctions[r.below(kFunctionCount)], randomTree(r, depth - 1));
    if (pick == 20) {
        NodePtr base = randomTree(r, depth - 1);
        return logb(std::move(base), randomTree(r, depth - 1));
    }
    if (pick == 21) return fn(Kind::Fact, num(static_cast<double>(r.below(25)) - 5.0));
    if (pick == 22) return list(randomTree(r, depth - 1), var("x"));
    return sum(text("t"), randomTree(r, depth - 1));
}

double randomValue(Random& r) {
    static const double kSpecial[] = {0.0, -0.0, 1.0, -1.0, kInf, -kInf, kNaN, 1e300, -1e-300, 0.5};
    if (r.below(8) == 0) return kSpecial[r.below(10)];
    return r.uniform(-5, 5);
}

// Compares the compiled form of random trees with `evaluate` at `n` points,
// the inputs as given by `varying` (x, y), a at a random value.
void compareRandomTrees(std::uint64_t seed, int trees, int n, bool xVaries, bool yVaries) {
    FreshWorkspace env;
    Workspace& ws = env.ws;
    const int x = ws.variableIndex("x");
    const int y = ws.variableIndex("y");
    const int a = ws.variableIndex("a");
    Random r(seed);
    CompiledExpr::Scratch scratch;
    std::vector<double> xs(static_cast<std::size_t>(n));
    std::vector<double> ys(static_cast<std::size_t>(n));
    std::vector<double> out(static_cast<std::size_t>(n));
    int compared = 0;
    for (int t = 0; t < trees; ++t) {
        NodePtr tree = randomTree(r, 1 + r.below(6));
        const CompiledExpr c(*tree, {{x, xVaries}, {y, yVaries}});
        ASSERT_TRUE(c.ok()) << tree->toText();
        for (int k = 0; k < n; ++k) {
            xs[k] = xVaries || k == 0 ? randomValue(r) : xs[0];
            ys[k] = yVaries || k == 0 ? randomValue(r) : ys[0];
        }
        ws.variables[a].value = randomValue(r);
        const double* inputs[] = {xs.data(), ys.data()};
        c.evaluate(inputs, n, out.data(), scratch);
        for (int k = 0; k < n; ++k) {
            ws.variables[x].value = xs[k];
            ws.variables[y].value = ys[k];
            const double expected = tree->evaluate();
            ASSERT_TRUE(same(out[k], expected))
                << tree->toText() << " at x = " << xs[k] << ", y = " << ys[k]
                << ", a = " << ws.variables[a].value << ": " << out[k] << " instead of "
                << expected;
            ++compared;
        }
    }
    EXPECT_EQ(compared, trees * n);
}

TEST(CompiledExprTest, RandomTreesGiveTheBitsOfEvaluateAtVaryingPoints) {
    // 150 points: two full blocks and a part.
    compareRandomTrees(20261209, 3000, 150, true, true);
}

TEST(CompiledExprTest, RandomTreesGiveTheBitsOfEvaluateAlongGridRows) {
    // One input fixed for the call, as along a surface column or a row of
    // the implicit-curve grid.
    compareRandomTrees(77, 1500, 70, true, false);
    compareRandomTrees(78, 1500, 70, false, true);
}

// Squares and cubes skip pow where they can prove its bits; over a wide
// spread of magnitudes (tiny, huge, near the limits of the shortcut, powers of
// two, zeros of both signs, non-finite) they must still be pow's.
TEST(CompiledExprTest, SquaresAndCubesGiveTheBitsOfPow) {
    FreshWorkspace env;
    const int x = env.ws.variableIndex("x");
    Random r(31337);
    std::vector<double> xs;
    for (int k = 0; k < 200000; ++k) {
        const double m = r.uniform(-2, 2);
        const int spread = k % 4 == 0 ? 1100 : 40;  // a quarter over all magnitudes
        xs.push_back(std::ldexp(m, r.below(spread) - spread / 2));
    }
    for (double v : {0.0, -0.0, 1.0, -1.0, 2.0, 0.5, kInf, -kInf, kNaN, 1e-320, 0x1p-480, 0x1p-320,
                     0x1p500, 0x1p333, 1.3407807929942596e154, 5.6438030941222897e102, 3.0,
                     1.0 + 0x1p-52, 1.0 - 0x1p-53})
        xs.push_back(v);
    const int n = static_cast<int>(xs.size());
    std::vector<double> out(xs.size());
    CompiledExpr::Scratch scratch;
    const double* inputs[] = {xs.data()};
    for (double exponent : {2.0, 3.0}) {
        NodePtr tree = power(var("x"), num(exponent));
        const CompiledExpr c(*tree, {{x, true}});
        ASSERT_TRUE(c.ok());
        c.evaluate(inputs, n, out.data(), scratch);
        int wrong = 0;
        for (int k = 0; k < n && wrong < 5; ++k) {
            valueOf("x") = xs[k];
            const double expected = tree->evaluate();
            if (!same(out[k], expected)) {
                ++wrong;
                ADD_FAILURE() << xs[k] << "^" << exponent << ": " << out[k] << " instead of "
                              << expected;
            }
        }
    }
}

// Trees compiled together share what they have in common; each output must
// still be its own tree's value.
TEST(CompiledExprTest, TreesCompiledTogetherGiveEachItsOwnValue) {
    FreshWorkspace env;
    Workspace& ws = env.ws;
    const int x = ws.variableIndex("x");
    const int y = ws.variableIndex("y");
    Random r(4242);
    constexpr int kN = 100;
    std::vector<double> xs(kN), ys(kN);
    std::vector<std::vector<double>> outs(4, std::vector<double>(kN));
    CompiledExpr::Scratch scratch;
    for (int t = 0; t < 1000; ++t) {
        NodePtr a = randomTree(r, 1 + r.below(5));
        NodePtr b = randomTree(r, 1 + r.below(5));
        NodePtr c = op(kOperators[r.below(5)], a->clone(), b->clone());
        NodePtr d = fn(kFunctions[r.below(kFunctionCount)], a->clone());
        const std::vector<const ExprNode*> trees{c.get(), a.get(), d.get(), b.get()};
        const bool yVaries = r.below(2) == 0;
        const CompiledExpr compiled(trees, {{x, true}, {y, yVaries}});
        ASSERT_TRUE(compiled.ok());
        for (int k = 0; k < kN; ++k) {
            xs[k] = randomValue(r);
            ys[k] = yVaries || k == 0 ? randomValue(r) : ys[0];
        }
        const double* inputs[] = {xs.data(), ys.data()};
        double* out[] = {outs[0].data(), outs[1].data(), outs[2].data(), outs[3].data()};
        compiled.evaluate(inputs, kN, out, scratch);
        for (int k = 0; k < kN; ++k) {
            ws.variables[x].value = xs[k];
            ws.variables[y].value = ys[k];
            for (std::size_t i = 0; i < trees.size(); ++i)
                ASSERT_TRUE(same(outs[i][k], trees[i]->evaluate()))
                    << "tree " << i << " of " << c->toText() << " at x = " << xs[k]
                    << ", y = " << ys[k] << ": " << outs[i][k];
        }
    }
}

TEST(CompiledExprTest, RepeatedSubexpressionsAreComputedOnce) {
    FreshWorkspace env;
    const int x = env.ws.variableIndex("x");
    const int y = env.ws.variableIndex("y");
    struct Row {
        const char* what;
        std::vector<Builder> trees;
        int instructions;
    } rows[] = {
        {"sin(x) in two trees",
         {TREE(prod(fn(Kind::Sin, var("x")), var("y"))),
          TREE(sum(fn(Kind::Sin, var("x")), num(1)))},
         3},
        {"x^2 twice in one tree", {TREE(sum(power(var("x"), num(2)), power(var("x"), num(2))))}, 2},
        {"the same tree twice",
         {TREE(fn(Kind::Exp, prod(num(3), var("x")))), TREE(fn(Kind::Exp, prod(num(3), var("x"))))},
         2},
        {"different constants", {TREE(prod(num(3), var("x"))), TREE(prod(num(2), var("x")))}, 2},
    };
    for (const Row& row : rows) {
        std::vector<NodePtr> owned;
        std::vector<const ExprNode*> trees;
        for (const Builder& b : row.trees) {
            owned.push_back(b());
            trees.push_back(owned.back().get());
        }
        const CompiledExpr c(trees, {{x, true}, {y, true}});
        ASSERT_TRUE(c.ok()) << row.what;
        EXPECT_EQ(c.instructionCount(), row.instructions) << row.what;
    }
}

TEST(CompiledExprTest, FoldsConstantSubtreesAndReadsOtherVariablesPerCall) {
    FreshWorkspace env;
    const int x = env.ws.variableIndex("x");
    // sin(2*pi)*x + fact(4)*a: one multiplication by x, one by a, one sum per
    // point; sin(2*pi) and fact(4) are folded.
    NodePtr tree = sum(prod(fn(Kind::Sin, prod(num(2), cnst("pi"))), var("x")),
                       prod(fn(Kind::Fact, num(4)), var("a")));
    const CompiledExpr c(*tree, {{x, true}});
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.instructionCount(), 2);  // the product by a is computed once per call
    CompiledExpr::Scratch scratch;
    const double xs[] = {1.0, -3.0};
    const double* inputs[] = {xs};
    double out[2];
    for (double aValue : {1.0, 10.0}) {
        valueOf("a") = aValue;
        c.evaluate(inputs, 2, out, scratch);
        for (int k = 0; k < 2; ++k) {
            valueOf("x") = xs[k];
            EXPECT_TRUE(same(out[k], tree->evaluate())) << "a = " << aValue;
        }
    }
}

TEST(CompiledExprTest, ConstantTreesAndBareInputsFillEveryPoint) {
    FreshWorkspace env;
    const int x = env.ws.variableIndex("x");
    const double xs[] = {1.5, -2.0, 7.0};
    const double* inputs[] = {xs};
    CompiledExpr::Scratch scratch;
    struct Row {
        Builder tree;
        double expected[3];
    } rows[] = {
        {TREE(num(4)), {4, 4, 4}},
        {TREE(var("x")), {1.5, -2.0, 7.0}},
        {TREE(fn(Kind::PlusMinus, var("x"))), {1.5, -2.0, 7.0}},
        {TREE(list(var("x"))), {0, 0, 0}},
        {TREE(fn(Kind::Abs, var("y"))), {0, 0, 0}},  // y is 0 in a fresh workspace
    };
    for (const Row& row : rows) {
        NodePtr t = row.tree();
        const CompiledExpr c(*t, {{x, true}});
        ASSERT_TRUE(c.ok()) << t->toText();
        double out[3] = {kNaN, kNaN, kNaN};
        c.evaluate(inputs, 3, out, scratch);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(out[k], row.expected[k]) << t->toText();
    }
}

TEST(CompiledExprTest, LeavesTreesWhoseValueDependsOnMoreThanTheVariables) {
    FreshWorkspace env;
    const int x = env.ws.variableIndex("x");
    struct Row {
        const char* what;
        Builder tree;
    } rows[] = {
        {"rnd", TREE(sum(var("x"), rnd()))},
        {"rnd in a constant subtree", TREE(prod(var("x"), sum(num(1), rnd())))},
        {"a numeric integral", TREE(integral(var("t"), "t", num(0), var("x"), num(4)))},
        {"the factorial of a variable", TREE(fn(Kind::Fact, var("x")))},
        // Met before any slot exists: nothing may read the missing operand.
        {"rnd first", TREE(diff(rnd(), var("x")))},
        {"an integral first",
         TREE(diff(integral(var("t"), "t", num(0), var("x"), num(4)), var("x")))},
        {"a function of rnd", TREE(fn(Kind::Sin, rnd()))},
        {"a logarithm of rnd", TREE(logb(rnd(), var("x")))},
    };
    for (const Row& row : rows) {
        NodePtr t = row.tree();
        EXPECT_FALSE(CompiledExpr(*t, {{x, true}}).ok()) << row.what;
    }
}

TEST(CompiledExprTest, DeepChainsCompileAndKeepFewSlots) {
    FreshWorkspace env;
    const int x = env.ws.variableIndex("x");
    // ((x + 1) * x + 1) * x ..., 2000 levels: nested as the parser nests a
    // long polynomial.
    NodePtr t = var("x");
    for (int k = 0; k < 1000; ++k) t = sum(prod(std::move(t), var("x")), num(1));
    const CompiledExpr c(*t, {{x, true}});
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.instructionCount(), 2000);
    CompiledExpr::Scratch scratch;
    c.prepare(scratch);
    // Slots are reused as the chain is walked: two suffice.
    EXPECT_LE(scratch.vectors.size(), 2u * CompiledExpr::kBlock);
    const double xs[] = {0.999, -1.0};
    const double* inputs[] = {xs};
    double out[2];
    c.evaluate(inputs, 2, out, scratch);
    for (int k = 0; k < 2; ++k) {
        valueOf("x") = xs[k];
        EXPECT_TRUE(same(out[k], t->evaluate()));
    }
}

}  // namespace
}  // namespace kv
