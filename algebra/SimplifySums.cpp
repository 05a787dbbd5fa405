// The simplifier's rules for sums (see Simplification.cpp for the pipeline
// they belong to); the rules are listed above the code.
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "algebra/SimplifyRules.h"
#include "engine/Power.h"
#include "engine/ScalarOps.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv {

using namespace rw;

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

// The factors of the terms of a sum, each term's collected when it is first
// needed and kept for the rest of the search. The lists live on in the
// thread between searches, so that a search does not allocate: a search
// starts none inside itself.
class TermFactors {
  public:
    explicit TermFactors(const std::vector<TermRef>& terms) : terms_(terms) {
        // The lists of a very long sum are not kept.
        if (factors_.capacity() > kKeep) factors_ = {};
        if (ranges_.capacity() > kKeep) ranges_ = {};
        factors_.clear();
        ranges_.assign(terms.size(), {kNotYet, 0});
    }

    // Collects the factors of term i, once; the pointers of begin and end
    // hold until the next call.
    void need(std::size_t i) {
        if (ranges_[i].first != kNotYet) return;
        ranges_[i].first = factors_.size();
        collectTermFactors(*terms_[i].tree, factors_);
        ranges_[i].second = factors_.size();
    }
    const ExprNode* const* begin(std::size_t i) const { return factors_.data() + ranges_[i].first; }
    const ExprNode* const* end(std::size_t i) const { return factors_.data() + ranges_[i].second; }

  private:
    static constexpr std::size_t kNotYet = static_cast<std::size_t>(-1);
    static constexpr std::size_t kKeep = std::size_t{1} << 14;
    const std::vector<TermRef>& terms_;
    static thread_local std::vector<const ExprNode*> factors_;
    static thread_local std::vector<std::pair<std::size_t, std::size_t>> ranges_;
};

thread_local std::vector<const ExprNode*> TermFactors::factors_;
thread_local std::vector<std::pair<std::size_t, std::size_t>> TermFactors::ranges_;

// The first pair of terms that merges, left entry outer, right entry inner.
// Terms from the same operand are not compared: a simplified operand has no
// pair left to merge.
Merge findMerge(const std::vector<TermRef>& terms) {
    TermFactors factors(terms);
    // The end of the run of terms from one operand that starts at each term,
    // so that the pairs inside a run are passed over in one step: a sum of k
    // terms and one more would otherwise pass over k²/2 of them.
    thread_local std::vector<std::size_t> runEnd;
    if (runEnd.capacity() > (std::size_t{1} << 14)) runEnd = {};
    runEnd.resize(terms.size());
    for (std::size_t r = terms.size(); r-- > 0;)
        runEnd[r] = r + 1 < terms.size() && terms[r + 1].side == terms[r].side ? runEnd[r + 1]
                                                                               : r + 1;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        for (std::size_t j = i + 1; j < terms.size(); ++j) {
            if (terms[i].side == terms[j].side && terms[i].side != 2) {
                j = runEnd[j] - 1;
                continue;
            }
            if (!spend()) return {};
            if (isNumericLiteral(*terms[i].tree) && isNumericLiteral(*terms[j].tree))
                return {MergeKind::Numbers, i, j, nullptr, nullptr};
            factors.need(i);
            factors.need(j);
            for (auto pi = factors.begin(i); pi != factors.end(i); ++pi) {
                const ExprNode* p = *pi;
                if (isNumericLiteral(*p)) continue;
                for (auto qi = factors.begin(j); qi != factors.end(j); ++qi) {
                    const ExprNode* q = *qi;
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

// Takes a term out of the operand that holds it, which is dismantled for its
// terms once the first merge is made; a term whose holder does not know it
// (not the way sums are built) is copied instead.
NodePtr takeTerm(const ExprNode* term, NodePtr& operand) {
    if (term == operand.get()) return std::move(operand);
    ExprNode* holder = term->parent;
    // A holder may have given up a child already; compare the pointers.
    if (holder && isBinaryKind(holder->kind())) {
        auto& b = static_cast<BinaryNode&>(*holder);
        if (b.left.get() == term) return takeLeft(*holder);
        if (b.right.get() == term) return takeRight(*holder);
    } else if (holder && holder->kind() == Kind::Negation &&
               static_cast<UnaryNode&>(*holder).operand.get() == term) {
        return takeOperand(*holder);
    }
    return term->clone();
}

// Carries out merges until no pair is left (each merge removes a term, so
// this ends) and rebuilds the sum. The terms are taken out of u and v.
[[gnu::noinline]] NodePtr mergeTerms(const std::vector<TermRef>& refs, Merge m, NodePtr& u,
                                     NodePtr& v) {
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
            for (const TermRef& r : refs)
                terms.push_back({takeTerm(r.tree, r.side == 0 ? u : v), r.negative, r.side});
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

}  // namespace

[[gnu::noinline]] NodePtr rw::simplifySum(NodePtr u, NodePtr v) {
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
    terms.reserve(16);
    collectSignedTerms(*u, false, 0, terms);
    collectSignedTerms(*v, false, 1, terms);
    Merge m = findMerge(terms);
    if (m.kind == MergeKind::None) return sum(std::move(u), std::move(v));
    return mergeTerms(terms, m, u, v);
}

}  // namespace kv
