// Derivatives keep the results of `simplify` and use them again; with and
// without the memo every result, and the work left in the budget, must be the
// same, also when the work runs out part way (the smaller budgets below).
#include <gtest/gtest.h>

#include <string>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/SimplifyMemo.h"
#include "lang/CommandInterpreter.h"
#include "support/RandomExpression.h"

namespace kv {
namespace {

using kv::test::Random;

// Sums of terms from a small pool, so that the same subtrees come back, with
// products, quotients, powers and functions of them.
const kv::test::ExpressionGrammar kGrammar{{"x", "y", "x", "2", "3", "0.5", "1", "0"},
                                           {"sin", "cos", "exp", "ln", "sqrt", "abs", "log"},
                                           {"2", "3", "(-1)", "0.5", "x", "1"}};

std::string randomTerm(Random& r, int depth) {
    return kv::test::randomExpression(r, depth, kGrammar);
}

std::string randomSum(Random& r) {
    std::string pool[4];
    for (std::string& p : pool) p = randomTerm(r, 1 + r.below(2));
    const int n = 1 + r.below(7);
    std::string e;
    for (int k = 0; k < n; ++k) {
        if (k > 0) e += r.below(3) == 0 ? "-" : "+";
        e += std::to_string(1 + r.below(4)) + "*(" + pool[r.below(4)] + ")";
    }
    return e;
}

struct Outcome {
    std::string text;
    std::size_t workLeft;
    std::size_t workUsed;
    bool overflowed;
    std::size_t hits;
};

// The first or second derivative along x in a budget of its own, the work
// lowered to `work` when it is not 0.
Outcome derive(const ExprNode& t, int x, int order, std::size_t work, bool memo) {
    rw::SimplifyMemo::setEnabled(memo);
    RewriteBudget::Scope scope(t, RewriteBudget::Scope::Mode::Derivative);
    RewriteBudget& budget = *RewriteBudget::current();
    if (work) budget.limitWork(work);
    const std::size_t start = budget.work();
    NodePtr d = nthDerivative(order, t, IdList{x});
    rw::SimplifyMemo::setEnabled(true);
    return {d->toText(), budget.work(), start - budget.work(), budget.overflowed(),
            budget.memo() ? budget.memo()->hits() : 0};
}

TEST(SimplifyMemo, DerivativesAreTheSameWithAndWithoutIt) {
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    const int x = ci.workspace().variableIndex("x");
    Random random(20261210);
    int trees = 0, spent = 0, hit = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 2 ? randomSum(random) : randomTerm(random, 3 + random.below(2));
        // Now and then a long sum, the case the memo is for: a polynomial,
        // or terms of a pool with both signs (like terms, quotients and
        // differences among them), whose earlier terms the memo knows by
        // their node at every step.
        if (round % 250 == 0) {
            const bool polynomial = round % 500 == 0;
            std::string pool[3];
            for (std::string& p : pool) p = randomTerm(random, 1 + random.below(2));
            text = "1";
            for (int k = 1; k <= 20 + round / 250; ++k) {
                const std::string c = std::to_string(k);
                text += polynomial ? "+" + c + "*x^" + c
                                   : (random.below(3) == 0 ? "-" : "+") + c + "*(" +
                                         pool[random.below(3)] + ")*x^" + c;
            }
        }
        NodePtr t = ci.parseCommand(text);
        if (ci.hasError()) continue;
        ++trees;
        const int order = random.below(4) == 0 ? 2 : 1;
        // The full budget, then a part of the work that took, so that the
        // work runs out somewhere along the way.
        std::size_t work = 0;
        for (int pass = 0; pass < 2; ++pass) {
            const Outcome plain = derive(*t, x, order, work, false);
            const Outcome kept = derive(*t, x, order, work, true);
            ASSERT_EQ(kept.text, plain.text) << "derivative " << order << " of " << text;
            ASSERT_EQ(kept.workLeft, plain.workLeft) << "derivative " << order << " of " << text;
            ASSERT_EQ(kept.overflowed, plain.overflowed) << text;
            EXPECT_EQ(plain.hits, 0u);
            if (work && plain.workLeft == 0) ++spent;
            if (kept.hits > 0) ++hit;
            work = 1 + plain.workUsed * static_cast<std::size_t>(10 + random.below(85)) / 100;
        }
    }
    // Most trees parse, the memo is used on many of them, and the smaller
    // budgets do run out.
    EXPECT_GT(trees, 2500);
    EXPECT_GT(hit, 500);
    EXPECT_GT(spent, 1200);
}

}  // namespace
}  // namespace kv
