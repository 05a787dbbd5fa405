// Symbolic differentiation. Not built yet: every tree differentiates to 0.
#include "engine/ExprNode.h"

namespace kv {

NodePtr ExprNode::derivative(const IdList&) const { return zero(); }

}  // namespace kv

#include "algebra/Algebra.h"

namespace kv {

NodePtr derivativeAlong(const ExprNode& tree, const IdList& variables) {
    NodePtr result = tree.clone();
    for (int v : variables) result = result->derivative(IdList{v});
    return result;
}

NodePtr nthDerivative(int n, const ExprNode& tree, const IdList& variables) {
    NodePtr result = derivativeAlong(tree, variables);
    for (int i = 1; i < n; ++i) result = derivativeAlong(*result, variables);
    return result;
}

}  // namespace kv
