// The solving calls: lim, solve, nsolve, nintegrate, gcd, lcm. Each takes its
// argument texts apart, checks them, hands them to the algorithms and returns
// the call's tree; on an error it records it and returns a ZeroNode.
#include <cmath>

#include "algebra/Algebra.h"
#include "algebra/IntegerFunctions.h"
#include "algebra/Solving.h"
#include "engine/EvaluationCost.h"
#include "engine/Quadrature.h"
#include "engine/TextScan.h"
#include "lang/Builtins.h"
#include "lang/CallArguments.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/SolvingCallMessages.h"

namespace kv {

namespace {

constexpr ErrorCode kCountError = ErrorCode::Arguments;

NodePtr wrongCount(Call& call) {
    return call.ci.fail(kCountError, call.text,
                        msg::format(msg::kWrongArgumentCount, std::string(call.name),
                                    static_cast<int>(call.args.size())));
}

NodePtr formatError(Call& call, std::string message) {
    return call.ci.fail(kArgumentFormatError, call.text, std::move(message));
}

// An equation lhs=rhs becomes lhs - rhs; any other text is the expression
// itself. Null on a parse error (left in the record).
NodePtr parseEquation(CommandInterpreter& ci, std::string_view text) {
    std::vector<std::string_view> sides = splitTopLevel(text, "=");
    if (sides.size() == 2) {
        NodePtr lhs = ci.parseCommand(sides[0]);
        if (ci.hasError()) return nullptr;
        NodePtr rhs = ci.parseCommand(sides[1]);
        if (ci.hasError()) return nullptr;
        return std::make_unique<DifferenceNode>(std::move(lhs), std::move(rhs));
    }
    NodePtr f = ci.parseCommand(text);
    if (ci.hasError()) return nullptr;
    return f;
}

}  // namespace

// lim(f, x->a), lim(f, x->a+), lim(f, x->a-), lim(f, [x->a, y->b]).
NodePtr callLim(Call& call) {
    if (call.args.size() != 2) return wrongCount(call);
    CommandInterpreter& ci = call.ci;
    NodePtr f = ci.parseCommand(call.args[0]);
    if (ci.hasError()) return zero();

    std::string pointText = removeBlanks(call.args[1]);
    LimitRequest request;
    if (!pointText.empty() && pointText.back() == '-') {
        request.direction = -1;
        pointText.pop_back();
    } else if (!pointText.empty() && pointText.back() == '+') {
        request.direction = 1;
        pointText.pop_back();
    }
    std::string_view inner = stripOuterParentheses(pointText, '[', ']');
    std::vector<std::string_view> items = splitTopLevel(inner, ",");
    if (items.empty()) return formatError(call, msg::kLimitNoVariable);
    for (std::string_view item : items) {
        std::vector<std::string_view> parts = splitTopLevel(item, "->");
        if (parts.size() != 2) return formatError(call, msg::kLimitBadVariable);
        int row = variableArgument(ci, parts[0]);
        NodePtr point = ci.parseCommand(parts[1]);
        if (ci.hasError()) return zero();
        request.variables.push_back(row);
        request.points.push_back(std::move(point));
    }
    // A one-sided limit in several variables has no meaning.
    if (items.size() >= 2) request.direction = 0;

    LimitResult result = computeLimit(*f, request);
    if (ci.hasError()) {
        ci.workspace().error.text = std::string(call.text);
        return zero();
    }
    return simpl(*result.value);
}

// solve(lhs=rhs, x) or solve(f, x).
NodePtr callSolve(Call& call) {
    if (call.args.size() != 2) return wrongCount(call);
    CommandInterpreter& ci = call.ci;
    NodePtr f = parseEquation(ci, call.args[0]);
    if (!f) return zero();
    int row = variableArgument(ci, call.args[1]);
    bool tooMuchWork = false;
    OwnedNodeList roots = solveRoots(*f, row, tooMuchWork);
    if (tooMuchWork) return ci.fail(ErrorCode::Syntax, call.text, kTooMuchWork);
    return std::make_unique<ListNode>(std::move(roots));
}

// nsolve(lhs=rhs, x, [a..b]) with the options epsilon= and h= in any order.
NodePtr callNsolve(Call& call) {
    const std::size_t n = call.args.size();
    if (n < 3 || n > 5) return wrongCount(call);
    CommandInterpreter& ci = call.ci;
    NodePtr f = parseEquation(ci, call.args[0]);
    if (!f) return zero();
    RootRequest request;
    request.variable = variableArgument(ci, call.args[1]);
    std::optional<IntervalTrees> bounds = parseInterval(ci, call.text, call.args[2]);
    if (!bounds) return zero();

    for (std::size_t i = 3; i < n; ++i) {
        std::optional<OptionText> option = splitOption(call.args[i]);
        if (!option) continue;
        const bool isEpsilon = option->name == "epsilon";
        const bool isStep = option->name == "h";
        if (!isEpsilon && !isStep) continue;
        NodePtr value = ci.parseCommand(option->value);
        if (ci.hasError()) return zero();
        if (!value->isConstant())
            return formatError(call, isEpsilon ? msg::kEpsilonNotConstant : msg::kStepNotConstant);
        (isEpsilon ? request.epsilon : request.h) = value->evaluate();
    }

    // Requests the scan could not finish, or could only finish after hours,
    // are refused here.
    if (!(request.epsilon > 0.0) || !std::isfinite(request.epsilon))
        return formatError(call, msg::kEpsilonNotPositive);
    if (!(request.h > 0.0) || !std::isfinite(request.h))
        return formatError(call, msg::kStepNotPositive);
    double a = bounds->lower->evaluate();
    double b = bounds->upper->evaluate();
    if (!std::isfinite(a) || !std::isfinite(b)) return formatError(call, msg::kBoundsNotFinite);
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    const double magnitude = std::max(std::fabs(lo), std::fabs(hi));
    if (magnitude + request.h == magnitude) return formatError(call, msg::kStepTooSmall);
    if (!((hi - lo) / request.h <= kMaxScanSteps))
        return formatError(call,
                           msg::format(msg::kTooManyScanSteps, static_cast<int>(kMaxScanSteps)));
    // Each step evaluates f twice, and the search for roots without a sign
    // change scans f' the same way; a large f makes every step costly.
    if ((hi - lo) / request.h * kScanEvaluationsPerStep * evaluationCost(*f) > kMaxEvaluationWork)
        return formatError(call, kTooMuchWork);

    IntervalSet zeros = findZeros(*f, IntervalSet(lo, hi), request);
    auto list = std::make_unique<ListNode>();
    for (const Interval& in : zeros.intervals()) list->append(number(0.5 * (in.lo + in.hi)));
    return list;
}

// nintegrate(f, x, [a..b]) or nintegrate(f, x, [a..b], n=N): an integral node
// whose pair count is N/2 (N = 50 by default); the console evaluates it.
NodePtr callNintegrate(Call& call) {
    const std::size_t n = call.args.size();
    if (n != 3 && n != 4) return wrongCount(call);
    CommandInterpreter& ci = call.ci;
    NodePtr f = ci.parseCommand(call.args[0]);
    if (ci.hasError()) return zero();
    int row = variableArgument(ci, call.args[1]);
    std::optional<IntervalTrees> bounds = parseInterval(ci, call.text, call.args[2]);
    if (!bounds) return zero();

    NodePtr divisions = number(50.0);
    if (n == 4) {
        std::optional<OptionText> option = splitOption(call.args[3]);
        if (option && option->name == "n") {
            divisions = ci.parseExpression(option->value);
            if (ci.hasError()) return zero();
        }
    }
    // A constant division count is checked now; evaluation clamps any other
    // to the same bound.
    if (divisions->isConstant()) {
        double d = divisions->evaluate();
        if (std::isnan(d)) return formatError(call, msg::kDivisionsNotFinite);
        if (std::trunc(d / 2.0) > static_cast<double>(kMaxSimpsonPairs))
            return formatError(
                call, msg::format(msg::kTooManyDivisions, static_cast<int>(2 * kMaxSimpsonPairs)));
    }
    NodePtr pairs = std::make_unique<QuotientNode>(std::move(divisions), number(2.0));
    auto integral = std::make_unique<NIntegrateNode>(
        std::move(f), std::move(bounds->lower), std::move(bounds->upper),
        std::make_unique<VariableNode>(row), std::move(pairs));
    // Many divisions of a large integrand, or integrals inside integrals,
    // could take hours.
    if (evaluationCost(*integral) > kMaxEvaluationWork) return formatError(call, kTooMuchWork);
    return integral;
}

namespace {

// gcd and lcm: every argument parsed, evaluated and truncated toward zero,
// folded from the left.
NodePtr integerCall(Call& call, IntegerResult (*fold)(const std::vector<double>&)) {
    CommandInterpreter& ci = call.ci;
    std::vector<double> values;
    for (std::string_view arg : call.args) {
        NodePtr t = ci.parseExpression(arg);
        if (ci.hasError()) return zero();
        values.push_back(t->evaluate());
    }
    IntegerResult r = fold(values);
    const std::string name(call.name);
    switch (r.status) {
        case IntegerStatus::Ok:
            return number(r.value);
        case IntegerStatus::NotFinite:
            return formatError(call, msg::format(msg::kIntegerNotFinite, name));
        case IntegerStatus::OutOfRange:
            return formatError(call, msg::format(msg::kIntegerOutOfRange, name));
        case IntegerStatus::Overflow:
            return formatError(call, msg::kLcmOverflow);
    }
    return zero();
}

}  // namespace

NodePtr callGcd(Call& call) {
    return integerCall(call, gcdOf);
}
NodePtr callLcm(Call& call) {
    return integerCall(call, lcmOf);
}

}  // namespace kv
