// Small helpers shared by the rewriting passes (simplification, common
// denominators, expansion, derivatives): node builders, numeric literals and
// the variant of `together` that simplification uses on its own results.
#pragma once

#include <vector>

#include "algebra/RewriteBudget.h"
#include "engine/ExprNode.h"
#include "engine/Scratch.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv::rw {

inline NodePtr sum(NodePtr a, NodePtr b) {
    return makeBinary(Kind::Sum, std::move(a), std::move(b));
}
inline NodePtr difference(NodePtr a, NodePtr b) {
    return makeBinary(Kind::Difference, std::move(a), std::move(b));
}
inline NodePtr product(NodePtr a, NodePtr b) {
    return makeBinary(Kind::Product, std::move(a), std::move(b));
}
inline NodePtr quotient(NodePtr a, NodePtr b) {
    return makeBinary(Kind::Quotient, std::move(a), std::move(b));
}
inline NodePtr power(NodePtr a, NodePtr b) {
    return makeBinary(Kind::Power, std::move(a), std::move(b));
}
inline NodePtr negation(NodePtr a) {
    return makeFunction(Kind::Negation, std::move(a));
}
// -1 as simplified trees write it: the negation of the number 1.
inline NodePtr minusOne() {
    return negation(number(1.0));
}

// A copy of `node` around pass(child) for each child. Operators and
// one-argument functions are rebuilt directly, so a pass costs one stack
// frame per level of the tree; the kinds with extra parts go through
// mapChildren.
template <class Pass>
NodePtr rebuild(const ExprNode& node, Pass pass) {
    const Kind k = node.kind();
    if (isBinaryKind(k)) {
        NodePtr l = pass(leftOf(node));
        return makeBinary(k, std::move(l), pass(rightOf(node)));
    }
    if (isFunctionKind(k)) return makeFunction(k, pass(operandOf(node)));
    return mapChildren(node, pass);
}

// Takes a child out of a node that is about to be destroyed or given new
// children. The node's mark (SimplifyMemo.h) no longer holds and is cleared.
inline NodePtr takeLeft(ExprNode& node) {
    node.setMark(0);
    NodePtr c = std::move(static_cast<BinaryNode&>(node).left);
    c->parent = nullptr;
    return c;
}
inline NodePtr takeRight(ExprNode& node) {
    node.setMark(0);
    NodePtr c = std::move(static_cast<BinaryNode&>(node).right);
    c->parent = nullptr;
    return c;
}
inline NodePtr takeOperand(ExprNode& node) {
    node.setMark(0);
    NodePtr c = std::move(static_cast<UnaryNode&>(node).operand);
    c->parent = nullptr;
    return c;
}

// Puts `child` into the slot of `holder` and links it back.
inline void attach(ExprNode& holder, NodePtr& slot, NodePtr child) {
    holder.setMark(0);
    slot = std::move(child);
    slot->parent = &holder;
}

// Takes the subtree at `node` out of the tree `root` that holds it, which is
// being dismantled for its parts; a subtree whose holder does not know it
// is copied instead.
inline NodePtr takeSubtree(const ExprNode* node, NodePtr& root) {
    if (node == root.get()) return std::move(root);
    ExprNode* holder = node->parent;
    // A holder may have given up a child already; compare the pointers.
    if (holder && isBinaryKind(holder->kind())) {
        auto& b = static_cast<BinaryNode&>(*holder);
        if (b.left.get() == node) return takeLeft(*holder);
        if (b.right.get() == node) return takeRight(*holder);
    } else if (holder && isUnaryKind(holder->kind()) &&
               static_cast<UnaryNode&>(*holder).operand.get() == node) {
        return takeOperand(*holder);
    }
    return node->clone();
}

// rebuild for a tree the pass owns: every node keeps its place and takes
// pass(child) for each of its children, so a pass that changes little of a
// tree copies nothing. The same children as rebuild: both of an operator,
// the operand of a one-argument node, of a logarithm to a base (whose base
// stays) and of a numeric integral (which then forgets its compiled
// integrand), every element of a list; a leaf is returned as it is.
template <class Pass>
NodePtr rebuildOwned(NodePtr node, Pass pass) {
    ExprNode& n = *node;
    const Kind k = n.kind();
    if (isBinaryKind(k)) {
        auto& b = static_cast<BinaryNode&>(n);
        attach(n, b.left, pass(takeLeft(n)));
        attach(n, b.right, pass(takeRight(n)));
    } else if (k == Kind::List) {
        for (NodePtr& e : static_cast<ListNode&>(n).elements) {
            e->parent = nullptr;
            attach(n, e, pass(std::move(e)));
        }
    } else if (isFunctionKind(k) || k == Kind::LogBase || k == Kind::NIntegrate) {
        attach(n, static_cast<UnaryNode&>(n).operand, pass(takeOperand(n)));
        if (k == Kind::NIntegrate) static_cast<NIntegrateNode&>(n).compiled.reset();
    }
    return node;
}

// The source of a pass written once for both: a tree it reads, copying the
// parts it keeps, or a tree it owns, whose parts it keeps as they are.
using Read = const ExprNode*;
using Owned = NodePtr;

inline const ExprNode& view(Read n) {
    return *n;
}
inline const ExprNode& view(const Owned& n) {
    return *n;
}
inline Read leftIn(Read n) {
    return &leftOf(*n);
}
inline Owned leftIn(Owned& n) {
    return takeLeft(*n);
}
inline Read rightIn(Read n) {
    return &rightOf(*n);
}
inline Owned rightIn(Owned& n) {
    return takeRight(*n);
}
inline Read operandIn(Read n) {
    return &operandOf(*n);
}
inline Owned operandIn(Owned& n) {
    return takeOperand(*n);
}
inline NodePtr keep(Read n) {
    return n->clone();
}
inline NodePtr keep(Owned& n) {
    return std::move(n);
}

// A numeric literal: a NumberNode, the ZeroNode, or the negation of a
// NumberNode (the way simplified trees write negative numbers).
inline bool isNumericLiteral(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Number:
        case Kind::Zero:
            return true;
        case Kind::Negation:
            return operandOf(node).kind() == Kind::Number;
        default:
            return false;
    }
}
// The value of a numeric literal.
inline double literalValue(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Number:
            return as<NumberNode>(node).value;
        case Kind::Negation:
            return -as<NumberNode>(operandOf(node)).value;
        default:
            return 0.0;
    }
}
// A number as simplified trees write it: zero as the ZeroNode, a negative
// value as the negation of a positive NumberNode.
NodePtr normalNumber(double value);
// The negation of a simplified tree: -(-a) -> a; a constant zero -> 0.
NodePtr negateSimplified(NodePtr a);
// isConstant, answered quickly when a variable lies near the top of the tree
// (isConstant itself walks the left branch first, all the way down a
// left-leaning tower x^x^...^x before it sees the x on the right).
bool isConstantTreeWalk(const ExprNode& node);
// The same, with the common leaves answered without the walk.
inline bool isConstantTree(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Number:
            return true;
        case Kind::Variable:
            return false;
        default:
            return isConstantTreeWalk(node);
    }
}
// The constant value of a tree that isConstant(); NaN for anything else.
double constantValue(const ExprNode& node);
// The same for a tree whose isConstantTree() the caller knows already.
double constantValue(const ExprNode& node, bool constant);

// The product of two simplified factors, simplified (what simplify does to a
// product once its factors are simplified).
NodePtr simplifyProductOf(NodePtr a, NodePtr b);

// simplify of a tree the caller owns and gives up: the same result and work
// as ExprNode::simplify, keeping the nodes it leaves as they are.
NodePtr simplifyOwned(NodePtr tree);

// simpl of a tree the caller owns; inside a derivative whose budget is spent
// the tree itself comes back, without a copy. With `nodes`, the node count of
// the result when simpl knows it without counting (the result is its input
// unchanged), otherwise 0.
NodePtr simplOwned(NodePtr tree, std::size_t* nodes = nullptr);

// Structural equality as ExprNode::equals decides it, spending a unit of the
// current budget for every node pair it compares; false once the budget is
// spent. Comparing every factor of a long product with every other would
// otherwise cost the square of the product's size at each of its levels.
// (Its part out of line: two nodes of one kind, neither a number nor a variable.)
bool countedEqualsNodes(const ExprNode& a, const ExprNode& b);
inline bool countedEquals(const ExprNode& a, const ExprNode& b) {
    const Kind k = a.kind();
    // Nodes of different kinds and the common leaves, without the call.
    if (k != b.kind() || k == Kind::Variable || k == Kind::Number) {
        if (!RewriteBudget::current()->spend()) return false;
        if (k != b.kind()) return false;
        if (k == Kind::Variable) return as<VariableNode>(a).index == as<VariableNode>(b).index;
        return tol::equal(as<NumberNode>(a).value, as<NumberNode>(b).value);
    }
    return countedEqualsNodes(a, b);
}

// `together` of a tree the caller owns, taken apart for its result.
NodePtr togetherOwned(NodePtr tree);
// `together` of a tree whose exponents are simplified already, as inside
// `simplify`: an exponent counts as negative when it is a negation (or a
// negative number), without simplifying it again.
NodePtr togetherOfSimplified(const ExprNode& node);
// Whether togetherOfSimplified would make the tree a quotient (before any
// size limit applies). Looks only at the sum, difference, product and
// quotient skeleton and the exponents of the powers in it.
bool becomesQuotient(const ExprNode& node);

// The terms of a sum with their signs, negations carried through sums and
// differences: a - (b - c) gives a, -b, c. A negated term is a NegationNode.
void collectSignedTerms(const ExprNode& t, bool negated, std::vector<NodePtr>& out);

}  // namespace kv::rw
