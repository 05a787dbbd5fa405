// The shared rewriting helpers of Rewriting.h: numeric literals, constant
// trees and their values, counted structural equality. Every numeric test uses
// the one tolerance of engine/Tolerance.h.
#include "algebra/Rewriting.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "engine/Power.h"
#include "engine/ScalarOps.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv {

// ---- Shared helpers ------------------------------------------------------------

namespace rw {

NodePtr normalNumber(double value) {
    if (tol::isZero(value)) return zero();
    if (value < 0) return negation(number(-value));
    return number(value);
}

bool isConstantTreeWalk(const ExprNode& node) {
    // Breadth first over the first nodes; a larger tree without a variable
    // among them is left to isConstant.
    constexpr std::size_t kLook = 64;
    const ExprNode* queue[kLook];
    std::size_t head = 0, tail = 0;
    queue[tail++] = &node;
    while (head < tail) {
        const ExprNode& n = *queue[head++];
        const ExprNode* children[2] = {nullptr, nullptr};
        switch (n.kind()) {
            case Kind::Number:
            case Kind::Constant:
            case Kind::Zero:
                continue;
            case Kind::Variable:
            case Kind::Rnd:
            case Kind::List:
            case Kind::Text:
            case Kind::GraphRef:
                return false;
            case Kind::NIntegrate:
                children[0] = as<NIntegrateNode>(n).lower.get();
                children[1] = as<NIntegrateNode>(n).upper.get();
                break;
            case Kind::LogBase:
                children[0] = &operandOf(n);
                children[1] = as<LogBaseNode>(n).base.get();
                break;
            default:
                if (isBinaryKind(n.kind())) {
                    children[0] = &leftOf(n);
                    children[1] = &rightOf(n);
                } else {
                    children[0] = &operandOf(n);
                }
        }
        for (const ExprNode* c : children) {
            if (!c) continue;
            if (tail == kLook) return node.isConstant();
            queue[tail++] = c;
        }
    }
    return true;
}

double constantValue(const ExprNode& node) {
    // A number, the common case (an exponent), without the walk.
    if (node.kind() == Kind::Number) return as<NumberNode>(node).value;
    return constantValue(node, isConstantTree(node));
}

double constantValue(const ExprNode& node, bool constant) {
    if (node.kind() == Kind::Number) return as<NumberNode>(node).value;
    return constant ? node.evaluate() : std::numeric_limits<double>::quiet_NaN();
}

// countedEquals of two nodes of one kind, neither a number nor a variable.
bool countedEqualsNodes(const ExprNode& a, const ExprNode& b) {
    if (!RewriteBudget::current()->spend()) return false;
    switch (a.kind()) {
        case Kind::Constant:
        case Kind::Zero:
        case Kind::Rnd:
        case Kind::Text:
        case Kind::GraphRef:
            return a.equals(b);
        case Kind::List: {
            const auto& x = as<ListNode>(a).elements;
            const auto& y = as<ListNode>(b).elements;
            if (x.size() != y.size()) return false;
            for (std::size_t i = 0; i < x.size(); ++i)
                if (!countedEquals(*x[i], *y[i])) return false;
            return true;
        }
        default:
            break;
    }
    if (isBinaryKind(a.kind())) {
        if (countedEquals(leftOf(a), leftOf(b)) && countedEquals(rightOf(a), rightOf(b)))
            return true;
        if (a.kind() == Kind::Sum || a.kind() == Kind::Product)
            return countedEquals(leftOf(a), rightOf(b)) && countedEquals(rightOf(a), leftOf(b));
        return false;
    }
    // Logarithms compare their bases too, integrals their bounds, step
    // counts and variables, as equals does.
    if (a.kind() == Kind::LogBase &&
        !countedEquals(*as<LogBaseNode>(a).base, *as<LogBaseNode>(b).base))
        return false;
    if (a.kind() == Kind::NIntegrate) {
        const auto& p = as<NIntegrateNode>(a);
        const auto& q = as<NIntegrateNode>(b);
        if (p.variable->index != q.variable->index || !countedEquals(*p.lower, *q.lower) ||
            !countedEquals(*p.upper, *q.upper) || !countedEquals(*p.steps, *q.steps))
            return false;
    }
    return countedEquals(operandOf(a), operandOf(b));
}

NodePtr negateSimplified(NodePtr a) {
    if (a->kind() == Kind::Negation) return takeOperand(*a);
    if (tol::isZero(constantValue(*a))) return zero();
    return negation(std::move(a));
}

// The terms of a sum with their signs, negations carried through sums and
// differences: a - (b - c) gives a, -b, c. A negated term is a NegationNode.
void collectSignedTerms(const ExprNode& t, bool negated, std::vector<NodePtr>& out) {
    switch (t.kind()) {
        case Kind::Sum:
            collectSignedTerms(leftOf(t), negated, out);
            collectSignedTerms(rightOf(t), negated, out);
            return;
        case Kind::Difference:
            collectSignedTerms(leftOf(t), negated, out);
            collectSignedTerms(rightOf(t), !negated, out);
            return;
        case Kind::Negation:
            collectSignedTerms(operandOf(t), !negated, out);
            return;
        default:
            out.push_back(negated ? negation(t.clone()) : t.clone());
    }
}

}  // namespace rw

}  // namespace kv
