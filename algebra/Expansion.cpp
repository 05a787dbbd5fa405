// Common denominators and expansion: together, expandall, expandIn.
#include <type_traits>
#include <utility>
#include <vector>

#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "engine/Tolerance.h"
#include "engine/TreeRebuild.h"

namespace kv {

using namespace rw;

// ---- together ----------------------------------------------------------------------
//
// Operands first; n and d are the numerator and denominator of a quotient.
//   n_a/d_a + n_b/d_b -> (n_a + n_b)/d_a              (equal denominators)
//                     -> (n_a*d_b + n_b*d_a)/(d_a*d_b)
//   n_a/d_a + b       -> (n_a + b*d_a)/d_a
//   a + n_b/d_b       -> (a*d_b + n_b)/d_b
//   the same for a - b with '-'
//   n_a/d_a * n_b/d_b -> (n_a*n_b)/(d_a*d_b);  n_a/d_a * b -> (n_a*b)/d_a;
//   a * n_b/d_b       -> (a*n_b)/d_b
//   (n_a/d_a)/(n_b/d_b) -> (n_a*d_b)/(n_b*d_a);  (n_a/d_a)/b -> n_a/(b*d_a);
//   a/(n_b/d_b)       -> (a*d_b)/n_b
//   u^e               -> 1/u'^k    when e simplifies to -k; otherwise u'^e
//   other nodes rebuild around their converted operands.
// The results are not simplified. A combination whose tree would pass the
// node limit of the budget is not made: the operands stay side by side (as
// with the nested fractions of a continued fraction, whose common
// denominator doubles in size at every level).

namespace {

// A converted tree with its node count, and the counts of its numerator and
// denominator when it is a quotient.
struct Part {
    NodePtr tree;
    std::size_t size = 1;
    std::size_t num = 0;
    std::size_t den = 0;
    bool isQuotient() const { return tree->kind() == Kind::Quotient; }
};

Part quotientPart(Part n, Part d) {
    Part q;
    q.size = 1 + n.size + d.size;
    q.num = n.size;
    q.den = d.size;
    q.tree = quotient(std::move(n.tree), std::move(d.tree));
    return q;
}

Part binaryPart(Kind kind, Part a, Part b) {
    if (kind == Kind::Quotient) return quotientPart(std::move(a), std::move(b));
    Part p;
    p.size = 1 + a.size + b.size;
    p.tree = makeBinary(kind, std::move(a.tree), std::move(b.tree));
    return p;
}

// Splits a quotient part into numerator and denominator.
std::pair<Part, Part> split(Part q) {
    Part n, d;
    n.size = q.num;
    d.size = q.den;
    n.tree = takeLeft(*q.tree);
    d.tree = takeRight(*q.tree);
    return {std::move(n), std::move(d)};
}

Part copyOf(const Part& p) {
    Part c;
    c.tree = p.tree->clone();
    c.size = p.size;
    c.num = p.num;
    c.den = p.den;
    return c;
}

[[gnu::noinline]] Part combine(Kind kind, Part a, Part b) {
    const bool qa = a.isQuotient();
    const bool qb = b.isQuotient();
    if (!qa && !qb) return binaryPart(kind, std::move(a), std::move(b));

    // The size of the combination, to refuse one past the limit.
    std::size_t na = qa ? a.num : a.size, da = qa ? a.den : 0;
    std::size_t nb = qb ? b.num : b.size, db = qb ? b.den : 0;
    std::size_t size = 0;
    bool equalDen = false;
    switch (kind) {
        case Kind::Sum:
        case Kind::Difference:
            if (qa && qb) {
                equalDen = rightOf(*a.tree).equals(rightOf(*b.tree));
                size = equalDen ? 3 + na + nb + da : 6 + na + db + nb + 2 * da + db;
            } else if (qa) {
                size = 4 + na + nb + 2 * da;
            } else {
                size = 4 + na + nb + 2 * db;
            }
            break;
        default:
            size = 3 + na + nb + da + db;
    }
    if (size > RewriteBudget::current()->nodeLimit())
        return binaryPart(kind, std::move(a), std::move(b));

    switch (kind) {
        case Kind::Sum:
        case Kind::Difference: {
            if (qa && qb) {
                auto [n1, d1] = split(std::move(a));
                auto [n2, d2] = split(std::move(b));
                if (equalDen)
                    return quotientPart(binaryPart(kind, std::move(n1), std::move(n2)),
                                        std::move(d1));
                Part d1c = copyOf(d1), d2c = copyOf(d2);
                Part num =
                    binaryPart(kind, binaryPart(Kind::Product, std::move(n1), std::move(d2c)),
                               binaryPart(Kind::Product, std::move(n2), std::move(d1c)));
                return quotientPart(std::move(num),
                                    binaryPart(Kind::Product, std::move(d1), std::move(d2)));
            }
            if (qa) {
                auto [n1, d1] = split(std::move(a));
                Part d1c = copyOf(d1);
                Part num = binaryPart(kind, std::move(n1),
                                      binaryPart(Kind::Product, std::move(b), std::move(d1c)));
                return quotientPart(std::move(num), std::move(d1));
            }
            auto [n2, d2] = split(std::move(b));
            Part d2c = copyOf(d2);
            Part num = binaryPart(kind, binaryPart(Kind::Product, std::move(a), std::move(d2c)),
                                  std::move(n2));
            return quotientPart(std::move(num), std::move(d2));
        }
        case Kind::Product: {
            if (qa && qb) {
                auto [n1, d1] = split(std::move(a));
                auto [n2, d2] = split(std::move(b));
                return quotientPart(binaryPart(Kind::Product, std::move(n1), std::move(n2)),
                                    binaryPart(Kind::Product, std::move(d1), std::move(d2)));
            }
            if (qa) {
                auto [n1, d1] = split(std::move(a));
                return quotientPart(binaryPart(Kind::Product, std::move(n1), std::move(b)),
                                    std::move(d1));
            }
            auto [n2, d2] = split(std::move(b));
            return quotientPart(binaryPart(Kind::Product, std::move(a), std::move(n2)),
                                std::move(d2));
        }
        default: {  // quotient
            if (qa && qb) {
                auto [n1, d1] = split(std::move(a));
                auto [n2, d2] = split(std::move(b));
                return quotientPart(binaryPart(Kind::Product, std::move(n1), std::move(d2)),
                                    binaryPart(Kind::Product, std::move(n2), std::move(d1)));
            }
            if (qa) {
                auto [n1, d1] = split(std::move(a));
                return quotientPart(std::move(n1),
                                    binaryPart(Kind::Product, std::move(b), std::move(d1)));
            }
            auto [n2, d2] = split(std::move(b));
            return quotientPart(binaryPart(Kind::Product, std::move(a), std::move(d2)),
                                std::move(n2));
        }
    }
}

// The k of an exponent that is the negation -k, or null. With `simplified`
// the exponent is taken as it is; otherwise it is simplified first.
NodePtr negatedExponent(const ExprNode& e, bool simplified) {
    if (simplified) {
        if (e.kind() == Kind::Negation) return operandOf(e).clone();
        if (e.kind() == Kind::Number && as<NumberNode>(e).value < 0)
            return number(-as<NumberNode>(e).value);
        return nullptr;
    }
    NodePtr s = e.simplify();
    if (s->kind() == Kind::Negation) return takeOperand(*s);
    return nullptr;
}

template <class In>
Part togetherPart(In node, bool simplified);

template <class In>
[[gnu::noinline]] Part togetherPower(In node, bool simplified) {
    Part u = togetherPart(leftIn(node), simplified);
    const ExprNode& e = rightOf(view(node));
    if (NodePtr k = negatedExponent(e, simplified)) {
        Part den;
        den.size = 1 + u.size + countNodes(*k, RewriteBudget::kMaxNodes);
        den.tree = power(std::move(u.tree), std::move(k));
        Part one;
        one.tree = number(1.0);
        return quotientPart(std::move(one), std::move(den));
    }
    Part p;
    p.size = 1 + u.size + countNodes(e, RewriteBudget::kMaxNodes);
    In exponent = rightIn(node);
    p.tree = power(std::move(u.tree), keep(exponent));
    return p;
}

template <class In>
[[gnu::noinline]] Part togetherOther(In node, bool simplified) {
    Part p;
    if constexpr (std::is_same_v<In, Owned>)
        p.tree = rebuildOwned(std::move(node), [simplified](NodePtr c) {
            return togetherPart(std::move(c), simplified).tree;
        });
    else
        p.tree = mapChildren(
            *node, [simplified](const ExprNode& c) { return togetherPart(&c, simplified).tree; });
    p.size = countNodes(*p.tree, RewriteBudget::kMaxNodes);
    return p;
}

// Kept small: it is one stack frame per level of the tree.
template <class In>
Part togetherPart(In node, bool simplified) {
    const Kind k = view(node).kind();
    switch (k) {
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
        case Kind::Quotient: {
            Part a = togetherPart(leftIn(node), simplified);
            Part b = togetherPart(rightIn(node), simplified);
            if constexpr (std::is_same_v<In, Owned>) {
                // Neither a quotient: the node takes its converted operands back.
                if (!a.isQuotient() && !b.isQuotient()) {
                    Part p;
                    p.size = 1 + a.size + b.size;
                    auto& n = static_cast<BinaryNode&>(*node);
                    attach(n, n.left, std::move(a.tree));
                    attach(n, n.right, std::move(b.tree));
                    p.tree = std::move(node);
                    return p;
                }
            }
            return combine(k, std::move(a), std::move(b));
        }
        case Kind::Power:
            return togetherPower(std::move(node), simplified);
        default:
            break;
    }
    if (isFunctionKind(k)) {
        Part a = togetherPart(operandIn(node), simplified);
        a.tree = makeFunction(k, std::move(a.tree));
        a.size += 1;
        a.num = a.den = 0;
        return a;
    }
    return togetherOther(std::move(node), simplified);
}

}  // namespace

NodePtr ExprNode::together() const {
    RewriteBudget::Scope scope(*this);
    return togetherPart<Read>(this, false).tree;
}

namespace rw {

NodePtr togetherOwned(NodePtr tree) {
    RewriteBudget::Scope scope(*tree);
    return togetherPart<Owned>(std::move(tree), false).tree;
}

NodePtr togetherOfSimplified(const ExprNode& node) {
    return togetherPart<Read>(&node, true).tree;
}

bool becomesQuotient(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Quotient:
            return true;
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
            return becomesQuotient(leftOf(node)) || becomesQuotient(rightOf(node));
        case Kind::Power: {
            const ExprNode& e = rightOf(node);
            return e.kind() == Kind::Negation ||
                   (e.kind() == Kind::Number && as<NumberNode>(e).value < 0);
        }
        default:
            return false;
    }
}

}  // namespace rw

// ---- expandall ------------------------------------------------------------------------
//
// (a + b)*(c + d) -> ((a*c + a*d) + b*c) + b*d   (each product simplified)
// (a - b)*c       -> a*c + (-(b*c))
// x*x             -> x^2                        (a product of non-sums is simplified)
// sums, differences and negations expand their operands; quotients, powers
// and every other node are copied unchanged ((x+1)^2 and 1/(x+1) stay).
// A product whose expansion would pass the node limit of the budget is kept
// as the product of its expanded factors.

namespace {

// An expanded tree, and whether each of its terms is a simplified tree
// already (the terms of an expanded product are), so that multiplying it
// out again does not simplify them once more: a long product would
// otherwise be simplified anew at every one of its levels.
struct Expanded {
    NodePtr tree;
    bool simplifiedTerms = false;
};

// The terms of a factor: the terms of its sum form, or the factor itself.
// The sum form, when it is not the factor itself, is returned to hold them.
NodePtr termsOf(NodePtr& factor, NodeList& out) {
    if (factor->kind() != Kind::Sum && factor->kind() != Kind::Difference &&
        factor->kind() != Kind::Negation) {
        out.push_back(factor.get());
        return nullptr;
    }
    // Without a difference the sum form is a copy of the factor.
    if (!holdsKind(*factor, Kind::Difference)) {
        factor->collectTerms(out);
        return nullptr;
    }
    NodePtr sumForm = factor->toSumForm();
    sumForm->collectTerms(out);
    return sumForm;
}

Expanded expandProduct(Expanded a, Expanded b) {
    NodeList la, lb;
    NodePtr holdA = termsOf(a.tree, la);
    NodePtr holdB = termsOf(b.tree, lb);
    // A term taken out of the tree that holds it (the factor, or its sum
    // form), which is not needed afterwards, and simplified unless it is.
    auto simplified = [](const ExprNode* t, NodePtr& holder, bool done) {
        NodePtr own = takeSubtree(t, holder);
        return done ? std::move(own) : simplifyOwned(std::move(own));
    };
    NodePtr& fromA = holdA ? holdA : a.tree;
    NodePtr& fromB = holdB ? holdB : b.tree;
    if (la.size() == 1 && lb.size() == 1) {
        NodePtr p = simplified(la[0], fromA, a.simplifiedTerms);
        NodePtr q = simplified(lb[0], fromB, b.simplifiedTerms);
        return {simplifyProductOf(std::move(p), std::move(q)), true};
    }
    const std::size_t limit = RewriteBudget::current()->nodeLimit();
    const std::size_t sizeA = countNodes(holdA ? *holdA : *a.tree, limit);
    const std::size_t sizeB = countNodes(holdB ? *holdB : *b.tree, limit);
    const double estimate = static_cast<double>(lb.size()) * static_cast<double>(sizeA) +
                            static_cast<double>(la.size()) * static_cast<double>(sizeB) +
                            2.0 * static_cast<double>(la.size()) * static_cast<double>(lb.size());
    if (estimate > static_cast<double>(limit))
        return {product(std::move(a.tree), std::move(b.tree)), false};

    std::vector<NodePtr> right;
    for (const ExprNode* q : lb) right.push_back(simplified(q, fromB, b.simplifiedTerms));
    NodePtr acc;
    for (const ExprNode* p : la) {
        NodePtr ps = simplified(p, fromA, a.simplifiedTerms);
        for (std::size_t j = 0; j < right.size(); ++j) {
            // The last product takes the left term itself instead of a copy.
            NodePtr left = j + 1 < right.size() ? ps->clone() : std::move(ps);
            NodePtr t = simplifyProductOf(std::move(left), right[j]->clone());
            acc = acc ? sum(std::move(acc), std::move(t)) : std::move(t);
        }
    }
    return {std::move(acc), true};
}

Expanded expandNode(const ExprNode& node) {
    switch (node.kind()) {
        case Kind::Sum:
        case Kind::Difference: {
            Expanded l = expandNode(leftOf(node));
            Expanded r = expandNode(rightOf(node));
            return {makeBinary(node.kind(), std::move(l.tree), std::move(r.tree)),
                    l.simplifiedTerms && r.simplifiedTerms};
        }
        case Kind::Negation:
            return {negation(expandNode(operandOf(node)).tree), false};
        case Kind::Product: {
            Expanded l = expandNode(leftOf(node));
            Expanded r = expandNode(rightOf(node));
            return expandProduct(std::move(l), std::move(r));
        }
        default:
            return {node.clone(), false};
    }
}

}  // namespace

NodePtr ExprNode::expandall() const {
    RewriteBudget::Scope scope(*this);
    return expandNode(*this).tree;
}

// ---- expandIn ------------------------------------------------------------------------
//
// Expansion of the parts that depend on the variable, as the solver needs it
// to read a polynomial off a sum:
//   (x + 1)*(x - 2) -> x*x + (-(2*x)) + x + (-2)   (products are simplified)
//   (x + 1)^2       -> (x + 1)*(x + 1), expanded    (integral exponents 2 to 8)
//   (x^2 + x)/c     -> x^2*c^(-1) + x*c^(-1)       (c free of the variable)
//   a*b with neither factor depending on the variable stays as it is;
//   sums, differences and negations expand their operands; other nodes are
//   copied.
NodePtr ExprNode::expandIn(int variable) const {
    RewriteBudget::Scope scope(*this);
    switch (kind()) {
        case Kind::Sum:
        case Kind::Difference:
            return makeBinary(kind(), leftOf(*this).expandIn(variable),
                              rightOf(*this).expandIn(variable));
        case Kind::Negation:
            return negation(operandOf(*this).expandIn(variable));
        case Kind::Product: {
            if (!dependsOn(variable)) return clone();
            return expandProduct({leftOf(*this).expandIn(variable)},
                                 {rightOf(*this).expandIn(variable)})
                .tree;
        }
        case Kind::Power: {
            const ExprNode& base = leftOf(*this);
            const ExprNode& e = rightOf(*this);
            if (!base.dependsOn(variable) || !e.isConstant()) return clone();
            double n = e.evaluate();
            if (!tol::isIntegral(n) || n < 2 || n > 8) return clone();
            NodePtr b = base.expandIn(variable);
            if (b->kind() != Kind::Sum && b->kind() != Kind::Difference) return clone();
            NodePtr acc = b->clone();
            for (int i = 1; i < static_cast<int>(n); ++i) {
                acc = expandProduct({std::move(acc)}, {b->clone()}).tree;
                if (acc->kind() == Kind::Product) return clone();  // over the limit
            }
            return acc;
        }
        case Kind::Quotient: {
            const ExprNode& num = leftOf(*this);
            const ExprNode& den = rightOf(*this);
            if (den.dependsOn(variable) || !num.dependsOn(variable)) return clone();
            NodePtr n = num.expandIn(variable)->toSumForm();
            NodeList terms;
            n->collectTerms(terms);
            NodePtr acc;
            for (const ExprNode* t : terms) {
                NodePtr part = product(t->clone(), power(den.clone(), minusOne()))->simplify();
                acc = acc ? sum(std::move(acc), std::move(part)) : std::move(part);
            }
            return acc;
        }
        default:
            return clone();
    }
}

}  // namespace kv
