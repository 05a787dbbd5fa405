// Limits: `limit` of every node kind and computeLimit.
//
// The limit of a node is built from the limits of its parts. A result is
// numeric when its value is a number (possibly infinite) and symbolic when it
// still holds a variable that is not taken to a limit. Infinities are trees:
// +inf is the number, -inf its negation, and the infinity of unknown sign
// (1/x at 0 from both sides) is (+-)inf.
//
// Indeterminate quotients 0/0 and inf/inf go to l'Hospital's rule; products
// 0*inf and powers 0^0, 1^inf, inf^0 are rewritten into such quotients. All
// the l'Hospital steps of one computation share one counter, capped at 8.
#include <cmath>
#include <map>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "algebra/Rewriting.h"
#include "algebra/Solving.h"
#include "engine/DepthGuard.h"
#include "engine/Workspace.h"

namespace kv {

NodePtr positiveInfinity() {
    return number(HUGE_VAL);
}
NodePtr negativeInfinity() {
    return std::make_unique<NegationNode>(positiveInfinity());
}
NodePtr twoSidedInfinity() {
    return std::make_unique<PlusMinusNode>(positiveInfinity());
}

namespace {

// Nested limits (l'Hospital, rewritten products and powers) go no deeper;
// the cap of l'Hospital steps ends them long before in practice.
constexpr int kMaxDepth = 256;
// The distance from the point at which a logarithm is probed.
constexpr double kProbe = 2.220446049250313e-16;  // 2^-52
// A second probe where the first gives a value that rounds to zero.
constexpr double kFartherProbe = 1.4901161193847656e-08;  // 2^-26

// How deeply the limit search of this thread is nested.
thread_local int g_depth = 0;

LimitResult numeric(NodePtr value) {
    return {0, std::move(value), true};
}
LimitResult symbolic(NodePtr value) {
    return {1, std::move(value), true};
}
LimitResult notFound() {
    return {0, zero(), false};
}

// The limit does not exist (or was not found): the error record says so.
LimitResult failure() {
    Workspace::current().setError(kLimitErrorCode, "", kLimitNotFound);
    return notFound();
}

bool isZeroValue(double v) {
    return std::fabs(v) < kLimitZero;
}

enum class Infinity { None, Plus, Minus, Both };

// What kind of infinity a numeric limit value is.
Infinity infinityOf(const ExprNode& value, double v) {
    if (!std::isinf(v)) return Infinity::None;
    if (value.kind() == Kind::PlusMinus) return Infinity::Both;
    return v > 0 ? Infinity::Plus : Infinity::Minus;
}

// The infinity of a product or quotient of the signs s1 and s2 (+1 or -1);
// an unknown sign (0) makes it two-sided.
NodePtr signedInfinity(int s1, int s2) {
    if (s1 == 0 || s2 == 0) return twoSidedInfinity();
    return s1 * s2 > 0 ? positiveInfinity() : negativeInfinity();
}

int signOf(Infinity inf, double v) {
    if (inf == Infinity::Both) return 0;
    return v < 0 ? -1 : 1;
}

double valueOf(const LimitResult& r) {
    return r.value->evaluate();
}

NodePtr binary(Kind kind, const LimitResult& a, const LimitResult& b) {
    return makeBinary(kind, a.value->clone(), b.value->clone());
}

LimitResult lhospital(const ExprNode& u, const ExprNode& v, const LimitRequest& request) {
    int& steps = Workspace::current().lhospitalSteps;
    if (steps >= kMaxLhospitalSteps) return failure();
    // A retry (zeroTimesInfinity tries three ways) starts its count of steps
    // anew, and retries nest: the steps of all of them are bounded too.
    if (++Workspace::current().lhospitalTotal > kMaxLhospitalTotal) return failure();
    if (countNodes(u, kMaxLhospitalNodes) + countNodes(v, kMaxLhospitalNodes) > kMaxLhospitalNodes)
        return failure();
    ++steps;
    const IdList variables(request.variables.begin(), request.variables.end());
    // Each derivative has its budget opened here, to learn whether it gave
    // up: its result is then a placeholder, not the derivative.
    auto derivative = [&](const ExprNode& f) -> NodePtr {
        RewriteBudget::Scope budget(f, RewriteBudget::Scope::Mode::Derivative);
        NodePtr d = nthDerivative(1, f, variables);
        if (RewriteBudget::current()->overflowed()) return nullptr;
        return d;
    };
    NodePtr du = derivative(u);
    if (!du) return failure();
    NodePtr dv = derivative(v);
    if (!dv) return failure();
    NodePtr q = simpl(QuotientNode(du->clone(), dv->clone()));
    // The simplifier takes a coefficient below its tolerance for zero: the
    // derivatives of exp(x)/x^30 leave exp(x)/(30*29*...*x^k), which it
    // folds to 0. A quotient of two derivatives that are not zero is not
    // zero: their quotient goes on unfolded.
    if (q->isZeroNode() || (q->kind() == Kind::Number && isZeroValue(q->evaluate()))) {
        NodePtr top = simpl(*du);
        if (!top->isZeroNode()) q = std::make_unique<QuotientNode>(std::move(top), simpl(*dv));
    }
    return q->limit(request);
}

// The variable of a one-variable request set just beside the point, in the
// direction of the request (dir -1 or +1). An infinite point is probed far
// out instead.
double probeValue(const ExprNode& node, const LimitRequest& request, int dir,
                  double distance = kProbe) {
    const int var = request.variables[0];
    double p = request.points[0]->evaluate();
    double x;
    // An infinite point is probed far out, or, farther in, at 1/distance
    // (where 1/x^3 has not underflowed).
    if (std::isinf(p))
        x = std::copysign(distance == kProbe ? 1e300 : 1 / distance, p);
    else
        x = p + dir * distance * std::max(1.0, std::fabs(p));
    auto& slot = Workspace::current().variables[static_cast<std::size_t>(var)].value;
    const double saved = slot;
    slot = x;
    double value = node.evaluate();
    Workspace::current().variables[static_cast<std::size_t>(var)].value = saved;
    return value;
}

// True for a one-variable request at a constant point: the only kind whose
// sides can be probed.
bool probeable(const LimitRequest& request) {
    return request.variables.size() == 1 && request.points[0]->isConstant();
}

// The sign (-1 or +1) of `node` just beside the point on side `dir`; 0 when
// it is zero or undefined there. A value that rounds to zero or overflows
// into NaN right at the point (cos(x)-1 beside 0, x^2/x^3 at 1e300) is
// probed again a little farther in.
int sideSign(const ExprNode& node, const LimitRequest& request, int dir) {
    for (double distance : {kProbe, kFartherProbe}) {
        const double v = probeValue(node, request, dir, distance);
        if (!std::isnan(v) && v != 0) return v < 0 ? -1 : 1;
    }
    return 0;
}

// The sign of `node` beside the point on the requested side, or on both
// sides when they agree; 0 when the sides differ or cannot be told.
int besideSign(const ExprNode& node, const LimitRequest& request) {
    if (!probeable(request)) return 0;
    if (request.direction != 0) return sideSign(node, request, request.direction);
    const int left = sideSign(node, request, -1);
    return left == sideSign(node, request, 1) ? left : 0;
}

// A limit value is zero when it is below the tolerance; the exact value of
// an operand free of the limit variables (a constant that l'Hospital's
// derivatives made tiny, 1/(30*29*...*23)) is zero only when it is 0.
bool limitIsZero(const ExprNode& operand, const LimitRequest& request, double value) {
    for (int var : request.variables)
        if (operand.dependsOn(var)) return isZeroValue(value);
    return value == 0;
}

LimitResult logarithmLimit(const ExprNode& node, const LimitRequest& request) {
    LimitResult r = operandOf(node).limit(request);
    if (!r.valid) return r;
    auto applied = [&]() -> NodePtr {
        if (node.kind() == Kind::LogBase)
            return std::make_unique<LogBaseNode>(r.value->clone(),
                                                 as<LogBaseNode>(node).base->clone());
        return makeFunction(node.kind(), r.value->clone());
    };
    if (r.status == 0 && request.variables.size() == 1 && request.points[0]->isConstant()) {
        double v = valueOf(r);
        if (std::isfinite(v) && isZeroValue(v)) {
            // The argument tends to 0: the logarithm beside the point tells
            // whether it is defined there, and then it tends to -inf.
            std::vector<int> sides;
            if (request.direction == 0)
                sides = {-1, 1};
            else
                sides = {request.direction};
            for (int dir : sides)
                if (std::isfinite(probeValue(node, request, dir)))
                    return numeric(negativeInfinity());
        }
    }
    return {r.status, applied(), true};
}

LimitResult signLimit(const ExprNode& node, const LimitRequest& request) {
    LimitResult r = operandOf(node).limit(request);
    if (!r.valid) return r;
    if (r.status != 0) return {r.status, std::make_unique<SignNode>(r.value->clone()), true};
    double v = valueOf(r);
    if (std::isinf(v)) {
        if (infinityOf(*r.value, v) == Infinity::Both)
            return numeric(std::make_unique<SignNode>(r.value->clone()));
        return numeric(number(v < 0 ? -1.0 : 1.0));
    }
    if (!isZeroValue(v)) return numeric(number(v < 0 ? -1.0 : 1.0));
    // At a zero of the operand the sign is that of the operand just beside
    // the point (sign(-x) from the left is 1, sign(x^2) is 1 on both sides).
    if (request.variables.size() == 1) {
        if (const int s = besideSign(operandOf(node), request)) return numeric(number(s));
        if (request.direction == 0) return numeric(std::make_unique<PlusMinusNode>(number(1.0)));
        return numeric(number(request.direction));
    }
    return numeric(std::make_unique<SignNode>(r.value->clone()));
}

// inf - inf of a polynomial at +inf or -inf: its leading term decides.
// The sum is expanded in the variable and its terms gathered by power; the
// highest power whose coefficients do not cancel gives the limit, which
// must have a numeric coefficient. False when the sum is not a polynomial
// (with real powers at +inf, integral ones at -inf) in the one variable.
bool leadingTermLimit(const ExprNode& sum, const LimitRequest& request, LimitResult& out) {
    if (request.variables.size() != 1 || !request.points[0]->isConstant()) return false;
    const double point = request.points[0]->evaluate();
    if (!std::isinf(point)) return false;
    const int var = request.variables[0];
    NodePtr expanded = simpl(*sum.expandIn(var))->toSumForm()->expandIn(var);
    std::vector<NodePtr> terms;
    rw::collectSignedTerms(*expanded, false, terms);
    std::map<double, double> coefficients;  // power -> sum of coefficients
    for (const NodePtr& term : terms) {
        NodePtr factor = term->dependentFactorIn(var);
        double power = 0;
        if (factor->kind() == Kind::Variable && as<VariableNode>(*factor).index == var) {
            power = 1;
        } else if (factor->kind() == Kind::Power && leftOf(*factor).kind() == Kind::Variable &&
                   as<VariableNode>(leftOf(*factor)).index == var &&
                   rightOf(*factor).isConstant()) {
            power = rightOf(*factor).evaluate();
        } else if (factor->kind() != Kind::Number || factor->evaluate() != 1.0) {
            return false;
        }
        NodePtr c = term->coefficientIn(var);
        if (!c->isConstant()) return false;
        const double value = c->evaluate();
        if (!std::isfinite(value) || !std::isfinite(power)) return false;
        if (point < 0 && power != std::trunc(power)) return false;
        coefficients[power] += value;
    }
    for (auto it = coefficients.rbegin(); it != coefficients.rend(); ++it) {
        const auto [power, lead] = *it;
        if (isZeroValue(lead)) continue;
        if (power <= 0) return false;  // no infinity left: not the case here
        const bool negative = (lead < 0) != (point < 0 && std::fmod(power, 2.0) != 0);
        out = numeric(negative ? negativeInfinity() : positiveInfinity());
        return true;
    }
    return false;
}

// inf - inf as a + b = a*(1 + b/a): when b/a tends to a number L other
// than -1, a decides, with the sign of 1 + L (x - ln(x) at inf: ln(x)/x
// tends to 0). The attempt leaves no error behind when it fails.
bool dominantTermLimit(const ExprNode& a, const ExprNode& b, Infinity ia,
                       const LimitRequest& request, LimitResult& out) {
    Workspace& ws = Workspace::current();
    const int steps = ws.lhospitalSteps;
    LimitResult r = QuotientNode(b.clone(), a.clone()).limit(request);
    bool decided = false;
    if (r.valid && r.status == 0) {
        const double L = valueOf(r);
        if (std::isfinite(L) && !isZeroValue(1 + L)) {
            const int sa = ia == Infinity::Plus ? 1 : -1;
            out = numeric(signedInfinity(sa, 1 + L < 0 ? -1 : 1));
            decided = true;
        }
    }
    if (!decided) {
        ws.clearError();
        ws.lhospitalSteps = steps;
    }
    return decided;
}

LimitResult sumLimit(const ExprNode& node, const LimitRequest& request) {
    NodePtr combined = node.together();
    if (combined->kind() != Kind::Sum) return simpl(*combined)->limit(request);
    LimitResult a = leftOf(*combined).limit(request);
    if (!a.valid) return a;
    LimitResult b = rightOf(*combined).limit(request);
    if (!b.valid) return b;
    auto symbolicSum = [&] { return symbolic(simpl(*binary(Kind::Sum, a, b))); };
    if (a.status == 0 && b.status == 0) {
        double A = valueOf(a), B = valueOf(b);
        Infinity ia = infinityOf(*a.value, A), ib = infinityOf(*b.value, B);
        if (ia != Infinity::None && ib != Infinity::None) {
            // inf - inf: a polynomial at +-inf is decided by its leading
            // term; otherwise, and for (+-)inf against any infinity, no limit.
            if (ia == ib && ia != Infinity::Both) return a;
            LimitResult leading;
            if (ia != Infinity::Both && ib != Infinity::Both &&
                (leadingTermLimit(*combined, request, leading) ||
                 dominantTermLimit(leftOf(*combined), rightOf(*combined), ia, request, leading)))
                return leading;
            return failure();
        }
        if (ia != Infinity::None) return a;
        if (ib != Infinity::None) return b;
        return numeric(binary(Kind::Sum, a, b));
    }
    if (a.status == 0 && std::isinf(valueOf(a))) return a;
    if (b.status == 0 && std::isinf(valueOf(b))) return b;
    return symbolicSum();
}

// The limits of both operands of an operator, left first. False when either
// is not found; `a` then holds the failed result.
bool operandLimits(const ExprNode& node, const LimitRequest& request, LimitResult& a,
                   LimitResult& b) {
    // A symbolic value that simplifies to a number is numeric: a^0 - 1, the
    // numerator of (a^x - 1)/x at 0, is 0, and the quotient goes to
    // l'Hospital instead of being taken for a nonzero over 0.
    auto settled = [](LimitResult& r) {
        if (r.status == 0) return;
        NodePtr v = simpl(*r.value);
        if (v->isConstant()) r = numeric(std::move(v));
    };
    a = leftOf(node).limit(request);
    if (!a.valid) return false;
    b = rightOf(node).limit(request);
    if (!b.valid) {
        a = std::move(b);
        return false;
    }
    settled(a);
    settled(b);
    return true;
}

LimitResult quotientLimit(const ExprNode& node, const LimitRequest& request) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    LimitResult a, b;
    if (!operandLimits(node, request, a, b)) return a;

    // With a symbolic operand: an infinite or zero numeric part decides,
    // otherwise the quotient of the values stays symbolic.
    if (a.status != 0 || b.status != 0) {
        if (a.status != 0 && b.status == 0) {
            double B = valueOf(b);
            if (std::isinf(B)) return numeric(number(0.0));
            if (isZeroValue(B)) return numeric(twoSidedInfinity());
        }
        if (a.status == 0 && b.status != 0) {
            double A = valueOf(a);
            if (std::isinf(A)) return numeric(twoSidedInfinity());
            if (isZeroValue(A)) return numeric(number(0.0));
        }
        return symbolic(simpl(*binary(Kind::Quotient, a, b)));
    }

    const double A = valueOf(a), B = valueOf(b);
    const Infinity ia = infinityOf(*a.value, A), ib = infinityOf(*b.value, B);
    const bool zeroA = limitIsZero(u, request, A), zeroB = limitIsZero(v, request, B);
    // 0/0 and inf/inf: l'Hospital.
    if ((zeroA && zeroB) || (ia != Infinity::None && ib != Infinity::None))
        return lhospital(u, v, request);
    // A finite numerator over an infinite denominator, or a zero one over a
    // finite denominator.
    if (ib != Infinity::None || zeroA) return numeric(number(0.0));
    if (zeroB) {
        // The sign of the denominator beside the point decides: 1/x^2 is
        // +inf from both sides, 1/(-x) is -inf from the right. Sides that
        // disagree give the infinity of unknown sign.
        if (ia == Infinity::Both) return numeric(twoSidedInfinity());
        const int sa = A < 0 ? -1 : 1;
        if (const int sb = besideSign(v, request)) return numeric(signedInfinity(sa, sb));
        if (request.direction == 0 || probeable(request)) return numeric(twoSidedInfinity());
        return numeric(signedInfinity(sa, request.direction));
    }
    if (ia != Infinity::None) return numeric(signedInfinity(signOf(ia, A), B < 0 ? -1 : 1));
    return numeric(binary(Kind::Quotient, a, b));
}

// The degree of a factor's derivative in the first limit variable; NaN when
// it is not a number.
double derivativeDegree(const ExprNode& f, const LimitRequest& request) {
    const IdList variables(request.variables.begin(), request.variables.end());
    NodePtr d = simpl(*nthDerivative(1, f, variables));
    NodePtr degree = d->degreeIn(request.variables[0]);
    return degree->isConstant() ? degree->evaluate() : std::nan("");
}

// z*w with z -> 0 and w -> inf, as a quotient of one factor over the
// reciprocal of the other. The factor whose derivative has the higher degree
// goes into the denominator (x*ln(x) as ln(x)/(1/x), whose derivatives
// shrink, not x/(1/ln(x)), whose derivatives grow); when that fails the other
// way is tried, with the l'Hospital steps counted from where they stood.
// Before either, the product multiplied out is tried.
LimitResult zeroTimesInfinity(const ExprNode& z, const ExprNode& w, const LimitRequest& request) {
    const double dz = derivativeDegree(z, request);
    const double dw = derivativeDegree(w, request);
    const bool invertZeroFirst = !(dw > dz);
    auto attempt = [&](bool invertZero) {
        const ExprNode& top = invertZero ? w : z;
        const ExprNode& bottom = invertZero ? z : w;
        return QuotientNode(top.clone(),
                            std::make_unique<QuotientNode>(number(1.0), bottom.clone()))
            .limit(request);
    };
    Workspace& ws = Workspace::current();
    const int steps = ws.lhospitalSteps;
    // Multiplied out, the factors may cancel: x*(x+1)*x^(-2) -> 1 + x^(-1).
    NodePtr expanded = simpl(*ProductNode(z.clone(), w.clone()).expandall());
    if (expanded->kind() != Kind::Product) {
        LimitResult r = expanded->limit(request);
        if (r.valid) return r;
        ws.clearError();
        ws.lhospitalSteps = steps;
    }
    LimitResult first = attempt(invertZeroFirst);
    if (first.valid) return first;
    ws.clearError();
    ws.lhospitalSteps = steps;
    return attempt(!invertZeroFirst);
}

LimitResult productLimit(const ExprNode& node, const LimitRequest& request) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    LimitResult a, b;
    if (!operandLimits(node, request, a, b)) return a;

    if (a.status != 0 || b.status != 0) {
        // y*inf has an infinite value of unknown sign; y*0 is 0.
        for (const LimitResult* r : {&a, &b}) {
            if (r->status != 0) continue;
            double value = valueOf(*r);
            if (std::isinf(value)) return numeric(twoSidedInfinity());
            if (isZeroValue(value)) return numeric(number(0.0));
        }
        return symbolic(simpl(*binary(Kind::Product, a, b)));
    }

    const double A = valueOf(a), B = valueOf(b);
    const Infinity ia = infinityOf(*a.value, A), ib = infinityOf(*b.value, B);
    // 0*inf becomes a quotient for l'Hospital.
    if (limitIsZero(u, request, A) && ib != Infinity::None) return zeroTimesInfinity(u, v, request);
    if (limitIsZero(v, request, B) && ia != Infinity::None) return zeroTimesInfinity(v, u, request);
    if (ia != Infinity::None || ib != Infinity::None) {
        int sa = ia != Infinity::None ? signOf(ia, A) : (A < 0 ? -1 : 1);
        int sb = ib != Infinity::None ? signOf(ib, B) : (B < 0 ? -1 : 1);
        return numeric(signedInfinity(sa, sb));
    }
    return numeric(binary(Kind::Product, a, b));
}

LimitResult powerLimit(const ExprNode& node, const LimitRequest& request) {
    const ExprNode& u = leftOf(node);
    const ExprNode& v = rightOf(node);
    LimitResult a, b;
    if (!operandLimits(node, request, a, b)) return a;

    if (a.status != 0 || b.status != 0) {
        if (a.status != 0 && b.status == 0 && std::isinf(valueOf(b)))
            return numeric(positiveInfinity());
        return symbolic(binary(Kind::Power, a, b));
    }
    const double A = valueOf(a), B = valueOf(b);
    // 0^0, 1^inf, inf^0: exp of the limit of v*ln(u).
    if ((A == 0 && B == 0) || (A == 1 && std::isinf(B)) || (std::isinf(A) && B == 0)) {
        ProductNode exponent(v.clone(), std::make_unique<LnNode>(u.clone()));
        LimitResult e = exponent.limit(request);
        if (!e.valid) return e;
        return {e.status, simpl(ExpNode(std::move(e.value))), true};
    }
    // A negative exponent: 1/u^(-B), so that the rules of 1/0 give the
    // infinities.
    if (B < 0) {
        QuotientNode reciprocal(
            number(1.0),
            std::make_unique<PowerNode>(u.clone(), std::make_unique<NegationNode>(number(B))));
        return reciprocal.limit(request);
    }
    // An infinite power has the sign of A^B: (-inf)^3 is -inf, (-inf)^2 is
    // +inf; (+-)inf to an even power is +inf, to another power of either sign.
    const double power = std::pow(A, B);
    if (std::isinf(power)) {
        if (infinityOf(*a.value, A) == Infinity::Both && std::fmod(B, 2.0) != 0)
            return numeric(twoSidedInfinity());
        return numeric(power < 0 ? negativeInfinity() : positiveInfinity());
    }
    return numeric(binary(Kind::Power, a, b));
}

// Kinds without a limit of their own: a factorial, an integral, a text or a
// graph. One that does not involve the limit variables is its own limit.
LimitResult opaqueLimit(const ExprNode& node, const LimitRequest& request) {
    if (node.kind() == Kind::Fact || node.kind() == Kind::NIntegrate) {
        bool involved = false;
        for (int var : request.variables) involved = involved || node.dependsOn(var);
        if (!involved) return node.isConstant() ? numeric(node.clone()) : symbolic(node.clone());
    }
    return failure();
}

}  // namespace

LimitResult ExprNode::limit(const LimitRequest& request) const {
    DepthGuard guard(g_depth);
    if (!guard.within(kMaxDepth)) return failure();
    if (Workspace::current().hasError()) return notFound();

    switch (kind()) {
        case Kind::Number:
        case Kind::Zero:
        case Kind::Constant:
        case Kind::Rnd:
            return numeric(clone());
        case Kind::Variable: {
            const int index = as<VariableNode>(*this).index;
            for (std::size_t i = 0; i < request.variables.size(); ++i) {
                if (request.variables[i] != index) continue;
                const ExprNode& point = *request.points[i];
                return {point.isConstant() ? 0 : 1, point.clone(), true};
            }
            return symbolic(clone());
        }
        case Kind::List: {
            // Element by element.
            auto list = std::make_unique<ListNode>();
            int status = 0;
            for (const NodePtr& e : as<ListNode>(*this).elements) {
                LimitResult r = e->limit(request);
                if (!r.valid) return r;
                status = std::max(status, r.status);
                list->append(std::move(r.value));
            }
            return {status, std::move(list), true};
        }
        case Kind::Fact:
        case Kind::NIntegrate:
        case Kind::Text:
        case Kind::GraphRef:
            return opaqueLimit(*this, request);
        case Kind::Ln:
        case Kind::Log:
        case Kind::Log2:
        case Kind::LogBase:
            return logarithmLimit(*this, request);
        case Kind::Sign:
            return signLimit(*this, request);
        case Kind::Difference:
            return toSumForm()->limit(request);
        case Kind::Sum:
            return sumLimit(*this, request);
        case Kind::Quotient:
            return quotientLimit(*this, request);
        case Kind::Product:
            return productLimit(*this, request);
        case Kind::Power:
            return powerLimit(*this, request);
        default: {
            // sin, cos, tan, sqrt, exp, sinh, cosh, tanh, asin, acos, atan,
            // abs, the negation and (+-): the function of the operand's limit.
            LimitResult r = operandOf(*this).limit(request);
            if (!r.valid) return r;
            return {r.status, makeFunction(kind(), std::move(r.value)), true};
        }
    }
}

LimitResult computeLimit(const ExprNode& node, const LimitRequest& request) {
    Workspace::current().lhospitalSteps = 0;
    Workspace::current().lhospitalTotal = 0;
    LimitResult r = node.limit(request);
    if (!r.value) r.value = zero();
    return r;
}

}  // namespace kv
