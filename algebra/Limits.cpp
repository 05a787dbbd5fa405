// Limits. Not built yet: no limit is found.
#include <cmath>

#include "algebra/Solving.h"
#include "engine/Workspace.h"

namespace kv {

NodePtr positiveInfinity() { return number(HUGE_VAL); }
NodePtr negativeInfinity() { return std::make_unique<NegationNode>(positiveInfinity()); }
NodePtr twoSidedInfinity() { return std::make_unique<PlusMinusNode>(positiveInfinity()); }

LimitResult ExprNode::limit(const LimitRequest&) const { return LimitResult{}; }

LimitResult computeLimit(const ExprNode& node, const LimitRequest& request) {
    Workspace::current().lhospitalSteps = 0;
    LimitResult r = node.limit(request);
    if (!r.value) r.value = zero();
    return r;
}

}  // namespace kv
