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
