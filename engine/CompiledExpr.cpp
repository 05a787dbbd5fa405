#include "engine/CompiledExpr.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/Power.h"
#include "engine/ScalarOps.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

using Op = CompiledExpr::Op;

#if defined(__x86_64__)
// d[k] = a[k]^3 as cubeOf computes it, four at a time with fused
// multiply-adds; returns how many it did (all but the last m % 4). An exact
// product's error is one fused operation, x*x - p or p*x - p3, which
// Dekker's product computes in seven; both are exact in the cube's range, so
// the bits are roundedCube's. Lanes outside that range take pow, as there.
__attribute__((target("avx2,fma"))) int cubesFma(const double* a, double* d, int m) {
    const __m256d signless = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
    const __m256d lowest = _mm256_set1_pd(kExactCubeLowest);
    const __m256d highest = _mm256_set1_pd(kExactCubeHighest);
    int k = 0;
    for (; k + 4 <= m; k += 4) {
        const __m256d x = _mm256_loadu_pd(a + k);
        const __m256d p = _mm256_mul_pd(x, x);
        const __m256d e = _mm256_fmsub_pd(x, x, p);
        const __m256d p3 = _mm256_mul_pd(p, x);
        const __m256d e3 = _mm256_fmsub_pd(p, x, p3);
        const __m256d r = _mm256_add_pd(p3, _mm256_add_pd(e3, _mm256_mul_pd(e, x)));
        const __m256d magnitude = _mm256_and_pd(r, signless);
        const int shown =
            _mm256_movemask_pd(_mm256_and_pd(_mm256_cmp_pd(magnitude, lowest, _CMP_GE_OQ),
                                             _mm256_cmp_pd(magnitude, highest, _CMP_LE_OQ)));
        if (shown == 0xf) {
            _mm256_storeu_pd(d + k, r);
            continue;
        }
        double lanes[4];
        _mm256_storeu_pd(lanes, r);
        for (int j = 0; j < 4; ++j)
            if (!(shown & (1 << j))) lanes[j] = std::pow(a[k + j], 3.0);
        for (int j = 0; j < 4; ++j) d[k + j] = lanes[j];
    }
    return k;
}
#endif

// d[k] = a[k]^3 as numericPower computes it. `d` may be `a`.
void runCube(const double* a, bool av, double* d, int m) {
    if (!av) {
        std::fill(d, d + m, cubeOf(a[0]));
        return;
    }
    int k = 0;
#if defined(__x86_64__)
    static const bool fma = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    if (fma) k = cubesFma(a, d, m);
#endif
    for (; k < m; ++k) d[k] = cubeOf(a[k]);
}

// The node kind whose operation each instruction runs. Cubes go through
// runCube; squares are the power's own case for exponent 2.
constexpr struct {
    Op op;
    Kind kind;
} kOpKinds[] = {
    {Op::Add, Kind::Sum},      {Op::Sub, Kind::Difference}, {Op::Mul, Kind::Product},
    {Op::Div, Kind::Quotient}, {Op::Pow, Kind::Power},      {Op::LogBase, Kind::LogBase},
    {Op::Neg, Kind::Negation}, {Op::Sin, Kind::Sin},        {Op::Cos, Kind::Cos},
    {Op::Asin, Kind::Asin},    {Op::Acos, Kind::Acos},      {Op::Atan, Kind::Atan},
    {Op::Sinh, Kind::Sinh},    {Op::Cosh, Kind::Cosh},      {Op::Exp, Kind::Exp},
    {Op::Ln, Kind::Ln},        {Op::Log10, Kind::Log},      {Op::Log2, Kind::Log2},
    {Op::Sqrt, Kind::Sqrt},    {Op::Abs, Kind::Abs},        {Op::Sign, Kind::Sign},
    {Op::Tan, Kind::Tan},      {Op::Tanh, Kind::Tanh},
};

constexpr Kind kindOf(Op op) {
    for (const auto& e : kOpKinds)
        if (e.op == op) return e.kind;
    return Kind::Zero;
}

// The instruction of a kind that has one; false for every other kind.
bool opOf(Kind kind, Op& op) {
    for (const auto& e : kOpKinds)
        if (e.kind == kind) {
            op = e.op;
            return true;
        }
    return false;
}

// Each operation exactly as ExprNode::evaluate computes it: both call
// ScalarOps.h. Inlined into dispatch, so that each of its copies vectorizes
// the loops for its own processor.
template <Op op>
[[gnu::always_inline]] inline double apply(double a, double b) {
    if constexpr (op == Op::Square)
        return squareOf(a);
    else
        return scalarOp<kindOf(op)>(a, b);
}

// d[k] = op(a[k], b[k]) for k < m; a scalar operand is read once.
template <Op op>
[[gnu::always_inline]] inline void run(const double* a, bool av, const double* b, bool bv,
                                       double* d, int m) {
    if (av && bv) {
        for (int k = 0; k < m; ++k) d[k] = apply<op>(a[k], b[k]);
    } else if (av) {
        const double s = b[0];
        for (int k = 0; k < m; ++k) d[k] = apply<op>(a[k], s);
    } else if (bv) {
        const double s = a[0];
        for (int k = 0; k < m; ++k) d[k] = apply<op>(s, b[k]);
    } else {
        const double v = apply<op>(a[0], b[0]);
        for (int k = 0; k < m; ++k) d[k] = v;
    }
}

// Compiled twice, and the copy the processor can run is chosen when the
// program loads: with AVX2 the loops above handle four values per vector
// instruction instead of two. Additions, products, quotients and square roots
// are correctly rounded at any width, and nothing is fused
// (-ffp-contract=off), so both copies give the same bits.
__attribute__((target_clones("avx2", "default"))) void dispatch(Op op, const double* a, bool av,
                                                                const double* b, bool bv, double* d,
                                                                int m) {
    switch (op) {
#define KV_OP(name) \
    case Op::name:  \
        return run<Op::name>(a, av, b, bv, d, m);
        KV_OP(Add)
        KV_OP(Sub)
        KV_OP(Mul)
        KV_OP(Div)
        KV_OP(Pow)
        KV_OP(Square)
        case Op::Cube:
            return runCube(a, av, d, m);
            KV_OP(LogBase)
            KV_OP(Neg)
            KV_OP(Sin)
            KV_OP(Cos)
            KV_OP(Tan)
            KV_OP(Asin)
            KV_OP(Acos)
            KV_OP(Atan)
            KV_OP(Sinh)
            KV_OP(Cosh)
            KV_OP(Tanh)
            KV_OP(Exp)
            KV_OP(Ln)
            KV_OP(Log10)
            KV_OP(Log2)
            KV_OP(Sqrt)
            KV_OP(Abs)
            KV_OP(Sign)
#undef KV_OP
    }
}

}  // namespace

CompiledExpr::CompiledExpr(const std::vector<const ExprNode*>& trees,
                           const std::vector<SampleInput>& inputs)
    : inputs_(inputs) {
    for (std::size_t t = 0; t < trees.size() && ok_; ++t) {
        Ref r = compile(*trees[t]);
        if (!ok_) break;
        // When the last instruction computed this tree's value and nothing
        // else reads it, it writes the output itself. Other results keep
        // their slots and are copied out after each block.
        if (r.where == Where::Vector && !vectorCode_.empty() &&
            vectorCode_.back().dst.where == Where::Vector &&
            vectorCode_.back().dst.index == r.index &&
            uses_[static_cast<std::size_t>(r.index)] == 1) {
            Instr& last = vectorCode_.back();
            const Ref out{Where::Out, static_cast<int>(t)};
            computed_[keyOf(last.op, last.a, last.b)] = out;
            last.dst = out;
            release(r);
            r = out;
        }
        results_.push_back(r);
    }
    if (!ok_) {
        scalarCode_.clear();
        vectorCode_.clear();
        results_.clear();
    }
}

CompiledExpr::Ref CompiledExpr::scalarSlot(double v, bool constant) {
    scalarInit_.push_back(v);
    constantSlot_.push_back(constant);
    return {Where::Scalar, static_cast<int>(scalarInit_.size()) - 1};
}

CompiledExpr::Ref CompiledExpr::scalarConstant(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    auto it = constantSlots_.find(bits);
    if (it != constantSlots_.end()) return {Where::Scalar, it->second};
    const Ref r = scalarSlot(v, true);
    constantSlots_.emplace(bits, r.index);
    return r;
}

CompiledExpr::Ref CompiledExpr::variable(int row) {
    for (const auto& [r, ref] : variableRefs_)
        if (r == row) return ref;
    Ref ref;
    int input = -1;
    for (std::size_t k = 0; k < inputs_.size(); ++k)
        if (inputs_[k].variable == row) input = static_cast<int>(k);
    if (input >= 0 && inputs_[static_cast<std::size_t>(input)].varying) {
        ref = {Where::Input, input};
    } else {
        ref = scalarSlot(0.0, false);
        loads_.push_back({ref.index, input, row});
    }
    variableRefs_.emplace_back(row, ref);
    return ref;
}

void CompiledExpr::release(Ref r) {
    if (r.where != Where::Vector) return;
    if (--uses_[static_cast<std::size_t>(r.index)] == 0) freeVectors_.push_back(r.index);
}

// A free slot, or a new one. What was remembered about a reused slot's old
// value is forgotten.
int CompiledExpr::takeVectorSlot() {
    int slot = vectorSlots_;
    if (!freeVectors_.empty()) {
        slot = freeVectors_.back();
        freeVectors_.pop_back();
        for (const Key& k : keysOfSlot_[static_cast<std::size_t>(slot)]) computed_.erase(k);
        keysOfSlot_[static_cast<std::size_t>(slot)].clear();
    } else {
        ++vectorSlots_;
        uses_.push_back(0);
        keysOfSlot_.emplace_back();
    }
    uses_[static_cast<std::size_t>(slot)] = 1;
    return slot;
}

void CompiledExpr::remember(const Key& key, Ref dst) {
    computed_[key] = dst;
    const Ref refs[3] = {
        {std::get<1>(key), std::get<2>(key)}, {std::get<3>(key), std::get<4>(key)}, dst};
    for (const Ref& r : refs)
        if (r.where == Where::Vector) keysOfSlot_[static_cast<std::size_t>(r.index)].push_back(key);
}

// A folded constant: a scalar slot no load and no instruction writes.
bool CompiledExpr::isConstant(Ref r) const {
    return r.where == Where::Scalar && constantSlot_[static_cast<std::size_t>(r.index)];
}

CompiledExpr::Ref CompiledExpr::emit(Op op, Ref a, Ref b, bool binary) {
    // An operand that did not compile has no slot to read.
    if (!ok_) return {};
    const bool constant = isConstant(a) && (!binary || isConstant(b));
    if (constant) {
        double v = 0.0;
        dispatch(op, &scalarInit_[static_cast<std::size_t>(a.index)], false,
                 &scalarInit_[static_cast<std::size_t>(binary ? b.index : a.index)], false, &v, 1);
        return scalarConstant(v);
    }
    if (!binary) b = a;
    const Key key = keyOf(op, a, b);
    // Computed before: the same operation on the same operands.
    auto it = computed_.find(key);
    if (it != computed_.end()) {
        const Ref dst = it->second;
        release(a);
        if (binary) release(b);
        if (dst.where == Where::Vector) {
            auto& uses = uses_[static_cast<std::size_t>(dst.index)];
            if (uses++ == 0)  // freed, not yet taken: in use again
                freeVectors_.erase(std::find(freeVectors_.begin(), freeVectors_.end(), dst.index));
        }
        return dst;
    }
    const bool vector = a.where != Where::Scalar || b.where != Where::Scalar;
    Instr instr{op, a, b, {}};
    // The result slot is taken while the operands still hold theirs: a slot
    // keeps one value until it is taken anew, which is what lets remembered
    // instructions name their operands by slot.
    if (vector) {
        instr.dst = {Where::Vector, takeVectorSlot()};
        vectorCode_.push_back(instr);
    } else {
        instr.dst = scalarSlot(0.0, false);
        scalarCode_.push_back(instr);
    }
    release(a);
    if (binary) release(b);
    remember(key, instr.dst);
    return instr.dst;
}

CompiledExpr::Ref CompiledExpr::compile(const ExprNode& node) {
    if (!ok_) return {};
    const Kind kind = node.kind();
    Op op{};
    switch (kind) {
        case Kind::Number:
            return scalarConstant(as<NumberNode>(node).value);
        case Kind::Zero:
        case Kind::Text:
        case Kind::GraphRef:
        case Kind::List:
            return scalarConstant(0.0);
        case Kind::Constant: {
            const auto& c = Workspace::current().constants;
            const int i = as<ConstantNode>(node).index;
            if (i < 0 || static_cast<std::size_t>(i) >= c.size()) break;
            return scalarConstant(c[static_cast<std::size_t>(i)].value);
        }
        case Kind::Variable: {
            const int i = as<VariableNode>(node).index;
            if (i < 0 || static_cast<std::size_t>(i) >= Workspace::current().variables.size())
                break;
            return variable(i);
        }
        case Kind::PlusMinus:
            return compile(operandOf(node));
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(node);
            const Ref arg = compile(*n.operand);
            const Ref base = compile(*n.base);
            return emit(Op::LogBase, arg, base, true);
        }
        case Kind::Fact: {
            // Folded when constant: `evaluate` computes it once, here.
            const Ref a = compile(operandOf(node));
            if (!ok_ || !isConstant(a)) break;
            return scalarConstant(node.evaluate());
        }
        default:
            if (isBinaryKind(kind) && opOf(kind, op)) {
                const Ref l = compile(leftOf(node));
                const Ref r = compile(rightOf(node));
                // Squares and cubes of a variable part: the integer-power path.
                if (op == Op::Pow && ok_ && !isConstant(l) && isConstant(r)) {
                    const double n = scalarInit_[static_cast<std::size_t>(r.index)];
                    if (n == 2.0) return emit(Op::Square, l, r, true);
                    if (n == 3.0) return emit(Op::Cube, l, r, true);
                }
                return emit(op, l, r, true);
            }
            if (opOf(kind, op)) return emit(op, compile(operandOf(node)), {}, false);
            break;  // rnd, numeric integrals
    }
    ok_ = false;
    return {};
}

void CompiledExpr::prepare(Scratch& scratch) const {
    const std::size_t vectors = static_cast<std::size_t>(vectorSlots_) * kBlock;
    if (scratch.vectors.size() < vectors) scratch.vectors.resize(vectors);
    if (scratch.scalars.size() < scalarInit_.size()) scratch.scalars.resize(scalarInit_.size());
}

void CompiledExpr::evaluate(const double* const* inputs, int n, double* const* outs,
                            Scratch& scratch) const {
    if (!ok_ || n <= 0) return;
    prepare(scratch);
    double* const s = scratch.scalars.data();
    double* const v = scratch.vectors.data();
    std::copy(scalarInit_.begin(), scalarInit_.end(), s);
    const auto& vars = Workspace::current().variables;
    for (const Load& l : loads_)
        s[l.slot] =
            l.input >= 0 ? inputs[l.input][0] : vars[static_cast<std::size_t>(l.variable)].value;
    for (const Instr& i : scalarCode_)
        dispatch(i.op, s + i.a.index, false, s + i.b.index, false, s + i.dst.index, 1);

    for (int offset = 0; offset < n; offset += kBlock) {
        const int m = std::min(kBlock, n - offset);
        auto at = [&](Ref r) -> double* {
            switch (r.where) {
                case Where::Scalar:
                    return s + r.index;
                case Where::Vector:
                    return v + static_cast<std::ptrdiff_t>(r.index) * kBlock;
                case Where::Input:
                    return const_cast<double*>(inputs[r.index]) + offset;
                case Where::Out:
                    return outs[r.index] + offset;
            }
            return nullptr;
        };
        for (const Instr& i : vectorCode_)
            dispatch(i.op, at(i.a), i.a.where != Where::Scalar, at(i.b), i.b.where != Where::Scalar,
                     at(i.dst), m);
        for (std::size_t t = 0; t < results_.size(); ++t) {
            const Ref result = results_[t];
            if (result.where == Where::Out && result.index == static_cast<int>(t)) continue;
            const double* r = at(result);
            double* const out = outs[t] + offset;
            if (result.where == Where::Scalar)
                std::fill(out, out + m, r[0]);
            else
                std::copy(r, r + m, out);
        }
    }
}

}  // namespace kv
