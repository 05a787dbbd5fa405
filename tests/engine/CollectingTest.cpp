// The collecting operations: which subtrees they list, in which order, and that
// they list the subtrees themselves rather than copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ExprNode.h"
#include "support/RowNames.h"
#include "support/TreeBuilders.h"

namespace kv {
namespace {

using namespace kv::test;

struct CollectRow {
    void (ExprNode::*collect)(NodeList&) const;
    Builder tree;
    const char* expected;  // the texts of the listed subtrees, joined by "; "
    friend void PrintTo(const CollectRow& r, std::ostream* os) { *os << r.expected; }
};

class CollectTest : public ::testing::TestWithParam<CollectRow> {};

TEST_P(CollectTest, ListsSubtrees) {
    FreshWorkspace env;
    NodePtr t = GetParam().tree();
    NodeList out = {t.get()};  // collecting appends to what is there
    ((*t).*GetParam().collect)(out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), t.get());
    std::string texts;
    for (std::size_t i = 1; i < out.size(); ++i) {
        EXPECT_TRUE(isInside(out[i], *t)) << out[i]->toText() << " is not part of the tree";
        texts += (i > 1 ? "; " : "") + out[i]->toText();
    }
    EXPECT_EQ(texts, GetParam().expected);
}

const auto a = [] { return var("a"); };
const auto b = [] { return var("b"); };
const auto c = [] { return var("c"); };
constexpr auto kFactors = &ExprNode::collectFactors;
constexpr auto kDivisors = &ExprNode::collectFactorsAndDivisors;
constexpr auto kAddends = &ExprNode::collectAddends;
constexpr auto kTerms = &ExprNode::collectTerms;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, CollectTest, ::testing::Values(
    CollectRow{kFactors, TREE(neg(prod(a(), power(b(), num(2))))), "a*b^2; a; b^2; b"},
    CollectRow{kFactors, TREE(prod(prod(a(), b()), c())), "a*b; c; a; b"},
    CollectRow{kFactors, TREE(prod(quot(a(), b()), fn(Kind::Sqrt, c()))), "a/b; sqrt(c)"},
    CollectRow{kFactors, TREE(sum(a(), b())), ""},
    CollectRow{kDivisors, TREE(quot(prod(a(), b()), c())), "a*b; c; a; b"},
    CollectRow{kDivisors, TREE(fn(Kind::Sqrt, quot(a(), power(b(), c())))), "a/b^c; a; b^c; b"},
    CollectRow{kAddends, TREE(sum(a(), prod(b(), c()))), "a; b*c; b; c; a; b*c; b; c"},
    CollectRow{kAddends, TREE(prod(prod(a(), b()), c())), "a*b; a; b; c"},
    CollectRow{kAddends, TREE(neg(power(a(), num(2)))), "a^2; a^2"},
    CollectRow{kAddends, TREE(fn(Kind::Sin, sum(a(), b()))), ""},
    CollectRow{kTerms, TREE(diff(sum(a(), b()), prod(b(), c()))), "a; b; b*c"},
    CollectRow{kTerms, TREE(diff(a(), diff(b(), neg(c())))), "a; b; (-c)"},
    CollectRow{kTerms, TREE(prod(a(), b())), "a*b"}), rowNames(&CollectRow::expected));
// clang-format on

}  // namespace
}  // namespace kv
