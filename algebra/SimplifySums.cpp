// The simplifier's rules for sums (see Simplification.cpp for the pipeline
// they belong to); the rules are listed above the code.
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "algebra/SimplifyMemo.h"
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
// sum, with the sign it carries in the sum. `open` when no negation lies
// between the sum and the term, so that becomesQuotient of the sum looked at
// the term.
struct TermRef {
    const ExprNode* tree;
    bool negative;
    int side;  // 0 from the left operand, 1 from the right, 2 made by a merge
    bool open = true;
};

// Whether the terms of a sum go on into this subtree: a sum, a difference,
// a negated sum, difference or negation.
bool splitsAsTerm(const ExprNode& t) {
    switch (t.kind()) {
        case Kind::Sum:
        case Kind::Difference:
            return true;
        case Kind::Negation: {
            const Kind inner = operandOf(t).kind();
            return inner == Kind::Sum || inner == Kind::Difference || inner == Kind::Negation;
        }
        default:
            return false;
    }
}

void collectSignedTerms(const ExprNode& node, bool negative, int side, std::vector<TermRef>& out,
                        bool open = true) {
    if (!splitsAsTerm(node)) {
        out.push_back({&node, negative, side, open});
        return;
    }
    switch (node.kind()) {
        case Kind::Sum:
            collectSignedTerms(leftOf(node), negative, side, out, open);
            collectSignedTerms(rightOf(node), negative, side, out, open);
            return;
        case Kind::Difference:
            collectSignedTerms(leftOf(node), negative, side, out, open);
            collectSignedTerms(rightOf(node), !negative, side, out, open);
            return;
        default:  // a negation
            collectSignedTerms(operandOf(node), !negative, side, out, false);
    }
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
using FactorRanges = std::vector<std::pair<std::size_t, std::size_t>>;

class TermFactors {
  public:
    TermFactors(const std::vector<TermRef>& terms, bool seeded)
        : TermFactors(terms, seeded, threadLists()) {}
    // The lists as the search left them, for the terms of the sum it leaves
    // as it is; and lists given back for the first terms of the next one.
    static void swapLists(std::vector<const ExprNode*>& factors, FactorRanges& ranges) {
        Lists& l = threadLists();
        l.factors.swap(factors);
        l.ranges.swap(ranges);
        ++l.generation;
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

    // Counts the times the lists were started afresh or swapped: while it
    // stays, the lists are those of the last search.
    static std::uint64_t generation() { return threadLists().generation; }
    // The lists of the last search for its terms after terms i < j merged:
    // both go, and the merged term, whose factors are not collected yet,
    // comes first or last.
    static void afterMerge(std::size_t i, std::size_t j, bool first) {
        FactorRanges& r = threadLists().ranges;
        r.erase(r.begin() + static_cast<std::ptrdiff_t>(j));
        r.erase(r.begin() + static_cast<std::ptrdiff_t>(i));
        r.insert(first ? r.begin() : r.end(), {kNotYet, 0});
    }

    // The lists of the last search, for the sum of its terms as rebuilt: a
    // term that is dropped goes, one that is negated collects anew.
    static void drop(std::size_t i) {
        FactorRanges& r = threadLists().ranges;
        r.erase(r.begin() + static_cast<std::ptrdiff_t>(i));
    }
    static void forget(std::size_t i) { threadLists().ranges[i] = {kNotYet, 0}; }

  private:
    static constexpr std::size_t kNotYet = static_cast<std::size_t>(-1);
    static constexpr std::size_t kKeep = std::size_t{1} << 14;
    struct Lists {
        std::vector<const ExprNode*> factors;
        FactorRanges ranges;
        std::uint64_t generation = 0;
    };
    // Looked up once per search: every use of a thread's object goes through
    // its initialisation check.
    static Lists& threadLists() {
        static thread_local Lists lists;
        return lists;
    }

    TermFactors(const std::vector<TermRef>& terms, bool seeded, Lists& lists)
        : terms_(terms), factors_(lists.factors), ranges_(lists.ranges) {
        if (seeded) {
            ranges_.resize(terms.size(), {kNotYet, 0});
            return;
        }
        ++lists.generation;
        // The lists of a very long sum are not kept.
        if (factors_.capacity() > kKeep) factors_ = {};
        if (ranges_.capacity() > kKeep) ranges_ = {};
        factors_.clear();
        ranges_.assign(terms.size(), {kNotYet, 0});
    }

    const std::vector<TermRef>& terms_;
    std::vector<const ExprNode*>& factors_;
    FactorRanges& ranges_;
};

// The first pair of terms that merges, left entry outer, right entry inner.
// Terms from the same operand are not compared: a simplified operand has no
// pair left to merge.
// With `seeded`, the lists start as they were given back (swapLists).
Merge findMerge(const std::vector<TermRef>& terms, bool seeded = false) {
    TermFactors factors(terms, seeded);
    RewriteBudget& budget = *RewriteBudget::current();
    const std::size_t n = terms.size();
    const TermRef* t = terms.data();
    // The end of the run of terms from one operand that starts at each term,
    // so that the pairs inside a run are passed over in one step: a sum of k
    // terms and one more would otherwise pass over k²/2 of them.
    thread_local std::vector<std::size_t> runEnds;
    if (runEnds.capacity() > (std::size_t{1} << 14)) runEnds = {};
    runEnds.resize(n);
    std::size_t* runEnd = runEnds.data();
    for (std::size_t r = n; r-- > 0;)
        runEnd[r] = r + 1 < n && t[r + 1].side == t[r].side ? runEnd[r + 1] : r + 1;
    for (std::size_t i = 0; i < n; ++i) {
        const int sideI = t[i].side;
        for (std::size_t j = i + 1; j < n; ++j) {
            if (t[j].side == sideI && sideI != 2) {
                j = runEnd[j] - 1;
                continue;
            }
            if (!budget.spend()) return {};
            if (isNumericLiteral(*t[i].tree) && isNumericLiteral(*t[j].tree))
                return {MergeKind::Numbers, i, j, nullptr, nullptr};
            factors.need(i);
            factors.need(j);
            const ExprNode* const* endI = factors.end(i);
            const ExprNode* const* beginJ = factors.begin(j);
            const ExprNode* const* endJ = factors.end(j);
            for (auto pi = factors.begin(i); pi != endI; ++pi) {
                const ExprNode* p = *pi;
                if (isNumericLiteral(*p)) continue;
                for (auto qi = beginJ; qi != endJ; ++qi) {
                    const ExprNode* q = *qi;
                    if (!budget.spend()) return {};
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
    bool open;
};

// The holder of factor `p` in a term and the slot that holds it, found
// through products and negations as the factors were; the holder is null
// when p is the term itself, the slot null when p is not in it.
std::pair<ExprNode*, NodePtr*> slotOf(ExprNode* holder, NodePtr& t, const ExprNode* p) {
    if (t.get() == p) return {holder, &t};
    if (t->kind() == Kind::Product) {
        auto& b = static_cast<BinaryNode&>(*t);
        auto found = slotOf(t.get(), b.left, p);
        return found.second ? found : slotOf(t.get(), b.right, p);
    }
    if (t->kind() == Kind::Negation) return slotOf(t.get(), static_cast<UnaryNode&>(*t).operand, p);
    return {nullptr, nullptr};
}

// coefficientOf for a term the merge owns and gives up: `p` in it is
// replaced by 1 in place and comes out in `factor`, so that neither is
// copied. A term copied from the sum, whose nodes p does not name, gives
// its coefficient as coefficientOf makes it from the term of the sum, `in`.
NodePtr takeCoefficient(OwnedTerm& term, const TermRef& in, const ExprNode* p, NodePtr& factor) {
    auto [holder, slot] = term.tree.get() == in.tree ? slotOf(nullptr, term.tree, p)
                                                     : std::pair<ExprNode*, NodePtr*>{};
    if (!slot) return coefficientOf(in, p);
    NodePtr c;
    if (!holder) {
        factor = std::move(term.tree);
        c = number(1.0);
    } else {
        factor = std::move(*slot);
        factor->parent = nullptr;
        attach(*holder, *slot, number(1.0));
        c = std::move(term.tree);
    }
    return term.negative ? negation(std::move(c)) : std::move(c);
}

// The terms of the sum simplifySum built last, with the factors the search
// collected and, when known, whether the sum becomes a quotient over a
// common denominator. The next sum whose left operand is that sum (the next
// level of a long sum, simplified from the inside out) takes them instead of
// walking it again; so does, through the memo, the next step of a
// derivative, whose sum holds the sum of the earlier terms. The pointers
// hold while the node keeps the mark the record gave it, or, for the kept
// record, the memo's mark: the rewriting helpers that take a child out of a
// node or put one in clear its mark.
//
// Every call of simplifySum leaves the record either of its own result or
// empty, so that the record after a simplify is that of the sum its last
// step built, if any.
// What a record knows of its sum besides the terms.
struct SumFacts {
    bool quotientKnown = false;
    bool quotient = false;
    bool variable = false;  // known not to be constant
};

struct LastSum {
    std::uint64_t fills = 0;
    const ExprNode* node = nullptr;
    std::uint64_t memo = 0;  // the serial of the memo of a kept record
    std::uint32_t stamp = 0;
    SumFacts facts;
    std::vector<TermRef> terms;
    std::vector<const ExprNode*> factors;
    FactorRanges ranges;
};
// The record of the last call, and the one kept for the memo's sum (which
// other sums built in between do not touch).
thread_local LastSum lastSum;
thread_local LastSum keptSum;

// Records `node`, the sum of `terms`, with the lists of the search made last
// over them.
void recordSum(ExprNode& node, std::vector<TermRef>& terms, SumFacts facts) {
    thread_local std::uint32_t marks = 0;
    if (++marks < SimplifyMemo::kFirstSumMark) marks = SimplifyMemo::kFirstSumMark;
    ++lastSum.fills;
    lastSum.node = &node;
    lastSum.stamp = marks;
    node.setMark(marks);
    lastSum.facts = facts;
    lastSum.terms.swap(terms);
    TermFactors::swapLists(lastSum.factors, lastSum.ranges);
}

// Whether `u` is the sum recorded last, unchanged since.
bool isLastSum(const ExprNode& u) {
    return lastSum.node == &u && lastSum.stamp != 0 && u.mark() == lastSum.stamp;
}

// Whether the kept sum is `u`, unchanged since the memo marked it.
bool isKeptSum(const ExprNode& u) {
    if (keptSum.stamp == 0 || keptSum.node != &u || u.mark() != keptSum.stamp) return false;
    const SimplifyMemo* memo = RewriteBudget::current()->memo();
    return memo && memo->serial() == keptSum.memo && memo->factsOf(u);
}

// Carries out merges until no pair is left (each merge removes a term, so
// this ends) and rebuilds the sum. The terms are taken out of u and v.
// `quotient` tells whether u + v becomes a quotient; `recorded` is set when
// the record is that of the result.
[[gnu::noinline]] NodePtr mergeTerms(const std::vector<TermRef>& refs, Merge m, NodePtr& u,
                                     NodePtr& v, bool quotient, bool& recorded) {
    Scratch<OwnedTerm> termList;
    std::vector<OwnedTerm>& terms = *termList;
    terms.reserve(refs.size());
    Scratch<TermRef> viewList;
    std::vector<TermRef>& view = *viewList;
    view.assign(refs.begin(), refs.end());
    // The pointers of the merge refer into the borrowed terms; the first
    // merge is made on them, later ones on the owned copies.
    bool owned = false;
    // The factor lists of the search that found the merge serve the next
    // search for the terms that stay, unless making the merged term ran a
    // search of its own: the terms keep their nodes when they are taken
    // over.
    std::uint64_t lists = TermFactors::generation();
    while (m.kind != MergeKind::None) {
        bool copied = false;
        if (!owned) {
            for (const TermRef& r : refs) {
                terms.push_back(
                    {takeSubtree(r.tree, r.side == 0 ? u : v), r.negative, r.side, r.open});
                if (terms.back().tree.get() != r.tree) copied = true;
            }
            owned = true;
        }
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
            case MergeKind::LikeTerms: {
                // The two terms go: their coefficients are made out of them.
                NodePtr factor, other;
                NodePtr ci = takeCoefficient(terms[m.i], ti, m.p, factor);
                NodePtr cj = takeCoefficient(terms[m.j], tj, m.q, other);
                merged = simplifyOwned(product(sum(std::move(ci), std::move(cj)),
                                               factor ? std::move(factor) : m.p->clone()));
                break;
            }
            case MergeKind::Logarithms: {
                NodePtr arg = product(logArgumentWithCoefficient(ti, m.p),
                                      logArgumentWithCoefficient(tj, m.q));
                merged = simplifyOwned(logLike(*m.p, std::move(arg)));
                first = true;
                break;
            }
            case MergeKind::None:
                break;
        }
        // A term copied instead of taken has other nodes than those its
        // factors were collected from.
        const bool sameLists = TermFactors::generation() == lists && !copied;
        terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(m.j));
        terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(m.i));
        OwnedTerm t{std::move(merged), false, 2, true};
        if (first)
            terms.insert(terms.begin(), std::move(t));
        else
            terms.push_back(std::move(t));
        view.clear();
        for (const OwnedTerm& o : terms) view.push_back({o.tree.get(), o.negative, o.side, o.open});
        if (sameLists) TermFactors::afterMerge(m.i, m.j, first);
        m = RewriteBudget::current()->exhausted() ? Merge{} : findMerge(view, sameLists);
        lists = TermFactors::generation();
    }

    // The lists are those of the terms when the last search ran to its end.
    bool record = !RewriteBudget::current()->exhausted();
    // A term of u or v that becomesQuotient looked at and that stays as it
    // was does not become a quotient; the others are looked at. A merged
    // term that is not constant makes the sum not constant.
    SumFacts facts{!quotient, false, false};
    Scratch<TermRef> keptList;
    std::vector<TermRef>& kept = *keptList;
    NodePtr acc;
    for (OwnedTerm& t : terms) {
        NodePtr term = t.negative ? negateSimplified(std::move(t.tree)) : std::move(t.tree);
        if (term->kind() == Kind::Zero) {
            if (record) TermFactors::drop(kept.size());
            continue;
        }
        if (record) {
            if (t.negative) TermFactors::forget(kept.size());
            record = !splitsAsTerm(*term);
            // Where the term came from, until the record is made.
            kept.push_back({term.get(), t.negative, t.side, t.open});
        }
        acc = acc ? sum(std::move(acc), std::move(term)) : std::move(term);
    }
    if (!acc) return zero();
    if (record && acc->kind() == Kind::Sum && TermFactors::generation() == lists) {
        for (TermRef& k : kept) {
            if (facts.quotientKnown && (k.side == 2 || k.negative || !k.open))
                facts.quotient = facts.quotient || becomesQuotient(*k.tree);
            if (k.side == 2 && !facts.variable) facts.variable = !isConstantTree(*k.tree);
            k = {k.tree, false, 0, true};
        }
        recordSum(*acc, kept, facts);
        recorded = true;
    }
    return acc;
}

}  // namespace

std::uint64_t rw::sumFills() {
    return lastSum.fills;
}

void rw::keepSumTerms(const ExprNode& node, const SimplifyMemo& memo, std::uint64_t fillsBefore) {
    if (lastSum.node != &node || lastSum.fills == fillsBefore) return;
    std::swap(keptSum.terms, lastSum.terms);
    std::swap(keptSum.factors, lastSum.factors);
    std::swap(keptSum.ranges, lastSum.ranges);
    keptSum.node = &node;
    keptSum.facts = lastSum.facts;
    keptSum.memo = memo.serial();
    keptSum.stamp = node.mark();
    lastSum.node = nullptr;
}

namespace {

// The sum; `recorded` is set when the record is that of the result.
NodePtr sumOfSimplified(NodePtr u, NodePtr v, bool& recorded);

}  // namespace

[[gnu::noinline]] NodePtr rw::simplifySum(NodePtr u, NodePtr v) {
    bool recorded = false;
    NodePtr s = sumOfSimplified(std::move(u), std::move(v), recorded);
    if (!recorded) lastSum.node = nullptr;
    return s;
}

namespace {

NodePtr sumOfSimplified(NodePtr u, NodePtr v, bool& recorded) {
    // Two numbers (neither becomes a quotient).
    if (isNumericLiteral(*u) && isNumericLiteral(*v))
        return normalNumber(literalValue(*u) + literalValue(*v));
    const bool known = isKeptSum(*u);
    const bool recent = !known && isLastSum(*u);
    const LastSum* record = known ? &keptSum : recent ? &lastSum : nullptr;
    // Over a common denominator the sum may become a quotient.
    const bool quotient =
        (record && record->facts.quotientKnown ? record->facts.quotient : becomesQuotient(*u)) ||
        becomesQuotient(*v);
    if (quotient) {
        NodePtr s = sum(std::move(u), std::move(v));
        NodePtr t = togetherOfSimplified(*s);
        if (t->kind() != Kind::Sum) return t->simplify();
        u = takeLeft(*s);
        v = takeRight(*s);
    }
    const bool uc = !(record && record->facts.variable) && isConstantTree(*u);
    if (tol::isZero(constantValue(*u, uc))) return v;
    const bool vc = isConstantTree(*v);
    if (tol::isZero(constantValue(*v, vc))) return u;

    Scratch<TermRef> termList;
    std::vector<TermRef>& terms = *termList;
    if (record) {
        // The terms of the recorded sum, and their factors, are those of u.
        LastSum& r = known ? keptSum : lastSum;
        terms.swap(r.terms);
        for (TermRef& t : terms) t.side = 0;
        TermFactors::swapLists(r.factors, r.ranges);
        r.node = nullptr;
        r.stamp = 0;
    } else {
        terms.reserve(16);
        collectSignedTerms(*u, false, 0, terms);
    }
    collectSignedTerms(*v, false, 1, terms);
    Merge m = findMerge(terms, record != nullptr);
    if (m.kind != MergeKind::None) return mergeTerms(terms, m, u, v, quotient, recorded);
    NodePtr s = sum(std::move(u), std::move(v));
    recordSum(*s, terms, {true, quotient, !uc || !vc});
    recorded = true;
    return s;
}

}  // namespace

}  // namespace kv
