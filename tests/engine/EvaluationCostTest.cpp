// The cost estimate the work bound is checked with: nodes once each, an
// integrand once per sample point of its integral, integrals inside
// integrals multiplied.
#include <gtest/gtest.h>

#include "engine/EvaluationCost.h"
#include "engine/Quadrature.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

TEST(EvaluationCost, CountsIntegrandsOncePerSamplePoint) {
    const struct Row {
        const char* what;
        Builder tree;
        double cost;
    } rows[] = {
        {"a number", TREE(num(2)), 1},
        {"x^2+1", TREE(sum(power(var("x"), num(2)), num(1))), 5},
        // The integral, its bounds and count: 1 + 1 + 1 + 1; t^2 (3 nodes)
        // at 2 * 26 + 1 points.
        {"26 pairs", TREE(integral(power(var("t"), num(2)), "t", num(0), num(1), num(26))),
         4 + 3 * 53},
        // 7.9 pairs are 8, as evaluation takes them; none are 2.
        {"7.9 pairs", TREE(integral(var("t"), "t", num(0), num(1), num(7.9))), 4 + 17},
        {"no pairs", TREE(integral(var("t"), "t", num(0), num(1), num(-5))), 4 + 5},
        // A count in a variable counts with its present value (a = 10).
        {"a pairs", TREE(integral(var("t"), "t", num(0), num(1), var("a"))), 4 + 21},
        // Inside an integral of 10 pairs: the inner integral 21 times.
        {"nested",
         TREE(integral(integral(var("t"), "t", num(0), var("u"), num(10)), "u", num(0), num(1),
                       num(10))),
         4 + 21 * (4 + 21)},
        // A count that is itself an integral: the largest pair count.
        {"count of an integral",
         TREE(integral(var("t"), "t", num(0), num(1),
                       integral(var("u"), "u", num(0), num(1), num(2)))),
         3 + (4 + 5) + (2.0 * static_cast<double>(kMaxSimpsonPairs) + 1)},
    };
    for (const Row& row : rows) {
        FreshWorkspace env;
        NodePtr t = row.tree();
        valueOf("a") = 10;  // after building: a new variable node resets the value
        EXPECT_EQ(evaluationCost(*t), row.cost) << row.what;
    }
}

// A chain of sums as deep as the parser lets a tree grow.
TEST(EvaluationCost, DeepChainsAreCountedWhole) {
    FreshWorkspace env;
    NodePtr t = var("x");
    for (int i = 0; i < 10'000; ++i) t = sum(std::move(t), num(1));
    EXPECT_EQ(evaluationCost(*t), 20'001);
}

}  // namespace
}  // namespace kv
