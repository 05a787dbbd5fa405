// The built-in names of the language and their handlers. A handler receives
// the call taken apart by the parser and returns the call's tree (or records
// an error and returns a ZeroNode).
#pragma once

#include <string_view>
#include <vector>

#include "engine/ExprNode.h"
#include "graphics/GraphObject.h"

namespace kv {

class CommandInterpreter;

struct Call {
    CommandInterpreter& ci;
    std::string_view text;               // the whole call, e.g. "simpl(x+x)"
    std::string_view name;               // the text before the first '('
    std::string_view argText;            // between the first '(' and the last character
    std::vector<std::string_view> args;  // argText split at top-level commas
};

using CallHandler = NodePtr (*)(Call&);

// The handler of a built-in name, or null. User functions are looked up
// before this, so a user function shadows a built-in of the same name.
CallHandler findBuiltin(std::string_view name);
// Every built-in name, in the order they are matched.
std::vector<std::string_view> builtinNames();

// Reports that a built-in command is not available in this build.
NodePtr notAvailable(Call& call);

// Elementary functions (sin, cos, ..., sqrt, rnd).
NodePtr callElementary(Call& call);

// Calculus and algebra calls.
NodePtr callNintegrate(Call& call);
NodePtr callDerivate(Call& call);
NodePtr callNsolve(Call& call);
NodePtr callSubst(Call& call);
NodePtr callSolve(Call& call);
NodePtr callTogether(Call& call);
NodePtr callSimpl(Call& call);
NodePtr callExpandall(Call& call);
NodePtr callLim(Call& call);
NodePtr callEval(Call& call);
NodePtr callGcd(Call& call);
NodePtr callLcm(Call& call);
NodePtr callTaylor(Call& call);
NodePtr callSum(Call& call);

// Graph and scene commands.
// What a graph's build reads its texts with: parseCommand of `ci`, null when
// the text records an error.
ParseText commandParser(CommandInterpreter& ci);
NodePtr callCurve(Call& call);
NodePtr callSurface(Call& call);
NodePtr callIcurve(Call& call);
NodePtr callIsurface(Call& call);
NodePtr callRotsurface(Call& call);
NodePtr callLineWidth(Call& call);
NodePtr callBgColor(Call& call);
NodePtr callRemoveGraph(Call& call);
NodePtr callClearGraphs(Call& call);

// Table commands.
NodePtr callRemoveUserFunc(Call& call);
NodePtr callClearUserFuncs(Call& call);

}  // namespace kv
