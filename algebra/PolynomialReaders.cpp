// The operations that read a polynomial off a sum for the solver
// (Roots.cpp): splitLogarithms, coefficientIn, dependentFactorIn and
// degreeIn. Each lists its rules above its code.
#include <cmath>

#include "algebra/Algebra.h"
#include "algebra/Rewriting.h"
#include "engine/ExprNode.h"

namespace kv {

namespace {

bool isOne(const ExprNode& n) {
    return n.kind() == Kind::Number && as<NumberNode>(n).value == 1.0;
}

// a*b without a factor that is the number 1.
NodePtr times(NodePtr a, NodePtr b) {
    if (isOne(*a)) return b;
    if (isOne(*b)) return a;
    return rw::product(std::move(a), std::move(b));
}

}  // namespace

// ---- splitLogarithms -------------------------------------------------------------------
//
// Logarithms whose argument depends on the variable are taken apart, so that
// a term such as 3*2^x under a logarithm becomes linear in x:
//   L(a*b)    -> L(a) + L(b)
//   L(a/b)    -> L(a) - L(b)
//   L(u^v)    -> v*L(u)          (only when v depends on the variable: ln(x^2)
//                                 is not 2*ln(x) for x < 0)
//   ln(exp(v)) -> v;  L(exp(v)) -> v*L(e) for the other logarithms
// where L is ln, log, log2 or a logarithm with a base. Other nodes rebuild
// around their parts.
NodePtr ExprNode::splitLogarithms(int variable) const {
    const bool isLog = kind() == Kind::Ln || kind() == Kind::Log || kind() == Kind::Log2 ||
                       kind() == Kind::LogBase;
    if (!isLog || !dependsOn(variable))
        return mapChildren(*this,
                           [variable](const ExprNode& c) { return c.splitLogarithms(variable); });

    auto logOf = [this](NodePtr argument) -> NodePtr {
        if (kind() == Kind::LogBase)
            return std::make_unique<LogBaseNode>(std::move(argument),
                                                 as<LogBaseNode>(*this).base->clone());
        return makeFunction(kind(), std::move(argument));
    };
    auto split = [&](const ExprNode& argument) {
        return logOf(argument.clone())->splitLogarithms(variable);
    };

    const ExprNode& u = operandOf(*this);
    switch (u.kind()) {
        case Kind::Product:
            return rw::sum(split(leftOf(u)), split(rightOf(u)));
        case Kind::Quotient:
            return rw::difference(split(leftOf(u)), split(rightOf(u)));
        case Kind::Power:
            if (rightOf(u).dependsOn(variable))
                return rw::product(rightOf(u).splitLogarithms(variable), split(leftOf(u)));
            break;
        case Kind::Exp:
            if (kind() == Kind::Ln) return operandOf(u).splitLogarithms(variable);
            return rw::product(operandOf(u).splitLogarithms(variable),
                               logOf(number(std::exp(1.0))));
        default:
            break;
    }
    return logOf(u.splitLogarithms(variable));
}

// ---- coefficientIn, dependentFactorIn --------------------------------------------------
//
// A term is read as coefficient * dependent factor:
//   free of the variable  -> (term, 1)
//   a*b                   -> (coef(a)*coef(b), dep(a)*dep(b))
//   a/b                   -> (coef(a)/coef(b), dep(a)/dep(b))
//   -a                    -> (-coef(a), dep(a))
//   u^e, e constant       -> (coef(u)^e, dep(u)^e)
//   anything else         -> (1, term)
// Factors equal to the number 1 are left out of the products built.
NodePtr ExprNode::coefficientIn(int variable) const {
    if (!dependsOn(variable)) return clone();
    switch (kind()) {
        case Kind::Product:
            return times(leftOf(*this).coefficientIn(variable),
                         rightOf(*this).coefficientIn(variable));
        case Kind::Quotient: {
            NodePtr den = rightOf(*this).coefficientIn(variable);
            NodePtr num = leftOf(*this).coefficientIn(variable);
            if (isOne(*den)) return num;
            return rw::quotient(std::move(num), std::move(den));
        }
        case Kind::Negation:
            return rw::negation(operandOf(*this).coefficientIn(variable));
        case Kind::Power: {
            if (rightOf(*this).dependsOn(variable)) return number(1.0);
            NodePtr c = leftOf(*this).coefficientIn(variable);
            if (isOne(*c)) return c;
            return rw::power(std::move(c), rightOf(*this).clone());
        }
        default:
            return number(1.0);
    }
}

NodePtr ExprNode::dependentFactorIn(int variable) const {
    if (!dependsOn(variable)) return number(1.0);
    switch (kind()) {
        case Kind::Product:
            return times(leftOf(*this).dependentFactorIn(variable),
                         rightOf(*this).dependentFactorIn(variable));
        case Kind::Quotient: {
            NodePtr den = rightOf(*this).dependentFactorIn(variable);
            NodePtr num = leftOf(*this).dependentFactorIn(variable);
            if (isOne(*den)) return num;
            return rw::quotient(std::move(num), std::move(den));
        }
        case Kind::Negation:
            return operandOf(*this).dependentFactorIn(variable);
        case Kind::Power: {
            if (rightOf(*this).dependsOn(variable)) return clone();
            return rw::power(leftOf(*this).dependentFactorIn(variable), rightOf(*this).clone());
        }
        default:
            return clone();
    }
}

// ---- degreeIn ------------------------------------------------------------------------------
//
//   free of the variable -> 0;  the variable -> 1
//   a*b -> deg(a) + deg(b);  a/b -> deg(a) - deg(b);  -a -> deg(a)
//   u^e, e constant -> deg(u)*e;  sqrt(u) -> deg(u)/2
//   a^v with v depending on the variable -> v (times deg(a) when a depends
//   on it too);  exp(v) -> v
//   any other function of the variable -> 1
// Numeric degrees are numbers; a degree that depends on the variable is a
// tree.
NodePtr ExprNode::degreeIn(int variable) const {
    if (!dependsOn(variable)) return number(0.0);
    auto combine = [](NodePtr a, NodePtr b, double sign) -> NodePtr {
        auto isNumber = [](const NodePtr& n, double v) {
            return n->kind() == Kind::Number && as<NumberNode>(*n).value == v;
        };
        if (a->kind() == Kind::Number && b->kind() == Kind::Number)
            return number(as<NumberNode>(*a).value + sign * as<NumberNode>(*b).value);
        if (isNumber(b, 0.0)) return a;
        if (isNumber(a, 0.0)) return sign > 0 ? std::move(b) : rw::negation(std::move(b));
        if (sign > 0) return rw::sum(std::move(a), std::move(b));
        return rw::difference(std::move(a), std::move(b));
    };
    switch (kind()) {
        case Kind::Variable:
            return number(1.0);
        case Kind::Product:
            return combine(leftOf(*this).degreeIn(variable), rightOf(*this).degreeIn(variable),
                           1.0);
        case Kind::Quotient:
            return combine(leftOf(*this).degreeIn(variable), rightOf(*this).degreeIn(variable),
                           -1.0);
        case Kind::Negation:
            return operandOf(*this).degreeIn(variable);
        case Kind::Power: {
            const ExprNode& base = leftOf(*this);
            const ExprNode& e = rightOf(*this);
            if (e.dependsOn(variable)) {
                if (!base.dependsOn(variable)) return e.clone();
                return rw::product(base.degreeIn(variable), e.clone());
            }
            NodePtr d = base.degreeIn(variable);
            if (d->kind() == Kind::Number) return number(as<NumberNode>(*d).value * e.evaluate());
            return rw::product(std::move(d), e.clone());
        }
        case Kind::Sqrt: {
            NodePtr d = operandOf(*this).degreeIn(variable);
            if (d->kind() == Kind::Number) return number(as<NumberNode>(*d).value / 2);
            return rw::quotient(std::move(d), number(2.0));
        }
        case Kind::Exp:
            return operandOf(*this).clone();
        default:
            return number(1.0);
    }
}

}  // namespace kv
