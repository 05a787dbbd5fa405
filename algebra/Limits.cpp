// Limits. Not built yet: no limit is found.
#include "engine/ExprNode.h"

namespace kv {

LimitResult ExprNode::limit(const LimitRequest&) const { return LimitResult{}; }

}  // namespace kv
