#include "engine/TreeRebuild.h"

#include "engine/Scratch.h"

namespace kv {

NodePtr mapChildren(const ExprNode& node, const ChildMap& map) {
    Kind k = node.kind();
    if (isBinaryKind(k)) return makeBinary(k, map(leftOf(node)), map(rightOf(node)));
    if (isFunctionKind(k)) return makeFunction(k, map(operandOf(node)));
    switch (k) {
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(node);
            return std::make_unique<LogBaseNode>(map(*n.operand), n.base->clone());
        }
        case Kind::NIntegrate: {
            const auto& n = as<NIntegrateNode>(node);
            return std::make_unique<NIntegrateNode>(
                map(*n.operand), n.lower->clone(), n.upper->clone(),
                std::make_unique<VariableNode>(n.variable->index), n.steps->clone(), n.lastValue);
        }
        case Kind::List: {
            auto list = std::make_unique<ListNode>();
            for (const NodePtr& e : as<ListNode>(node).elements) list->append(map(*e));
            return list;
        }
        default:
            return node.clone();
    }
}

}  // namespace kv

namespace kv {

namespace {

// The children of a node, in the order forEachChild gives them; a template,
// so that the walks below call no std::function per node.
template <class Visit>
void visitChildren(const ExprNode& node, Visit&& visit) {
    Kind k = node.kind();
    if (isBinaryKind(k)) {
        visit(leftOf(node));
        visit(rightOf(node));
    } else if (isFunctionKind(k)) {
        visit(operandOf(node));
    } else if (k == Kind::LogBase) {
        visit(*as<LogBaseNode>(node).operand);
        visit(*as<LogBaseNode>(node).base);
    } else if (k == Kind::NIntegrate) {
        const auto& n = as<NIntegrateNode>(node);
        visit(*n.operand);
        visit(*n.lower);
        visit(*n.upper);
        visit(*n.variable);
        visit(*n.steps);
    } else if (k == Kind::List) {
        for (const NodePtr& e : as<ListNode>(node).elements) visit(*e);
    }
}

}  // namespace

void forEachChild(const ExprNode& node, const std::function<void(const ExprNode&)>& visit) {
    visitChildren(node, visit);
}

namespace {
template <class F>
void walk(const ExprNode& root, F&& onNode) {
    // Counting a tree, which every simplification does, then allocates no
    // stack; a very deep tree's stack is not kept.
    Scratch<const ExprNode*, std::size_t{1} << 16> stack;
    std::vector<const ExprNode*>& pending = *stack;
    pending.push_back(&root);
    while (!pending.empty()) {
        const ExprNode* node = pending.back();
        pending.pop_back();
        if (!onNode(*node)) return;
        visitChildren(*node, [&](const ExprNode& c) { pending.push_back(&c); });
    }
}
}  // namespace

std::size_t countNodes(const ExprNode& root, std::size_t limit) {
    // A leaf, the common case of an exponent, without the walk.
    if (!isBinaryKind(root.kind()) && !isUnaryKind(root.kind()) && root.kind() != Kind::List)
        return 1;
    std::size_t count = 0;
    walk(root, [&](const ExprNode&) { return ++count <= limit; });
    return count;
}

bool holdsKind(const ExprNode& root, Kind kind) {
    bool found = false;
    walk(root, [&](const ExprNode& n) { return !(found = n.kind() == kind); });
    return found;
}

std::size_t countOccurrences(const ExprNode& root, int variable) {
    std::size_t uses = 0;
    walk(root, [&](const ExprNode& n) {
        if (n.kind() == Kind::Variable && as<VariableNode>(n).index == variable) ++uses;
        return true;
    });
    return uses;
}

}  // namespace kv
