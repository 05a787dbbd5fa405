// Exact equation solving: `roots` of every node kind. The operations that
// read a polynomial off a sum (splitLogarithms, coefficientIn,
// dependentFactorIn, degreeIn) are in PolynomialReaders.cpp.
//
// A tree is taken apart by its structure (a product vanishes where a factor
// does, a quotient where its numerator does and its denominator does not, a
// logarithm where its argument is 1) down to sums, which are solved as
// polynomials of degree at most 3 in one "atom": the variable itself, or a
// function of it (ln(x)^2 - 1 = 0 is a quadratic in ln(x), solved for ln(x)
// and then for x).
//
// Fractional degrees are solved through a substitution: when every degree
// times some q (1 <= q <= 12) is an integer, the sum is a polynomial in
// s = A^(1/q) (x - 3*sqrt(x) + 2 is s^2 - 3s + 2 with s = sqrt(x)). The
// integer degrees are divided by their greatest common divisor g as well, so
// x^4 - 5x^2 + 4 is a quadratic in v = x^2. A root v of the reduced
// polynomial gives s^g = v, then A = s^q; a principal root s = A^(1/q) with
// q > 1 is never negative, so negative values of s are dropped there.
//
// The results are trees simplified with `simpl`. A solution list holding the
// single number +inf means that every value solves the equation.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "algebra/Algebra.h"
#include "algebra/Rewriting.h"
#include "algebra/Solving.h"
#include "engine/DepthGuard.h"
#include "engine/ScalarOps.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

// Nested solving (a logarithm solved through its argument, an atom through
// its inverse) goes no deeper than this.
constexpr int kMaxDepth = 12;
// The largest denominator of a fractional degree.
constexpr int kMaxDenominator = 12;

// How deeply the solving of this thread is nested.
thread_local int g_depth = 0;
// The nodes of every sum solved so far by this thread's current solve: the
// logarithmic rewriting and the recursion through atoms can nest deeply on
// a small equation, each level building a larger sum.
thread_local std::size_t g_sumWork = 0;
thread_local bool g_sumWorkSpent = false;

bool isEverything(const OwnedNodeList& roots) {
    return roots.size() == 1 && roots[0]->kind() == Kind::Number &&
           std::isinf(as<NumberNode>(*roots[0]).value) && as<NumberNode>(*roots[0]).value > 0;
}

OwnedNodeList everything() {
    OwnedNodeList r;
    r.push_back(number(HUGE_VAL));
    return r;
}

// Appends the roots of `more` that are not `equals` to one listed already.
void appendDistinct(OwnedNodeList& roots, OwnedNodeList more) {
    for (NodePtr& r : more) {
        bool seen = false;
        for (const NodePtr& s : roots) seen = seen || s->equals(*r);
        if (!seen) roots.push_back(std::move(r));
    }
}

// The value of `tree` at variable = root, when that is a number: NaN when it
// still depends on another variable.
double valueAtRoot(const ExprNode& tree, int variable, const ExprNode& root) {
    if (!root.isConstant()) return std::nan("");
    NodePtr at = tree.substitute(variable, root);
    if (!at->isConstant()) return std::nan("");
    return at->evaluate();
}

// The value of a constant tree, computed bottom up; `outside` is set when an
// operation had finite operands and no value (x^0.5 or ln(x) at a negative
// x). NaN that comes from an overflow (inf - inf at x = -1e300) is not that.
double valueInDomain(const ExprNode& n, bool& outside) {
    const Kind k = n.kind();
    double a = 0, b = 0;
    if (isBinaryKind(k)) {
        a = valueInDomain(leftOf(n), outside);
        b = valueInDomain(rightOf(n), outside);
    } else if (k == Kind::LogBase) {
        a = valueInDomain(operandOf(n), outside);
        b = valueInDomain(*as<LogBaseNode>(n).base, outside);
    } else if (isUnaryKind(k) && k != Kind::Fact) {
        a = valueInDomain(operandOf(n), outside);
    } else {
        return n.evaluate();
    }
    const double v = k == Kind::Power ? numericPower(a, b) : scalarOpOf(k, a, b);
    if (std::isnan(v) && std::isfinite(a) && std::isfinite(b)) outside = true;
    return v;
}

// True when f has no value at the constant root r because some operation in
// it is outside its domain there.
bool undefinedAt(const ExprNode& f, int variable, const ExprNode& r) {
    if (!r.isConstant()) return false;
    NodePtr at = f.substitute(variable, r);
    bool outside = false;
    return at->isConstant() && std::isnan(valueInDomain(*at, outside)) && outside;
}

// Whether a root of one part may stand for the whole: the other part must be
// defined there (x*ln(x) has no root at 0), and a denominator non-zero.
bool acceptableRoot(const ExprNode& other, int variable, const ExprNode& root, bool nonZero) {
    if (!root.isConstant()) return true;
    NodePtr at = other.substitute(variable, root);
    if (!at->isConstant()) return true;
    double v = at->evaluate();
    if (!std::isfinite(v)) return false;
    return !nonZero || std::fabs(v) >= tol::kEpsilon;
}

// ---- Reading a term as c * A^k ---------------------------------------------------

struct AtomPower {
    bool ok = true;
    const ExprNode* atom = nullptr;  // null for a factor free of the variable
    double k = 0.0;
};

// A dependent factor as a power of one atom: x^2 -> (x, 2), sqrt(x) -> (x, 0.5),
// ln(x)^2 -> (ln(x), 2), x*x^2 -> (x, 3); two different atoms fail.
AtomPower atomPower(const ExprNode& d, int variable) {
    if (!d.dependsOn(variable)) return {};
    auto combine = [](AtomPower a, AtomPower b, double sign) -> AtomPower {
        if (!a.ok || !b.ok) return {false};
        if (!a.atom) return {true, b.atom, sign * b.k};
        if (!b.atom) return a;
        if (!a.atom->equals(*b.atom)) return {false};
        return {true, a.atom, a.k + sign * b.k};
    };
    switch (d.kind()) {
        case Kind::Variable:
            return {true, &d, 1.0};
        case Kind::Negation:
            return atomPower(operandOf(d), variable);
        case Kind::Product:
            return combine(atomPower(leftOf(d), variable), atomPower(rightOf(d), variable), 1.0);
        case Kind::Quotient:
            return combine(atomPower(leftOf(d), variable), atomPower(rightOf(d), variable), -1.0);
        case Kind::Power: {
            if (rightOf(d).dependsOn(variable)) return {false};
            AtomPower b = atomPower(leftOf(d), variable);
            b.k *= rightOf(d).evaluate();
            return b;
        }
        case Kind::Sqrt: {
            AtomPower b = atomPower(operandOf(d), variable);
            b.k *= 0.5;
            return b;
        }
        case Kind::Exp:
            return {false};
        default:
            return {true, &d, 1.0};
    }
}

// ---- Polynomials of degree 1 to 3 ---------------------------------------------------

// Coefficients by degree, as trees; missing degrees are zero.
using Coefficients = std::map<int, NodePtr>;

bool isConstantZero(const ExprNode* c) {
    return !c || (c->isConstant() && std::fabs(c->evaluate()) < tol::kEpsilon);
}

NodePtr coefficientOrZero(const Coefficients& a, int n) {
    auto it = a.find(n);
    return it == a.end() ? number(0.0) : it->second->clone();
}

double polynomialAt(const std::vector<double>& p, double x) {
    double v = 0.0;
    for (std::size_t i = p.size(); i-- > 0;) v = v * x + p[i];
    return v;
}

struct PolishedRoot {
    double value;
    bool exact;  // a simple fraction at which p vanishes exactly
};

// A numeric root of p (coefficients from degree 0 up) polished by Newton's
// method and replaced by a nearby simple fraction that solves p exactly.
PolishedRoot polishRoot(const std::vector<double>& p, double r) {
    for (int i = 0; i < 3; ++i) {
        double d = 0.0;
        for (std::size_t k = p.size(); k-- > 1;) d = d * r + static_cast<double>(k) * p[k];
        double f = polynomialAt(p, r);
        if (d == 0.0 || !std::isfinite(f / d)) break;
        double next = r - f / d;
        if (std::fabs(polynomialAt(p, next)) >= std::fabs(f)) break;
        r = next;
    }
    for (int q = 1; q <= kMaxDenominator; ++q) {
        double c = std::round(r * q) / q;
        if (std::fabs(c - r) < 1e-9 * std::max(1.0, std::fabs(r)) && polynomialAt(p, c) == 0.0)
            return {c, true};
    }
    return {r, false};
}

// The real roots of a cubic whose formulas overflow in double (x^3 - 1e300,
// whose R^2 is 1e599): the same formulas in long double, whose range holds
// the squares and cubes of any double, as numbers.
OwnedNodeList wideCubicRoots(const std::vector<double>& p) {
    using W = long double;
    const W b = W(p[2]) / p[3], c = W(p[1]) / p[3], d = W(p[0]) / p[3];
    const W Q = (b * b - 3 * c) / 9;
    const W R = (2 * b * b * b - 9 * b * c + 27 * d) / 54;
    const W disc = R * R - Q * Q * Q;
    std::vector<double> found;
    if (disc > 0) {
        const W A = -std::copysign(std::cbrt(std::fabs(R) + std::sqrt(disc)), R);
        const W B = A == 0 ? 0 : Q / A;
        found.push_back(static_cast<double>(A + B - b / 3));
    } else {
        const W theta = std::acos(std::clamp(R / std::sqrt(Q * Q * Q), W(-1), W(1)));
        const W twoPi = 2 * 3.14159265358979323846264338327950288L;
        for (int k = 0; k < 3; ++k)
            found.push_back(
                static_cast<double>(-2 * std::sqrt(Q) * std::cos((theta + twoPi * k) / 3) - b / 3));
    }
    std::sort(found.begin(), found.end());
    OwnedNodeList roots;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!std::isfinite(found[i]) || (i > 0 && found[i] == found[i - 1])) continue;
        roots.push_back(number(polishRoot(p, found[i]).value));
    }
    return roots;
}

// The cubic a3 x^3 + a2 x^2 + a1 x + a0 with numeric coefficients, through
// x = t - b/3: one real root by Cardano's formula when R^2 - Q^3 > 0, three by
// Viete's trigonometric form (as trees with CosNodes) otherwise.
OwnedNodeList cubicRoots(const std::vector<double>& p) {
    const double b = p[2] / p[3], c = p[1] / p[3], d = p[0] / p[3];
    const double Q = (b * b - 3 * c) / 9;
    const double R = (2 * b * b * b - 9 * b * c + 27 * d) / 54;
    const double disc = R * R - Q * Q * Q;
    if (!std::isfinite(disc) || !std::isfinite(R * R) || !std::isfinite(Q * Q * Q))
        return wideCubicRoots(p);
    // Numeric roots, polished; a root that is a simple fraction is a number,
    // any other one of Viete's stays a tree.
    std::vector<std::pair<double, NodePtr>> found;
    auto add = [&](double value, NodePtr tree) {
        for (const auto& f : found)
            if (std::fabs(f.first - value) < tol::kEpsilon * std::max(1.0, std::fabs(value)))
                return;
        found.emplace_back(value, std::move(tree));
    };
    const double scale = std::max({R * R, std::fabs(Q * Q * Q), 1e-300});
    if (std::fabs(disc) <= 1e-12 * scale) {
        // A double (or triple) root.
        const double m = std::cbrt(R);
        for (double r : {-2 * m - b / 3, m - b / 3}) {
            PolishedRoot pr = polishRoot(p, r);
            add(pr.value, number(pr.value));
        }
    } else if (disc > 0) {
        const double A = -std::copysign(std::cbrt(std::fabs(R) + std::sqrt(disc)), R);
        const double B = A == 0.0 ? 0.0 : Q / A;
        PolishedRoot pr = polishRoot(p, A + B - b / 3);
        add(pr.value, number(pr.value));
    } else {
        const double theta = std::acos(R / std::sqrt(Q * Q * Q));
        const double twoPi = 2 * 3.141592653589793;
        for (int k = 0; k < 3; ++k) {
            const double angle = (theta + twoPi * k) / 3;
            PolishedRoot pr = polishRoot(p, -2 * std::sqrt(Q) * std::cos(angle) - b / 3);
            if (pr.exact) {
                add(pr.value, number(pr.value));
                continue;
            }
            // -2*sqrt(Q)*cos(angle) - b/3
            add(pr.value, simpl(*rw::difference(
                              rw::negation(rw::product(number(2 * std::sqrt(Q)),
                                                       std::make_unique<CosNode>(number(angle)))),
                              number(b / 3))));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    OwnedNodeList roots;
    for (auto& f : found) roots.push_back(std::move(f.second));
    return roots;
}

OwnedNodeList wideQuadraticRoots(const ExprNode& a2, const ExprNode& a1, const ExprNode& a0) {
    using W = long double;
    const W A = a2.evaluate(), B = a1.evaluate(), C = a0.evaluate();
    const W D = B * B - 4 * A * C;
    OwnedNodeList roots;
    if (!(D >= 0) || A == 0) return roots;
    const W q = -(B + std::copysign(std::sqrt(D), B)) / 2;
    std::vector<double> found{static_cast<double>(q / A)};
    if (q != 0) found.push_back(static_cast<double>(C / q));
    std::sort(found.begin(), found.end());
    for (std::size_t i = 0; i < found.size(); ++i)
        if (std::isfinite(found[i]) && (i == 0 || found[i] != found[i - 1]))
            roots.push_back(number(found[i]));
    return roots;
}

// The roots of the polynomial sum a[n] v^n with degree 1 to 3.
OwnedNodeList polynomialRoots(const Coefficients& a, int degree) {
    OwnedNodeList roots;
    bool numeric = true;
    for (const auto& [n, c] : a) numeric = numeric && c->isConstant();
    if (degree == 1) {
        roots.push_back(
            simpl(*rw::quotient(rw::negation(coefficientOrZero(a, 0)), coefficientOrZero(a, 1))));
        return roots;
    }
    if (degree == 2) {
        NodePtr a2 = coefficientOrZero(a, 2), a1 = coefficientOrZero(a, 1),
                a0 = coefficientOrZero(a, 0);
        auto denominator = [&] { return rw::product(number(2.0), a2->clone()); };
        if (numeric) {
            const double D = std::pow(a1->evaluate(), 2) - 4 * a2->evaluate() * a0->evaluate();
            // A discriminant beyond double (x^2 + 1e300*x + 1): the roots in
            // long double, the smaller one from the product of the roots so
            // that it does not cancel to 0.
            if (!std::isfinite(D)) return wideQuadraticRoots(*a2, *a1, *a0);
            if (std::fabs(D) < tol::kEpsilon) {
                roots.push_back(simpl(*rw::quotient(rw::negation(a1->clone()), denominator())));
                return roots;
            }
            if (D < 0) return roots;
        }
        // D = a1^2 - 4*a2*a0; x = (-a1 +- sqrt(D)) / (2*a2)
        auto discriminant = [&] {
            return rw::difference(rw::power(a1->clone(), number(2.0)),
                                  rw::product(number(4.0), rw::product(a2->clone(), a0->clone())));
        };
        OwnedNodeList two;
        two.push_back(simpl(*rw::quotient(
            rw::difference(rw::negation(a1->clone()), std::make_unique<SqrtNode>(discriminant())),
            denominator())));
        two.push_back(simpl(*rw::quotient(
            rw::sum(rw::negation(a1->clone()), std::make_unique<SqrtNode>(discriminant())),
            denominator())));
        appendDistinct(roots, std::move(two));
        return roots;
    }
    // Cubics are solved with numeric coefficients only.
    if (!numeric) return roots;
    std::vector<double> p(4);
    for (int n = 0; n <= 3; ++n)
        p[static_cast<std::size_t>(n)] = coefficientOrZero(a, n)->evaluate();
    return cubicRoots(p);
}

// ---- Inverting an atom ------------------------------------------------------------------

OwnedNodeList rootsOfTree(NodePtr f, int variable);

// The values of x with atom(x) = value.
OwnedNodeList invertAtom(const ExprNode& atom, const ExprNode& value, int variable) {
    if (atom.kind() == Kind::Variable) {
        OwnedNodeList r;
        r.push_back(value.clone());
        return r;
    }
    const bool known = value.isConstant();
    const double v = known ? value.evaluate() : 0.0;
    auto solveFor = [&](NodePtr target) {
        return rootsOfTree(rw::difference(operandOf(atom).clone(), std::move(target)), variable);
    };
    switch (atom.kind()) {
        case Kind::Ln:
            return solveFor(std::make_unique<ExpNode>(value.clone()));
        case Kind::Log:
            return solveFor(rw::power(number(10.0), value.clone()));
        case Kind::Log2:
            return solveFor(rw::power(number(2.0), value.clone()));
        case Kind::LogBase:
            return solveFor(rw::power(as<LogBaseNode>(atom).base->clone(), value.clone()));
        case Kind::Exp:
            if (known && !(v > 0)) return {};
            return solveFor(std::make_unique<LnNode>(value.clone()));
        case Kind::Sqrt:
            if (known && v < 0) return {};
            return solveFor(rw::power(value.clone(), number(2.0)));
        case Kind::Abs: {
            if (!known || v < 0) return {};
            OwnedNodeList r = solveFor(value.clone());
            if (v > 0) appendDistinct(r, solveFor(rw::negation(value.clone())));
            return r;
        }
        case Kind::Sum:
        case Kind::Difference:
            return rootsOfTree(rw::difference(atom.clone(), value.clone()), variable);
        default:
            // Periodic and other functions: not solved.
            return {};
    }
}

// The values A of the atom from a root v of the reduced polynomial, where
// v = s^g and A = s^q.
OwnedNodeList atomValues(NodePtr v, int g, int q) {
    OwnedNodeList out;
    if (g == 1 && q == 1) {
        out.push_back(std::move(v));
        return out;
    }
    if (!v->isConstant()) {
        if (g != 1) return out;
        out.push_back(simpl(*rw::power(std::move(v), number(q))));
        return out;
    }
    const double value = v->evaluate();
    std::vector<double> s;
    if (g % 2 == 1) {
        s.push_back(g == 1 ? value : std::copysign(std::pow(std::fabs(value), 1.0 / g), value));
    } else if (value >= 0) {
        double root = std::pow(value, 1.0 / g);
        s.push_back(root);
        if (root != 0.0) s.push_back(-root);
    }
    for (double si : s) {
        if (q > 1 && si < 0) continue;
        // Keep exact forms where they exist: sqrt(2) as 2^0.5 rather than
        // 1.41421356237.
        NodePtr tree;
        if (g == 1)
            tree = v->clone();
        else
            tree = si < 0 ? rw::negation(rw::power(v->clone(), number(1.0 / g)))
                          : rw::power(v->clone(), number(1.0 / g));
        if (q > 1) tree = rw::power(std::move(tree), number(q));
        out.push_back(simpl(*tree));
    }
    return out;
}

// ---- Sums ------------------------------------------------------------------------------

OwnedNodeList sumRoots(const ExprNode& sum, int variable);

// Roots found for the sum f are checked against f itself where it can be
// evaluated: a substitution or a logarithm taken of both sides could
// otherwise bring in a value that is no root.
OwnedNodeList verified(const ExprNode& f, int variable, OwnedNodeList roots) {
    if (isEverything(roots)) return roots;
    NodeList terms;
    NodePtr sumForm = f.toSumForm();
    sumForm->collectTerms(terms);
    OwnedNodeList kept;
    for (NodePtr& r : roots) {
        double value = valueAtRoot(f, variable, *r);
        if (std::isnan(value) && undefinedAt(f, variable, *r)) continue;
        if (!std::isnan(value)) {
            double scale = 1.0;
            for (const ExprNode* t : terms) {
                double tv = valueAtRoot(*t, variable, *r);
                if (std::isfinite(tv)) scale = std::max(scale, std::fabs(tv));
            }
            if (!std::isfinite(value) || std::fabs(value) > 1e-9 * scale) continue;
        }
        kept.push_back(std::move(r));
    }
    return kept;
}

OwnedNodeList rootsOfTree(NodePtr f, int variable) {
    return f->roots(variable);
}

// Every term replaced by its logarithm: a - b = 0 as ln(a) - ln(b) = 0. This
// holds for two terms of opposite signs only (a + b = 0 is not
// ln(a) + ln(b) = 0), so other sums with such degrees are not solved.
// The logarithms are solved as they are split, without `simpl`, which would
// merge them again (x*ln(2) - ln(8) back into ln(2^x/8)).
OwnedNodeList polynomialSumRoots(const ExprNode& sum, const ExprNode& t, int variable,
                                 bool logarithmsAllowed);

OwnedNodeList logarithmicRoots(const ExprNode& sum, const std::vector<NodePtr>& terms,
                               int variable) {
    if (terms.size() != 2) return {};
    const bool firstNegated = terms[0]->kind() == Kind::Negation;
    const bool secondNegated = terms[1]->kind() == Kind::Negation;
    if (firstNegated == secondNegated) return {};
    auto logOf = [](const ExprNode& t) -> NodePtr {
        if (t.kind() == Kind::Negation)
            return rw::negation(std::make_unique<LnNode>(operandOf(t).clone()));
        return std::make_unique<LnNode>(t.clone());
    };
    NodePtr logs = rw::sum(logOf(*terms[0]), logOf(*terms[1]));
    NodePtr split = logs->splitLogarithms(variable)->toSumForm()->expandIn(variable);
    if (split->kind() != Kind::Sum) return rootsOfTree(std::move(split), variable);
    return polynomialSumRoots(sum, *split, variable, false);
}

OwnedNodeList sumRoots(const ExprNode& sum, int variable) {
    DepthGuard guard(g_depth);
    if (!guard.within(kMaxDepth)) return {};
    g_sumWork += countNodes(sum, kMaxSolveWork + 1);
    if (g_sumWork > kMaxSolveWork) g_sumWorkSpent = true;
    if (g_sumWorkSpent) return {};

    // 1. Logarithms split, one fraction bar.
    NodePtr t = sum.splitLogarithms(variable)->together();
    if (t->kind() == Kind::Difference) t = t->toSumForm();
    if (t->kind() != Kind::Sum) return t->roots(variable);
    // 2. Simplified, in sum form.
    t = simpl(*t)->toSumForm();
    if (t->kind() != Kind::Sum) return t->roots(variable);
    // 3. Expanded in the variable, the terms collected.
    t = t->expandIn(variable);
    t = simpl(*t)->toSumForm();
    t = t->expandIn(variable);
    if (t->kind() != Kind::Sum) return t->roots(variable);
    return polynomialSumRoots(sum, *t, variable, true);
}

// Steps 4 and 5 on the expanded sum t of the equation sum = 0.
OwnedNodeList polynomialSumRoots(const ExprNode& sum, const ExprNode& t, int variable,
                                 bool logarithmsAllowed) {
    std::vector<NodePtr> terms;
    rw::collectSignedTerms(t, false, terms);

    // 4. Degrees: one that depends on the variable takes the logarithmic
    //    path; the others must be rational with a small denominator.
    std::vector<double> powers;
    NodePtr atomTree;  // the one atom every dependent factor is a power of
    for (const NodePtr& term : terms) {
        NodePtr degree = term->degreeIn(variable);
        if (degree->dependsOn(variable)) {
            if (!logarithmsAllowed) return {};
            return verified(sum, variable, logarithmicRoots(sum, terms, variable));
        }
        NodePtr factor = term->dependentFactorIn(variable);
        AtomPower ap = atomPower(*factor, variable);
        if (!ap.ok) return {};
        if (ap.atom) {
            if (!atomTree)
                atomTree = ap.atom->clone();
            else if (!atomTree->equals(*ap.atom))
                return {};
        }
        powers.push_back(ap.k);
    }
    if (!atomTree) {
        // No term depends on the variable.
        if (t.isConstant() && std::fabs(t.evaluate()) < tol::kEpsilon) return everything();
        return {};
    }

    // 5. The smallest q that makes every degree integral, and the gcd g of
    //    the integral degrees.
    int q = 0;
    for (int cand = 1; cand <= kMaxDenominator && q == 0; ++cand) {
        bool all = true;
        for (double k : powers) {
            double scaled = k * cand;
            all = all && std::fabs(std::round(scaled) - scaled) < tol::kEpsilon * cand;
        }
        if (all) q = cand;
    }
    if (q == 0) return {};
    std::vector<int> degrees;
    int minDegree = 0;
    for (double k : powers) {
        int n = static_cast<int>(std::lround(k * q));
        degrees.push_back(n);
        minDegree = std::min(minDegree, n);
    }
    // Negative degrees: the equation is multiplied by s^(-min); s = 0 is then
    // no root.
    int g = 0;
    int maxDegree = 0;
    for (int& n : degrees) {
        n -= minDegree;
        g = std::gcd(g, n);
        maxDegree = std::max(maxDegree, n);
    }
    // Degrees are divided by their gcd only where that is needed to come down
    // to degree 3: x^2 - y stays a quadratic in x.
    if (g == 0 || maxDegree <= 3) g = 1;
    Coefficients a;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        NodePtr c = terms[i]->coefficientIn(variable);
        int n = degrees[i] / g;
        auto it = a.find(n);
        if (it == a.end())
            a.emplace(n, std::move(c));
        else
            it->second = rw::sum(std::move(it->second), std::move(c));
    }
    int degree = 0;
    for (const auto& [n, c] : a)
        if (!isConstantZero(c.get())) degree = std::max(degree, n);
    if (degree == 0) {
        auto it = a.find(0);
        if (it == a.end() || isConstantZero(it->second.get())) return everything();
        return {};
    }
    if (degree > 3) return {};
    // A negative numeric leading coefficient is made positive, for the
    // simpler shapes of the roots.
    if (a.count(degree) && a[degree]->isConstant() && a[degree]->evaluate() < 0)
        for (auto& [n, c] : a) c = rw::negation(std::move(c));

    OwnedNodeList result;
    for (NodePtr& v : polynomialRoots(a, degree)) {
        if (minDegree < 0 && v->isConstant() && v->evaluate() == 0.0) continue;
        for (NodePtr& value : atomValues(std::move(v), g, q))
            appendDistinct(result, invertAtom(*atomTree, *value, variable));
    }
    return verified(sum, variable, std::move(result));
}

}  // namespace

// ---- roots per kind ----------------------------------------------------------------------

OwnedNodeList ExprNode::roots(int variable) const {
    switch (kind()) {
        case Kind::Number:
            if (as<NumberNode>(*this).value == 0.0) return everything();
            return {};
        case Kind::Zero:
            return everything();
        case Kind::Variable: {
            OwnedNodeList r;
            if (as<VariableNode>(*this).index == variable) r.push_back(number(0.0));
            return r;
        }
        case Kind::Negation:
            return operandOf(*this).roots(variable);
        case Kind::Difference: {
            DepthGuard guard(g_depth);
            if (!guard.within(kMaxDepth)) return {};
            return toSumForm()->roots(variable);
        }
        case Kind::Product: {
            const ExprNode& l = leftOf(*this);
            const ExprNode& r = rightOf(*this);
            OwnedNodeList left = l.roots(variable);
            OwnedNodeList right = r.roots(variable);
            // A factor that vanishes for every value makes the product do so.
            if (isEverything(left) || isEverything(right)) return everything();
            OwnedNodeList out;
            for (NodePtr& root : left)
                if (acceptableRoot(r, variable, *root, false)) out.push_back(std::move(root));
            OwnedNodeList rest;
            for (NodePtr& root : right)
                if (acceptableRoot(l, variable, *root, false)) rest.push_back(std::move(root));
            appendDistinct(out, std::move(rest));
            return out;
        }
        case Kind::Quotient: {
            const ExprNode& den = rightOf(*this);
            OwnedNodeList numerator = leftOf(*this).roots(variable);
            OwnedNodeList denominator = den.roots(variable);
            if (isEverything(denominator)) return {};
            OwnedNodeList out;
            for (NodePtr& root : numerator) {
                bool pole = false;
                for (const NodePtr& d : denominator) pole = pole || d->equals(*root);
                if (!pole && acceptableRoot(den, variable, *root, true))
                    out.push_back(std::move(root));
            }
            return out;
        }
        case Kind::Power: {
            const ExprNode& base = leftOf(*this);
            const ExprNode& e = rightOf(*this);
            if (!base.dependsOn(variable)) return {};
            // b^0 = 1, and a negative power has a pole where b vanishes.
            if (e.isConstant() && !(e.evaluate() > 0)) return {};
            OwnedNodeList out;
            for (NodePtr& root : base.roots(variable)) {
                double ev = valueAtRoot(e, variable, *root);
                if (std::isnan(ev) || ev > 0) out.push_back(std::move(root));
            }
            return out;
        }
        case Kind::Ln:
        case Kind::Log:
        case Kind::Log2:
        case Kind::LogBase: {
            DepthGuard guard(g_depth);
            if (!guard.within(kMaxDepth)) return {};
            return DifferenceNode(operandOf(*this).clone(), number(1.0)).roots(variable);
        }
        case Kind::Sum:
            return sumRoots(*this, variable);
        case Kind::Sqrt:
            // sqrt(u) vanishes exactly where u does.
            return operandOf(*this).roots(variable);
        default:
            return {};
    }
}

OwnedNodeList solveRoots(const ExprNode& f, int variable, bool& tooMuchWork) {
    g_sumWork = 0;
    g_sumWorkSpent = false;
    OwnedNodeList roots = f.roots(variable);
    tooMuchWork = g_sumWorkSpent;
    g_sumWorkSpent = false;
    if (tooMuchWork) return {};
    if (isEverything(roots)) return roots;
    // A root at which the equation has no value (x^0.5 at a negative x,
    // outside the domain) is not a root.
    std::erase_if(roots, [&](const NodePtr& r) { return undefinedAt(f, variable, *r); });
    return roots;
}

}  // namespace kv
