#include "engine/TreeRebuild.h"

namespace kv {

NodePtr mapChildren(const ExprNode& node, const ChildMap& map) {
    Kind k = node.kind();
    if (isBinaryKind(k)) return makeBinary(k, map(leftOf(node)), map(rightOf(node)));
    if (isFunctionKind(k)) return makeFunction(k, map(operandOf(node)));
    switch (k) {
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(node);
            return std::make_unique<LogBaseNode>(map(*n.operand), n.base->clone());
        }
        case Kind::NIntegrate: {
            const auto& n = as<NIntegrateNode>(node);
            return std::make_unique<NIntegrateNode>(
                map(*n.operand), n.lower->clone(), n.upper->clone(),
                std::make_unique<VariableNode>(n.variable->index), n.steps->clone(), n.lastValue);
        }
        case Kind::List: {
            auto list = std::make_unique<ListNode>();
            for (const NodePtr& e : as<ListNode>(node).elements) list->append(map(*e));
            return list;
        }
        default:
            return node.clone();
    }
}

}  // namespace kv
