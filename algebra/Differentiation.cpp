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
//   log(b, u) -> u'/(ln(beta)*u), beta the value of b now (b is not differentiated)
//   sqrt u -> u'/(2*sqrt(u))  sinh u -> u'*cosh(u)       cosh u -> u'*sinh(u)
//   abs u  -> u'*sign(u)      asin u -> u'/sqrt(1-u^2)   acos u -> -(u')/sqrt(1-u^2)
//   atan u -> u'/(1+u^2)      (+-)u  -> (+-)(u')
//   [a, b, ...] -> [a', b', ...]
//   numbers, constants, sign, rnd, fact (piecewise constant), texts, graphs -> 0
//   nintegrate(f, t, a..b) -> f(b)*b' - f(a)*a' + nintegrate(df/dx, t, a..b)
#include "algebra/Algebra.h"
#include "algebra/Rewriting.h"

namespace kv {

using namespace rw;

namespace {

bool dependsOnAny(const ExprNode& node, const IdList& variables) {
    for (int v : variables)
        if (node.dependsOn(v)) return true;
    return false;
}

NodePtr fn(Kind kind, NodePtr operand) { return makeFunction(kind, std::move(operand)); }

// u', taken along the whole list (nthDerivative with n = 1); the rules are
// only reached with one variable, for which that is u's own derivative.
NodePtr d(const ExprNode& u, const IdList& variables) {
    return variables.size() == 1 ? u.derivative(variables) : nthDerivative(1, u, variables);
}

NodePtr derivativeOfPower(const ExprNode& node, const IdList& vars) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    const bool du = dependsOnAny(u, vars);
    const bool dv = dependsOnAny(v, vars);
    if (du && dv) {
        NodePtr inner = sum(product(d(v, vars), fn(Kind::Ln, u.clone())),
                            quotient(product(d(u, vars), v.clone()), u.clone()));
        return simpl(*product(node.clone(), std::move(inner)));
    }
    if (du) {
        if (v.isConstant()) {
            double e = v.evaluate();
            if (e == 0.0) return zero();
            if (e == 1.0) return simpl(*d(u, vars));
        }
        NodePtr t = product(v.clone(), product(power(u.clone(), difference(v.clone(), number(1.0))),
                                               d(u, vars)));
        return simpl(*t);
    }
    if (dv) return simpl(*product(d(v, vars), product(node.clone(), fn(Kind::Ln, u.clone()))));
    return zero();
}

// d/dx of a numeric integral: the bounds by the fundamental theorem, the
// integrand under the integral sign. The integration variable is bound, so
// the integrand is not differentiated along it.
NodePtr derivativeOfIntegral(const NIntegrateNode& n, int x) {
    const IdList vars{x};
    const int t = n.variable->index;
    NodePtr acc;
    auto add = [&acc](NodePtr term) { acc = acc ? sum(std::move(acc), std::move(term)) : std::move(term); };
    if (n.upper->dependsOn(x))
        add(product(n.operand->substitute(t, *n.upper), d(*n.upper, vars)));
    if (n.lower->dependsOn(x))
        add(negation(product(n.operand->substitute(t, *n.lower), d(*n.lower, vars))));
    if (x != t && n.operand->dependsOn(x)) {
        add(std::make_unique<NIntegrateNode>(d(*n.operand, vars), n.lower->clone(),
                                             n.upper->clone(),
                                             std::make_unique<VariableNode>(t), n.steps->clone()));
    }
    if (!acc) return zero();
    return simpl(*acc);
}

}  // namespace

NodePtr ExprNode::derivative(const IdList& vars) const {
    // The rules below differentiate along one variable; a longer list is
    // taken one variable after the other.
    if (vars.size() != 1) return vars.empty() ? clone() : derivativeAlong(*this, vars);
    const int x = vars[0];

    switch (kind()) {
        case Kind::Number:
        case Kind::Zero:
        case Kind::Constant:
        case Kind::Sign:
        case Kind::Rnd:
        case Kind::Fact:
        case Kind::Text:
        case Kind::GraphRef:
            return zero();
        case Kind::Variable:
            return as<VariableNode>(*this).index == x ? number(1.0) : zero();
        case Kind::List: {
            auto list = std::make_unique<ListNode>();
            for (const NodePtr& e : as<ListNode>(*this).elements) list->append(e->derivative(vars));
            return list;
        }
        case Kind::NIntegrate:
            return derivativeOfIntegral(as<NIntegrateNode>(*this), x);
        case Kind::Power:
            return derivativeOfPower(*this, vars);
        default:
            break;
    }

    if (isBinaryKind(kind())) {
        const ExprNode& u = leftOf(*this);
        const ExprNode& v = rightOf(*this);
        const bool du = dependsOnAny(u, vars);
        const bool dv = dependsOnAny(v, vars);
        if (!du && !dv) return zero();
        NodePtr t;
        switch (kind()) {
            case Kind::Sum:
                t = du && dv ? sum(d(u, vars), d(v, vars)) : d(du ? u : v, vars);
                break;
            case Kind::Difference:
                if (du && dv)
                    t = difference(d(u, vars), d(v, vars));
                else
                    t = du ? d(u, vars) : negation(d(v, vars));
                break;
            case Kind::Product:
                if (du && dv)
                    t = sum(product(d(u, vars), v.clone()), product(u.clone(), d(v, vars)));
                else
                    t = du ? product(d(u, vars), v.clone()) : product(u.clone(), d(v, vars));
                break;
            default: {  // quotient
                NodePtr num;
                if (du && dv)
                    num = difference(product(d(u, vars), v.clone()), product(u.clone(), d(v, vars)));
                else if (du)
                    num = product(d(u, vars), v.clone());
                else
                    num = negation(product(d(v, vars), u.clone()));
                t = quotient(std::move(num), power(v.clone(), number(2.0)));
                break;
            }
        }
        return simpl(*t);
    }

    // One-argument kinds: only the argument is tested (not the base of a
    // logarithm with a base).
    const ExprNode& u = operandOf(*this);
    if (!dependsOnAny(u, vars)) return zero();
    NodePtr du = d(u, vars);
    auto sqrtOneMinusSquare = [&u] {
        return fn(Kind::Sqrt, difference(number(1.0), power(u.clone(), number(2.0))));
    };
    NodePtr t;
    switch (kind()) {
        case Kind::Negation:
            t = negation(std::move(du));
            break;
        case Kind::PlusMinus:
            t = fn(Kind::PlusMinus, std::move(du));
            break;
        case Kind::Sin:
            t = product(std::move(du), fn(Kind::Cos, u.clone()));
            break;
        case Kind::Cos:
            t = negation(product(std::move(du), fn(Kind::Sin, u.clone())));
            break;
        case Kind::Exp:
            t = product(std::move(du), fn(Kind::Exp, u.clone()));
            break;
        case Kind::Ln:
            t = quotient(std::move(du), u.clone());
            break;
        case Kind::Log:
            t = quotient(std::move(du), product(fn(Kind::Ln, number(10.0)), u.clone()));
            break;
        case Kind::Log2:
            t = quotient(std::move(du), product(fn(Kind::Ln, number(2.0)), u.clone()));
            break;
        case Kind::LogBase: {
            double beta = as<LogBaseNode>(*this).base->evaluate();
            t = quotient(std::move(du), product(fn(Kind::Ln, number(beta)), u.clone()));
            break;
        }
        case Kind::Sqrt:
            t = quotient(std::move(du), product(number(2.0), fn(Kind::Sqrt, u.clone())));
            break;
        case Kind::Sinh:
            t = product(std::move(du), fn(Kind::Cosh, u.clone()));
            break;
        case Kind::Cosh:
            t = product(std::move(du), fn(Kind::Sinh, u.clone()));
            break;
        case Kind::Abs:
            t = product(std::move(du), fn(Kind::Sign, u.clone()));
            break;
        case Kind::Asin:
            t = quotient(std::move(du), sqrtOneMinusSquare());
            break;
        case Kind::Acos:
            t = quotient(negation(std::move(du)), sqrtOneMinusSquare());
            break;
        case Kind::Atan:
            t = quotient(std::move(du), sum(number(1.0), power(u.clone(), number(2.0))));
            break;
        default:
            return zero();
    }
    return simpl(*t);
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
