// Exact equation solving. Not built yet: no roots are found.
#include "engine/ExprNode.h"

namespace kv {

OwnedNodeList ExprNode::roots(int) const { return {}; }
NodePtr ExprNode::splitLogarithms(int) const { return clone(); }
NodePtr ExprNode::coefficientIn(int) const { return clone(); }
NodePtr ExprNode::dependentFactorIn(int) const { return clone(); }
NodePtr ExprNode::degreeIn(int) const { return number(0.0); }

}  // namespace kv
