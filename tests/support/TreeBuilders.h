// Small builders for expression trees in tests, and checks of the links of a
// whole tree.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/ExprNode.h"
#include "engine/Workspace.h"

namespace kv::test {

// A workspace that is current for the lifetime of the object.
struct FreshWorkspace {
    Workspace ws;
    Workspace::Scope scope{ws};
};

// Builds a tree in the current workspace. Table rows hold builders so that the
// variables of a row are registered in the workspace of the test that runs it.
using Builder = std::function<NodePtr()>;
// A table cell that builds its tree when the row runs: TREE(sum(var("x"), num(1))).
#define TREE(...) ::kv::test::Builder([] { return ::kv::NodePtr(__VA_ARGS__); })

// clang-format off
inline NodePtr num(double v) { return number(v); }
inline NodePtr var(const char* name) {
    return std::make_unique<VariableNode>(Workspace::current().variableIndex(name));
}
inline NodePtr cnst(const char* name) {
    Workspace::current().fillConstants();
    return std::make_unique<ConstantNode>(Workspace::current().findConstant(name));
}
inline NodePtr rnd() { return std::make_unique<RndNode>(); }
inline NodePtr text(const char* t) { return std::make_unique<TextNode>(t); }
inline NodePtr op(Kind k, NodePtr a, NodePtr b) {
    return makeBinary(k, std::move(a), std::move(b));
}
inline NodePtr sum(NodePtr a, NodePtr b) { return op(Kind::Sum, std::move(a), std::move(b)); }
inline NodePtr diff(NodePtr a, NodePtr b) {
    return op(Kind::Difference, std::move(a), std::move(b));
}
inline NodePtr prod(NodePtr a, NodePtr b) { return op(Kind::Product, std::move(a), std::move(b)); }
inline NodePtr quot(NodePtr a, NodePtr b) { return op(Kind::Quotient, std::move(a), std::move(b)); }
inline NodePtr power(NodePtr a, NodePtr b) { return op(Kind::Power, std::move(a), std::move(b)); }
inline NodePtr fn(Kind kind, NodePtr operand) { return makeFunction(kind, std::move(operand)); }
inline NodePtr neg(NodePtr operand) { return fn(Kind::Negation, std::move(operand)); }
// log(base, argument), base first as the user writes it.
inline NodePtr logb(NodePtr base, NodePtr arg) {
    return std::make_unique<LogBaseNode>(std::move(arg), std::move(base));
}
// clang-format on

template <class... Items>
NodePtr list(Items... items) {
    std::vector<NodePtr> v;
    (v.push_back(std::move(items)), ...);
    return std::make_unique<ListNode>(std::move(v));
}

// nintegrate(f, t, [lo..hi]) with `pairs` Simpson pairs.
inline NodePtr integral(NodePtr f, const char* t, NodePtr lo, NodePtr hi, NodePtr pairs) {
    auto v = std::make_unique<VariableNode>(Workspace::current().variableIndex(t));
    return std::make_unique<NIntegrateNode>(std::move(f), std::move(lo), std::move(hi),
                                            std::move(v), std::move(pairs));
}

inline double& valueOf(const char* name) {
    Workspace& ws = Workspace::current();
    return ws.variables[static_cast<std::size_t>(ws.variableIndex(name))].value;
}

// Every owned child points back at its holder, and the root has no parent.
inline ::testing::AssertionResult parentsLinked(const ExprNode& node,
                                                const ExprNode* holder = nullptr) {
    if (node.parent != holder)
        return ::testing::AssertionFailure() << kindName(node.kind()) << " has a wrong parent";
    std::vector<const ExprNode*> children;
    if (isBinaryKind(node.kind())) children = {&leftOf(node), &rightOf(node)};
    if (isUnaryKind(node.kind())) children = {&operandOf(node)};
    if (node.kind() == Kind::LogBase) children.push_back(as<LogBaseNode>(node).base.get());
    if (node.kind() == Kind::NIntegrate) {
        const auto& n = as<NIntegrateNode>(node);
        children.insert(children.end(),
                        {n.lower.get(), n.upper.get(), n.variable.get(), n.steps.get()});
    }
    if (node.kind() == Kind::List)
        for (const NodePtr& e : as<ListNode>(node).elements) children.push_back(e.get());
    for (const ExprNode* c : children)
        if (auto r = parentsLinked(*c, &node); !r) return r;
    return ::testing::AssertionSuccess();
}

// True when `p` is a node of the tree under `root` (not a copy of one).
inline bool isInside(const ExprNode* p, const ExprNode& root) {
    for (; p; p = p->parent)
        if (p == &root) return true;
    return false;
}

}  // namespace kv::test
