// Symbolic differentiation: derivative of every node kind, derivativeAlong
// and nthDerivative.
//
// Every rule first asks which operands depend on the variable; an operand that
// does not contributes nothing, and when none does the result is 0. Otherwise
// the rule builds the tree below from copies of the operands (u, v) and their
// derivatives (u', v'), and returns it simplified by `simpl`.
//
//   u + v        -> u' + v'              u - v -> u' - v'
//   u * v        -> u'*v + u*v'          u / v -> (u'*v - u*v') / v^2
//   -u           -> -(u')
//   u ^ v        -> u^v * (v'*ln(u) + (u'*v)/u)      (both depend)
//                -> 0 when v is the constant 0, u' when it is the constant 1
//                   (exact comparisons), else v*(u^(v-1)*u')   (only u)
//                -> v'*(u^v*ln(u))                    (only v)
//   sin u  -> u'*cos(u)       cos u  -> -(u'*sin(u))     exp u -> u'*exp(u)
//   ln u   -> u'/u            log u  -> u'/(ln(10)*u)    log2 u -> u'/(ln(2)*u)
//   log(b, u) -> u'/(ln(beta)*u), beta the value of a constant b;
//                u'/(ln(b)*u) for a b with other variables (their values
//                now say nothing: parsing a variable sets it to 0);
//                as ln(u)/ln(b) when b holds the variable
//   sqrt u -> u'/(2*sqrt(u))  sinh u -> u'*cosh(u)       cosh u -> u'*sinh(u)
//   abs u  -> u'*sign(u)      asin u -> u'/sqrt(1-u^2)   acos u -> -(u')/sqrt(1-u^2)
//   atan u -> u'/(1+u^2)      tan u  -> u'/cos(u)^2      tanh u -> u'/cosh(u)^2
//   (+-)u  -> (+-)(u')
//   [a, b, ...] -> [a', b', ...]
//   numbers, constants, sign, rnd, fact (piecewise constant), texts, graphs -> 0
//   nintegrate(f, t, a..b) -> f(b)*b' - f(a)*a' + nintegrate(df/dx, t, a..b)
//
// The node counts of the trees are carried along, so that a derivative that
// would pass the result limit of its budget (x^x^...^x grows with the square of
// its length) stops early instead of filling the memory; see
// RewriteBudget::overflowed.
#include <algorithm>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "engine/TreeRebuild.h"

namespace kv {

using namespace rw;

namespace {

// A tree and its node count.
struct Sized {
    NodePtr tree;
    std::size_t size;
};

Sized sized(NodePtr t, std::size_t size) {
    return {std::move(t), size};
}
Sized zeroResult() {
    return {zero(), 1};
}
Sized copy(const ExprNode& u) {
    return {u.clone(), countNodes(u, RewriteBudget::kMaxNodes + 1)};
}
Sized num(double v) {
    return {number(v), 1};
}

Sized join(Kind kind, Sized a, Sized b) {
    return {makeBinary(kind, std::move(a.tree), std::move(b.tree)), 1 + a.size + b.size};
}
Sized sumOf(Sized a, Sized b) {
    return join(Kind::Sum, std::move(a), std::move(b));
}
Sized differenceOf(Sized a, Sized b) {
    return join(Kind::Difference, std::move(a), std::move(b));
}
Sized productOf(Sized a, Sized b) {
    return join(Kind::Product, std::move(a), std::move(b));
}
Sized quotientOf(Sized a, Sized b) {
    return join(Kind::Quotient, std::move(a), std::move(b));
}
Sized powerOf(Sized a, Sized b) {
    return join(Kind::Power, std::move(a), std::move(b));
}
Sized fn(Kind kind, Sized a) {
    return {makeFunction(kind, std::move(a.tree)), 1 + a.size};
}
Sized negationOf(Sized a) {
    return fn(Kind::Negation, std::move(a));
}

// The end of every rule: the tree simplified, unless it is too large.
Sized finish(Sized t) {
    RewriteBudget& budget = *RewriteBudget::current();
    if (t.size > budget.resultLimit()) budget.markOverflow();
    if (budget.overflowed()) return zeroResult();
    const ExprNode* before = t.tree.get();
    std::size_t known = 0;
    NodePtr s = simplOwned(std::move(t.tree), &known);
    if (s.get() == before) return {std::move(s), t.size};
    // The count stops one past the limit, as countNodes does.
    constexpr std::size_t kCap = RewriteBudget::kMaxNodes + 2;
    std::size_t size = known ? std::min(known, kCap) : countNodes(*s, kCap - 1);
    return {std::move(s), size};
}

Sized derive(const ExprNode& node, int x);

Sized derivativeOfPower(const ExprNode& node, int x) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    const bool du = u.dependsOn(x);
    const bool dv = v.dependsOn(x);
    if (du && dv) {
        Sized inner = sumOf(productOf(derive(v, x), fn(Kind::Ln, copy(u))),
                            quotientOf(productOf(derive(u, x), copy(v)), copy(u)));
        return finish(productOf(copy(node), std::move(inner)));
    }
    if (du) {
        if (v.isConstant()) {
            double e = v.evaluate();
            if (e == 0.0) return zeroResult();
            if (e == 1.0) return finish(derive(u, x));
        }
        return finish(productOf(
            copy(v), productOf(powerOf(copy(u), differenceOf(copy(v), num(1.0))), derive(u, x))));
    }
    if (dv) return finish(productOf(derive(v, x), productOf(copy(node), fn(Kind::Ln, copy(u)))));
    return zeroResult();
}

// d/dx of a numeric integral: the bounds by the fundamental theorem, the
// integrand under the integral sign. The integration variable is bound, so
// the integrand is not differentiated along it.
Sized derivativeOfIntegral(const NIntegrateNode& n, int x) {
    const int t = n.variable->index;
    Sized acc{nullptr, 0};
    auto add = [&acc](Sized term) {
        acc = acc.tree ? sumOf(std::move(acc), std::move(term)) : std::move(term);
    };
    auto at = [&](const ExprNode& bound) {
        NodePtr f = n.operand->substitute(t, bound);
        std::size_t size = countNodes(*f, RewriteBudget::kMaxNodes + 1);
        return sized(std::move(f), size);
    };
    if (n.upper->dependsOn(x)) add(productOf(at(*n.upper), derive(*n.upper, x)));
    if (n.lower->dependsOn(x)) add(negationOf(productOf(at(*n.lower), derive(*n.lower, x))));
    if (x != t && n.operand->dependsOn(x)) {
        Sized df = derive(*n.operand, x);
        const std::size_t size = df.size + 3 + countNodes(*n.lower, RewriteBudget::kMaxNodes) +
                                 countNodes(*n.upper, RewriteBudget::kMaxNodes) +
                                 countNodes(*n.steps, RewriteBudget::kMaxNodes);
        add(sized(
            std::make_unique<NIntegrateNode>(std::move(df.tree), n.lower->clone(), n.upper->clone(),
                                             std::make_unique<VariableNode>(t), n.steps->clone()),
            size));
    }
    if (!acc.tree) return zeroResult();
    return finish(std::move(acc));
}

// The rules of the operators, given u' and v' (null trees where the operand
// does not depend on the variable).
[[gnu::noinline]] Sized buildBinary(const ExprNode& node, Sized du, Sized dv) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    const bool both = du.tree && dv.tree;
    switch (node.kind()) {
        case Kind::Sum:
            return finish(both      ? sumOf(std::move(du), std::move(dv))
                          : du.tree ? std::move(du)
                                    : std::move(dv));
        case Kind::Difference:
            if (both) return finish(differenceOf(std::move(du), std::move(dv)));
            return finish(du.tree ? std::move(du) : negationOf(std::move(dv)));
        case Kind::Product:
            if (both)
                return finish(
                    sumOf(productOf(std::move(du), copy(v)), productOf(copy(u), std::move(dv))));
            return finish(du.tree ? productOf(std::move(du), copy(v))
                                  : productOf(copy(u), std::move(dv)));
        default: {  // quotient
            Sized top;
            if (both)
                top = differenceOf(productOf(std::move(du), copy(v)),
                                   productOf(copy(u), std::move(dv)));
            else if (du.tree)
                top = productOf(std::move(du), copy(v));
            else
                top = negationOf(productOf(std::move(dv), copy(u)));
            return finish(quotientOf(std::move(top), powerOf(copy(v), num(2.0))));
        }
    }
}

// Kept small: it is on the stack once per level of the tree.
Sized derivativeOfBinary(const ExprNode& node, int x) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    Sized du{nullptr, 0}, dv{nullptr, 0};
    if (u.dependsOn(x)) du = derive(u, x);
    if (v.dependsOn(x)) dv = derive(v, x);
    if (!du.tree && !dv.tree) return zeroResult();
    return buildBinary(node, std::move(du), std::move(dv));
}

// One-argument kinds: only the argument is tested (not the base of a
// logarithm with a base).
[[gnu::noinline]] Sized buildFunction(const ExprNode& node, Sized du, double beta);

[[gnu::noinline]] Sized derivativeOfLogWithVariableBase(const LogBaseNode& node, int x);

Sized derivativeOfFunction(const ExprNode& node, int x) {
    const ExprNode& u = operandOf(node);
    if (node.kind() == Kind::LogBase && as<LogBaseNode>(node).base->dependsOn(x))
        return derivativeOfLogWithVariableBase(as<LogBaseNode>(node), x);
    if (!u.dependsOn(x)) return zeroResult();
    // The base's value is read before u' is simplified: copying a variable
    // resets its value.
    const double beta = node.kind() == Kind::LogBase ? as<LogBaseNode>(node).base->evaluate() : 0.0;
    return buildFunction(node, derive(u, x), beta);
}

// log(b, u) with a base that depends on the variable is ln(u)/ln(b), and
// differentiates as that quotient: taking the base's value as a constant
// would give a wrong slope.
Sized derivativeOfLogWithVariableBase(const LogBaseNode& node, int x) {
    QuotientNode q(makeFunction(Kind::Ln, node.operand->clone()),
                   makeFunction(Kind::Ln, node.base->clone()));
    return derive(q, x);
}

Sized buildFunction(const ExprNode& node, Sized du, double beta) {
    const ExprNode& u = operandOf(node);
    auto oneMinusSquare = [&u] {
        return fn(Kind::Sqrt, differenceOf(num(1.0), powerOf(copy(u), num(2.0))));
    };
    switch (node.kind()) {
        case Kind::Negation:
            return finish(negationOf(std::move(du)));
        case Kind::PlusMinus:
            return finish(fn(Kind::PlusMinus, std::move(du)));
        case Kind::Sin:
            return finish(productOf(std::move(du), fn(Kind::Cos, copy(u))));
        case Kind::Cos:
            return finish(negationOf(productOf(std::move(du), fn(Kind::Sin, copy(u)))));
        case Kind::Exp:
            return finish(productOf(std::move(du), fn(Kind::Exp, copy(u))));
        case Kind::Ln:
            return finish(quotientOf(std::move(du), copy(u)));
        case Kind::Log:
            return finish(quotientOf(std::move(du), productOf(fn(Kind::Ln, num(10.0)), copy(u))));
        case Kind::Log2:
            return finish(quotientOf(std::move(du), productOf(fn(Kind::Ln, num(2.0)), copy(u))));
        case Kind::LogBase: {
            const ExprNode& b = *as<LogBaseNode>(node).base;
            Sized lnBase = fn(Kind::Ln, b.isConstant() ? num(beta) : copy(b));
            return finish(quotientOf(std::move(du), productOf(std::move(lnBase), copy(u))));
        }
        case Kind::Sqrt:
            return finish(quotientOf(std::move(du), productOf(num(2.0), fn(Kind::Sqrt, copy(u)))));
        case Kind::Tan:
            return finish(quotientOf(std::move(du), powerOf(fn(Kind::Cos, copy(u)), num(2.0))));
        case Kind::Tanh:
            return finish(quotientOf(std::move(du), powerOf(fn(Kind::Cosh, copy(u)), num(2.0))));
        case Kind::Sinh:
            return finish(productOf(std::move(du), fn(Kind::Cosh, copy(u))));
        case Kind::Cosh:
            return finish(productOf(std::move(du), fn(Kind::Sinh, copy(u))));
        case Kind::Abs:
            return finish(productOf(std::move(du), fn(Kind::Sign, copy(u))));
        case Kind::Asin:
            return finish(quotientOf(std::move(du), oneMinusSquare()));
        case Kind::Acos:
            return finish(quotientOf(negationOf(std::move(du)), oneMinusSquare()));
        case Kind::Atan:
            return finish(quotientOf(std::move(du), sumOf(num(1.0), powerOf(copy(u), num(2.0)))));
        default:
            return zeroResult();
    }
}

Sized derive(const ExprNode& node, int x) {
    if (RewriteBudget::current()->overflowed()) return zeroResult();
    switch (node.kind()) {
        case Kind::Number:
        case Kind::Zero:
        case Kind::Constant:
        case Kind::Sign:
        case Kind::Rnd:
        case Kind::Fact:
        case Kind::Text:
        case Kind::GraphRef:
            return zeroResult();
        case Kind::Variable:
            return as<VariableNode>(node).index == x ? num(1.0) : zeroResult();
        case Kind::List: {
            auto list = std::make_unique<ListNode>();
            std::size_t size = 1;
            for (const NodePtr& e : as<ListNode>(node).elements) {
                Sized d = derive(*e, x);
                size += d.size;
                list->append(std::move(d.tree));
            }
            return sized(std::move(list), size);
        }
        case Kind::NIntegrate:
            return derivativeOfIntegral(as<NIntegrateNode>(node), x);
        case Kind::Power:
            return derivativeOfPower(node, x);
        default:
            break;
    }
    if (isBinaryKind(node.kind())) return derivativeOfBinary(node, x);
    return derivativeOfFunction(node, x);
}

}  // namespace

NodePtr ExprNode::derivative(const IdList& vars) const {
    // One budget for the simplification of every step (algebra/RewriteBudget.h).
    RewriteBudget* budget = RewriteBudget::current();
    if (!budget || !budget->shared()) {
        RewriteBudget::Scope scope(*this, RewriteBudget::Scope::Mode::Derivative);
        return derivative(vars);
    }
    // The rules differentiate along one variable; a longer list is taken one
    // variable after the other.
    if (vars.size() != 1) return vars.empty() ? clone() : derivativeAlong(*this, vars);
    return derive(*this, vars[0]).tree;
}

NodePtr derivativeAlong(const ExprNode& tree, const IdList& variables) {
    if (variables.empty()) return tree.clone();
    NodePtr result = tree.derivative(IdList{variables[0]});
    for (std::size_t i = 1; i < variables.size(); ++i)
        result = result->derivative(IdList{variables[i]});
    return result;
}

NodePtr nthDerivative(int n, const ExprNode& tree, const IdList& variables) {
    NodePtr result = derivativeAlong(tree, variables);
    for (int i = 1; i < n; ++i) result = derivativeAlong(*result, variables);
    return result;
}

}  // namespace kv
