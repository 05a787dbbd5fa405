// Symbolic differentiation. Not built yet: every tree differentiates to 0.
#include "engine/ExprNode.h"

namespace kv {

NodePtr ExprNode::derivative(const IdList&) const { return zero(); }

}  // namespace kv
