// The table of built-in names, in the order they are matched, and the
// elementary functions.
#include "lang/Builtins.h"

#include <cmath>

#include "engine/ScalarOps.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"

namespace kv {

namespace {

struct Builtin {
    std::string_view name;
    CallHandler handler;
};

constexpr Builtin kBuiltins[] = {
    {"sinh", callElementary},
    {"asin", callElementary},
    {"acos", callElementary},
    {"sin", callElementary},
    {"cos", callElementary},
    {"fact", callElementary},
    {"exp", callElementary},
    {"ln", callElementary},
    {"sign", callElementary},
    {"abs", callElementary},
    {"rnd", callElementary},
    {"sqrt", callElementary},
    {"cosh", callElementary},
    {"atan", callElementary},
    {"log", callElementary},
    {"log2", callElementary},
    {"tan", callElementary},
    {"tanh", callElementary},
    {"nintegrate", callNintegrate},
    {"derivate", callDerivate},
    {"nsolve", callNsolve},
    {"subst", callSubst},
    {"solve", callSolve},
    {"together", callTogether},
    {"simpl", callSimpl},
    {"expandall", callExpandall},
    {"lim", callLim},
    {"eval", callEval},
    {"gcd", callGcd},
    {"lcm", callLcm},
    {"taylor", callTaylor},
    {"sum", callSum},
    {"curve", callCurve},
    {"surface", callSurface},
    {"icurve", callIcurve},
    {"isurface", callIsurface},
    {"rotsurface", callRotsurface},
    {"line_width", callLineWidth},
    {"bg_color", callBgColor},
    {"remove_graph", callRemoveGraph},
    {"clear_graphs", callClearGraphs},
    {"remove_user_func", callRemoveUserFunc},
    {"clear_user_funcs", callClearUserFuncs},
};

// The kind of an elementary function name of the table above (rnd apart).
Kind elementaryKind(std::string_view name) {
    Kind kind = Kind::Sqrt;
    functionKind(name, kind);
    return kind;
}

// The message of a constant argument outside the domain of `kind`, or null
// when the function is defined for every argument: ln, log, log2 and sqrt
// are checked when the line is parsed.
const char* domainMessage(Kind kind) {
    switch (kind) {
        case Kind::Ln:
            return msg::kLnDomain;
        case Kind::Log:
        case Kind::LogBase:
            return msg::kLogDomain;
        case Kind::Log2:
            return msg::kLog2Domain;
        case Kind::Sqrt:
            return msg::kSqrtDomain;
        default:
            return nullptr;
    }
}

// Refuses a constant argument at which the function has no finite value (a
// logarithm with a base is judged by its argument, as ln is).
bool outsideDomain(Call& call, Kind kind, const ExprNode& arg) {
    const char* pattern = domainMessage(kind);
    if (!pattern || !arg.isConstant()) return false;
    const double v = scalarOpOf(kind == Kind::LogBase ? Kind::Ln : kind, arg.evaluate());
    if (isFiniteValue(v)) return false;
    call.ci.fail(ErrorCode::Domain, call.text, msg::format(pattern, arg.toText()));
    return true;
}

}  // namespace

std::vector<std::string_view> builtinNames() {
    std::vector<std::string_view> names;
    for (const Builtin& b : kBuiltins) names.push_back(b.name);
    return names;
}

CallHandler findBuiltin(std::string_view name) {
    for (const Builtin& b : kBuiltins)
        if (b.name == name) return b.handler;
    return nullptr;
}

NodePtr notAvailable(Call& call) {
    return call.ci.fail(ErrorCode::Syntax, call.text,
                        msg::format(msg::kNotAvailable, std::string(call.name)));
}

// One argument, parsed as an expression; log also takes two, log(b, x),
// the base first as the text form writes it. A constant argument outside
// the domain of ln, log, log2 or sqrt is refused when the line is parsed.
NodePtr callElementary(Call& call) {
    if (call.name == "rnd") return std::make_unique<RndNode>();
    const int n = static_cast<int>(call.args.size());
    const bool withBase = n == 2 && call.name == "log";
    if (n != 1 && !withBase)
        return call.ci.fail(ErrorCode::Arguments, call.text,
                            msg::format(msg::kWrongArgumentCount, std::string(call.name), n));
    NodePtr base;
    if (withBase) {
        base = call.ci.parseExpression(call.args[0]);
        if (call.ci.hasError()) return zero();
    }
    NodePtr arg = call.ci.parseExpression(call.args[withBase ? 1 : 0]);
    if (call.ci.hasError()) return zero();
    const Kind kind = withBase ? Kind::LogBase : elementaryKind(call.name);
    if (outsideDomain(call, kind, *arg)) return zero();
    if (withBase) return std::make_unique<LogBaseNode>(std::move(arg), std::move(base));
    return makeFunction(kind, std::move(arg));
}

}  // namespace kv
