// The simplification passes. Not built yet: each pass rebuilds the tree
// unchanged.
#include "engine/ExprNode.h"
#include "engine/TreeRebuild.h"

namespace kv {

NodePtr ExprNode::simplify() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.simplify(); });
}
NodePtr ExprNode::toProductForm() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.toProductForm(); });
}
NodePtr ExprNode::toSumForm() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.toSumForm(); });
}
NodePtr ExprNode::toQuotientForm() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.toQuotientForm(); });
}
NodePtr ExprNode::normalizeSigns() const {
    return mapChildren(*this, [](const ExprNode& c) { return c.normalizeSigns(); });
}

}  // namespace kv

#include "algebra/Algebra.h"

namespace kv {

NodePtr simpl(const ExprNode& tree) {
    NodePtr t = tree.together();
    t = t->toProductForm();
    t = t->simplify();
    t = t->toQuotientForm();
    return t->normalizeSigns();
}

}  // namespace kv
