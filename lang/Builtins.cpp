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
    {"curve", callCurve},
    {"surface", callSurface},
    {"icurve", callIcurve},
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

}  // namespace

CallHandler findBuiltin(std::string_view name) {
    for (const Builtin& b : kBuiltins)
        if (b.name == name) return b.handler;
    return nullptr;
}

NodePtr notAvailable(Call& call) {
    return call.ci.fail(ErrorCode::Syntax, call.text,
                        msg::format(msg::kNotAvailable, std::string(call.name)));
}

// One argument, parsed as an expression. A constant argument outside the
// domain of ln or sqrt is refused when the line is parsed.
NodePtr callElementary(Call& call) {
    if (call.name == "rnd") return std::make_unique<RndNode>();
    const int n = static_cast<int>(call.args.size());
    if (n != 1) {
        std::string pattern = "Funkce '" + std::string(call.name) + "' nebere %d parametrů!";
        return call.ci.fail(ErrorCode::Arguments, call.text, msg::format(pattern.c_str(), n));
    }
    NodePtr arg = call.ci.parseExpression(call.args[0]);
    if (call.ci.hasError()) return zero();
    Kind kind = elementaryKind(call.name);
    if ((kind == Kind::Ln || kind == Kind::Sqrt) && arg->isConstant()) {
        double u = arg->evaluate();
        double v = scalarOpOf(kind, u);
        if (!isFiniteValue(v)) {
            const char* pattern = kind == Kind::Ln ? msg::kLnDomain : msg::kSqrtDomain;
            return call.ci.fail(ErrorCode::Domain, call.text, msg::format(pattern, arg->toText()));
        }
    }
    return makeFunction(kind, std::move(arg));
}

}  // namespace kv
