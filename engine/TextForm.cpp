// The one-line text form of a tree: compact, no blanks around operators, and
// parentheses only where the kinds of the direct children demand them.
#include "engine/ExprNode.h"
#include "engine/NumberFormat.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

bool isSumLike(Kind k) {
    return k == Kind::Sum || k == Kind::Difference;
}

// Whether the left and right child of an operator are wrapped in parentheses.
bool wrapLeft(Kind op, Kind child) {
    switch (op) {
        case Kind::Product:
        case Kind::Quotient:
            return isSumLike(child);
        case Kind::Power:
            return isSumLike(child) || child == Kind::Product || child == Kind::Quotient ||
                   child == Kind::Power || child == Kind::Negation;
        default:
            return false;
    }
}

bool wrapRight(Kind op, Kind child) {
    switch (op) {
        case Kind::Difference:
        case Kind::Product:
            return isSumLike(child);
        case Kind::Quotient:
            return isSumLike(child) || child == Kind::Product || child == Kind::Quotient;
        case Kind::Power:
            return isSumLike(child) || child == Kind::Product || child == Kind::Quotient ||
                   child == Kind::Power;
        default:
            return false;
    }
}

char operatorChar(Kind op) {
    switch (op) {
        case Kind::Sum:
            return '+';
        case Kind::Difference:
            return '-';
        case Kind::Product:
            return '*';
        case Kind::Quotient:
            return '/';
        default:
            return '^';
    }
}

std::string wrapped(const ExprNode& child, bool wrap) {
    return wrap ? "(" + child.toText() + ")" : child.toText();
}

}  // namespace

std::string ExprNode::toText() const {
    const Workspace& ws = Workspace::current();
    switch (kind()) {
        case Kind::Number:
            return formatNumber(as<NumberNode>(*this).value);
        case Kind::Zero:
            return "0";
        case Kind::Constant: {
            int i = as<ConstantNode>(*this).index;
            return ws.constants.at(static_cast<std::size_t>(i)).name;
        }
        case Kind::Variable: {
            int i = as<VariableNode>(*this).index;
            return ws.variables.at(static_cast<std::size_t>(i)).name;
        }
        case Kind::Rnd:
            return "rnd()";
        case Kind::Text:
            return as<TextNode>(*this).text;
        case Kind::GraphRef: {
            const GraphIdSource* g = as<GraphRefNode>(*this).graph;
            return "ID je: " + std::to_string(g ? g->graphId() : 0);
        }
        case Kind::NIntegrate:
            return formatShort(as<NIntegrateNode>(*this).lastValue);
        case Kind::List: {
            std::string text = "[";
            bool first = true;
            for (const NodePtr& e : as<ListNode>(*this).elements) {
                if (!first) text += ", ";
                text += e->toText();
                first = false;
            }
            return text + "]";
        }
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(*this);
            return "log(" + n.base->toText() + ", " + n.operand->toText() + ")";
        }
        case Kind::PlusMinus:
            return "(+-)" + operandOf(*this).toText();
        case Kind::Negation: {
            const ExprNode& op = operandOf(*this);
            if (isSumLike(op.kind())) return "(-(" + op.toText() + "))";
            return "(-" + op.toText() + ")";
        }
        default:
            break;
    }
    if (isBinaryKind(kind())) {
        const ExprNode& l = leftOf(*this);
        const ExprNode& r = rightOf(*this);
        return wrapped(l, wrapLeft(kind(), l.kind())) + operatorChar(kind()) +
               wrapped(r, wrapRight(kind(), r.kind()));
    }
    return std::string(functionName(kind())) + "(" + operandOf(*this).toText() + ")";
}

}  // namespace kv
