// Trees compiled for sampling: the graph builders evaluate a few formulas at
// thousands of points that differ only in one or two variables. The compiled
// form is a flat list of instructions over value slots, run over a block of
// points per instruction; subtrees without variables are folded into
// constants at compile time, and a subexpression met again (in the same tree
// or in another tree compiled with it, as a surface's derivatives repeat
// parts of its formula) is computed once.
//
// Every value is computed by the same double operations, in the same
// expression for each node, as ExprNode::evaluate computes it, so a sample
// has the very bits `evaluate` gives for the same variable values (a NaN
// stays a NaN). Only the order in which independent nodes are computed
// differs, which matters for nothing but rnd(); trees whose value depends on
// evaluation order or on workspace state beyond the variable values (rnd,
// numeric integrals, which set their variable, and the factorial of a
// variable) are not compiled: ok() is false and the caller samples the tree
// with `evaluate`.
//
// Evaluating reads the variables that are not inputs from the current
// workspace and writes nothing there, so two threads may evaluate at once
// while nobody changes the workspace. Each thread needs its own Scratch.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/ExprNode.h"

namespace kv {

// One input of a compiled tree: a variable row whose values the caller
// passes in, either a value per point (varying) or one value for all points
// of a call.
struct SampleInput {
    int variable = -1;
    bool varying = true;
};

class CompiledExpr {
  public:
    // Points computed per instruction visit.
    static constexpr int kBlock = 256;

    // Working memory of evaluate(); sized on first use, reused afterwards.
    struct Scratch {
        std::vector<double> vectors;
        std::vector<double> scalars;
    };

    // Compiles `trees` in the current workspace (their constants are
    // folded); evaluate() gives one output per tree, in this order. The
    // inputs' variable rows must be distinct.
    CompiledExpr(const std::vector<const ExprNode*>& trees, const std::vector<SampleInput>& inputs);
    CompiledExpr(const ExprNode& tree, const std::vector<SampleInput>& inputs)
        : CompiledExpr(std::vector<const ExprNode*>{&tree}, inputs) {}

    // False when the tree holds a node that is not compiled (see above).
    bool ok() const { return ok_; }

    // Values at `n` points: tree t's into outs[t][0..n). inputs[k] holds n
    // values when input k is varying, one value otherwise. Allocates only
    // when `scratch` is new or smaller than these trees need.
    void evaluate(const double* const* inputs, int n, double* const* outs, Scratch& scratch) const;
    // The same for one tree.
    void evaluate(const double* const* inputs, int n, double* out, Scratch& scratch) const {
        evaluate(inputs, n, &out, scratch);
    }

    // Sizes `scratch` for this tree, so evaluate() does not allocate.
    void prepare(Scratch& scratch) const;

    // Instructions per point, for tests and benchmarks.
    int instructionCount() const { return static_cast<int>(vectorCode_.size()); }

    enum class Op : std::uint8_t {
        Add,
        Sub,
        Mul,
        Div,
        Pow,
        LogBase,  // two operands
        Square,
        Cube,  // x^2 and x^3 (b is the exponent), as numericPower computes them
        Neg,
        Sin,
        Cos,
        Tan,
        Asin,
        Acos,
        Atan,
        Sinh,
        Cosh,
        Tanh,
        Exp,
        Ln,
        Log10,
        Log2,
        Sqrt,
        Abs,
        Sign
    };

  private:
    // Where an operand lives: a scalar slot (one value for all points), a
    // vector slot (kBlock values) or a varying input (the caller's array).
    enum class Where : std::uint8_t { Scalar, Vector, Input, Out };
    struct Ref {
        Where where = Where::Scalar;
        int index = 0;
    };
    struct Instr {
        Op op;
        Ref a;
        Ref b;  // unused by one-operand ops
        Ref dst;
    };
    // A scalar slot filled at the start of each call.
    struct Load {
        int slot;
        int input;     // a non-varying input, or -1
        int variable;  // else the workspace variable row
    };

    // An instruction's operation and operands, for finding it again.
    using Key = std::tuple<Op, Where, int, Where, int>;
    static Key keyOf(Op op, Ref a, Ref b) { return {op, a.where, a.index, b.where, b.index}; }

    Ref compile(const ExprNode& node);
    int takeVectorSlot();
    void remember(const Key& key, Ref dst);
    Ref emit(Op op, Ref a, Ref b, bool binary);
    Ref variable(int row);
    Ref scalarConstant(double v);
    Ref scalarSlot(double v, bool constant);
    bool isConstant(Ref r) const;
    void release(Ref r);

    bool ok_ = true;
    std::vector<SampleInput> inputs_;
    std::vector<double> scalarInit_;
    std::vector<bool> constantSlot_;  // by scalar slot: a folded constant
    std::vector<Load> loads_;
    std::vector<Instr> scalarCode_;
    std::vector<Instr> vectorCode_;
    std::vector<std::pair<int, Ref>> variableRefs_;  // variable row and its operand
    std::vector<int> freeVectors_;
    int vectorSlots_ = 0;
    // Compile-time bookkeeping of the vector slots: the instructions still
    // to read each (a slot is free at 0), and the remembered instructions
    // that read or write it (forgotten when the slot is taken anew).
    std::vector<int> uses_;
    std::vector<std::vector<Key>> keysOfSlot_;
    std::map<Key, Ref> computed_;                 // instruction -> where its value is
    std::map<std::uint64_t, int> constantSlots_;  // bits of a folded constant -> slot
    std::vector<Ref> results_;                    // by tree
};

}  // namespace kv
