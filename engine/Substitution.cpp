// substitute, replaceSubterm and replaceEqual: new trees with parts replaced.
#include "engine/ExprNode.h"
#include "engine/TreeRebuild.h"

namespace kv {

// Every occurrence of variable `variable` becomes an independent copy of
// `replacement`, in the base of a logarithm as in its argument.
//
// The integration variable of a numeric integral is bound: renaming it to
// another variable renames it everywhere in the integral, but replacing it by
// an expression would turn the integrand into a constant and give a wrong
// integral, so in that case only the bounds and the step count are substituted.
NodePtr ExprNode::substitute(int variable, const ExprNode& replacement) const {
    const ChildMap recurse = [&](const ExprNode& child) {
        return child.substitute(variable, replacement);
    };
    switch (kind()) {
        case Kind::Variable:
            if (as<VariableNode>(*this).index == variable) return replacement.clone();
            return clone();
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(*this);
            return std::make_unique<LogBaseNode>(n.operand->substitute(variable, replacement),
                                                 n.base->substitute(variable, replacement));
        }
        case Kind::NIntegrate: {
            const auto& n = as<NIntegrateNode>(*this);
            bool bound = n.variable->index == variable;
            if (bound && replacement.kind() != Kind::Variable) {
                return std::make_unique<NIntegrateNode>(
                    n.operand->clone(), n.lower->substitute(variable, replacement),
                    n.upper->substitute(variable, replacement),
                    std::make_unique<VariableNode>(n.variable->index),
                    n.steps->substitute(variable, replacement), n.lastValue);
            }
            int newVar = bound ? as<VariableNode>(replacement).index : n.variable->index;
            return std::make_unique<NIntegrateNode>(
                n.operand->substitute(variable, replacement),
                n.lower->substitute(variable, replacement),
                n.upper->substitute(variable, replacement), std::make_unique<VariableNode>(newVar),
                n.steps->substitute(variable, replacement), n.lastValue);
        }
        default:
            return mapChildren(*this, recurse);
    }
}

// Replaces the one subtree at address `target` by `repl` itself (not a copy).
NodePtr ExprNode::replaceSubterm(const ExprNode* target, NodePtr& repl) const {
    if (this == target) return std::move(repl);
    return mapChildren(*this,
                       [&](const ExprNode& child) { return child.replaceSubterm(target, repl); });
}

// Every subtree that equals `pattern` becomes a fresh copy of `repl`.
NodePtr ExprNode::replaceEqual(const ExprNode& pattern, const ExprNode& repl) const {
    if (equals(pattern)) return repl.clone();
    return mapChildren(*this,
                       [&](const ExprNode& child) { return child.replaceEqual(pattern, repl); });
}

}  // namespace kv
