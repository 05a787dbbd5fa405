// Numeric zeros and definition domains.
//
// zerosIn takes the tree apart where the zeros of a node follow from those of
// its parts (a product vanishes where a factor does, a quotient where its
// numerator does away from the denominator's zeros, a logarithm where its
// argument is 1, ...) and scans what it cannot take apart. domainIn cuts a
// set down to where a tree is defined: the zeros of the arguments of sqrt, the
// logarithms, asin and acos split the set into pieces, and each piece is kept
// or dropped by the sign of the argument at its midpoint; the poles of
// quotients and of tan are cut out.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "algebra/Algebra.h"
#include "algebra/Solving.h"
#include "engine/Tolerance.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

constexpr double kWidening = IntervalSet::kWidening;
// A constant counts as zero below this magnitude.
constexpr double kConstantZero = tol::kEpsilon;
// Bisection halvings before a bracket is given up (a double bracket cannot
// be halved more often than this).
constexpr int kMaxBisectionSteps = 2100;

const RootRequest* g_current = nullptr;

double valueAt(const ExprNode& f, int variable, double x) {
    Workspace::current().variables[static_cast<std::size_t>(variable)].value = x;
    return f.evaluate();
}

bool validVariable(int variable) {
    return variable >= 0 &&
           static_cast<std::size_t>(variable) < Workspace::current().variables.size();
}

IntervalSet emptyLike(double epsilon) {
    IntervalSet s;
    s.tolerance = epsilon;
    return s;
}

// A tree free of the variable: zero everywhere or nowhere.
IntervalSet constantZeros(const ExprNode& f, const IntervalSet& set, double epsilon) {
    if (std::fabs(f.evaluate()) < kConstantZero) return set;
    return emptyLike(epsilon);
}

// Keeps the root intervals at whose midpoint or ends `other` has a finite
// value that `accept` takes. A factor's zero where the other factor is
// undefined is no zero of the product, nor a numerator's zero where the
// denominator vanishes, nor a base's zero under a non-positive exponent.
template <class Accept>
IntervalSet keepWhere(const IntervalSet& zeros, const ExprNode& other, int variable, double epsilon,
                      Accept accept) {
    IntervalSet kept = emptyLike(epsilon);
    for (const Interval& in : zeros.intervals()) {
        for (double x : {0.5 * (in.lo + in.hi), in.lo, in.hi}) {
            double v = valueAt(other, variable, x);
            if (std::isfinite(v) && accept(v)) {
                kept.addInterval(in.lo, in.hi);
                break;
            }
        }
    }
    return kept;
}

// Keeps the root intervals that touch `domain`.
IntervalSet keepInDomain(const IntervalSet& zeros, const IntervalSet& domain, double epsilon) {
    IntervalSet kept = emptyLike(epsilon);
    for (const Interval& in : zeros.intervals()) {
        if (domain.contains(0.5 * (in.lo + in.hi)) || domain.contains(in.lo) ||
            domain.contains(in.hi))
            kept.addInterval(in.lo, in.hi);
    }
    return kept;
}

// The set without the intervals of `holes`, each widened by `margin`.
IntervalSet withoutZeros(const IntervalSet& set, const IntervalSet& holes, double margin) {
    IntervalSet reduced(set);
    for (const Interval& in : holes.intervals())
        reduced.removeInterval(in.lo - margin, in.hi + margin);
    return reduced;
}

// The pieces of `set` where pred(u) holds. The set is cut at the zeros of
// each boundary function; every piece is judged by u at its midpoint, and a
// cut point by u at the point itself (sqrt(-x^2) is defined at 0 alone).
template <class Pred>
IntervalSet piecesWhere(const IntervalSet& set, const std::vector<NodePtr>& boundaries,
                        const ExprNode& u, int variable, Pred pred) {
    IntervalSet result = emptyLike(set.tolerance);
    if (!u.dependsOn(variable)) {
        double v = u.evaluate();
        return pred(v) ? set : result;
    }
    std::vector<double> cuts;
    for (const NodePtr& b : boundaries) {
        const IntervalSet zeros = b->zerosIn(set, variable);
        for (const Interval& z : zeros.intervals()) cuts.push_back(0.5 * (z.lo + z.hi));
    }
    std::sort(cuts.begin(), cuts.end());
    for (const Interval& in : set.intervals()) {
        std::vector<double> points{in.lo};
        for (double c : cuts)
            if (c > in.lo && c < in.hi) points.push_back(c);
        points.push_back(in.hi);
        for (std::size_t k = 0; k + 1 < points.size(); ++k) {
            double a = points[k], b = points[k + 1];
            if (pred(valueAt(u, variable, 0.5 * (a + b)))) result.addInterval(a, b);
        }
        for (std::size_t k = 1; k + 1 < points.size(); ++k)
            if (pred(valueAt(u, variable, points[k]))) result.addPoint(points[k]);
    }
    return result;
}

// Domain conditions of the functions that are not defined everywhere.
IntervalSet functionDomain(const ExprNode& node, const IntervalSet& operandDomain, int variable) {
    const ExprNode& u = operandOf(node);
    std::vector<NodePtr> boundaries;
    switch (node.kind()) {
        case Kind::Sqrt:
            boundaries.push_back(u.clone());
            return piecesWhere(operandDomain, boundaries, u, variable,
                               [](double v) { return v >= 0.0; });
        case Kind::Ln:
        case Kind::Log:
        case Kind::Log2:
        case Kind::LogBase:
            boundaries.push_back(u.clone());
            return piecesWhere(operandDomain, boundaries, u, variable,
                               [](double v) { return v > 0.0; });
        case Kind::Tan: {
            // Not defined where cos(u) vanishes: the poles are cut out, so a
            // curve is drawn in pieces between them.
            const CosNode cosine(u.clone());
            const double eps = currentRootRequest(variable).epsilon;
            return withoutZeros(operandDomain, cosine.zerosIn(operandDomain, variable), eps / 2);
        }
        case Kind::Asin:
        case Kind::Acos:
            boundaries.push_back(std::make_unique<DifferenceNode>(u.clone(), number(1.0)));
            boundaries.push_back(std::make_unique<SumNode>(u.clone(), number(1.0)));
            return piecesWhere(operandDomain, boundaries, u, variable,
                               [](double v) { return v >= -1.0 && v <= 1.0; });
        default:
            return operandDomain;
    }
}

}  // namespace

// ---- The request in force --------------------------------------------------------

RootRequestScope::RootRequestScope(const RootRequest& request)
    : request_(request), previous_(g_current) {
    g_current = &request_;
}
RootRequestScope::~RootRequestScope() {
    g_current = previous_;
}

RootRequest currentRootRequest(int variable) {
    RootRequest rq = g_current ? *g_current : RootRequest{};
    rq.variable = variable;
    return rq;
}

IntervalSet findZeros(const ExprNode& f, const IntervalSet& set, const RootRequest& request) {
    if (!validVariable(request.variable)) return emptyLike(request.epsilon);
    double& slot = Workspace::current().variables[static_cast<std::size_t>(request.variable)].value;
    const double saved = slot;
    RootRequestScope scope(request);
    IntervalSet zeros = f.zerosIn(set, request.variable);
    Workspace::current().variables[static_cast<std::size_t>(request.variable)].value = saved;
    return zeros;
}

IntervalSet intersect(const IntervalSet& a, const IntervalSet& b) {
    IntervalSet out;
    out.tolerance = a.tolerance;
    for (const Interval& p : a.intervals())
        for (const Interval& q : b.intervals()) {
            double lo = std::max(p.lo, q.lo);
            double hi = std::min(p.hi, q.hi);
            if (lo <= hi) out.addInterval(lo, hi);
        }
    return out;
}

// ---- The scan ---------------------------------------------------------------------

// The largest |f| at which a bracket narrowed to two neighbouring numbers
// still counts as holding a root when the requested epsilon cannot be
// reached (x^2 - 2 is 4e-16 there at best); beside a pole |f| is huge.
constexpr double kResolvableResidual = 1e-8;

IntervalSet scanZeros(const RootRequest& request, const ExprNode& f, const IntervalSet& set) {
    const double eps = request.epsilon;
    const int var = request.variable;
    IntervalSet result = emptyLike(eps);
    // Callers check these and tell the user; a scan with them would not end
    // or would find nothing meaningful.
    if (!validVariable(var) || !(request.h > 0.0) || !std::isfinite(request.h) || !(eps > 0.0) ||
        !std::isfinite(eps))
        return result;

    Workspace& ws = Workspace::current();
    RootRequestScope scope(request);
    const NodePtr d1 = nthDerivative(1, f, IdList{var});
    const NodePtr d2 = nthDerivative(1, *d1, IdList{var});

    // The zeros of f' are the candidates for roots without a sign change.
    // One level only: the scans inside do not look at f''.
    IntervalSet extrema;
    if (!ws.rootRecursion) {
        ws.rootRecursion = true;
        extrema = d1->zerosIn(set, var);
        ws.rootRecursion = false;
    }

    auto value = [&](double x) { return valueAt(f, var, x); };

    // A root in the bracket [a, b], where f changes sign: Halley's iteration
    // from a; when it fails or leaves the bracket, bisection. A pole also
    // changes sign, but there |f| never falls to epsilon.
    //
    // The iteration is a fixed map of n, so once it returns to the point it
    // has just left, or to the one before (rounding often ends it in such a
    // cycle when epsilon lies below what f can resolve there), every further
    // step repeats them and it cannot converge: it gives up at once instead
    // of running out its steps.
    auto refine = [&](double a, double b, double fa) -> std::optional<double> {
        double n = a;
        double previous = std::numeric_limits<double>::quiet_NaN();
        for (int i = 0; i < kMaxHalleySteps; ++i) {
            double fn = value(n);
            if (!std::isfinite(fn)) break;
            if (std::fabs(fn) <= eps) {
                if (n >= a - eps && n <= b + eps) return n;
                break;
            }
            double p = valueAt(*d1, var, n);
            double q = valueAt(*d2, var, n);
            double denom = p * p - 0.5 * fn * q;
            if (denom == 0.0 || !std::isfinite(denom)) break;
            const double from = n;
            n -= fn * p / denom;
            if (!std::isfinite(n)) break;
            if (n == from || n == previous) break;
            previous = from;
        }
        double lo = a, hi = b, flo = fa;
        for (int i = 0; i < kMaxBisectionSteps; ++i) {
            double m = 0.5 * (lo + hi);
            if (!(m > lo && m < hi)) {
                // The bracket is two neighbouring numbers and |f| is above
                // epsilon at both: epsilon lies below what f can resolve
                // here. The better end is the root as precisely as it can be
                // had, unless |f| is large there, as beside a pole.
                const double fhi = value(hi);
                const double best = std::fabs(fhi) < std::fabs(flo) ? hi : lo;
                if (std::fmin(std::fabs(fhi), std::fabs(flo)) <= kResolvableResidual) return best;
                break;
            }
            double fm = value(m);
            if (!std::isfinite(fm)) return std::nullopt;
            if (std::fabs(fm) <= eps) return m;
            if ((fm < 0) == (flo < 0)) {
                lo = m;
                flo = fm;
            } else {
                hi = m;
            }
        }
        return std::nullopt;
    };

    for (const Interval& in : set.intervals()) {
        const double lo = std::min(in.lo, in.hi);
        const double hi = std::max(in.lo, in.hi);
        if (!std::isfinite(lo) || !std::isfinite(hi)) continue;
        // Callers other than nsolve (which refuses such requests) get a
        // coarser step rather than a scan without end.
        const double h = std::max(request.h, (hi - lo) / kMaxScanSteps);
        double x = lo;
        bool endChecked = false;
        while (x <= hi + kWidening) {
            double next = x + h;
            if (next > hi + kWidening) {
                // The last step would leave the interval: the right end is
                // looked at once, then the rest is scanned in halving steps
                // until x reaches the end (within the widening).
                if (!endChecked) {
                    endChecked = true;
                    double fh = value(hi);
                    if (std::isfinite(fh) && std::fabs(fh) < eps) result.addPoint(hi);
                }
                if (x >= hi - kWidening) break;
                next = 0.5 * (x + hi);
            }
            // A step too small to move x (huge bounds) ends the interval.
            if (!(next > x)) break;

            double g = value(x);
            if (!std::isfinite(g)) {
                x = next;
                continue;
            }
            if (std::fabs(g) < eps) {
                result.addPoint(x);
                x = next;
                continue;
            }
            double t = value(next);
            if (!std::isfinite(t)) {
                x = next;
                continue;
            }
            if ((g < 0) != (t < 0) && t != 0.0) {
                if (std::optional<double> root = refine(x, next, g)) {
                    result.addPoint(*root);
                    x = std::max(*root + h, next);
                    continue;
                }
            }
            x = next;
        }
    }

    // Touching roots: an extremum of f where f itself is (nearly) zero. They
    // come in order, so they are gathered first and merged with the roots of
    // the scan in one pass.
    IntervalSet touching = emptyLike(eps);
    for (const Interval& in : extrema.intervals()) {
        double m = 0.5 * (in.lo + in.hi);
        double fm = value(m);
        if (std::isfinite(fm) && std::fabs(fm) < eps) touching.addPoint(m);
    }
    result.addSet(touching);
    return result;
}

// ---- zerosIn per kind ---------------------------------------------------------------

IntervalSet ExprNode::zerosIn(const IntervalSet& set, int variable) const {
    const RootRequest rq = currentRootRequest(variable);
    const double eps = rq.epsilon;
    if (!validVariable(variable)) return emptyLike(eps);

    switch (kind()) {
        // No meaningful zeros: a random number, a list, a text, a graph.
        case Kind::Rnd:
        case Kind::List:
        case Kind::Text:
        case Kind::GraphRef:
            return emptyLike(eps);
        default:
            break;
    }
    if (!dependsOn(variable)) return constantZeros(*this, set, eps);

    switch (kind()) {
        case Kind::Variable: {
            // Only the variable itself depends on it.
            IntervalSet s = emptyLike(eps);
            if (set.contains(0.0)) s.addPoint(0.0);
            return s;
        }
        case Kind::Product: {
            const ExprNode& l = leftOf(*this);
            const ExprNode& r = rightOf(*this);
            // A constant factor: zero makes the product vanish everywhere,
            // otherwise the zeros are the other factor's.
            if (!l.dependsOn(variable)) {
                if (std::fabs(l.evaluate()) < kConstantZero) return set;
                return r.zerosIn(set, variable);
            }
            if (!r.dependsOn(variable)) {
                if (std::fabs(r.evaluate()) < kConstantZero) return set;
                return l.zerosIn(set, variable);
            }
            auto any = [](double) { return true; };
            IntervalSet zeros = keepWhere(l.zerosIn(set, variable), r, variable, eps, any);
            zeros.addSet(keepWhere(r.zerosIn(set, variable), l, variable, eps, any));
            return zeros;
        }
        case Kind::Quotient: {
            const ExprNode& num = leftOf(*this);
            const ExprNode& den = rightOf(*this);
            // The denominator's zeros, widened by epsilon/2, are poles.
            const IntervalSet poles = den.zerosIn(set, variable);
            IntervalSet reduced = withoutZeros(set, poles, eps / 2);
            if (!num.dependsOn(variable) && std::fabs(num.evaluate()) < kConstantZero)
                return reduced;
            IntervalSet zeros = keepWhere(num.zerosIn(reduced, variable), den, variable, eps,
                                          [](double v) { return v != 0.0; });
            // A numerator's zero at the edge of a removed pole is the pole
            // itself seen at the cut ((x-1)/(x-1) has no zero).
            IntervalSet kept = emptyLike(eps);
            for (const Interval& z : zeros.intervals()) {
                double m = 0.5 * (z.lo + z.hi);
                bool nearPole = false;
                for (const Interval& p : poles.intervals())
                    nearPole = nearPole || (m >= p.lo - eps && m <= p.hi + eps);
                if (!nearPole) kept.addInterval(z.lo, z.hi);
            }
            return kept;
        }
        case Kind::Power: {
            const ExprNode& base = leftOf(*this);
            const ExprNode& exponent = rightOf(*this);
            // b^e with a constant e <= 0 never vanishes (b^0 = 1, and a
            // negative power has a pole where b vanishes).
            if (!exponent.dependsOn(variable) && !(exponent.evaluate() > 0.0))
                return emptyLike(eps);
            if (!base.dependsOn(variable)) return scanZeros(rq, *this, set);
            return keepWhere(base.zerosIn(set, variable), exponent, variable, eps,
                             [](double v) { return v > 0.0; });
        }
        case Kind::Ln:
        case Kind::Log:
        case Kind::Log2:
        case Kind::LogBase: {
            // A logarithm vanishes where its argument is 1.
            DifferenceNode shifted(operandOf(*this).clone(), number(1.0));
            return shifted.zerosIn(set, variable);
        }
        case Kind::Acos: {
            DifferenceNode shifted(operandOf(*this).clone(), number(1.0));
            return shifted.zerosIn(set, variable);
        }
        case Kind::Asin:
        case Kind::Sqrt:
            // Zeros of the argument, where the function is defined.
            return keepInDomain(operandOf(*this).zerosIn(set, variable), domainIn(set, variable),
                                eps);
        case Kind::Tan: {
            // tan(u) = sin(u)/cos(u), and sin and cos never vanish together.
            const SinNode sine(operandOf(*this).clone());
            return sine.zerosIn(set, variable);
        }
        case Kind::Atan:
        case Kind::Sinh:
        case Kind::Tanh:
        case Kind::Negation:
        case Kind::Abs:
        case Kind::Sign:
        case Kind::PlusMinus:
            return operandOf(*this).zerosIn(set, variable);
        case Kind::Exp:
        case Kind::Cosh:
            return emptyLike(eps);
        default:
            // Sums, differences, sin, cos, fact and integrals are scanned.
            return scanZeros(rq, *this, set);
    }
}

// ---- domainIn per kind ---------------------------------------------------------------

IntervalSet ExprNode::domainIn(const IntervalSet& set, int variable) const {
    if (!validVariable(variable)) return set;
    const double eps = currentRootRequest(variable).epsilon;
    if (isBinaryKind(kind())) {
        const ExprNode& l = leftOf(*this);
        const ExprNode& r = rightOf(*this);
        IntervalSet d = intersect(l.domainIn(set, variable), r.domainIn(set, variable));
        if (kind() == Kind::Quotient) {
            if (!r.dependsOn(variable)) return r.evaluate() == 0.0 ? IntervalSet{} : d;
            return withoutZeros(d, r.zerosIn(d, variable), eps / 2);
        }
        if (kind() == Kind::Power && l.dependsOn(variable)) {
            // Integral constant exponents allow any base (a negative one
            // only a non-zero base); anything else needs a base >= 0.
            if (!r.dependsOn(variable)) {
                double e = r.evaluate();
                if (std::floor(e) == e) {
                    if (e >= 0) return d;
                    return withoutZeros(d, l.zerosIn(d, variable), eps / 2);
                }
            }
            std::vector<NodePtr> boundaries;
            boundaries.push_back(l.clone());
            return piecesWhere(d, boundaries, l, variable, [](double v) { return v >= 0.0; });
        }
        return d;
    }
    if (isUnaryKind(kind())) {
        if (!dependsOn(variable)) return set;
        return functionDomain(*this, operandOf(*this).domainIn(set, variable), variable);
    }
    return set;
}

}  // namespace kv
