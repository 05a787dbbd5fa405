// Rebuilding a node around transformed children: the common shape of the
// passes that walk a tree and return a new one.
#pragma once

#include <functional>

#include "engine/ExprNode.h"

namespace kv {

using ChildMap = std::function<NodePtr(const ExprNode&)>;

// A copy of `node` whose children are replaced by map(child): both children
// of an operator, the operand of a one-argument node, every element of a list.
// The extra subtrees of LogBaseNode (base) and NIntegrateNode (bounds,
// variable, steps) are cloned. A leaf is cloned.
NodePtr mapChildren(const ExprNode& node, const ChildMap& map);

}  // namespace kv

namespace kv {

// Calls `visit` on each owned child of `node`: both children of an operator,
// the operand of a one-argument node, the base of a logarithm, the five
// subtrees of a numeric integral, the elements of a list.
void forEachChild(const ExprNode& node, const std::function<void(const ExprNode&)>& visit);

// Nodes in the tree, counting stops once `limit` is passed. Walks without
// recursion, so any depth is safe.
std::size_t countNodes(const ExprNode& root, std::size_t limit);

// True when a node of `kind` occurs in the tree.
bool holdsKind(const ExprNode& root, Kind kind);

// How often variable row `variable` occurs in the tree.
std::size_t countOccurrences(const ExprNode& root, int variable);

}  // namespace kv
