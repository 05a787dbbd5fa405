// Numeric evaluation: the value of a tree for the current variable values.
// This is the inner loop of plotting, so it is a plain recursive walk in
// double: no allocation, no strings, variables read by index.
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/ExprNode.h"
#include "engine/Power.h"
#include "engine/Quadrature.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

// sign(t) * |t|! for t = x truncated toward zero, by descending
// multiplication from |t|. Once the product is infinite it stays so, and
// arguments beyond 64-bit range never reach an integer conversion.
double factorial(double x) {
    if (std::isnan(x)) return x;
    double t = std::trunc(x);
    double s = t < 0 ? -1.0 : (t > 0 ? 1.0 : 0.0);
    double y = std::fabs(t);
    if (y > 1000.0) return s * std::numeric_limits<double>::infinity();
    double acc = y;
    auto n = static_cast<std::int64_t>(y);
    for (std::int64_t i = 1; i < n && std::isfinite(acc); ++i) {
        y -= 1.0;
        acc *= y;
    }
    return acc * s;
}

double evaluateIntegral(const NIntegrateNode& n) {
    // Right-to-left is irrelevant here; the steps, then the bounds.
    const std::int64_t pairs = simpsonPairCount(n.steps->evaluate());
    double a = n.lower->evaluate();
    double b = n.upper->evaluate();
    n.lastValue = simpsonIntegral(*n.operand, n.variable->index, pairs, a, b, &n.compiled);
    return n.lastValue;
}

}  // namespace

// Sums, products and powers evaluate their right child first, differences and
// quotients their left; the order shows only through rnd().
double ExprNode::evaluate() const {
    switch (kind()) {
        case Kind::Number:
            return static_cast<const NumberNode*>(this)->value;
        case Kind::Zero:
        case Kind::Text:
        case Kind::GraphRef:
        case Kind::List:
            return 0.0;
        case Kind::Constant: {
            const auto& c = Workspace::current().constants;
            int i = static_cast<const ConstantNode*>(this)->index;
            return c[static_cast<std::size_t>(i)].value;
        }
        case Kind::Variable: {
            const auto& v = Workspace::current().variables;
            int i = static_cast<const VariableNode*>(this)->index;
            return v[static_cast<std::size_t>(i)].value;
        }
        case Kind::Sum: {
            double r = rightOf(*this).evaluate();
            return leftOf(*this).evaluate() + r;
        }
        case Kind::Difference: {
            double l = leftOf(*this).evaluate();
            return l - rightOf(*this).evaluate();
        }
        case Kind::Product: {
            double r = rightOf(*this).evaluate();
            return leftOf(*this).evaluate() * r;
        }
        case Kind::Quotient: {
            double l = leftOf(*this).evaluate();
            return l / rightOf(*this).evaluate();
        }
        case Kind::Power: {
            double r = rightOf(*this).evaluate();
            return numericPower(leftOf(*this).evaluate(), r);
        }
        case Kind::Negation:
            return -operandOf(*this).evaluate();
        case Kind::PlusMinus:
            return operandOf(*this).evaluate();
        case Kind::Sin:
            return std::sin(operandOf(*this).evaluate());
        case Kind::Cos:
            return std::cos(operandOf(*this).evaluate());
        case Kind::Asin:
            return std::asin(operandOf(*this).evaluate());
        case Kind::Acos:
            return std::acos(operandOf(*this).evaluate());
        case Kind::Atan:
            return std::atan(operandOf(*this).evaluate());
        case Kind::Sinh:
            return std::sinh(operandOf(*this).evaluate());
        case Kind::Cosh:
            return std::cosh(operandOf(*this).evaluate());
        case Kind::Exp:
            return std::exp(operandOf(*this).evaluate());
        case Kind::Ln:
            return std::log(operandOf(*this).evaluate());
        case Kind::Log:
            return std::log10(operandOf(*this).evaluate());
        case Kind::Log2:
            return std::log10(operandOf(*this).evaluate()) / std::log10(2.0);
        case Kind::LogBase: {
            const auto& n = *static_cast<const LogBaseNode*>(this);
            double arg = n.operand->evaluate();
            return std::log(arg) / std::log(n.base->evaluate());
        }
        case Kind::Sqrt:
            return std::sqrt(operandOf(*this).evaluate());
        case Kind::Abs:
            return std::fabs(operandOf(*this).evaluate());
        case Kind::Sign: {
            double u = operandOf(*this).evaluate();
            return u < 0 ? -1.0 : (u > 0 ? 1.0 : 0.0);
        }
        case Kind::Rnd:
            return Workspace::current().nextRandom() / 32767.0;
        case Kind::Fact:
            return factorial(operandOf(*this).evaluate());
        case Kind::NIntegrate:
            return evaluateIntegral(*static_cast<const NIntegrateNode*>(this));
    }
    return 0.0;
}

NodePtr ExprNode::toNumber() const {
    if (kind() == Kind::List) {
        auto list = std::make_unique<ListNode>();
        for (const NodePtr& e : as<ListNode>(*this).elements) list->append(number(e->evaluate()));
        return list;
    }
    return number(evaluate());
}

}  // namespace kv
