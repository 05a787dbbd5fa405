// Random expressions from a small grammar, written as the user would type
// them: leaves, + - * / ^ with a few exponents, negation and functions, every
// operand in parentheses. The grammar's words are the caller's.
#pragma once

#include <string>
#include <vector>

#include "support/Random.h"

namespace kv::test {

struct ExpressionGrammar {
    std::vector<const char*> leaves;
    std::vector<const char*> functions;
    std::vector<const char*> exponents;
};

inline std::string randomExpression(Random& r, int depth, const ExpressionGrammar& g) {
    auto pick = [&r](const std::vector<const char*>& words) {
        return std::string(
            words[static_cast<std::size_t>(r.below(static_cast<int>(words.size())))]);
    };
    if (depth == 0 || r.below(10) < 2) return pick(g.leaves);
    auto sub = [&] { return "(" + randomExpression(r, depth - 1, g) + ")"; };
    switch (r.below(12)) {
        case 0:
        case 1:
            return sub() + "+" + sub();
        case 2:
        case 3:
            return sub() + "-" + sub();
        case 4:
        case 5:
            return sub() + "*" + sub();
        case 6:
            return sub() + "/" + sub();
        case 7:
            return sub() + "^" + pick(g.exponents);
        case 8:
            return "-" + sub();
        default:
            return pick(g.functions) + sub();
    }
}

}  // namespace kv::test
