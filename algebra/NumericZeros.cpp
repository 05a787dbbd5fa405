// Numeric zeros and definition domains. Not built yet: no zeros, and every
// tree is defined everywhere.
#include "engine/ExprNode.h"

namespace kv {

IntervalSet ExprNode::zerosIn(const IntervalSet&, int) const { return IntervalSet{}; }
IntervalSet ExprNode::domainIn(const IntervalSet& set, int) const { return set; }

}  // namespace kv
