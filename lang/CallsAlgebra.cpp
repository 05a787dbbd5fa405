// The algebra calls: simpl, together, expandall, derivate, subst, eval.
//
// Argument texts are parsed with parseCommand (which clears the error record
// first), except those of subst, which are parsed with parseExpression. After
// every parse the error record is tested; on an error the call yields the
// placeholder and the error reaches the console unchanged.
#include <cmath>
#include <optional>
#include <string>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "engine/TextScan.h"
#include "engine/TreeRebuild.h"
#include "lang/AlgebraCallMessages.h"
#include "lang/Builtins.h"
#include "lang/CallArguments.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"

namespace kv {

namespace {

// The highest derivative grade=N may ask for; each grade differentiates the
// previous result again, so the work grows with it.
constexpr int kMaxDerivativeGrade = 100;

int argumentCount(const Call& call) {
    return static_cast<int>(call.args.size());
}

// A variable argument: a name, blanks removed, registered when new. An empty
// name is refused (it would make a variable that prints as nothing).
int variableArgument(Call& call, std::string_view text) {
    std::string name = removeBlanks(text);
    if (name.empty()) {
        call.ci.fail(ErrorCode::EmptyOperand, call.text, msg::kEmptyOperand);
        return -1;
    }
    return call.ci.workspace().variableIndex(name);
}

// Removes one pair of brackets that encloses the whole text.
std::string_view stripOneBracketPair(std::string_view text) {
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') return text;
    int depth = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '[') ++depth;
        if (text[i] == ']' && --depth == 0) return text;  // closes before the end
    }
    return text.substr(1, text.size() - 2);
}

// One-argument calls: the whole argument text is the expression.
template <class Transform>
NodePtr transformArgument(Call& call, Transform transform) {
    Workspace::Scope scope(call.ci.workspace());
    NodePtr arg = call.ci.parseCommand(call.argText);
    if (call.ci.hasError()) return zero();
    return transform(*arg);
}

}  // namespace

NodePtr callSimpl(Call& call) {
    return transformArgument(call, [](const ExprNode& t) { return simpl(t); });
}

NodePtr callTogether(Call& call) {
    return transformArgument(call, [](const ExprNode& t) { return t.together(); });
}

NodePtr callExpandall(Call& call) {
    return transformArgument(call, [](const ExprNode& t) { return t.expandall(); });
}

// derivate(f, x), derivate(f, [x, y, ...]), derivate(f, [x], grade=N): the
// first derivative along the first listed variable. The third argument is
// accepted and not used.
NodePtr callDerivate(Call& call) {
    Workspace::Scope scope(call.ci.workspace());
    const int n = argumentCount(call);
    if (n != 2 && n != 3)
        return call.ci.fail(ErrorCode::Arguments, call.text,
                            msg::format(msg::kDerivateArgumentCount, n));
    NodePtr f = call.ci.parseCommand(call.args[0]);
    if (call.ci.hasError()) return zero();

    std::string_view list = call.args[1];
    while (!list.empty() && list.front() == '[') list.remove_prefix(1);
    while (!list.empty() && list.back() == ']') list.remove_suffix(1);
    std::vector<std::string_view> names = splitTopLevel(list, ",");
    int x = variableArgument(call, names.empty() ? std::string_view() : names[0]);
    if (x < 0) return zero();

    // A third argument grade=N asks for the N-th derivative (the Derivace
    // dialog writes it); any other third argument is ignored.
    int grade = 1;
    if (n == 3) {
        std::optional<OptionText> option = splitOption(call.args[2]);
        if (option && option->name == "grade") {
            NodePtr value = call.ci.parseCommand(option->value);
            if (call.ci.hasError()) return zero();
            const double g = value->isConstant() ? value->evaluate() : 0.0;
            if (!(g >= 1 && g <= kMaxDerivativeGrade) || g != std::trunc(g))
                return call.ci.fail(ErrorCode::ArgumentFormat, call.text,
                                    msg::format(msg::kDerivativeGrade, kMaxDerivativeGrade));
            grade = static_cast<int>(g);
        }
    }
    // The derivative's budget, opened here to learn whether it gave up.
    RewriteBudget::Scope budget(*f, RewriteBudget::Scope::Mode::Derivative);
    NodePtr d = nthDerivative(grade, *f, IdList{x});
    if (RewriteBudget::current()->overflowed())
        return call.ci.fail(ErrorCode::Syntax, call.text, msg::kTooLarge);
    return d;
}

// subst(f, x, r): f with every x replaced by a copy of r.
NodePtr callSubst(Call& call) {
    Workspace::Scope scope(call.ci.workspace());
    const int n = argumentCount(call);
    if (n != 3)
        return call.ci.fail(ErrorCode::Arguments, call.text,
                            msg::format(msg::kSubstArgumentCount, n));
    NodePtr f = call.ci.parseExpression(call.args[0]);
    if (call.ci.hasError()) return zero();
    int x = variableArgument(call, call.args[1]);
    if (x < 0) return zero();
    NodePtr r = call.ci.parseExpression(call.args[2]);
    if (call.ci.hasError()) return zero();

    // Refuse before building a tree too large to hold.
    const std::size_t limit = CommandInterpreter::kMaxNodes;
    const std::size_t size = countNodes(*f, limit);
    const std::size_t uses = countOccurrences(*f, x);
    const std::size_t replacement = countNodes(*r, limit);
    if (size + uses * replacement > limit)
        return call.ci.fail(ErrorCode::Syntax, call.text, msg::kTooLarge);
    return f->substitute(x, *r);
}

// eval(f) or eval(f, x=3) or eval(f, [x=3, y=2]): the value of f, after the
// variables of the point are set (they stay set).
NodePtr callEval(Call& call) {
    Workspace::Scope scope(call.ci.workspace());
    Workspace& ws = call.ci.workspace();
    const int n = argumentCount(call);
    if (n != 1 && n != 2)
        return call.ci.fail(ErrorCode::Arguments, call.text,
                            msg::format(msg::kEvalArgumentCount, n));
    NodePtr f = call.ci.parseCommand(call.args[0]);
    if (call.ci.hasError()) return zero();

    if (n == 2) {
        std::string point = removeBlanks(call.args[1]);
        for (std::string_view part : splitTopLevel(stripOneBracketPair(point), ",")) {
            std::vector<std::string_view> sides = splitTopLevel(part, "=");
            if (sides.size() != 2 || sides[0].empty())
                return call.ci.fail(ErrorCode::ArgumentFormat, call.text,
                                    msg::kInvalidEvaluationPoint);
            const int row = ws.variableIndex(sides[0]);
            NodePtr value = call.ci.parseCommand(sides[1]);
            if (call.ci.hasError()) return zero();
            const double v = value->evaluate();
            ws.variables[static_cast<std::size_t>(row)].value = v;
        }
    }
    return f->toNumber();
}

}  // namespace kv
