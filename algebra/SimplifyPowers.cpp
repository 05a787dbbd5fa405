// The simplifier's rules for powers, logarithms, exp, abs and sign (see
// Simplification.cpp for the pipeline they belong to); the rules are listed
// above the code.
#include <cmath>
#include <limits>
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

// ---- Powers ----------------------------------------------------------------------------
//
// Power b^e of simplified operands, b and e constant where it says so:
//   (-4)^0.5 -> nan;  (-8)^(1/3) -> -(8^(1/3)) -> -2
//                      (negative base, exponent not integral but its reciprocal
//                       is: an even reciprocal gives NaN, an odd one the
//                       negated root of |b|)
//   2^3 -> 8;  (-2)^3 -> -8           (a number base and an integral value)
//   12^0.5 -> 2*3^0.5                 (0 < |e| < 1: the largest M <= b^e with
//                                      b/M integral and (b/M)^e integral)
//   (c*u)^n -> c^n*u^n                (c a number, n an integral constant)
//   (u^a)^n -> u^(a*n)                (n a positive integral constant; with
//                                      a negative one 1/x^2 stays 1/x^2)
//   0^e -> 0 (0^0 too);  1^e -> 1;  u^0 -> 1;  u^1 -> u
// 0 raised to a negative constant stays as it is: it is not 0.
[[gnu::noinline]] NodePtr rw::simplifyPower(NodePtr b, NodePtr e) {
    const bool bc = isConstantTree(*b);
    const bool ec = isConstantTree(*e);
    const double ev = ec ? e->evaluate() : std::numeric_limits<double>::quiet_NaN();
    if (bc && ec) {
        double bv = b->evaluate();
        if (bv < 0 && !tol::isIntegral(ev) && tol::isIntegral(1.0 / ev)) {
            double reciprocal = std::floor(1.0 / ev);
            if (std::fmod(reciprocal, 2.0) == 0.0)
                return number(std::numeric_limits<double>::quiet_NaN());
            return negateSimplified(simplifyPower(number(-bv), std::move(e)));
        }
        if (isNumericLiteral(*b) && b->kind() != Kind::Zero) {
            double v = numericPower(literalValue(*b), ev);
            if (tol::isFoldableIntegral(v)) return normalNumber(v);
        }
        double ae = std::fabs(ev);
        if (ae > 0 && ae < 1 && bv > 0 && std::isfinite(bv)) {
            double k = std::floor(std::pow(bv, ev));
            if (k < 10000) {
                for (double m = k; m >= 1; m -= 1) {
                    if (!spend()) break;
                    double o = bv / m;
                    if (!tol::isIntegral(o)) continue;
                    double root = std::pow(o, ev);
                    if (!tol::isIntegral(root)) continue;
                    NodePtr rest = simplifyPower(number(m), std::move(e));
                    return simplifyProduct(number(root), std::move(rest));
                }
            }
        }
    }
    if (b->kind() == Kind::Product && leftOf(*b).kind() == Kind::Number && ec &&
        (tol::isIntegral(ev) || tol::isIntegral(-ev))) {
        NodePtr rest = takeRight(*b);
        NodePtr c = takeLeft(*b);
        NodePtr cn = simplifyPower(std::move(c), e->clone());
        return simplifyProduct(std::move(cn), simplifyPower(std::move(rest), std::move(e)));
    }
    if (b->kind() == Kind::Power && ec && ev > 0 && tol::isIntegral(ev)) {
        NodePtr inner = takeRight(*b);
        NodePtr u = takeLeft(*b);
        NodePtr exponent = simplifyProduct(std::move(inner), std::move(e));
        return simplifyPower(std::move(u), std::move(exponent));
    }
    if (bc) {
        double bv = b->evaluate();
        if (tol::isZero(bv) && !(ec && ev < 0 && !tol::isZero(ev))) return zero();
        if (tol::equal(bv, 1.0)) return number(1.0);
    }
    if (ec) {
        if (tol::isZero(ev)) return number(1.0);
        if (tol::equal(ev, 1.0)) return b;
    }
    return power(std::move(b), std::move(e));
}

// ---- Functions -------------------------------------------------------------------------
//
// ln(1) -> 0, log(100) -> 2   (constant argument, integral value; a
//                              logarithm with a base needs a constant base)
// ln(u^e) -> e*ln(u)          (also log, log2 and log with a base)
// ln(exp(u)) -> u
[[gnu::noinline]] NodePtr rw::simplifyLog(const ExprNode& node, NodePtr a) {
    const Kind k = node.kind();
    // log(y, 4) is not a number: its base holds a variable, whose current
    // value says nothing.
    const bool constantBase = k != Kind::LogBase || isConstantTree(*as<LogBaseNode>(node).base);
    if (constantBase && isConstantTree(*a)) {
        double v = k == Kind::LogBase ? scalarOp<Kind::LogBase>(
                                            a->evaluate(), as<LogBaseNode>(node).base->evaluate())
                                      : scalarOpOf(k, a->evaluate());
        if (tol::isIntegral(v)) return normalNumber(v);
    }
    if (a->kind() == Kind::Power) {
        NodePtr e = takeRight(*a);
        NodePtr base = takeLeft(*a);
        if (k == Kind::LogBase) {
            NodePtr b = as<LogBaseNode>(node).base->simplify();
            return simplifyProduct(std::move(e),
                                   std::make_unique<LogBaseNode>(std::move(base), std::move(b)));
        }
        return simplifyProduct(std::move(e), simplifyLog(node, std::move(base)));
    }
    if (k == Kind::Ln && a->kind() == Kind::Exp) return takeOperand(*a);
    if (k == Kind::LogBase)
        return std::make_unique<LogBaseNode>(std::move(a), as<LogBaseNode>(node).base->simplify());
    return makeFunction(k, std::move(a));
}

// exp(0) -> 1, exp(ln(3)) -> 3   (constant argument, integral value)
[[gnu::noinline]] NodePtr rw::simplifyExp(NodePtr a) {
    double v = scalarOp<Kind::Exp>(constantValue(*a));
    if (tol::isFoldableIntegral(v)) return normalNumber(v);
    return makeFunction(Kind::Exp, std::move(a));
}

// abs(-3) -> 3                  (constant argument)
// abs(abs(u)) -> abs(u)
// abs(u^2) -> u^2               (constant exponent that is not an odd integer)
// abs(u^3), abs(u^(-1)) stay    (odd exponents, negative ones too)
[[gnu::noinline]] NodePtr rw::simplifyAbs(NodePtr a) {
    if (isConstantTree(*a)) return normalNumber(scalarOp<Kind::Abs>(a->evaluate()));
    if (a->kind() == Kind::Abs) return a;
    if (a->kind() == Kind::Power && isConstantTree(rightOf(*a))) {
        double odd = std::fabs(std::fmod(rightOf(*a).evaluate(), 2.0));
        if (odd != 1.0) return a;
    }
    return makeFunction(Kind::Abs, std::move(a));
}

// sign(-2) -> -1, sign(0) -> 0, sign(5) -> 1   (constant argument)
[[gnu::noinline]] NodePtr rw::simplifySign(NodePtr a) {
    if (isConstantTree(*a)) {
        double v = a->evaluate();
        if (v < 0) return minusOne();
        if (v > 0) return number(1.0);
        if (v == 0) return zero();
    }
    return makeFunction(Kind::Sign, std::move(a));
}

}  // namespace kv
