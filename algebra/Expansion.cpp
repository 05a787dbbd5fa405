// Common denominators and expansion. Not built yet: trees are rebuilt unchanged.
#include "engine/ExprNode.h"
#include "engine/TreeRebuild.h"

namespace kv {

NodePtr ExprNode::together() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.together(); });
}
NodePtr ExprNode::expandall() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.expandall(); });
}
NodePtr ExprNode::expandIn(int variable) const {
    return mapChildren(*this, [variable](const ExprNode& c) { return c.expandIn(variable); });
}

}  // namespace kv
