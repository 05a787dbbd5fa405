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

// Appends the text of `n` to `out`: one string for the whole tree, so that
// a long sum is not copied once per level.
void appendText(const ExprNode& n, std::string& out);

void appendWrapped(const ExprNode& child, bool wrap, std::string& out) {
    if (wrap) out += '(';
    appendText(child, out);
    if (wrap) out += ')';
}

void appendText(const ExprNode& n, std::string& out) {
    const Workspace& ws = Workspace::current();
    switch (n.kind()) {
        case Kind::Number:
            out += formatNumber(as<NumberNode>(n).value);
            return;
        case Kind::Zero:
            out += '0';
            return;
        case Kind::Constant: {
            int i = as<ConstantNode>(n).index;
            out += ws.constants.at(static_cast<std::size_t>(i)).name;
            return;
        }
        case Kind::Variable: {
            int i = as<VariableNode>(n).index;
            out += ws.variables.at(static_cast<std::size_t>(i)).name;
            return;
        }
        case Kind::Rnd:
            out += "rnd()";
            return;
        case Kind::Text:
            out += as<TextNode>(n).text;
            return;
        case Kind::GraphRef: {
            const GraphIdSource* g = as<GraphRefNode>(n).graph;
            out += "ID je: " + std::to_string(g ? g->graphId() : 0);
            return;
        }
        case Kind::NIntegrate:
            out += formatShort(as<NIntegrateNode>(n).lastValue);
            return;
        case Kind::List: {
            out += '[';
            bool first = true;
            for (const NodePtr& e : as<ListNode>(n).elements) {
                if (!first) out += ", ";
                appendText(*e, out);
                first = false;
            }
            out += ']';
            return;
        }
        case Kind::LogBase: {
            const auto& l = as<LogBaseNode>(n);
            out += "log(";
            appendText(*l.base, out);
            out += ", ";
            appendText(*l.operand, out);
            out += ')';
            return;
        }
        case Kind::PlusMinus:
            out += "(+-)";
            appendText(operandOf(n), out);
            return;
        case Kind::Negation: {
            const ExprNode& op = operandOf(n);
            const bool sum = isSumLike(op.kind());
            out += sum ? "(-(" : "(-";
            appendText(op, out);
            out += sum ? "))" : ")";
            return;
        }
        default:
            break;
    }
    if (isBinaryKind(n.kind())) {
        const ExprNode& l = leftOf(n);
        const ExprNode& r = rightOf(n);
        appendWrapped(l, wrapLeft(n.kind(), l.kind()), out);
        out += operatorChar(n.kind());
        appendWrapped(r, wrapRight(n.kind(), r.kind()), out);
        return;
    }
    out += functionName(n.kind());
    out += '(';
    appendText(operandOf(n), out);
    out += ')';
}

}  // namespace

std::string ExprNode::toText() const {
    std::string out;
    appendText(*this, out);
    return out;
}

}  // namespace kv
