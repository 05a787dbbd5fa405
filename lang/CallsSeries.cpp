// The series calls: taylor (the Taylor polynomial of a function about a
// point) and sum (a finite sum over an integer index). Each takes its
// argument texts apart, checks them and returns the call's tree; on an error
// it records it and returns a ZeroNode.
#include <cmath>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/ExactSeries.h"
#include "algebra/RewriteBudget.h"
#include "engine/EvaluationCost.h"
#include "engine/TreeRebuild.h"
#include "engine/WorkBounds.h"
#include "engine/Workspace.h"
#include "lang/Builtins.h"
#include "lang/CallArguments.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/SeriesCallMessages.h"

namespace kv {

namespace {

// The highest degree taylor takes: each degree is one more derivative, and
// k! beyond 30 leaves the coefficients below what a double shows next to
// the first ones.
constexpr int kMaxTaylorDegree = 30;
// The largest derivative taylor goes on from.
constexpr std::size_t kMaxDerivativeNodes = 20'000 / kWorkBoundDivisor;
// The most terms one sum adds.
constexpr long long kMaxSumTerms = 1'000'000;

NodePtr wrongCount(Call& call) {
    return call.ci.fail(ErrorCode::Arguments, call.text,
                        msg::format(msg::kWrongArgumentCount, std::string(call.name),
                                    static_cast<int>(call.args.size())));
}

// The value of a constant argument that is a whole number in [lo, hi].
bool integerArgument(const ExprNode& tree, double lo, double hi, double& out) {
    if (!tree.isConstant()) return false;
    const double v = tree.evaluate();
    if (!(v >= lo && v <= hi) || v != std::trunc(v)) return false;
    out = v;
    return true;
}

// c * t^k, with t^1 written t and c = 1 left out.
NodePtr term(NodePtr c, const ExprNode& t, int k) {
    NodePtr power = k == 1 ? t.clone() : std::make_unique<PowerNode>(t.clone(), number(k));
    if (c->kind() == Kind::Number && as<NumberNode>(*c).value == 1.0) return power;
    return std::make_unique<ProductNode>(std::move(c), std::move(power));
}

// The term |derivative/factorial| * t^k of a numeric coefficient; `negative`
// tells its sign. A whole-number derivative over a factorial that the
// present digit count prints exactly is written as the reduced fraction,
// n*t^k/d (x^3/6 rather than 0.166666666667*x^3), so the result reads back
// as the same polynomial; any other as its value.
NodePtr numericTerm(double derivative, double factorial, const ExprNode& t, int k, bool& negative) {
    negative = derivative < 0.0;
    const double exact = std::pow(10.0, std::min(Workspace::current().ndigits, 15));
    if (derivative == std::trunc(derivative) && std::fabs(derivative) < exact &&
        factorial < exact) {
        const auto n = static_cast<long long>(std::fabs(derivative));
        const auto f = static_cast<long long>(factorial);
        const long long g = std::gcd(n, f);
        const double numerator = static_cast<double>(n / g);
        const double denominator = static_cast<double>(f / g);
        if (k == 0) {
            negative = false;
            return number((derivative < 0.0 ? -numerator : numerator) / denominator);
        }
        NodePtr head = term(number(numerator), t, k);
        if (denominator == 1.0) return head;
        return std::make_unique<QuotientNode>(std::move(head), number(denominator));
    }
    const double value = std::fabs(derivative / factorial);
    if (k == 0) {
        negative = false;
        return number(derivative / factorial);
    }
    return term(number(value), t, k);
}

}  // namespace

// taylor(f, x, a, n): the sum of f^(k)(a)/k! * (x-a)^k for k = 0..n; the
// terms are x^k when a is 0. A coefficient that is constant is folded to a
// number, one that is zero is left out, and the sum is simplified.
NodePtr callTaylor(Call& call) {
    if (call.args.size() != 4) return wrongCount(call);
    CommandInterpreter& ci = call.ci;
    Workspace::Scope scope(ci.workspace());
    NodePtr f = ci.parseCommand(call.args[0]);
    if (ci.hasError()) return zero();
    const int x = variableArgument(ci, call.args[1]);
    NodePtr a = ci.parseCommand(call.args[2]);
    if (ci.hasError()) return zero();
    NodePtr n = ci.parseCommand(call.args[3]);
    if (ci.hasError()) return zero();
    double degree = 0.0;
    if (!integerArgument(*n, 0, kMaxTaylorDegree, degree))
        return ci.fail(ErrorCode::ArgumentFormat, call.text, msg::kTaylorDegree);

    const bool aboutZero = a->isConstant() && a->evaluate() == 0.0;
    NodePtr shift = std::make_unique<VariableNode>(x);
    if (!aboutZero) shift = std::make_unique<DifferenceNode>(std::move(shift), a->clone());
    NodePtr sum;
    auto append = [&sum](NodePtr t, bool negative) {
        if (!sum)
            sum = negative ? std::make_unique<NegationNode>(std::move(t)) : std::move(t);
        else if (negative)
            sum = std::make_unique<DifferenceNode>(std::move(sum), std::move(t));
        else
            sum = std::make_unique<SumNode>(std::move(sum), std::move(t));
    };

    // The derivatives share one budget, as the grades of derivate do. One
    // that grows past kMaxDerivativeNodes (a tower like exp(exp(exp(x)))
    // doubles with every degree, and so does a quotient once the budget's
    // simplification is spent) ends the derivatives.
    std::vector<NodePtr> derivatives;
    derivatives.push_back(f->clone());
    bool outgrown = false;
    {
        RewriteBudget::Scope budget(*f, RewriteBudget::Scope::Mode::Derivative);
        for (int k = 1; k <= static_cast<int>(degree) && !outgrown; ++k) {
            NodePtr d = nthDerivative(1, *derivatives.back(), IdList{x});
            outgrown = RewriteBudget::current()->overflowed() ||
                       countNodes(*d, kMaxDerivativeNodes + 1) > kMaxDerivativeNodes;
            derivatives.push_back(std::move(d));
        }
    }
    // Outgrown derivatives, as of 1/(1+x^2) whose denominator squares with
    // every degree: a function of x alone about a number has its
    // coefficients as exact fractions from its power series; any other is
    // refused instead of built for minutes.
    if (outgrown) {
        const std::optional<std::vector<ExactFraction>> exact =
            exactTaylorCoefficients(*f, x, *a, static_cast<int>(degree));
        if (!exact) return ci.fail(ErrorCode::Syntax, call.text, kTooMuchWork);
        for (int k = 0; k < static_cast<int>(exact->size()); ++k) {
            const ExactFraction& c = (*exact)[static_cast<std::size_t>(k)];
            if (c.num == 0) continue;
            const double num = static_cast<double>(c.num);
            const double den = static_cast<double>(c.den);
            bool negative = false;
            NodePtr t = numericTerm(num, den, *shift, k, negative);
            append(std::move(t), negative);
        }
        return sum ? std::move(sum) : number(0.0);
    }

    double factorial = 1.0;
    for (int k = 0; k < static_cast<int>(derivatives.size()); ++k) {
        if (k > 0) factorial *= k;
        NodePtr atPoint = derivatives[static_cast<std::size_t>(k)]->substitute(x, *a);
        NodePtr t;
        bool negative = false;
        if (atPoint->isConstant()) {
            const double derivative = atPoint->evaluate();
            const double value = derivative / factorial;
            if (!isFiniteValue(value))
                return ci.fail(ErrorCode::Domain, call.text,
                               msg::format(msg::kTaylorNotFinite, a->toText()));
            if (value == 0.0) continue;
            t = numericTerm(derivative, factorial, *shift, k, negative);
        } else {
            NodePtr c = simpl(QuotientNode(std::move(atPoint), number(factorial)));
            if (c->isZero()) continue;
            t = k == 0 ? std::move(c) : term(std::move(c), *shift, k);
        }
        append(std::move(t), negative);
    }
    // The terms are simplified each: simplifying their sum would put it
    // over a common denominator, which hides the powers.
    if (!sum) return number(0.0);
    return sum;
}

// sum(f, k, [a..b]): f summed over the integers k = a..b. A summand that
// holds no variable but k gives the number; otherwise the simplified sum of
// the terms. The index keeps the value it had.
NodePtr callSum(Call& call) {
    if (call.args.size() != 3) return wrongCount(call);
    CommandInterpreter& ci = call.ci;
    Workspace::Scope scope(ci.workspace());
    NodePtr f = ci.parseCommand(call.args[0]);
    if (ci.hasError()) return zero();
    const int k = variableArgument(ci, call.args[1]);
    std::optional<IntervalTrees> bounds = parseInterval(ci, call.text, call.args[2]);
    if (!bounds) return zero();
    constexpr double kRange = 9e15;  // integers a double holds exactly
    double lo = 0.0;
    double hi = 0.0;
    if (!integerArgument(*bounds->lower, -kRange, kRange, lo) ||
        !integerArgument(*bounds->upper, -kRange, kRange, hi))
        return ci.fail(ErrorCode::ArgumentFormat, call.text, msg::kSumBoundsNotIntegers);
    if (hi < lo) return number(0.0);
    const double terms = hi - lo + 1.0;
    if (terms > static_cast<double>(kMaxSumTerms))
        return ci.fail(ErrorCode::ArgumentFormat, call.text,
                       msg::format(msg::kSumTooManyTerms, static_cast<int>(kMaxSumTerms)));
    const int count = static_cast<int>(terms);

    if (!f->substitute(k, NumberNode(0.0))->isConstant()) {
        // A tree of the terms: bounded in size before it is built.
        const std::size_t limit = CommandInterpreter::kMaxNodes;
        const std::size_t size = countNodes(*f, limit);
        if (static_cast<double>(size) * terms > static_cast<double>(limit))
            return ci.fail(ErrorCode::Syntax, call.text, msg::kTooLarge);
        NodePtr sum;
        for (int i = 0; i < count; ++i) {
            NodePtr t = f->substitute(k, NumberNode(lo + i));
            sum = sum ? std::make_unique<SumNode>(std::move(sum), std::move(t)) : std::move(t);
        }
        return simpl(*sum);
    }

    if (evaluationCost(*f) * terms > kMaxEvaluationWork)
        return ci.fail(ErrorCode::Syntax, call.text, kTooMuchWork);
    auto& variable = ci.workspace().variables[static_cast<std::size_t>(k)];
    const double kept = variable.value;
    // Compensated summation: a million terms of mixed size keep their digits.
    double total = 0.0;
    double carry = 0.0;
    for (int i = 0; i < count; ++i) {
        variable.value = lo + i;
        const double y = f->evaluate() - carry;
        const double t = total + y;
        carry = (t - total) - y;
        total = t;
    }
    variable.value = kept;
    return number(total);
}

}  // namespace kv
