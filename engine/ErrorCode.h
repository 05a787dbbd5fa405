// The codes of the error record (Workspace::error). The console prints only
// the message; the codes tell callers and tests what kind of error it was.
#pragma once

namespace kv {

enum class ErrorCode : int {
    None = 0,
    // A wrong argument count, a non-constant or invalid list index, a colour
    // with the wrong number of parts.
    Arguments = 1,
    // Every graph command failure, and a limit that cannot be found.
    Graph = 2,
    // A malformed interval, option, limit point or evaluation point.
    ArgumentFormat = 6,
    UnbalancedParentheses = 8,
    Syntax = 9,
    EmptyOperand = 11,
    DivisionByZero = 12,
    // A constant argument outside a function's domain.
    Domain = 13,
};

}  // namespace kv
