// Simplification: the pipeline `simpl` and its passes toProductForm,
// simplify, toQuotientForm and normalizeSigns, and the auxiliary toSumForm.
//
// simpl(t) = normalizeSigns(toQuotientForm(simplify(toProductForm(together(t)))))
//
// Inside the pipeline divisions and roots are powers (x/y is x*y^(-1), sqrt(x)
// is x^0.5), differences are sums with negated terms, and negative numbers are
// negations of positive ones; the last two passes turn the result back into
// quotients and differences.
//
// Every numeric test uses the one tolerance of engine/Tolerance.h. The passes
// spend the budget of algebra/RewriteBudget.h, so no input makes them run or
// grow without bound.
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "engine/Power.h"
#include "engine/ScalarOps.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv {

using namespace rw;

// ---- Shared helpers ------------------------------------------------------------

namespace rw {

bool isNumericLiteral(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Number:
        case Kind::Zero:
            return true;
        case Kind::Negation:
            return operandOf(node).kind() == Kind::Number;
        default:
            return false;
    }
}

double literalValue(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Number:
            return as<NumberNode>(node).value;
        case Kind::Negation:
            return -as<NumberNode>(operandOf(node)).value;
        default:
            return 0.0;
    }
}

NodePtr normalNumber(double value) {
    if (tol::isZero(value)) return zero();
    if (value < 0) return negation(number(-value));
    return number(value);
}

bool isConstantTree(const ExprNode& node) {
    // Breadth first over the first nodes; a larger tree without a variable
    // among them is left to isConstant.
    constexpr std::size_t kLook = 64;
    const ExprNode* queue[kLook];
    std::size_t head = 0, tail = 0;
    queue[tail++] = &node;
    while (head < tail) {
        const ExprNode& n = *queue[head++];
        const ExprNode* children[2] = {nullptr, nullptr};
        switch (n.kind()) {
            case Kind::Number:
            case Kind::Constant:
            case Kind::Zero:
                continue;
            case Kind::Variable:
            case Kind::Rnd:
            case Kind::List:
            case Kind::Text:
            case Kind::GraphRef:
                return false;
            case Kind::NIntegrate:
                children[0] = as<NIntegrateNode>(n).lower.get();
                children[1] = as<NIntegrateNode>(n).upper.get();
                break;
            case Kind::LogBase:
                children[0] = &operandOf(n);
                children[1] = as<LogBaseNode>(n).base.get();
                break;
            default:
                if (isBinaryKind(n.kind())) {
                    children[0] = &leftOf(n);
                    children[1] = &rightOf(n);
                } else {
                    children[0] = &operandOf(n);
                }
        }
        for (const ExprNode* c : children) {
            if (!c) continue;
            if (tail == kLook) return node.isConstant();
            queue[tail++] = c;
        }
    }
    return true;
}

double constantValue(const ExprNode& node) {
    if (!isConstantTree(node)) return std::numeric_limits<double>::quiet_NaN();
    return node.evaluate();
}

bool countedEquals(const ExprNode& a, const ExprNode& b) {
    if (!RewriteBudget::current()->spend()) return false;
    switch (a.kind()) {
        case Kind::Number:
        case Kind::Constant:
        case Kind::Zero:
        case Kind::Variable:
        case Kind::Rnd:
        case Kind::Text:
        case Kind::GraphRef:
            return a.equals(b);
        case Kind::List: {
            if (b.kind() != Kind::List) return false;
            const auto& x = as<ListNode>(a).elements;
            const auto& y = as<ListNode>(b).elements;
            if (x.size() != y.size()) return false;
            for (std::size_t i = 0; i < x.size(); ++i)
                if (!countedEquals(*x[i], *y[i])) return false;
            return true;
        }
        default:
            break;
    }
    if (a.kind() != b.kind()) return false;
    if (isBinaryKind(a.kind())) {
        if (countedEquals(leftOf(a), leftOf(b)) && countedEquals(rightOf(a), rightOf(b)))
            return true;
        if (a.kind() == Kind::Sum || a.kind() == Kind::Product)
            return countedEquals(leftOf(a), rightOf(b)) && countedEquals(rightOf(a), leftOf(b));
        return false;
    }
    // Logarithms compare their bases too, integrals their bounds, step
    // counts and variables, as equals does.
    if (a.kind() == Kind::LogBase &&
        !countedEquals(*as<LogBaseNode>(a).base, *as<LogBaseNode>(b).base))
        return false;
    if (a.kind() == Kind::NIntegrate) {
        const auto& p = as<NIntegrateNode>(a);
        const auto& q = as<NIntegrateNode>(b);
        if (p.variable->index != q.variable->index || !countedEquals(*p.lower, *q.lower) ||
            !countedEquals(*p.upper, *q.upper) || !countedEquals(*p.steps, *q.steps))
            return false;
    }
    return countedEquals(operandOf(a), operandOf(b));
}

NodePtr negateSimplified(NodePtr a) {
    if (a->kind() == Kind::Negation) return takeOperand(*a);
    if (tol::isZero(constantValue(*a))) return zero();
    return negation(std::move(a));
}

}  // namespace rw

namespace {

bool isLogKind(Kind k) {
    return k == Kind::Ln || k == Kind::Log || k == Kind::Log2 || k == Kind::LogBase;
}

// A logarithm of the same kind (and base) as `model` around `argument`.
NodePtr logLike(const ExprNode& model, NodePtr argument) {
    if (model.kind() == Kind::LogBase)
        return std::make_unique<LogBaseNode>(std::move(argument),
                                             as<LogBaseNode>(model).base->clone());
    return makeFunction(model.kind(), std::move(argument));
}

// The base and the exponent of a factor: u^e gives (u, e), anything else (f, 1).
// (u^a)^n with an integral constant n counts as u^(a*n) when factors merge.
bool isPowerOfPower(const ExprNode& f) {
    if (f.kind() != Kind::Power || leftOf(f).kind() != Kind::Power) return false;
    const double n = rw::constantValue(rightOf(f));
    return tol::isIntegral(n) || tol::isIntegral(-n);
}
const ExprNode& baseOf(const ExprNode& f) {
    if (f.kind() != Kind::Power) return f;
    return isPowerOfPower(f) ? leftOf(leftOf(f)) : leftOf(f);
}
NodePtr exponentCopy(const ExprNode& f) {
    if (f.kind() != Kind::Power) return number(1.0);
    if (isPowerOfPower(f)) return product(rightOf(leftOf(f)).clone(), rightOf(f).clone());
    return rightOf(f).clone();
}

bool spend(std::size_t units = 1) {
    return RewriteBudget::current()->spend(units);
}

}  // namespace

// ---- toSumForm -------------------------------------------------------------------
//
// a - b -> a + (-b), at every level of the tree
NodePtr ExprNode::toSumForm() const {
    if (kind() == Kind::Difference)
        return sum(leftOf(*this).toSumForm(), negation(rightOf(*this).toSumForm()));
    return rebuild(*this, [](const ExprNode& c) { return c.toSumForm(); });
}

// ---- toProductForm ---------------------------------------------------------------
//
// u / v     -> u' * v'^(-1)
// sqrt(u)   -> u^0.5                  (u is copied as it is)
// -u        -> -(u')
// (a*b)^e   -> ((a*b)')^(e')
// (a/b)^e   -> (a^e)' * ((b^e)')^(-1)
// any other power is copied unchanged; other nodes convert their children.
NodePtr ExprNode::toProductForm() const {
    switch (kind()) {
        case Kind::Quotient:
            return product(leftOf(*this).toProductForm(),
                           power(rightOf(*this).toProductForm(), minusOne()));
        case Kind::Sqrt:
            return power(operandOf(*this).clone(), number(0.5));
        case Kind::Power: {
            const ExprNode& base = leftOf(*this);
            const ExprNode& e = rightOf(*this);
            if (base.kind() == Kind::Product) return power(base.toProductForm(), e.toProductForm());
            if (base.kind() == Kind::Quotient) {
                NodePtr num = power(leftOf(base).clone(), e.clone())->toProductForm();
                NodePtr den = power(rightOf(base).clone(), e.clone())->toProductForm();
                return product(std::move(num), power(std::move(den), minusOne()));
            }
            return clone();
        }
        default:
            return rebuild(*this, [](const ExprNode& c) { return c.toProductForm(); });
    }
}

// ---- simplify ----------------------------------------------------------------------
//
// Bottom-up: the children are simplified first, then the node's own rules apply.
// Number:     0 -> the zero node; -3 -> -(3)
// Negation:   -(-a) -> a; -(constant zero) -> 0
// Difference: a - b -> a + (-b), then as a sum
// Quotient:   u/v -> u*v^(-1), then as a product; sqrt(u) -> u^0.5, then as a power
// Sum, Product, Power, logarithms, exp, abs, sign: see the functions below.
// Other functions simplify their argument only (no folding: sin(0) stays).

namespace {

NodePtr simplifySum(NodePtr u, NodePtr v);
NodePtr simplifyProduct(NodePtr a, NodePtr b);
NodePtr simplifyPower(NodePtr base, NodePtr e);
NodePtr simplifyLog(const ExprNode& node, NodePtr a);
NodePtr simplifyExp(NodePtr a);
NodePtr simplifyAbs(NodePtr a);
NodePtr simplifySign(NodePtr a);

}  // namespace

NodePtr ExprNode::simplify() const {
    RewriteBudget* budget = RewriteBudget::current();
    if (!budget) {
        RewriteBudget::Scope scope(*this);
        return simplify();
    }
    if (!budget->spend()) return clone();
    switch (kind()) {
        case Kind::Number:
            return normalNumber(as<NumberNode>(*this).value);
        case Kind::Negation:
            return negateSimplified(operandOf(*this).simplify());
        case Kind::Sum:
            return simplifySum(leftOf(*this).simplify(), rightOf(*this).simplify());
        case Kind::Difference:
            return simplifySum(leftOf(*this).simplify(),
                               negateSimplified(rightOf(*this).simplify()));
        case Kind::Product:
            return simplifyProduct(leftOf(*this).simplify(), rightOf(*this).simplify());
        case Kind::Quotient:
        case Kind::Sqrt:
            return toProductForm()->simplify();
        case Kind::Power:
            return simplifyPower(leftOf(*this).simplify(), rightOf(*this).simplify());
        case Kind::Ln:
        case Kind::Log:
        case Kind::Log2:
        case Kind::LogBase:
            return simplifyLog(*this, operandOf(*this).simplify());
        case Kind::Exp:
            return simplifyExp(operandOf(*this).simplify());
        case Kind::Abs:
            return simplifyAbs(operandOf(*this).simplify());
        case Kind::Sign:
            return simplifySign(operandOf(*this).simplify());
        default:
            return rebuild(*this, [](const ExprNode& c) { return c.simplify(); });
    }
}

namespace {

// ---- Sums ------------------------------------------------------------------------------
//
// Sum u + v of simplified operands:
//   a sum that `together` turns into a quotient  -> simplify(that quotient)
//   2 + 3                                         -> 5
//   0 + v -> v;  u + 0 -> u                      (a constant that is zero)
//   like terms, one pair at a time, a term of u against a term of v:
//     2*x + 3*x -> (2 + 3)*x -> 5*x;  x - x -> (1 + (-1))*x -> 0
//     2*x*y + 3*x*y -> (2*y + 3*y)*x -> 5*y*x    (the first common factor)
//     x*y + x*z -> (y + z)*x
//   logarithms of one kind (and base), coefficients moved into the argument:
//     ln(a) + ln(b) -> ln(a*b);  2*ln(a) - ln(b) -> ln(a^2*b^(-1))
//   numeric terms: (x + 2) + 3 -> x + 5
// A merged term can merge again with any other term; when nothing merges the
// sum is rebuilt from its remaining terms, left to right, the merged like
// terms last and a merged logarithm first.

// A term of a sum: a subtree that is not a sum, a difference or a negated
// sum, with the sign it carries in the sum.
struct TermRef {
    const ExprNode* tree;
    bool negative;
    int side;  // 0 from the left operand, 1 from the right, 2 made by a merge
};

void collectSignedTerms(const ExprNode& node, bool negative, int side, std::vector<TermRef>& out) {
    switch (node.kind()) {
        case Kind::Sum:
            collectSignedTerms(leftOf(node), negative, side, out);
            collectSignedTerms(rightOf(node), negative, side, out);
            return;
        case Kind::Difference:
            collectSignedTerms(leftOf(node), negative, side, out);
            collectSignedTerms(rightOf(node), !negative, side, out);
            return;
        case Kind::Negation: {
            Kind inner = operandOf(node).kind();
            if (inner == Kind::Sum || inner == Kind::Difference || inner == Kind::Negation) {
                collectSignedTerms(operandOf(node), !negative, side, out);
                return;
            }
            break;
        }
        default:
            break;
    }
    out.push_back({&node, negative, side});
}

// The factors of a term, through products and negations (the sign of a
// negation stays inside the term and so inside its coefficient).
void collectTermFactors(const ExprNode& node, std::vector<const ExprNode*>& out) {
    if (node.kind() == Kind::Product) {
        collectTermFactors(leftOf(node), out);
        collectTermFactors(rightOf(node), out);
    } else if (node.kind() == Kind::Negation) {
        collectTermFactors(operandOf(node), out);
    } else {
        out.push_back(&node);
    }
}

// The coefficient of factor `p` in a signed term: the term with p replaced by
// 1, negated when the term is subtracted. term = coefficient * p.
NodePtr coefficientOf(const TermRef& term, const ExprNode* p) {
    NodePtr one = number(1.0);
    NodePtr c = term.tree->replaceSubterm(p, one);
    return term.negative ? negation(std::move(c)) : std::move(c);
}

enum class MergeKind { None, Numbers, LikeTerms, Logarithms };

struct Merge {
    MergeKind kind = MergeKind::None;
    std::size_t i = 0, j = 0;
    const ExprNode* p = nullptr;
    const ExprNode* q = nullptr;
};

bool logsCombine(const ExprNode& p, const ExprNode& q) {
    if (!isLogKind(p.kind()) || p.kind() != q.kind()) return false;
    if (p.kind() != Kind::LogBase) return true;
    return countedEquals(*as<LogBaseNode>(p).base, *as<LogBaseNode>(q).base);
}

// The first pair of terms that merges, left entry outer, right entry inner.
// Terms from the same operand are not compared: a simplified operand has no
// pair left to merge.
Merge findMerge(const std::vector<TermRef>& terms) {
    std::vector<const ExprNode*> fp, fq;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        fp.clear();
        collectTermFactors(*terms[i].tree, fp);
        for (std::size_t j = i + 1; j < terms.size(); ++j) {
            if (terms[i].side == terms[j].side && terms[i].side != 2) continue;
            if (!spend()) return {};
            if (isNumericLiteral(*terms[i].tree) && isNumericLiteral(*terms[j].tree))
                return {MergeKind::Numbers, i, j, nullptr, nullptr};
            fq.clear();
            collectTermFactors(*terms[j].tree, fq);
            for (const ExprNode* p : fp) {
                if (isNumericLiteral(*p)) continue;
                for (const ExprNode* q : fq) {
                    if (!spend()) return {};
                    if (countedEquals(*p, *q)) return {MergeKind::LikeTerms, i, j, p, q};
                    if (logsCombine(*p, *q)) return {MergeKind::Logarithms, i, j, p, q};
                }
            }
        }
    }
    return {};
}

// The argument of a logarithm with its term's coefficient moved in:
// c*ln(a) -> a^c; ln(a) -> a.
NodePtr logArgumentWithCoefficient(const TermRef& term, const ExprNode* log) {
    NodePtr c = coefficientOf(term, log);
    NodePtr arg = operandOf(*log).clone();
    if (c->kind() == Kind::Number && tol::equal(as<NumberNode>(*c).value, 1.0)) return arg;
    return power(std::move(arg), std::move(c));
}

struct OwnedTerm {
    NodePtr tree;
    bool negative;
    int side;
};

// Carries out merges until no pair is left (each merge removes a term, so
// this ends) and rebuilds the sum.
[[gnu::noinline]] NodePtr mergeTerms(const std::vector<TermRef>& refs, Merge m) {
    std::vector<OwnedTerm> terms;
    terms.reserve(refs.size());
    std::vector<TermRef> view = refs;
    // The pointers of the merge refer into the borrowed terms; the first
    // merge is made on them, later ones on the owned copies.
    bool owned = false;
    while (m.kind != MergeKind::None) {
        const TermRef& ti = view[m.i];
        const TermRef& tj = view[m.j];
        NodePtr merged;
        bool first = false;
        switch (m.kind) {
            case MergeKind::Numbers: {
                double a = literalValue(*ti.tree) * (ti.negative ? -1 : 1);
                double b = literalValue(*tj.tree) * (tj.negative ? -1 : 1);
                merged = normalNumber(a + b);
                break;
            }
            case MergeKind::LikeTerms:
                merged = product(sum(coefficientOf(ti, m.p), coefficientOf(tj, m.q)), m.p->clone())
                             ->simplify();
                break;
            case MergeKind::Logarithms: {
                NodePtr arg = product(logArgumentWithCoefficient(ti, m.p),
                                      logArgumentWithCoefficient(tj, m.q));
                merged = logLike(*m.p, std::move(arg))->simplify();
                first = true;
                break;
            }
            case MergeKind::None:
                break;
        }
        if (!owned) {
            for (const TermRef& r : refs) terms.push_back({r.tree->clone(), r.negative, r.side});
            owned = true;
        }
        terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(m.j));
        terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(m.i));
        OwnedTerm t{std::move(merged), false, 2};
        if (first)
            terms.insert(terms.begin(), std::move(t));
        else
            terms.push_back(std::move(t));
        view.clear();
        for (const OwnedTerm& o : terms) view.push_back({o.tree.get(), o.negative, o.side});
        m = RewriteBudget::current()->exhausted() ? Merge{} : findMerge(view);
    }

    NodePtr acc;
    for (OwnedTerm& t : terms) {
        NodePtr term = t.negative ? negateSimplified(std::move(t.tree)) : std::move(t.tree);
        if (term->kind() == Kind::Zero) continue;
        acc = acc ? sum(std::move(acc), std::move(term)) : std::move(term);
    }
    return acc ? std::move(acc) : zero();
}

[[gnu::noinline]] NodePtr simplifySum(NodePtr u, NodePtr v) {
    // Over a common denominator the sum may become a quotient.
    if (becomesQuotient(*u) || becomesQuotient(*v)) {
        NodePtr s = sum(std::move(u), std::move(v));
        NodePtr t = togetherOfSimplified(*s);
        if (t->kind() != Kind::Sum) return t->simplify();
        u = takeLeft(*s);
        v = takeRight(*s);
    }
    if (isNumericLiteral(*u) && isNumericLiteral(*v))
        return normalNumber(literalValue(*u) + literalValue(*v));
    if (tol::isZero(constantValue(*u))) return v;
    if (tol::isZero(constantValue(*v))) return u;

    std::vector<TermRef> terms;
    collectSignedTerms(*u, false, 0, terms);
    collectSignedTerms(*v, false, 1, terms);
    Merge m = findMerge(terms);
    if (m.kind == MergeKind::None) return sum(std::move(u), std::move(v));
    return mergeTerms(terms, m);
}

// ---- Products --------------------------------------------------------------------------
//
// Product a * b of simplified factors (in product form, a factor
// (-a) + (-b) written -(b + a)):
//   constant with an integral value      -> that number: 2*3 -> 6, 6*3^(-1) -> 2
//   0*b -> 0;  1*b -> b;  (-1)*b -> -b   (and the same on the right), unless
//                                         both factors are numbers
//   x*x -> x^2                           (x not a number and not a power)
//   a^e*b^e -> (a*b)^e                   (bases differ, exponents equal;
//                                         e integral or a, b positive constants;
//                                         not 2^3*x^3, which (2*x)^3 would give)
// then on the flattened product:
//   negations come out:                  (-a)*b -> -(a*b)
//   numeric factors multiply and stand first:  x*2*3 -> 6*x
//   factors with equal bases merge, a factor of the left side with one of
//   the right:  x*x^n -> x^(n+1);  x^a*x^b -> x^(a+b);  x*x^(-1) -> 1;
//   (u^a)^n with n an integral constant has the base u: x*(x^2)^(-1) -> 1/x
//   a merged power is simplified and flattened again: 2^0.5*2^0.5 -> 2
//   a power b^k of a number with an integral k joins the numeric factor
//   when their product is an integer: 2*x*2^(-1) -> x (2*4^(-1) stays)
// A product with none of these is kept as it is (y*x stays y*x).

struct FactorRef {
    const ExprNode* tree;
    int side;  // 0 left, 1 right, 2 made by a merge
};

struct Flat {
    bool negative = false;
    double coefficient = 1.0;
    int literals = 0;
    bool literalFirst = false;
    bool sawNegation = false;
    std::vector<FactorRef> factors;
};

void flatten(const ExprNode& node, int side, Flat& flat) {
    switch (node.kind()) {
        case Kind::Product:
            flatten(leftOf(node), side, flat);
            flatten(rightOf(node), side, flat);
            return;
        case Kind::Negation:
            flat.negative = !flat.negative;
            flat.sawNegation = true;
            flatten(operandOf(node), side, flat);
            return;
        case Kind::Number:
        case Kind::Zero:
            if (flat.literals == 0 && flat.factors.empty()) flat.literalFirst = true;
            ++flat.literals;
            flat.coefficient *= literalValue(node);
            return;
        default:
            flat.factors.push_back({&node, side});
    }
}

std::pair<std::size_t, std::size_t> findFactorMerge(const std::vector<FactorRef>& f) {
    for (std::size_t i = 0; i < f.size(); ++i) {
        const ExprNode& bi = baseOf(*f[i].tree);
        for (std::size_t j = i + 1; j < f.size(); ++j) {
            if (f[i].side == f[j].side && f[i].side != 2) continue;
            if (!spend()) return {0, 0};
            if (countedEquals(bi, baseOf(*f[j].tree))) return {i, j};
        }
    }
    return {0, 0};
}

// The value of a factor b^k with a number b and an integral constant k
// (2^(-1), 3^2), or NaN for any other factor.
double numericPowerValue(const ExprNode& f) {
    if (f.kind() != Kind::Power || leftOf(f).kind() != Kind::Number) return std::nan("");
    const double k = constantValue(rightOf(f));
    if (!(tol::isIntegral(k) || tol::isIntegral(-k))) return std::nan("");
    return numericPower(as<NumberNode>(leftOf(f)).value, k);
}

// Whether a factor b^k folds into the coefficient c: when c*b^k is an
// integer (6*3^(-1) -> 2, 2*x*2^(-1) -> x; 2*4^(-1) stays, 2/4).
bool foldsInto(double c, const ExprNode& f) {
    const double v = numericPowerValue(f);
    return std::isfinite(v) && tol::isIntegral(std::fabs(c * v));
}

bool anyFolds(const Flat& flat) {
    for (const FactorRef& f : flat.factors)
        if (foldsInto(flat.coefficient, *f.tree)) return true;
    return false;
}

// Rebuilds a flattened product, merging factors of equal bases.
[[gnu::noinline]] NodePtr rebuildProduct(Flat& flat, std::pair<std::size_t, std::size_t> m) {
    struct Owned {
        NodePtr tree;
        int side;
    };
    std::vector<Owned> items;
    for (const FactorRef& f : flat.factors) items.push_back({f.tree->clone(), f.side});
    std::vector<FactorRef> view;
    auto refresh = [&] {
        view.clear();
        for (const Owned& o : items) view.push_back({o.tree.get(), o.side});
    };
    // Each merge removes a factor; the merged power may bring a number and at
    // most a factor or two back, so the count of rounds is bounded too.
    for (std::size_t round = 0; m.first != m.second && round < 4 * flat.factors.size() + 4;
         ++round) {
        const ExprNode& fi = *items[m.first].tree;
        const ExprNode& fj = *items[m.second].tree;
        NodePtr e = sum(exponentCopy(fi), exponentCopy(fj))->simplify();
        NodePtr merged = simplifyPower(baseOf(fi).clone(), std::move(e));
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(m.second));
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(m.first));
        Flat inner;
        flatten(*merged, 2, inner);
        flat.negative ^= inner.negative;
        flat.coefficient *= inner.coefficient;
        std::size_t at = m.first;
        for (const FactorRef& f : inner.factors)
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(at++), {f.tree->clone(), 2});
        refresh();
        m = RewriteBudget::current()->exhausted() ? std::pair<std::size_t, std::size_t>{0, 0}
                                                  : findFactorMerge(view);
    }

    for (std::size_t i = 0; i < items.size();) {
        if (foldsInto(flat.coefficient, *items[i].tree)) {
            flat.coefficient *= numericPowerValue(*items[i].tree);
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }

    double c = flat.coefficient;
    if (tol::isZero(c)) return zero();
    bool negative = flat.negative != (c < 0);
    c = std::fabs(c);
    NodePtr acc;
    for (Owned& o : items)
        acc = acc ? product(std::move(acc), std::move(o.tree)) : std::move(o.tree);
    if (!acc)
        acc = number(c);
    else if (!tol::equal(c, 1.0))
        acc = product(number(c), std::move(acc));
    return negative ? negateSimplified(std::move(acc)) : std::move(acc);
}

// a^e*b^e = (a*b)^e holds for an integral e, and for any e when a and b are
// positive constants; x^0.5*y^0.5 is not (-1*-1)^0.5 at x = y = -1.
bool sharedExponentJoins(const ExprNode& l, const ExprNode& r) {
    double e = constantValue(rightOf(l));
    if (tol::isIntegral(e) || tol::isIntegral(-e)) {
        // A number's power stays apart: (c*u)^n is taken apart into c^n*u^n.
        return leftOf(l).kind() != Kind::Number && leftOf(r).kind() != Kind::Number;
    }
    return constantValue(leftOf(l)) > 0 && constantValue(leftOf(r)) > 0;
}

// The sign of a simplified factor brought out: (-a) + (-b) -> -(b + a), so
// that the product can take it over. The rest of the sign normalisation is
// left to the last pass of the pipeline: doing it here would copy every
// factor again at each level of a nested product.
NodePtr normalizedFactor(NodePtr f) {
    if (f->kind() != Kind::Sum) return f;
    ExprNode& l = *static_cast<BinaryNode&>(*f).left;
    ExprNode& r = *static_cast<BinaryNode&>(*f).right;
    if (l.kind() != Kind::Negation || r.kind() != Kind::Negation) return f;
    return negation(sum(takeOperand(r), takeOperand(l)));
}

// The factors are simplified, so they are in product form already (simplify
// leaves no quotient and no square root behind).
[[gnu::noinline]] NodePtr simplifyProduct(NodePtr a, NodePtr b) {
    NodePtr p = product(normalizedFactor(std::move(a)), normalizedFactor(std::move(b)));
    const ExprNode& l = leftOf(*p);
    const ExprNode& r = rightOf(*p);

    if (isConstantTree(*p)) {
        double v = p->evaluate();
        if (tol::isIntegral(v)) return normalNumber(v);
    }
    if (!(l.kind() == Kind::Number && r.kind() == Kind::Number)) {
        double lv = constantValue(l);
        if (tol::isZero(lv)) return zero();
        if (tol::equal(lv, 1.0)) return takeRight(*p);
        if (tol::equal(lv, -1.0)) return negateSimplified(takeRight(*p));
        double rv = constantValue(r);
        if (tol::isZero(rv)) return zero();
        if (tol::equal(rv, 1.0)) return takeLeft(*p);
        if (tol::equal(rv, -1.0)) return negateSimplified(takeLeft(*p));
    }
    if (l.kind() != Kind::Power && !isNumericLiteral(l) && countedEquals(l, r))
        return power(takeLeft(*p), number(2.0));
    if (l.kind() == Kind::Power && r.kind() == Kind::Power &&
        countedEquals(rightOf(l), rightOf(r)) && !countedEquals(leftOf(l), leftOf(r)) &&
        sharedExponentJoins(l, r)) {
        NodePtr bases = product(leftOf(l).clone(), leftOf(r).clone())->simplify();
        return simplifyPower(std::move(bases), rightOf(l).clone());
    }

    Flat flat;
    flatten(l, 0, flat);
    flatten(r, 1, flat);
    auto m = findFactorMerge(flat.factors);
    bool merges = m.first != m.second;
    bool tidy = !flat.sawNegation && flat.literals == 0;
    bool tidyWithNumber = !flat.sawNegation && flat.literals == 1 && flat.literalFirst;
    if (!merges && (tidy || tidyWithNumber) && !anyFolds(flat)) return p;
    return rebuildProduct(flat, m);
}

// ---- Powers ----------------------------------------------------------------------------
//
// Power b^e of simplified operands, b and e constant where it says so:
//   (-4)^0.5 -> nan;  (-8)^(1/3) -> -(8^(1/3)) -> -2
//                      (negative base, exponent not integral but its reciprocal
//                       is: an even reciprocal gives NaN, an odd one the
//                       negated root of |b|)
//   2^3 -> 8;  (-2)^3 -> -8           (a number base and an integral value)
//   12^0.5 -> 2*3^0.5                 (0 < |e| < 1: the largest M <= b^e with
//                                      b/M integral and (b/M)^e integral)
//   (c*u)^n -> c^n*u^n                (c a number, n an integral constant)
//   (u^a)^n -> u^(a*n)                (n a positive integral constant; with
//                                      a negative one 1/x^2 stays 1/x^2)
//   0^e -> 0 (0^0 too);  1^e -> 1;  u^0 -> 1;  u^1 -> u
// 0 raised to a negative constant stays as it is: it is not 0.
[[gnu::noinline]] NodePtr simplifyPower(NodePtr b, NodePtr e) {
    const bool bc = isConstantTree(*b);
    const bool ec = isConstantTree(*e);
    const double ev = ec ? e->evaluate() : std::numeric_limits<double>::quiet_NaN();
    if (bc && ec) {
        double bv = b->evaluate();
        if (bv < 0 && !tol::isIntegral(ev) && tol::isIntegral(1.0 / ev)) {
            double reciprocal = std::floor(1.0 / ev);
            if (std::fmod(reciprocal, 2.0) == 0.0)
                return number(std::numeric_limits<double>::quiet_NaN());
            return negateSimplified(simplifyPower(number(-bv), std::move(e)));
        }
        if (isNumericLiteral(*b) && b->kind() != Kind::Zero) {
            double v = numericPower(literalValue(*b), ev);
            if (tol::isIntegral(v)) return normalNumber(v);
        }
        double ae = std::fabs(ev);
        if (ae > 0 && ae < 1 && bv > 0 && std::isfinite(bv)) {
            double k = std::floor(std::pow(bv, ev));
            if (k < 10000) {
                for (double m = k; m >= 1; m -= 1) {
                    if (!spend()) break;
                    double o = bv / m;
                    if (!tol::isIntegral(o)) continue;
                    double root = std::pow(o, ev);
                    if (!tol::isIntegral(root)) continue;
                    NodePtr rest = simplifyPower(number(m), std::move(e));
                    return simplifyProduct(number(root), std::move(rest));
                }
            }
        }
    }
    if (b->kind() == Kind::Product && leftOf(*b).kind() == Kind::Number && ec &&
        (tol::isIntegral(ev) || tol::isIntegral(-ev))) {
        NodePtr rest = takeRight(*b);
        NodePtr c = takeLeft(*b);
        NodePtr cn = simplifyPower(std::move(c), e->clone());
        return simplifyProduct(std::move(cn), simplifyPower(std::move(rest), std::move(e)));
    }
    if (b->kind() == Kind::Power && ec && ev > 0 && tol::isIntegral(ev)) {
        NodePtr inner = takeRight(*b);
        NodePtr u = takeLeft(*b);
        NodePtr exponent = simplifyProduct(std::move(inner), std::move(e));
        return simplifyPower(std::move(u), std::move(exponent));
    }
    if (bc) {
        double bv = b->evaluate();
        if (tol::isZero(bv) && !(ec && ev < 0 && !tol::isZero(ev))) return zero();
        if (tol::equal(bv, 1.0)) return number(1.0);
    }
    if (ec) {
        if (tol::isZero(ev)) return number(1.0);
        if (tol::equal(ev, 1.0)) return b;
    }
    return power(std::move(b), std::move(e));
}

// ---- Functions -------------------------------------------------------------------------
//
// ln(1) -> 0, log(100) -> 2   (constant argument, integral value)
// ln(u^e) -> e*ln(u)          (also log, log2 and log with a base)
// ln(exp(u)) -> u
[[gnu::noinline]] NodePtr simplifyLog(const ExprNode& node, NodePtr a) {
    const Kind k = node.kind();
    if (isConstantTree(*a)) {
        double v = k == Kind::LogBase ? scalarOp<Kind::LogBase>(
                                            a->evaluate(), as<LogBaseNode>(node).base->evaluate())
                                      : scalarOpOf(k, a->evaluate());
        if (tol::isIntegral(v)) return normalNumber(v);
    }
    if (a->kind() == Kind::Power) {
        NodePtr e = takeRight(*a);
        NodePtr base = takeLeft(*a);
        if (k == Kind::LogBase) {
            NodePtr b = as<LogBaseNode>(node).base->simplify();
            return simplifyProduct(std::move(e),
                                   std::make_unique<LogBaseNode>(std::move(base), std::move(b)));
        }
        return simplifyProduct(std::move(e), simplifyLog(node, std::move(base)));
    }
    if (k == Kind::Ln && a->kind() == Kind::Exp) return takeOperand(*a);
    if (k == Kind::LogBase)
        return std::make_unique<LogBaseNode>(std::move(a), as<LogBaseNode>(node).base->simplify());
    return makeFunction(k, std::move(a));
}

// exp(0) -> 1, exp(ln(3)) -> 3   (constant argument, integral value)
[[gnu::noinline]] NodePtr simplifyExp(NodePtr a) {
    double v = scalarOp<Kind::Exp>(constantValue(*a));
    if (tol::isIntegral(v)) return normalNumber(v);
    return makeFunction(Kind::Exp, std::move(a));
}

// abs(-3) -> 3                  (constant argument)
// abs(abs(u)) -> abs(u)
// abs(u^2) -> u^2               (constant exponent that is not an odd integer)
// abs(u^3), abs(u^(-1)) stay    (odd exponents, negative ones too)
[[gnu::noinline]] NodePtr simplifyAbs(NodePtr a) {
    if (isConstantTree(*a)) return normalNumber(scalarOp<Kind::Abs>(a->evaluate()));
    if (a->kind() == Kind::Abs) return a;
    if (a->kind() == Kind::Power && isConstantTree(rightOf(*a))) {
        double odd = std::fabs(std::fmod(rightOf(*a).evaluate(), 2.0));
        if (odd != 1.0) return a;
    }
    return makeFunction(Kind::Abs, std::move(a));
}

// sign(-2) -> -1, sign(0) -> 0, sign(5) -> 1   (constant argument)
[[gnu::noinline]] NodePtr simplifySign(NodePtr a) {
    if (isConstantTree(*a)) {
        double v = a->evaluate();
        if (v < 0) return minusOne();
        if (v > 0) return number(1.0);
        if (v == 0) return zero();
    }
    return makeFunction(Kind::Sign, std::move(a));
}

}  // namespace

// ---- toQuotientForm ---------------------------------------------------------------------
//
// u^(-1) -> 1/u;  u^(-0.5) -> 1/sqrt(u)    (other exponents, 0.5 too, stay)
// a*(1/b) -> a/b;  (1/a)*b -> b/a;  (1/a)*(1/b) -> 1/(a*b)
// (n/a)*(1/b) -> n/(a*b);  (1/a)*(n/b) -> n/(a*b)
namespace {

bool isReciprocal(const ExprNode& n) {
    if (n.kind() != Kind::Quotient) return false;
    const ExprNode& num = leftOf(n);
    return num.kind() == Kind::Number && tol::equal(as<NumberNode>(num).value, 1.0);
}

}  // namespace

NodePtr ExprNode::toQuotientForm() const {
    switch (kind()) {
        case Kind::Power: {
            NodePtr base = leftOf(*this).toQuotientForm();
            const ExprNode& e = rightOf(*this);
            double v = constantValue(e);
            if (tol::equal(v, -1.0)) return quotient(number(1.0), std::move(base));
            if (tol::equal(v, -0.5))
                return quotient(number(1.0), makeFunction(Kind::Sqrt, std::move(base)));
            return power(std::move(base), e.toQuotientForm());
        }
        case Kind::Product: {
            NodePtr a = leftOf(*this).toQuotientForm();
            NodePtr b = rightOf(*this).toQuotientForm();
            const bool ra = isReciprocal(*a);
            const bool rb = isReciprocal(*b);
            if (rb && a->kind() == Kind::Quotient) {
                // (n/a)*(1/b) -> n/(a*b), and (1/a)*(1/b) -> 1/(a*b)
                NodePtr bd = takeRight(*b);
                NodePtr ad = takeRight(*a);
                return quotient(takeLeft(*a), product(std::move(ad), std::move(bd)));
            }
            if (ra && b->kind() == Kind::Quotient) {
                NodePtr bd = takeRight(*b);
                NodePtr ad = takeRight(*a);
                return quotient(takeLeft(*b), product(std::move(ad), std::move(bd)));
            }
            if (rb) return quotient(std::move(a), takeRight(*b));
            if (ra) return quotient(std::move(b), takeRight(*a));
            return product(std::move(a), std::move(b));
        }
        default:
            return rebuild(*this, [](const ExprNode& c) { return c.toQuotientForm(); });
    }
}

// ---- normalizeSigns ------------------------------------------------------------------------
//
// (-a) + (-b) -> -(b + a);  a + (-b) -> a - b;  (-a) + b -> b - a
// a - (-b) -> a + b;  (-a) - b -> -(a + b);  (-a) - (-b) -> b - a
// -(-a) -> a
// products, quotients and powers normalise their operands only
NodePtr ExprNode::normalizeSigns() const {
    switch (kind()) {
        case Kind::Sum:
        case Kind::Difference: {
            NodePtr a = leftOf(*this).normalizeSigns();
            NodePtr b = rightOf(*this).normalizeSigns();
            const bool na = a->kind() == Kind::Negation;
            const bool nb = b->kind() == Kind::Negation;
            if (kind() == Kind::Sum) {
                if (na && nb) return negation(sum(takeOperand(*b), takeOperand(*a)));
                if (nb) return difference(std::move(a), takeOperand(*b));
                if (na) return difference(std::move(b), takeOperand(*a));
                return sum(std::move(a), std::move(b));
            }
            if (na && nb) return difference(takeOperand(*b), takeOperand(*a));
            if (nb) return sum(std::move(a), takeOperand(*b));
            if (na) return negation(sum(takeOperand(*a), std::move(b)));
            return difference(std::move(a), std::move(b));
        }
        case Kind::Negation: {
            NodePtr a = operandOf(*this).normalizeSigns();
            if (a->kind() == Kind::Negation) return takeOperand(*a);
            return negation(std::move(a));
        }
        default:
            return rebuild(*this, [](const ExprNode& c) { return c.normalizeSigns(); });
    }
}

// ---- The pipeline ----------------------------------------------------------------------------

NodePtr simpl(const ExprNode& tree) {
    // Inside a derivative the passes spend the derivative's budget: the five
    // passes over the tree first, and nothing more once it is spent.
    RewriteBudget* shared = RewriteBudget::current();
    if (shared && shared->shared()) {
        const std::size_t size = countNodes(tree, RewriteBudget::kMaxNodes);
        if (!shared->spend(5 * size)) return tree.clone();
    }
    RewriteBudget::Scope scope(tree, shared && shared->shared()
                                         ? RewriteBudget::Scope::Mode::Join
                                         : RewriteBudget::Scope::Mode::Fresh);
    NodePtr t = tree.together();
    t = t->toProductForm();
    t = t->simplify();
    t = t->toQuotientForm();
    return t->normalizeSigns();
}

NodePtr rw::simplifyProductOf(NodePtr a, NodePtr b) {
    if (!RewriteBudget::current()) {
        RewriteBudget::Scope scope(*a);
        return simplifyProductOf(std::move(a), std::move(b));
    }
    return simplifyProduct(std::move(a), std::move(b));
}

NodePtr rw::simplOwned(NodePtr tree) {
    RewriteBudget* shared = RewriteBudget::current();
    if (shared && shared->shared() && shared->exhausted()) return tree;
    return simpl(*tree);
}

}  // namespace kv
