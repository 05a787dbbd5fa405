// Simplification: the pipeline `simpl` and its passes toProductForm,
// simplify, toQuotientForm and normalizeSigns, and the auxiliary toSumForm.
//
// simpl(t) = normalizeSigns(toQuotientForm(simplify(toProductForm(together(t)))))
//
// Inside the pipeline divisions and roots are powers (x/y is x*y^(-1), sqrt(x)
// is x^0.5), differences are sums with negated terms, and negative numbers are
// negations of positive ones; the last two passes turn the result back into
// quotients and differences.
//
// This file holds the passes and the pipeline; the rules of simplify are in
// SimplifySums.cpp, SimplifyProducts.cpp and SimplifyPowers.cpp (powers and
// functions), the shared rewriting helpers in Rewriting.cpp.
//
// Every numeric test uses the one tolerance of engine/Tolerance.h. The passes
// spend the budget of algebra/RewriteBudget.h, so no input makes them run or
// grow without bound.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "algebra/SimplifyMemo.h"
#include "algebra/SimplifyRules.h"
#include "engine/Power.h"
#include "engine/ScalarOps.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv {

using namespace rw;

// ---- toSumForm -------------------------------------------------------------------
//
// a - b -> a + (-b), at every level of the tree
NodePtr ExprNode::toSumForm() const {
    if (kind() == Kind::Difference)
        return sum(leftOf(*this).toSumForm(), negation(rightOf(*this).toSumForm()));
    return rebuild(*this, [](const ExprNode& c) { return c.toSumForm(); });
}

// ---- toProductForm ---------------------------------------------------------------
//
// u / v     -> u' * v'^(-1)
// sqrt(u)   -> u^0.5                  (u is copied as it is)
// -u        -> -(u')
// (a*b)^e   -> ((a*b)')^(e')
// (a/b)^e   -> (a^e)' * ((b^e)')^(-1)
// any other power is copied unchanged; other nodes convert their children.
namespace {

// The passes below work on a tree they own: a node they leave as it is keeps
// its place, so the pipeline does not copy its tree once per pass. The const
// operations of the node model run them on a copy.
NodePtr productForm(NodePtr t) {
    switch (t->kind()) {
        case Kind::Quotient: {
            NodePtr num = productForm(takeLeft(*t));
            NodePtr den = productForm(takeRight(*t));
            return product(std::move(num), power(std::move(den), minusOne()));
        }
        case Kind::Sqrt:
            return power(takeOperand(*t), number(0.5));
        case Kind::Power: {
            const Kind base = leftOf(*t).kind();
            if (base == Kind::Product) return rebuildOwned(std::move(t), productForm);
            if (base == Kind::Quotient) {
                NodePtr e = takeRight(*t);
                NodePtr q = takeLeft(*t);
                NodePtr num = productForm(power(takeLeft(*q), e->clone()));
                NodePtr den = productForm(power(takeRight(*q), std::move(e)));
                return product(std::move(num), power(std::move(den), minusOne()));
            }
            return t;
        }
        default:
            return rebuildOwned(std::move(t), productForm);
    }
}

}  // namespace

NodePtr ExprNode::toProductForm() const {
    return productForm(clone());
}

// ---- simplify ----------------------------------------------------------------------
//
// Bottom-up: the children are simplified first, then the node's own rules apply.
// Number:     0 -> the zero node; -3 -> -(3)
// Negation:   -(-a) -> a; -(constant zero) -> 0
// Difference: a - b -> a + (-b), then as a sum
// Quotient:   u/v -> u*v^(-1), then as a product; sqrt(u) -> u^0.5, then as a power
// Sum, Product, Power, logarithms, exp, abs, sign: see the functions below.
// Other functions simplify their argument only (no folding: sin(0) stays).

namespace {

// Where simplify reports the memo's entry of the tree a pass started with,
// if that tree is a kept sum; null once taken.
thread_local SimplifyMemo::Entry** rootEntry = nullptr;

template <class In>
NodePtr simplifyIn(In self);

// The rules of one visit; inlined into simplifyIn, so that a visit stays one
// stack frame per level of the tree. Written once for a tree it reads and
// one it owns (the pipeline's, whose nodes it then keeps where it can).
template <class In>
[[gnu::always_inline]] inline NodePtr simplifyNode(In self, RewriteBudget& budget) {
    const ExprNode& n = view(self);
    if (!budget.spend()) return keep(self);
    switch (n.kind()) {
        case Kind::Number: {
            const double v = as<NumberNode>(n).value;
            // A number that is its own normal form keeps its node.
            if constexpr (std::is_same_v<In, Owned>)
                if (v > 0 && !tol::isZero(v)) return keep(self);
            return normalNumber(v);
        }
        case Kind::Negation:
            return negateSimplified(simplifyIn(operandIn(self)));
        case Kind::Sum:
            return simplifySum(simplifyIn(leftIn(self)), simplifyIn(rightIn(self)));
        case Kind::Difference:
            return simplifySum(simplifyIn(leftIn(self)),
                               negateSimplified(simplifyIn(rightIn(self))));
        case Kind::Product:
            return simplifyProduct(simplifyIn(leftIn(self)), simplifyIn(rightIn(self)));
        case Kind::Quotient:
        case Kind::Sqrt:
            return simplifyIn(productForm(keep(self)));
        case Kind::Power:
            return simplifyPower(simplifyIn(leftIn(self)), simplifyIn(rightIn(self)));
        case Kind::Ln:
        case Kind::Log:
        case Kind::Log2:
        case Kind::LogBase:
            return simplifyLog(n, simplifyIn(operandIn(self)));
        case Kind::Exp:
            return simplifyExp(simplifyIn(operandIn(self)));
        case Kind::Abs:
            return simplifyAbs(simplifyIn(operandIn(self)));
        case Kind::Sign:
            return simplifySign(simplifyIn(operandIn(self)));
        default:
            if constexpr (std::is_same_v<In, Owned>)
                return rebuildOwned(std::move(self),
                                    [](NodePtr c) { return simplifyIn(std::move(c)); });
            else
                return rebuild(n, [](const ExprNode& c) { return simplifyIn(&c); });
    }
}

// simplify of a sum inside a derivative, through the budget's memo. A kept
// result is used only while the budget can pay more than its first
// computation spent: that computation would run to its end again, with the
// same result, and leave work over (algebra/SimplifyMemo.h). A sum that
// simplified to itself is kept without a copy, and met again it is its own
// result.
template <class In>
[[gnu::noinline]] NodePtr simplifyKept(In self, RewriteBudget& budget, SimplifyMemo& memo) {
    SimplifyMemo::Entry** report = std::exchange(rootEntry, nullptr);
    const std::size_t before = budget.work();
    // A node the memo knows names its entry, the one its key would find; such
    // an entry is not added again.
    const SimplifyMemo::Facts* known = memo.factsOf(view(self));
    SimplifyMemo::Key key;
    if (!known && !memo.keyOf(view(self), key)) return simplifyNode(std::move(self), budget);
    if (SimplifyMemo::Entry* e = known ? known->entry : memo.find(key); e && before > e->work) {
        budget.spend(e->work);
        memo.countHit();
        if (e->result) return e->result->clone();
        if constexpr (std::is_same_v<In, Owned>) {
            if (e->final && !known) memo.remember(*self, *e);
            if (report) *report = e;
        }
        return keep(self);
    }
    if (known) return simplifyNode(std::move(self), budget);
    NodePtr result = simplifyNode(std::move(self), budget);
    const std::size_t after = budget.work();
    if (after > 0) {
        SimplifyMemo::Entry* added = memo.add(std::move(key), *result, before - after);
        if (report) *report = added;
    }
    return result;
}

template <class In>
NodePtr simplifyIn(In self) {
    RewriteBudget* budget = RewriteBudget::current();
    if (!budget) {
        RewriteBudget::Scope scope(view(self));
        return simplifyIn(std::move(self));
    }
    // Only sums are kept: they are what comes back (a derivative's growing
    // sum holds the sums simplified at the steps before).
    const Kind k = view(self).kind();
    if (SimplifyMemo* memo = budget->memo(); memo && (k == Kind::Sum || k == Kind::Difference))
        return simplifyKept(std::move(self), *budget, *memo);
    return simplifyNode(std::move(self), *budget);
}

}  // namespace

NodePtr ExprNode::simplify() const {
    return simplifyIn<Read>(this);
}

// ---- toQuotientForm ---------------------------------------------------------------------
//
// u^(-1) -> 1/u;  u^(-0.5) -> 1/sqrt(u)    (other exponents, 0.5 too, stay)
// a*(1/b) -> a/b;  (1/a)*b -> b/a;  (1/a)*(1/b) -> 1/(a*b)
// (n/a)*(1/b) -> n/(a*b);  (1/a)*(n/b) -> n/(a*b)
namespace {

bool isReciprocal(const ExprNode& n) {
    if (n.kind() != Kind::Quotient) return false;
    const ExprNode& num = leftOf(n);
    return num.kind() == Kind::Number && tol::equal(as<NumberNode>(num).value, 1.0);
}

// Puts the two children back into the node they were taken from.
NodePtr withChildren(NodePtr t, NodePtr a, NodePtr b) {
    auto& n = static_cast<BinaryNode&>(*t);
    attach(n, n.left, std::move(a));
    attach(n, n.right, std::move(b));
    return t;
}

// The rules of the quotient form at t, whose children `pass` converts; null,
// with t left as it is, for a node that has none.
template <class Pass>
NodePtr quotientRule(NodePtr& t, Pass pass) {
    switch (t->kind()) {
        case Kind::Power: {
            NodePtr base = pass(takeLeft(*t));
            const double v = constantValue(rightOf(*t));
            if (tol::equal(v, -1.0)) return quotient(number(1.0), std::move(base));
            if (tol::equal(v, -0.5))
                return quotient(number(1.0), makeFunction(Kind::Sqrt, std::move(base)));
            NodePtr e = pass(takeRight(*t));
            return withChildren(std::move(t), std::move(base), std::move(e));
        }
        case Kind::Product: {
            NodePtr a = pass(takeLeft(*t));
            NodePtr b = pass(takeRight(*t));
            const bool ra = isReciprocal(*a);
            const bool rb = isReciprocal(*b);
            if (rb && a->kind() == Kind::Quotient) {
                // (n/a)*(1/b) -> n/(a*b), and (1/a)*(1/b) -> 1/(a*b)
                NodePtr bd = takeRight(*b);
                NodePtr ad = takeRight(*a);
                return quotient(takeLeft(*a), product(std::move(ad), std::move(bd)));
            }
            if (ra && b->kind() == Kind::Quotient) {
                NodePtr bd = takeRight(*b);
                NodePtr ad = takeRight(*a);
                return quotient(takeLeft(*b), product(std::move(ad), std::move(bd)));
            }
            if (rb) return quotient(std::move(a), takeRight(*b));
            if (ra) return quotient(std::move(b), takeRight(*a));
            return withChildren(std::move(t), std::move(a), std::move(b));
        }
        default:
            return nullptr;
    }
}

NodePtr quotientForm(NodePtr t) {
    if (NodePtr r = quotientRule(t, quotientForm)) return r;
    return rebuildOwned(std::move(t), quotientForm);
}

}  // namespace

NodePtr ExprNode::toQuotientForm() const {
    return quotientForm(clone());
}

// ---- normalizeSigns ------------------------------------------------------------------------
//
// (-a) + (-b) -> -(b + a);  a + (-b) -> a - b;  (-a) + b -> b - a
// a - (-b) -> a + b;  (-a) - b -> -(a + b);  (-a) - (-b) -> b - a
// -(-a) -> a
// products, quotients and powers normalise their operands only
namespace {

// The rules of the sign form at t, whose children `pass` converts; null, with
// t left as it is, for a node that has none.
template <class Pass>
NodePtr signRule(NodePtr& t, Pass pass) {
    switch (t->kind()) {
        case Kind::Sum:
        case Kind::Difference: {
            NodePtr a = pass(takeLeft(*t));
            NodePtr b = pass(takeRight(*t));
            const bool na = a->kind() == Kind::Negation;
            const bool nb = b->kind() == Kind::Negation;
            if (t->kind() == Kind::Sum) {
                if (na && nb) return negation(sum(takeOperand(*b), takeOperand(*a)));
                if (nb) return difference(std::move(a), takeOperand(*b));
                if (na) return difference(std::move(b), takeOperand(*a));
                return withChildren(std::move(t), std::move(a), std::move(b));
            }
            if (na && nb) return difference(takeOperand(*b), takeOperand(*a));
            if (nb) return sum(std::move(a), takeOperand(*b));
            if (na) return negation(sum(takeOperand(*a), std::move(b)));
            return withChildren(std::move(t), std::move(a), std::move(b));
        }
        case Kind::Negation: {
            NodePtr a = pass(takeOperand(*t));
            if (a->kind() == Kind::Negation) return takeOperand(*a);
            attach(*t, static_cast<UnaryNode&>(*t).operand, std::move(a));
            return std::move(t);
        }
        default:
            return nullptr;
    }
}

NodePtr signForm(NodePtr t) {
    if (NodePtr r = signRule(t, signForm)) return r;
    return rebuildOwned(std::move(t), signForm);
}

// signForm(quotientForm(t)) in one walk. The two sets of rules are for
// different kinds, each pass copies the nodes of the other's kinds around
// its converted children, and the sign form of a tree in sign form is the
// tree itself; so each node can take its own rules with children that have
// had both.
//
// A sum the memo knows by its node is its own final form and is passed over.
// `formChanged` is set when a rule changes the tree.
thread_local bool formChanged = false;

NodePtr finalForm(NodePtr t) {
    if (t->mark() != 0) {
        const SimplifyMemo* memo = RewriteBudget::current()->memo();
        if (memo && memo->factsOf(*t)) return t;
    }
    const ExprNode* before = t.get();
    NodePtr r;
    switch (t->kind()) {
        case Kind::Power:
        case Kind::Product:
            r = quotientRule(t, finalForm);
            break;
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Negation:
            r = signRule(t, finalForm);
            break;
        default:
            return rebuildOwned(std::move(t), finalForm);
    }
    if (r.get() != before) formChanged = true;
    return r;
}

}  // namespace

NodePtr ExprNode::normalizeSigns() const {
    return signForm(clone());
}

// ---- The pipeline ----------------------------------------------------------------------------

namespace {

// simpl of `tree`; with `owned`, the pointer that holds the tree, which the
// passes then take apart instead of copying it.
// Whether together and the product form leave the tree as it is, as they do
// a polynomial: a tree of sums, differences, products, leaves, functions
// other than the root, and powers whose exponent is a number that is not
// negative. Each such power costs together a unit of work, which `powers`
// counts; `nodes` counts the nodes. False for any other tree, the counts then
// incomplete.
// A sum the memo knows by its node gives the test and counts it keeps.
bool plainTree(const ExprNode& t, std::size_t& nodes, std::size_t& powers,
               const SimplifyMemo* memo) {
    const Kind k = t.kind();
    if (memo && t.mark() != 0) {
        if (const SimplifyMemo::Facts* f = memo->factsOf(t); f && f->counted) {
            nodes += f->nodes;
            powers += f->powers;
            return f->plain;
        }
    }
    ++nodes;
    switch (k) {
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
            return plainTree(leftOf(t), nodes, powers, memo) &&
                   plainTree(rightOf(t), nodes, powers, memo);
        case Kind::Power: {
            const ExprNode& e = rightOf(t);
            if (e.kind() != Kind::Number) return false;
            const double v = as<NumberNode>(e).value;
            if (v < 0 && !tol::isZero(v)) return false;
            ++nodes;
            ++powers;
            return plainTree(leftOf(t), nodes, powers, memo);
        }
        case Kind::Quotient:
        case Kind::Sqrt:
        case Kind::LogBase:
        case Kind::NIntegrate:
        case Kind::List:
            return false;
        default:
            return !isFunctionKind(k) || plainTree(operandOf(t), nodes, powers, memo);
    }
}

// Asks simplify for the memo's entry of `t`, when t is a sum it keeps.
struct RootEntry {
    RootEntry(const ExprNode& t, SimplifyMemo::Entry*& entry) {
        const Kind k = t.kind();
        if ((k == Kind::Sum || k == Kind::Difference) && RewriteBudget::current()->memo())
            rootEntry = &entry;
    }
    ~RootEntry() { rootEntry = nullptr; }
    RootEntry(const RootEntry&) = delete;
    RootEntry& operator=(const RootEntry&) = delete;
};

NodePtr simplOf(const ExprNode& tree, NodePtr* owned, std::size_t* outNodes = nullptr) {
    // Inside a derivative the passes spend the derivative's budget: the five
    // passes over the tree first, and nothing more once it is spent.
    RewriteBudget* shared = RewriteBudget::current();
    SimplifyMemo* memo = shared && shared->shared() ? shared->memo() : nullptr;
    std::size_t nodes = 0, powers = 0;
    const bool plain = plainTree(tree, nodes, powers, memo);
    if (shared && shared->shared()) {
        const std::size_t size = plain ? std::min(nodes, RewriteBudget::kMaxNodes + 1)
                                       : countNodes(tree, RewriteBudget::kMaxNodes);
        if (!shared->spend(5 * size)) return tree.clone();
    }
    RewriteBudget::Scope scope(tree, shared && shared->shared()
                                         ? RewriteBudget::Scope::Mode::Join
                                         : RewriteBudget::Scope::Mode::Fresh);
    NodePtr t;
    if (plain) {
        // What together would have spent on the exponents.
        RewriteBudget::current()->spend(powers);
        t = owned ? std::move(*owned) : tree.clone();
    } else {
        t = productForm(owned ? togetherOwned(std::move(*owned)) : tree.together());
    }
    SimplifyMemo::Entry* entry = nullptr;
    const std::uint64_t fills = sumFills();
    {
        RootEntry report(*t, entry);
        t = simplifyIn(std::move(t));
    }
    formChanged = false;
    t = finalForm(std::move(t));
    // A sum that simplified to itself and has no other final form: the
    // memo knows its node from now on (the next step of a derivative holds
    // it), with the counts made above when they are of this tree (a plain
    // tree is the one simplify was given).
    if (entry && !entry->result && !formChanged) {
        entry->final = true;
        if (memo) {
            SimplifyMemo::Facts counts;
            counts.counted = plain;
            counts.plain = plain;
            counts.nodes = nodes;
            counts.powers = powers;
            memo->remember(*t, *entry, &counts);
            keepSumTerms(*t, *memo, fills);
        }
        // The result is the input itself, whose nodes are counted above.
        if (outNodes && plain) *outNodes = nodes;
    }
    return t;
}

}  // namespace

NodePtr simpl(const ExprNode& tree) {
    return simplOf(tree, nullptr);
}

NodePtr rw::simplifyProductOf(NodePtr a, NodePtr b) {
    if (!RewriteBudget::current()) {
        RewriteBudget::Scope scope(*a);
        return simplifyProductOf(std::move(a), std::move(b));
    }
    return simplifyProduct(std::move(a), std::move(b));
}

NodePtr rw::simplifyOwned(NodePtr tree) {
    return simplifyIn(std::move(tree));
}

NodePtr rw::simplOwned(NodePtr tree, std::size_t* nodes) {
    if (nodes) *nodes = 0;
    RewriteBudget* shared = RewriteBudget::current();
    if (shared && shared->shared() && shared->exhausted()) return tree;
    return simplOf(*tree, &tree, nodes);
}

}  // namespace kv
