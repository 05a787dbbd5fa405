// The simplifier's rules for products (see Simplification.cpp for the
// pipeline they belong to); the rules are listed above the code.
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "algebra/SimplifyRules.h"
#include "engine/Power.h"
#include "engine/ScalarOps.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv {

using namespace rw;

namespace {

// ---- Products --------------------------------------------------------------------------
//
// Product a * b of simplified factors (in product form, a factor
// (-a) + (-b) written -(b + a)):
//   constant with an integral value      -> that number: 2*3 -> 6, 6*3^(-1) -> 2
//   0*b -> 0;  1*b -> b;  (-1)*b -> -b   (and the same on the right), unless
//                                         both factors are numbers
//   x*x -> x^2                           (x not a number and not a power)
//   a^e*b^e -> (a*b)^e                   (bases differ, exponents equal;
//                                         e integral or a, b positive constants;
//                                         not 2^3*x^3, which (2*x)^3 would give)
// then on the flattened product:
//   negations come out:                  (-a)*b -> -(a*b)
//   numeric factors multiply and stand first:  x*2*3 -> 6*x
//   factors with equal bases merge, a factor of the left side with one of
//   the right:  x*x^n -> x^(n+1);  x^a*x^b -> x^(a+b);  x*x^(-1) -> 1;
//   (u^a)^n with n an integral constant has the base u: x*(x^2)^(-1) -> 1/x
//   a merged power is simplified and flattened again: 2^0.5*2^0.5 -> 2
//   a power b^k of a number with an integral k joins the numeric factor
//   when their product is an integer: 2*x*2^(-1) -> x
//   an integral coefficient over an integer is reduced: 2*4^(-1) -> 1*2^(-1),
//   6*4^(-1) -> 3*2^(-1)
// A product with none of these is kept as it is (y*x stays y*x).

struct FactorRef {
    const ExprNode* tree;
    int side;  // 0 left, 1 right, 2 made by a merge
};

struct Flat {
    bool negative = false;
    double coefficient = 1.0;
    int literals = 0;
    bool literalFirst = false;
    bool sawNegation = false;
    Scratch<FactorRef> list;
    std::vector<FactorRef>& factors = *list;
};

void flatten(const ExprNode& node, int side, Flat& flat) {
    switch (node.kind()) {
        case Kind::Product:
            flatten(leftOf(node), side, flat);
            flatten(rightOf(node), side, flat);
            return;
        case Kind::Negation:
            flat.negative = !flat.negative;
            flat.sawNegation = true;
            flatten(operandOf(node), side, flat);
            return;
        case Kind::Number:
        case Kind::Zero:
            if (flat.literals == 0 && flat.factors.empty()) flat.literalFirst = true;
            ++flat.literals;
            flat.coefficient *= literalValue(node);
            return;
        default:
            flat.factors.push_back({&node, side});
    }
}

std::pair<std::size_t, std::size_t> findFactorMerge(const std::vector<FactorRef>& f) {
    for (std::size_t i = 0; i < f.size(); ++i) {
        const ExprNode& bi = baseOf(*f[i].tree);
        for (std::size_t j = i + 1; j < f.size(); ++j) {
            if (f[i].side == f[j].side && f[i].side != 2) continue;
            if (!spend()) return {0, 0};
            if (countedEquals(bi, baseOf(*f[j].tree))) return {i, j};
        }
    }
    return {0, 0};
}

// The value of a factor b^k with a number b and an integral constant k
// (2^(-1), 3^2), or NaN for any other factor.
double numericPowerValue(const ExprNode& f) {
    if (f.kind() != Kind::Power || leftOf(f).kind() != Kind::Number) return std::nan("");
    const double k = constantValue(rightOf(f));
    if (!(tol::isIntegral(k) || tol::isIntegral(-k))) return std::nan("");
    return numericPower(as<NumberNode>(leftOf(f)).value, k);
}

// Whether a factor b^k folds into the coefficient c: when c*b^k is an
// integer (6*3^(-1) -> 2, 2*x*2^(-1) -> x; 2*4^(-1) stays, 2/4).
bool foldsInto(double c, const ExprNode& f) {
    const double v = numericPowerValue(f);
    return std::isfinite(v) && tol::isFoldableIntegral(std::fabs(c * v));
}

bool anyFolds(const Flat& flat) {
    for (const FactorRef& f : flat.factors)
        if (foldsInto(flat.coefficient, *f.tree)) return true;
    return false;
}

// An integral coefficient over an integer, c*d^(-1) (6/4, 12/16), is
// brought to lowest terms: 3*2^(-1), 3*4^(-1); a denominator that divides
// out goes (4/2 has folded to 2 before). The common divisor of c and the
// factor d^(-1), or 1 when there is none (or either is beyond 2^53).
double fractionDivisor(double c, const ExprNode& f) {
    constexpr double kExact = 9007199254740992.0;  // 2^53
    const double a = std::fabs(c);
    if (a < 1 || a >= kExact || a != std::trunc(a)) return 1;
    if (f.kind() != Kind::Power || leftOf(f).kind() != Kind::Number) return 1;
    const double d = as<NumberNode>(leftOf(f)).value;
    if (constantValue(rightOf(f)) != -1.0 || d < 2 || d >= kExact || d != std::trunc(d)) return 1;
    return static_cast<double>(
        std::gcd(static_cast<std::int64_t>(a), static_cast<std::int64_t>(d)));
}

// A constant factor of value v that makes the product 0: one within the
// tolerance of 0, except the reciprocal of a large number (1e12^(-1)), which
// is small but never noise.
bool zeroFactor(const ExprNode& f, double v) {
    if (!tol::isZero(v)) return false;
    return !(v != 0 && f.kind() == Kind::Power && leftOf(f).kind() == Kind::Number &&
             constantValue(rightOf(f)) < 0);
}

bool anyReduces(const Flat& flat) {
    for (const FactorRef& f : flat.factors)
        if (fractionDivisor(flat.coefficient, *f.tree) > 1) return true;
    return false;
}

template <class Items>
void reduceIntegerFraction(double& c, Items& items) {
    for (auto it = items.begin(); it != items.end(); ++it) {
        const double g = fractionDivisor(c, *it->tree);
        if (g <= 1) continue;
        const double d = as<NumberNode>(leftOf(*it->tree)).value / g;
        c /= g;
        if (d == 1)
            items.erase(it);
        else
            it->tree = power(number(d), negation(number(1.0)));
        return;
    }
}

// exponentCopy and baseOf for a factor that a merge gives up: the parts are
// taken out of it instead of copied, the exponent first. `nested` tells
// whether the factor is a power of a power as baseOf sees it.
NodePtr takeExponent(NodePtr& f, bool nested) {
    if (f->kind() != Kind::Power) return number(1.0);
    if (nested) {
        NodePtr outer = takeRight(*f);
        return product(takeRight(*static_cast<BinaryNode&>(*f).left), std::move(outer));
    }
    return takeRight(*f);
}
NodePtr takeBase(NodePtr& f, bool nested) {
    if (f->kind() != Kind::Power) return std::move(f);
    if (nested) return takeLeft(*static_cast<BinaryNode&>(*f).left);
    return takeLeft(*f);
}

// Rebuilds a flattened product, merging factors of equal bases. The factors
// are taken out of `whole`, the tree they were flattened from.
[[gnu::noinline]] NodePtr rebuildProduct(Flat& flat, std::pair<std::size_t, std::size_t> m,
                                         NodePtr& whole) {
    struct Owned {
        NodePtr tree;
        int side;
    };
    Scratch<Owned> itemList;
    std::vector<Owned>& items = *itemList;
    items.reserve(flat.factors.size() + 2);
    for (const FactorRef& f : flat.factors) items.push_back({takeSubtree(f.tree, whole), f.side});
    Scratch<FactorRef> viewList;
    std::vector<FactorRef>& view = *viewList;
    view.reserve(flat.factors.size() + 2);
    auto refresh = [&] {
        view.clear();
        for (const Owned& o : items) view.push_back({o.tree.get(), o.side});
    };
    // Each merge removes a factor; the merged power may bring a number and at
    // most a factor or two back, so the count of rounds is bounded too.
    for (std::size_t round = 0; m.first != m.second && round < 4 * flat.factors.size() + 4;
         ++round) {
        NodePtr& fi = items[m.first].tree;
        NodePtr& fj = items[m.second].tree;
        const bool nestedI = isPowerOfPower(*fi);
        NodePtr ei = takeExponent(fi, nestedI);
        NodePtr e = simplifyOwned(sum(std::move(ei), takeExponent(fj, isPowerOfPower(*fj))));
        NodePtr merged = simplifyPower(takeBase(fi, nestedI), std::move(e));
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(m.second));
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(m.first));
        Flat inner;
        flatten(*merged, 2, inner);
        flat.negative ^= inner.negative;
        flat.coefficient *= inner.coefficient;
        std::size_t at = m.first;
        for (const FactorRef& f : inner.factors)
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(at++),
                         {takeSubtree(f.tree, merged), 2});
        refresh();
        m = RewriteBudget::current()->exhausted() ? std::pair<std::size_t, std::size_t>{0, 0}
                                                  : findFactorMerge(view);
    }

    for (std::size_t i = 0; i < items.size();) {
        if (foldsInto(flat.coefficient, *items[i].tree)) {
            flat.coefficient *= numericPowerValue(*items[i].tree);
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }

    reduceIntegerFraction(flat.coefficient, items);

    double c = flat.coefficient;
    if (tol::isZero(c)) return zero();
    bool negative = flat.negative != (c < 0);
    c = std::fabs(c);
    NodePtr acc;
    for (Owned& o : items)
        acc = acc ? product(std::move(acc), std::move(o.tree)) : std::move(o.tree);
    if (!acc)
        acc = number(c);
    else if (!tol::equal(c, 1.0))
        acc = product(number(c), std::move(acc));
    return negative ? negateSimplified(std::move(acc)) : std::move(acc);
}

// a^e*b^e = (a*b)^e holds for an integral e, and for any e when a and b are
// positive constants; x^0.5*y^0.5 is not (-1*-1)^0.5 at x = y = -1.
bool sharedExponentJoins(const ExprNode& l, const ExprNode& r) {
    double e = constantValue(rightOf(l));
    if (tol::isIntegral(e) || tol::isIntegral(-e)) {
        // A number's power stays apart: (c*u)^n is taken apart into c^n*u^n.
        return leftOf(l).kind() != Kind::Number && leftOf(r).kind() != Kind::Number;
    }
    return constantValue(leftOf(l)) > 0 && constantValue(leftOf(r)) > 0;
}

// The sign of a simplified factor brought out: (-a) + (-b) -> -(b + a), so
// that the product can take it over. The rest of the sign normalisation is
// left to the last pass of the pipeline: doing it here would copy every
// factor again at each level of a nested product.
NodePtr normalizedFactor(NodePtr f) {
    if (f->kind() != Kind::Sum) return f;
    ExprNode& l = *static_cast<BinaryNode&>(*f).left;
    ExprNode& r = *static_cast<BinaryNode&>(*f).right;
    if (l.kind() != Kind::Negation || r.kind() != Kind::Negation) return f;
    return negation(sum(takeOperand(r), takeOperand(l)));
}

}  // namespace

// The factors are simplified, so they are in product form already (simplify
// leaves no quotient and no square root behind).
[[gnu::noinline]] NodePtr rw::simplifyProduct(NodePtr a, NodePtr b) {
    // Two numbers whose product is integral: that number, without the
    // product node the rules below would build to evaluate it.
    if (a->kind() == Kind::Number && b->kind() == Kind::Number) {
        const double v =
            scalarOp<Kind::Product>(as<NumberNode>(*a).value, as<NumberNode>(*b).value);
        if (tol::isFoldableIntegral(v)) return normalNumber(v);
    }
    NodePtr p = product(normalizedFactor(std::move(a)), normalizedFactor(std::move(b)));
    const ExprNode& l = leftOf(*p);
    const ExprNode& r = rightOf(*p);

    // The product is constant when both factors are; each factor is tested
    // once.
    const bool lc = l.kind() == Kind::Number || isConstantTree(l);
    const bool rc = r.kind() == Kind::Number || isConstantTree(r);
    if (lc && rc) {
        double v = p->evaluate();
        if (tol::isFoldableIntegral(v)) return normalNumber(v);
    }
    if (!(l.kind() == Kind::Number && r.kind() == Kind::Number)) {
        double lv = constantValue(l, lc);
        if (zeroFactor(l, lv)) return zero();
        if (tol::equal(lv, 1.0)) return takeRight(*p);
        if (tol::equal(lv, -1.0)) return negateSimplified(takeRight(*p));
        double rv = constantValue(r, rc);
        if (zeroFactor(r, rv)) return zero();
        if (tol::equal(rv, 1.0)) return takeLeft(*p);
        if (tol::equal(rv, -1.0)) return negateSimplified(takeLeft(*p));
        // A number times a factor that the flattening below keeps whole and
        // that does not fold into the number (2*x, 3*x^2, 5*sin(x)): the
        // rules below come to the product as it is.
        if (l.kind() == Kind::Number && !rc && r.kind() != Kind::Product &&
            r.kind() != Kind::Negation && r.kind() != Kind::Zero &&
            !(r.kind() == Kind::Power && leftOf(r).kind() == Kind::Number))
            return p;
    }
    if (l.kind() != Kind::Power && !isNumericLiteral(l) && countedEquals(l, r))
        return power(takeLeft(*p), number(2.0));
    if (l.kind() == Kind::Power && r.kind() == Kind::Power &&
        countedEquals(rightOf(l), rightOf(r)) && !countedEquals(leftOf(l), leftOf(r)) &&
        sharedExponentJoins(l, r)) {
        NodePtr bases = simplifyOwned(product(leftOf(l).clone(), leftOf(r).clone()));
        return simplifyPower(std::move(bases), rightOf(l).clone());
    }

    Flat flat;
    flatten(l, 0, flat);
    flatten(r, 1, flat);
    auto m = findFactorMerge(flat.factors);
    bool merges = m.first != m.second;
    bool tidy = !flat.sawNegation && flat.literals == 0;
    bool tidyWithNumber = !flat.sawNegation && flat.literals == 1 && flat.literalFirst;
    if (!merges && (tidy || tidyWithNumber) && !anyFolds(flat) && !anyReduces(flat)) return p;
    return rebuildProduct(flat, m, p);
}

}  // namespace kv
