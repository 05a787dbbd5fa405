// The expression tree: every formula the user types, every intermediate result
// of the symbolic algorithms and every function a graph plots.
//
// ExprNode declares the operations of the node model. They are not virtual:
// each operation is one function that switches on the node kind and lives in the
// file of its algorithm (engine/Evaluation.cpp, engine/TextForm.cpp,
// algebra/Differentiation.cpp, ...), so one algorithm can be read and checked
// against its rules in one place, and the evaluation hot path compiles to a
// jump table instead of a chain of virtual calls.
//
// Ownership: children are owned through NodePtr; `parent` is a non-owning back
// link. Every operation that returns a tree returns a new tree owned by the
// caller and leaves its receiver unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/IntervalSet.h"
#include "engine/NodeAllocator.h"
#include "engine/Typeset.h"

namespace kv {

struct CompiledIntegrand;  // the Simpson rule's, engine/Quadrature.cpp

enum class Kind : int {
#define X(name, id, fn) name = id,
#include "engine/NodeKinds.def"
#undef X
};

// The class name of a kind ("SumNode"), for diagnostics and tests.
const char* kindName(Kind kind);
// The name of a one-argument function kind ("sin" for Sin); "" for the other
// kinds. From NodeKinds.def, as is the reverse below.
const char* functionName(Kind kind);
// The function kind of a name ("sin" gives Sin); false when no kind has it.
bool functionKind(std::string_view name, Kind& kind);

class ExprNode;
using NodePtr = std::unique_ptr<ExprNode>;

// Non-owning list of nodes filled by the collecting operations.
using NodeList = std::vector<const ExprNode*>;
// Owning list of trees, as returned by `roots`.
using OwnedNodeList = std::vector<NodePtr>;
// Variable indices, as taken by `derivative`.
using IdList = std::vector<int>;

// A limit request: the variables taken to points, and the direction (-1 from
// the left, +1 from the right, 0 two-sided).
struct LimitRequest {
    int direction = 0;
    std::vector<int> variables;
    std::vector<NodePtr> points;
};

// The result of `limit`: `status` is 1 while the value still contains a
// variable that is not taken to a limit, 0 for a numeric value; `valid` is
// false when no limit was found. `value` may be null only when not valid.
struct LimitResult {
    int status = 0;
    NodePtr value;
    bool valid = false;
};

class GraphIdSource;

class ExprNode {
  public:
    virtual ~ExprNode() = default;
    ExprNode(const ExprNode&) = delete;
    ExprNode& operator=(const ExprNode&) = delete;

    // Nodes live in the node allocator's blocks (engine/NodeAllocator.h);
    // the virtual destructor hands the size of the whole node to delete.
    static void* operator new(std::size_t size) { return nodemem::allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept {
        nodemem::release(block, size);
    }

    Kind kind() const { return kind_; }

    // Non-owning link to the node holding this one; null for a root.
    ExprNode* parent = nullptr;

    // The operations of the node model, in their fixed order.
    double evaluate() const;
    NodePtr clone() const;
    NodePtr derivative(const IdList& variables) const;
    NodePtr makeZero() const;
    NodePtr simplify() const;
    LimitResult limit(const LimitRequest& request) const;
    NodePtr together() const;
    std::string toText() const;
    // The LaTeX form, for copying a result into a paper.
    std::string toLatex() const;
    bool isZero() const;
    bool isConstant() const;
    bool dependsOn(int variable) const;
    int kindId() const { return static_cast<int>(kind_); }
    IntervalSet zerosIn(const IntervalSet& set, int variable) const;
    IntervalSet domainIn(const IntervalSet& set, int variable) const;
    TypesetBox typeset(TypesetSurface& surface) const;
    OwnedNodeList roots(int variable) const;
    NodePtr toNumber() const;
    NodePtr splitLogarithms(int variable) const;
    NodePtr substitute(int variable, const ExprNode& replacement) const;
    // Replaces the subtree at address `target` by `repl` itself. `repl` is
    // moved from only when the target is found; otherwise the result is a
    // plain deep copy and `repl` stays with the caller.
    NodePtr replaceSubterm(const ExprNode* target, NodePtr& repl) const;
    NodePtr replaceEqual(const ExprNode& pattern, const ExprNode& repl) const;
    void collectFactors(NodeList& out) const;
    void collectFactorsAndDivisors(NodeList& out) const;
    void collectAddends(NodeList& out) const;
    NodePtr expandall() const;
    NodePtr plainClone() const { return clone(); }
    NodePtr expandIn(int variable) const;
    NodePtr coefficientIn(int variable) const;
    NodePtr dependentFactorIn(int variable) const;
    NodePtr degreeIn(int variable) const;
    NodePtr exponentOf() const;
    NodePtr toProductForm() const;
    NodePtr toSumForm() const;
    NodePtr toQuotientForm() const;
    NodePtr normalizeSigns() const;
    void collectTerms(NodeList& out) const;
    int childCount() const;
    bool equals(const ExprNode& other) const;
    bool isZeroNode() const { return kind_ == Kind::Zero; }

    // A mark that one pass of the rewriting code may set on a node it has
    // proven something about, for itself to read later in that pass. New
    // nodes and copies are unmarked. It fills what would be padding after
    // the kind, so nodes are no larger for it.
    std::uint32_t mark() const { return mark_; }
    void setMark(std::uint32_t m) { mark_ = m; }

  protected:
    explicit ExprNode(Kind kind) : kind_(kind) {}
    // Takes ownership of a child and links it to this node.
    NodePtr adopt(NodePtr child) {
        if (child) child->parent = this;
        return child;
    }

  private:
    Kind kind_;
    std::uint32_t mark_ = 0;
};

// ---- Bases -------------------------------------------------------------------

class UnaryNode : public ExprNode {
  public:
    NodePtr operand;  // null only for ListNode
    // The operand, or null; convenience for code that walks the tree.
    const ExprNode* child() const { return operand.get(); }

  protected:
    UnaryNode(Kind kind, NodePtr op) : ExprNode(kind), operand(adopt(std::move(op))) {}
};

class BinaryNode : public ExprNode {
  public:
    NodePtr left;
    NodePtr right;

  protected:
    BinaryNode(Kind kind, NodePtr l, NodePtr r)
        : ExprNode(kind), left(adopt(std::move(l))), right(adopt(std::move(r))) {}
};

// ---- Leaves ------------------------------------------------------------------

class NumberNode : public ExprNode {
  public:
    explicit NumberNode(double v) : ExprNode(Kind::Number), value(v) {}
    double value;
};

class ZeroNode : public ExprNode {
  public:
    ZeroNode() : ExprNode(Kind::Zero) {}
};

class ConstantNode : public ExprNode {
  public:
    explicit ConstantNode(int row) : ExprNode(Kind::Constant), index(row) {}
    int index;
};

// Constructing a VariableNode resets the current value of its row to 0.
class VariableNode : public ExprNode {
  public:
    explicit VariableNode(int row);
    int index;
};

// Constructing an RndNode reseeds the random generator from the clock.
class RndNode : public ExprNode {
  public:
    RndNode();
};

class TextNode : public ExprNode {
  public:
    explicit TextNode(std::string t) : ExprNode(Kind::Text), text(std::move(t)) {}
    std::string text;
};

// Whatever a GraphRefNode points at: it only needs to tell its id.
class GraphIdSource {
  public:
    virtual ~GraphIdSource() = default;
    virtual int graphId() const = 0;
};

class GraphRefNode : public ExprNode {
  public:
    explicit GraphRefNode(const GraphIdSource* g) : ExprNode(Kind::GraphRef), graph(g) {}
    const GraphIdSource* graph;  // not owned
};

// ---- Operators and functions ---------------------------------------------------

template <Kind K>
class OperatorNode : public BinaryNode {
  public:
    OperatorNode(NodePtr l, NodePtr r) : BinaryNode(K, std::move(l), std::move(r)) {}
};

using SumNode = OperatorNode<Kind::Sum>;
using DifferenceNode = OperatorNode<Kind::Difference>;
using ProductNode = OperatorNode<Kind::Product>;
using QuotientNode = OperatorNode<Kind::Quotient>;
using PowerNode = OperatorNode<Kind::Power>;

template <Kind K>
class FunctionNode : public UnaryNode {
  public:
    explicit FunctionNode(NodePtr op) : UnaryNode(K, std::move(op)) {}
};

using CosNode = FunctionNode<Kind::Cos>;
using SinNode = FunctionNode<Kind::Sin>;
using NegationNode = FunctionNode<Kind::Negation>;
using SqrtNode = FunctionNode<Kind::Sqrt>;
using LogNode = FunctionNode<Kind::Log>;
using Log2Node = FunctionNode<Kind::Log2>;
using LnNode = FunctionNode<Kind::Ln>;
using SinhNode = FunctionNode<Kind::Sinh>;
using CoshNode = FunctionNode<Kind::Cosh>;
using TanNode = FunctionNode<Kind::Tan>;
using AbsNode = FunctionNode<Kind::Abs>;
using SignNode = FunctionNode<Kind::Sign>;
using AsinNode = FunctionNode<Kind::Asin>;
using AcosNode = FunctionNode<Kind::Acos>;
using AtanNode = FunctionNode<Kind::Atan>;
using TanhNode = FunctionNode<Kind::Tanh>;
using PlusMinusNode = FunctionNode<Kind::PlusMinus>;
using ExpNode = FunctionNode<Kind::Exp>;
using FactNode = FunctionNode<Kind::Fact>;

// log(base, argument): the operand is the argument.
class LogBaseNode : public UnaryNode {
  public:
    LogBaseNode(NodePtr argument, NodePtr b)
        : UnaryNode(Kind::LogBase, std::move(argument)), base(adopt(std::move(b))) {}
    NodePtr base;
};

// A numeric definite integral; the operand is the integrand. `steps` is the
// Simpson pair count (the user's division count over 2). Evaluation writes
// `lastValue`, which the text form prints.
class NIntegrateNode : public UnaryNode {
  public:
    NIntegrateNode(NodePtr integrand, NodePtr lo, NodePtr hi, std::unique_ptr<VariableNode> var,
                   NodePtr stepCount, double last = 0.0);
    NodePtr lower;
    NodePtr upper;
    std::unique_ptr<VariableNode> variable;
    NodePtr steps;
    mutable double lastValue;
    // The integrand compiled by the first evaluation with many pairs (see
    // Quadrature.h), kept so that later evaluations neither compile nor
    // allocate again. Copies of the node start without it.
    mutable std::shared_ptr<CompiledIntegrand> compiled;
};

// A list of owned element trees; its operand is always null.
class ListNode : public UnaryNode {
  public:
    explicit ListNode(std::vector<NodePtr> items = {});
    void append(NodePtr item);
    std::vector<NodePtr> elements;
};

// ---- Small helpers used throughout ---------------------------------------------

// Downcast by kind, unchecked: the caller has switched on kind() or tested
// it, so the static_cast is safe without a test of its own.
template <class T>
const T& as(const ExprNode& node) {
    return static_cast<const T&>(node);
}

inline const ExprNode& operandOf(const ExprNode& node) {
    return *static_cast<const UnaryNode&>(node).operand;
}
inline const ExprNode& leftOf(const ExprNode& node) {
    return *static_cast<const BinaryNode&>(node).left;
}
inline const ExprNode& rightOf(const ExprNode& node) {
    return *static_cast<const BinaryNode&>(node).right;
}

// Asked at every node of every walk, so defined here to be inlined.
constexpr bool isBinaryKind(Kind kind) {
    switch (kind) {
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
        case Kind::Quotient:
        case Kind::Power:
            return true;
        default:
            return false;
    }
}

// True for the one-argument kinds that share FunctionNode.
constexpr bool isFunctionKind(Kind kind) {
    switch (kind) {
        case Kind::Cos:
        case Kind::Sin:
        case Kind::Negation:
        case Kind::Sqrt:
        case Kind::Log:
        case Kind::Log2:
        case Kind::Ln:
        case Kind::Sinh:
        case Kind::Cosh:
        case Kind::Tan:
        case Kind::Abs:
        case Kind::Sign:
        case Kind::Asin:
        case Kind::Acos:
        case Kind::Atan:
        case Kind::Tanh:
        case Kind::PlusMinus:
        case Kind::Exp:
        case Kind::Fact:
            return true;
        default:
            return false;
    }
}

// True for the kinds built on UnaryNode with an operand (not ListNode).
constexpr bool isUnaryKind(Kind kind) {
    return isFunctionKind(kind) || kind == Kind::LogBase || kind == Kind::NIntegrate;
}

inline NodePtr number(double v) {
    return std::make_unique<NumberNode>(v);
}
inline NodePtr zero() {
    return std::make_unique<ZeroNode>();
}

// Builds a node of the same binary or function kind as `kind` around new
// children. Used by the passes that rebuild a node around transformed children.
NodePtr makeBinary(Kind kind, NodePtr left, NodePtr right);
NodePtr makeFunction(Kind kind, NodePtr operand);

// True when the value is neither infinite nor NaN.
bool isFiniteValue(double v);

}  // namespace kv
