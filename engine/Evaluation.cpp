// Numeric evaluation: the value of a tree for the current variable values.
// This is the inner loop of plotting, so it is a plain recursive walk in
// double: no allocation, no strings, variables read by index.
#include <cstdint>

#include "engine/ExprNode.h"
#include "engine/Quadrature.h"
#include "engine/ScalarOps.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

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
// quotients their left; the order shows only through rnd(). The operations
// themselves are those of ScalarOps.h.
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
            return scalarOp<Kind::Sum>(leftOf(*this).evaluate(), r);
        }
        case Kind::Difference: {
            double l = leftOf(*this).evaluate();
            return scalarOp<Kind::Difference>(l, rightOf(*this).evaluate());
        }
        case Kind::Product: {
            double r = rightOf(*this).evaluate();
            return scalarOp<Kind::Product>(leftOf(*this).evaluate(), r);
        }
        case Kind::Quotient: {
            double l = leftOf(*this).evaluate();
            return scalarOp<Kind::Quotient>(l, rightOf(*this).evaluate());
        }
        case Kind::Power: {
            double r = rightOf(*this).evaluate();
            return scalarOp<Kind::Power>(leftOf(*this).evaluate(), r);
        }
        case Kind::Negation:
            return scalarOp<Kind::Negation>(operandOf(*this).evaluate());
        case Kind::PlusMinus:
            return scalarOp<Kind::PlusMinus>(operandOf(*this).evaluate());
        case Kind::Sin:
            return scalarOp<Kind::Sin>(operandOf(*this).evaluate());
        case Kind::Cos:
            return scalarOp<Kind::Cos>(operandOf(*this).evaluate());
        case Kind::Tan:
            return scalarOp<Kind::Tan>(operandOf(*this).evaluate());
        case Kind::Asin:
            return scalarOp<Kind::Asin>(operandOf(*this).evaluate());
        case Kind::Acos:
            return scalarOp<Kind::Acos>(operandOf(*this).evaluate());
        case Kind::Atan:
            return scalarOp<Kind::Atan>(operandOf(*this).evaluate());
        case Kind::Sinh:
            return scalarOp<Kind::Sinh>(operandOf(*this).evaluate());
        case Kind::Cosh:
            return scalarOp<Kind::Cosh>(operandOf(*this).evaluate());
        case Kind::Tanh:
            return scalarOp<Kind::Tanh>(operandOf(*this).evaluate());
        case Kind::Exp:
            return scalarOp<Kind::Exp>(operandOf(*this).evaluate());
        case Kind::Ln:
            return scalarOp<Kind::Ln>(operandOf(*this).evaluate());
        case Kind::Log:
            return scalarOp<Kind::Log>(operandOf(*this).evaluate());
        case Kind::Log2:
            return scalarOp<Kind::Log2>(operandOf(*this).evaluate());
        case Kind::LogBase: {
            const auto& n = *static_cast<const LogBaseNode*>(this);
            double arg = n.operand->evaluate();
            return scalarOp<Kind::LogBase>(arg, n.base->evaluate());
        }
        case Kind::Sqrt:
            return scalarOp<Kind::Sqrt>(operandOf(*this).evaluate());
        case Kind::Abs:
            return scalarOp<Kind::Abs>(operandOf(*this).evaluate());
        case Kind::Sign:
            return scalarOp<Kind::Sign>(operandOf(*this).evaluate());
        case Kind::Rnd:
            return Workspace::current().nextRandom() / 32767.0;
        case Kind::Fact:
            return scalarOp<Kind::Fact>(operandOf(*this).evaluate());
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
