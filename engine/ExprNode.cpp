// Construction, copying and the structural queries of the node model.
#include "engine/ExprNode.h"

#include <cmath>

#include "engine/Tolerance.h"
#include "engine/Workspace.h"

namespace kv {

const char* kindName(Kind kind) {
    switch (kind) {
#define X(name, id, fn) \
    case Kind::name:    \
        return #name "Node";
#include "engine/NodeKinds.def"
#undef X
    }
    return "?";
}

const char* functionName(Kind kind) {
    switch (kind) {
#define X(name, id, fn) \
    case Kind::name:    \
        return fn;
#include "engine/NodeKinds.def"
#undef X
    }
    return "";
}

bool functionKind(std::string_view name, Kind& kind) {
    static constexpr struct {
        std::string_view name;
        Kind kind;
    } kFunctions[] = {
#define X(name, id, fn) {fn, Kind::name},
#include "engine/NodeKinds.def"
#undef X
    };
    if (name.empty()) return false;
    for (const auto& f : kFunctions)
        if (f.name == name) {
            kind = f.kind;
            return true;
        }
    return false;
}

bool isFiniteValue(double v) {
    return std::isfinite(v);
}

NodePtr makeBinary(Kind kind, NodePtr left, NodePtr right) {
    switch (kind) {
        case Kind::Sum:
            return std::make_unique<SumNode>(std::move(left), std::move(right));
        case Kind::Difference:
            return std::make_unique<DifferenceNode>(std::move(left), std::move(right));
        case Kind::Product:
            return std::make_unique<ProductNode>(std::move(left), std::move(right));
        case Kind::Quotient:
            return std::make_unique<QuotientNode>(std::move(left), std::move(right));
        case Kind::Power:
            return std::make_unique<PowerNode>(std::move(left), std::move(right));
        default:
            return nullptr;
    }
}

NodePtr makeFunction(Kind kind, NodePtr operand) {
    // One case per one-argument kind; the table is kept as written.
    // clang-format off
    switch (kind) {
#define F(name) \
    case Kind::name: return std::make_unique<FunctionNode<Kind::name>>(std::move(operand));
        F(Cos) F(Sin) F(Negation) F(Sqrt) F(Log) F(Log2) F(Ln) F(Sinh) F(Cosh) F(Tan) F(Abs)
        F(Sign) F(Asin) F(Acos) F(Atan) F(Tanh) F(PlusMinus) F(Exp) F(Fact)
#undef F
        default: return nullptr;
    }
    // clang-format on
}

VariableNode::VariableNode(int row) : ExprNode(Kind::Variable), index(row) {
    auto& vars = Workspace::current().variables;
    if (row >= 0 && static_cast<std::size_t>(row) < vars.size()) vars[row].value = 0.0;
}

RndNode::RndNode() : ExprNode(Kind::Rnd) {
    Workspace::current().reseedRandom();
}

NIntegrateNode::NIntegrateNode(NodePtr integrand, NodePtr lo, NodePtr hi,
                               std::unique_ptr<VariableNode> var, NodePtr stepCount, double last)
    : UnaryNode(Kind::NIntegrate, std::move(integrand)),
      lower(adopt(std::move(lo))),
      upper(adopt(std::move(hi))),
      variable(std::move(var)),
      steps(adopt(std::move(stepCount))),
      lastValue(last) {
    if (variable) variable->parent = this;
}

ListNode::ListNode(std::vector<NodePtr> items) : UnaryNode(Kind::List, nullptr) {
    for (NodePtr& item : items) append(std::move(item));
}

void ListNode::append(NodePtr item) {
    elements.push_back(adopt(std::move(item)));
}

// Deep copy. Copying a variable resets its value and copying rnd() reseeds the
// generator, exactly as constructing them does.
NodePtr ExprNode::clone() const {
    switch (kind()) {
        case Kind::Number:
            return number(as<NumberNode>(*this).value);
        case Kind::Zero:
            return zero();
        case Kind::Constant:
            return std::make_unique<ConstantNode>(as<ConstantNode>(*this).index);
        case Kind::Variable:
            return std::make_unique<VariableNode>(as<VariableNode>(*this).index);
        case Kind::Rnd:
            return std::make_unique<RndNode>();
        case Kind::Text:
            return std::make_unique<TextNode>(as<TextNode>(*this).text);
        case Kind::GraphRef:
            return std::make_unique<GraphRefNode>(as<GraphRefNode>(*this).graph);
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(*this);
            return std::make_unique<LogBaseNode>(n.operand->clone(), n.base->clone());
        }
        case Kind::NIntegrate: {
            const auto& n = as<NIntegrateNode>(*this);
            return std::make_unique<NIntegrateNode>(
                n.operand->clone(), n.lower->clone(), n.upper->clone(),
                std::make_unique<VariableNode>(n.variable->index), n.steps->clone(), n.lastValue);
        }
        case Kind::List: {
            auto copy = std::make_unique<ListNode>();
            for (const NodePtr& e : as<ListNode>(*this).elements) copy->append(e->clone());
            return copy;
        }
        default:
            break;
    }
    if (isBinaryKind(kind()))
        return makeBinary(kind(), leftOf(*this).clone(), rightOf(*this).clone());
    return makeFunction(kind(), operandOf(*this).clone());
}

NodePtr ExprNode::makeZero() const {
    if (kind() == Kind::NIntegrate) return operandOf(*this).makeZero();
    return zero();
}

NodePtr ExprNode::exponentOf() const {
    if (kind() == Kind::Power) return rightOf(*this).clone();
    return number(0.0);
}

int ExprNode::childCount() const {
    if (isBinaryKind(kind())) return 2;
    if (isUnaryKind(kind()) || kind() == Kind::List) return 1;
    return 0;
}

// Contains no variable.
bool ExprNode::isConstant() const {
    switch (kind()) {
        case Kind::Number:
        case Kind::Constant:
        case Kind::Zero:
            return true;
        case Kind::Variable:
        case Kind::Rnd:
        case Kind::List:
        case Kind::Text:
        case Kind::GraphRef:
            return false;
        case Kind::NIntegrate: {
            const auto& n = as<NIntegrateNode>(*this);
            return n.lower->isConstant() && n.upper->isConstant();
        }
        default:
            break;
    }
    if (isBinaryKind(kind())) return leftOf(*this).isConstant() && rightOf(*this).isConstant();
    // A logarithm whose base holds a variable is not constant either.
    if (kind() == Kind::LogBase && !as<LogBaseNode>(*this).base->isConstant()) return false;
    return operandOf(*this).isConstant();
}

bool ExprNode::dependsOn(int variable) const {
    switch (kind()) {
        case Kind::Variable:
            return as<VariableNode>(*this).index == variable;
        case Kind::Number:
        case Kind::Constant:
        case Kind::Zero:
        case Kind::Rnd:
        case Kind::List:
        case Kind::Text:
        case Kind::GraphRef:
            return false;
        default:
            break;
    }
    if (variable == -1) return false;
    if (isBinaryKind(kind()))
        return leftOf(*this).dependsOn(variable) || rightOf(*this).dependsOn(variable);
    // The base of a logarithm counts like its argument. An integral depends
    // on what its bounds and step count depend on, and on what its integrand
    // depends on apart from the integration variable, which is bound.
    if (kind() == Kind::LogBase && as<LogBaseNode>(*this).base->dependsOn(variable)) return true;
    if (kind() == Kind::NIntegrate) {
        const auto& n = as<NIntegrateNode>(*this);
        if (n.lower->dependsOn(variable) || n.upper->dependsOn(variable) ||
            n.steps->dependsOn(variable))
            return true;
        if (n.variable->index == variable) return false;
    }
    return operandOf(*this).dependsOn(variable);
}

// A structural zero test: cos(0) and 0+0 are zero, 2+x is not.
bool ExprNode::isZero() const {
    switch (kind()) {
        case Kind::Zero:
            return true;
        case Kind::Number:
            return as<NumberNode>(*this).value == 0.0;
        case Kind::Constant:
        case Kind::Variable:
        case Kind::Rnd:
        case Kind::Text:
        case Kind::GraphRef:
        case Kind::List:
            return false;
        default:
            break;
    }
    if (isBinaryKind(kind())) {
        if (leftOf(*this).isZero() && rightOf(*this).isZero()) return true;
    } else if (operandOf(*this).isZero()) {
        return true;
    }
    return isConstant() && evaluate() == 0.0;
}

// Structural equality. Numbers compare within the tolerance; sums and products also
// compare with their children swapped, at this one level only.
bool ExprNode::equals(const ExprNode& other) const {
    switch (kind()) {
        case Kind::Number:
            return other.kind() == Kind::Number &&
                   tol::equal(as<NumberNode>(*this).value, as<NumberNode>(other).value);
        case Kind::Constant:
            return other.kind() == Kind::Constant && evaluate() == other.evaluate();
        case Kind::Zero:
            return other.kind() == Kind::Zero;
        case Kind::Variable:
            return other.kind() == Kind::Variable &&
                   as<VariableNode>(other).index == as<VariableNode>(*this).index;
        case Kind::Rnd:
        case Kind::Text:
        case Kind::GraphRef:
            return false;
        case Kind::List: {
            // Lists compare element by element.
            if (other.kind() != Kind::List) return false;
            const auto& a = as<ListNode>(*this).elements;
            const auto& b = as<ListNode>(other).elements;
            if (a.size() != b.size()) return false;
            for (std::size_t i = 0; i < a.size(); ++i)
                if (!a[i]->equals(*b[i])) return false;
            return true;
        }
        default:
            break;
    }
    if (other.kind() != kind()) return false;
    if (isBinaryKind(kind())) {
        const ExprNode& l = leftOf(*this);
        const ExprNode& r = rightOf(*this);
        if (l.equals(leftOf(other)) && r.equals(rightOf(other))) return true;
        if (kind() == Kind::Sum || kind() == Kind::Product)
            return l.equals(rightOf(other)) && r.equals(leftOf(other));
        return false;
    }
    // Logarithms compare their bases too, integrals their bounds, step
    // counts and variables: log(2, x) is not log(10, x).
    if (kind() == Kind::LogBase &&
        !as<LogBaseNode>(*this).base->equals(*as<LogBaseNode>(other).base))
        return false;
    if (kind() == Kind::NIntegrate) {
        const auto& a = as<NIntegrateNode>(*this);
        const auto& b = as<NIntegrateNode>(other);
        if (a.variable->index != b.variable->index || !a.lower->equals(*b.lower) ||
            !a.upper->equals(*b.upper) || !a.steps->equals(*b.steps))
            return false;
    }
    return operandOf(*this).equals(operandOf(other));
}

}  // namespace kv
