// Entry points of the symbolic algorithms that are not node operations.
#pragma once

#include "engine/ExprNode.h"

namespace kv {

// The simplification pipeline: together, toProductForm, simplify,
// toQuotientForm, normalizeSigns, each on the result of the previous one.
NodePtr simpl(const ExprNode& tree);

// Differentiates along each variable of the list in turn.
NodePtr derivativeAlong(const ExprNode& tree, const IdList& variables);
// derivativeAlong applied n times (n >= 1).
NodePtr nthDerivative(int n, const ExprNode& tree, const IdList& variables);

}  // namespace kv
