// The parser: the text of a command is split again and again at the operator
// of lowest precedence outside all parentheses, and the pieces are parsed
// the same way. Definitions, built-in calls and graph commands are rules of
// the same chain, so a command is carried out when its text is parsed.
//
// Chains of one operator (a+b+c, a*b*c, 2.5.5x, ...) are built in a loop
// rather than by recursion on the left part: the tree is the same
// left-leaning one the rules describe, but a long sum cannot exhaust the stack.
#include <cmath>

#include "engine/DepthGuard.h"
#include "engine/TextScan.h"
#include "lang/Builtins.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"

namespace kv {

namespace {

enum class Split { None, AtOperator, AfterParen };

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the ')' at position i ends a "(+-)" that stands at the start of
// the text or after an operator, where it can only be the prefix: a*(+-)x is
// a times (+-)x, as -(+-)x/2 is the negation of (+-)x over 2. After a name
// the parentheses are a call's (rnd(+-)x is rnd() times x).
bool closesPlusMinusPrefix(std::string_view t, std::size_t i) {
    if (i < 3 || t.substr(i - 3, 4) != "(+-)") return false;
    if (i == 3) return true;
    const char before = t[i - 4];
    return before == '+' || before == '-' || before == '*' || before == '/' || before == '^';
}

// Whether the '+' or '-' at position i is the sign of a number's exponent,
// as in 1e-5 or x-2.5E+3: it follows an 'e' or 'E' that ends a mantissa of
// digits (with an optional '.' and fraction), a digit follows it, and the
// mantissa starts the text or follows an operator, '(', '[', ',', '=' or the
// prefix "(+-)". So the program reads back the small numbers it prints, while
// 2e-x, xe-5 and e-5 are still differences.
bool isExponentSign(std::string_view t, std::size_t i, std::size_t end) {
    if (i < 2 || i + 1 >= end || !isDigit(t[i + 1])) return false;
    if (t[i - 1] != 'e' && t[i - 1] != 'E') return false;
    std::size_t start = i - 1;
    std::size_t digits = 0;
    while (start > 0 && isDigit(t[start - 1])) --start, ++digits;
    if (start > 0 && t[start - 1] == '.') {
        --start;
        while (start > 0 && isDigit(t[start - 1])) --start, ++digits;
    }
    if (digits == 0) return false;
    if (start == 0) return true;
    if (start >= 4 && t.substr(start - 4, 4) == "(+-)") return true;
    switch (t[start - 1]) {
        case '+':
        case '-':
        case '*':
        case '/':
        case '^':
        case '(':
        case '[':
        case ',':
        case '=':
            return true;
        default:
            return false;
    }
}

// Whether position i splits the prefix [0, end) of a chain of `kind`.
// depthBefore[i] counts the parentheses open before position i.
Split classify(Kind kind, std::string_view t, std::size_t i, std::size_t end,
               const std::vector<int>& depthBefore) {
    int d = depthBefore[i];
    switch (kind) {
        case Kind::Sum:
            return d == 0 && t[i] == '+' && !isExponentSign(t, i, end) ? Split::AtOperator
                                                                       : Split::None;
        case Kind::Difference:
            return d == 0 && t[i] == '-' && !isExponentSign(t, i, end) ? Split::AtOperator
                                                                       : Split::None;
        case Kind::Quotient:
            return d == 0 && t[i] == '/' ? Split::AtOperator : Split::None;
        case Kind::Power:
            return d == 0 && t[i] == '^' ? Split::AtOperator : Split::None;
        case Kind::Product:
            if (d == 0 && t[i] == '*') return Split::AtOperator;
            // A ')' closing a group at depth 0, not last, and followed by
            // neither '^' nor '/': implicit multiplication, as in (a+b)c.
            // The ')' of the prefix "(+-)" is the prefix's own: (+-)x is the
            // plus-minus of x, as the limits print it.
            if (d == 1 && t[i] == ')' && i + 1 < end && t[i + 1] != '^' && t[i + 1] != '/' &&
                !closesPlusMinusPrefix(t, i))
                return Split::AfterParen;
            return Split::None;
        default:
            return Split::None;
    }
}

}  // namespace

NodePtr CommandInterpreter::fail(ErrorCode code, std::string_view text, std::string message) {
    ws_.setError(code, text, std::move(message));
    return zero();
}

NodePtr CommandInterpreter::parseCommand(std::string_view text) {
    Workspace::Scope scope(ws_);
    ws_.clearError();
    if (text.size() > kMaxCommandLength)
        return fail(ErrorCode::Syntax, text.substr(0, 64), msg::kTooLong);
    std::string compact = removeBlanks(text);
    if (recursion_ == 0) {
        lineNodes_ = 0;
        // Deep nesting is refused before any recursion starts.
        int balance = 0;
        for (char c : compact) balance += (c == '(') - (c == ')');
        if (balance == 0 && significantNesting(compact) > kMaxNesting)
            return fail(ErrorCode::Syntax, std::string_view(compact).substr(0, 64), msg::kTooDeep);
    }
    return parseExpression(compact);
}

NodePtr CommandInterpreter::parseExpression(std::string_view text) {
    Workspace::Scope scope(ws_);
    DepthGuard guard(recursion_);
    if (!guard.within(kMaxRecursion) || treeDepth_ > kMaxTreeDepth)
        return fail(ErrorCode::Syntax, text.substr(0, 64), msg::kTooDeep);

    // Rule 1: an empty text (also a missing operand).
    if (text.empty()) return fail(ErrorCode::EmptyOperand, text, msg::kEmptyOperand);

    // Rule 2: parenthesis balance.
    int balance = 0;
    for (char c : text) balance += (c == '(') - (c == ')');
    if (balance > 0)
        return fail(ErrorCode::UnbalancedParentheses, text,
                    msg::format(msg::kExpectedClose, balance));
    if (balance < 0)
        return fail(ErrorCode::UnbalancedParentheses, text,
                    msg::format(msg::kUnexpectedClose, -balance));

    // Rule 3: a definition name=expression.
    {
        auto parts = splitTopLevel(text, "=");
        if (parts.size() == 2) return define(text, parts[0], parts[1]);
        if (parts.size() >= 3) return fail(ErrorCode::Syntax, text, msg::kInvalidSyntax);
    }

    // Rules 4 and 5: outer parentheses, leading plus signs. What remains
    // empty is a missing operand, as an empty text is.
    text = stripOuterParentheses(text, '(', ')');
    while (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return fail(ErrorCode::EmptyOperand, text, msg::kEmptyOperand);

    std::vector<int> depthBefore(text.size() + 1, 0);
    for (std::size_t i = 0; i < text.size(); ++i)
        depthBefore[i + 1] = depthBefore[i] + (text[i] == '(') - (text[i] == ')');

    // Rules 6 to 9: sum, difference, product, quotient. The rightmost split
    // is the root; the left part is split again the same way.
    for (Kind kind : {Kind::Sum, Kind::Difference, Kind::Product, Kind::Quotient}) {
        std::vector<Segment> reversed;
        std::size_t end = text.size();
        for (std::size_t i = end; i-- > 1;) {
            if (i >= end) continue;
            Split s = classify(kind, text, i, end, depthBefore);
            if (s == Split::None) continue;
            reversed.push_back({i + 1, end});
            end = (s == Split::AtOperator) ? i : i + 1;
        }
        if (reversed.empty()) continue;
        std::vector<Segment> operands{{0, end}};
        operands.insert(operands.end(), reversed.rbegin(), reversed.rend());
        return parseChain(text, kind, operands);
    }
    return parseAfterOperators(text);
}

// Parses the operands right to left (stopping at the first error), then
// joins them left to right. A quotient whose denominator is a structural zero
// fails with the text of the left part that it closes.
NodePtr CommandInterpreter::parseChain(std::string_view text, Kind kind,
                                       const std::vector<Segment>& operands) {
    const int links = static_cast<int>(operands.size()) - 1;
    DepthGuard depth(treeDepth_, links);
    if (!depth.within(kMaxTreeDepth))
        return fail(ErrorCode::Syntax, text.substr(0, 64), msg::kTooDeep);
    std::vector<NodePtr> trees(operands.size());
    for (std::size_t k = operands.size(); k-- > 0;) {
        const Segment& s = operands[k];
        trees[k] = parseExpression(text.substr(s.begin, s.end - s.begin));
        if (hasError()) return zero();
    }
    NodePtr acc = std::move(trees[0]);
    for (std::size_t k = 1; k < trees.size(); ++k) {
        if (kind == Kind::Quotient && trees[k]->isZero())
            return fail(ErrorCode::DivisionByZero, text.substr(0, operands[k].end),
                        msg::kDivisionByZero);
        acc = makeBinary(kind, std::move(acc), std::move(trees[k]));
    }
    return acc;
}

// Rules 10 to 18, for a text with no top-level sum, difference, product or
// quotient.
NodePtr CommandInterpreter::parseAfterOperators(std::string_view text) {
    // Rule 10: unary minus, -a^2 is -(a^2).
    if (text.front() == '-') {
        NodePtr operand = parseExpression(text.substr(1));
        if (hasError()) return zero();
        return std::make_unique<NegationNode>(std::move(operand));
    }

    // Rule 11: a leading number followed by something other than '^' or '!'
    // multiplies it: 2x, 3sin(x), 2(x+1). A run of such numbers (2.5.5x) is
    // taken in a loop; the products lean to the right as the rule builds them.
    {
        std::vector<double> factors;
        std::string_view rest = text;
        while (!rest.empty() && rest.front() != '(') {
            std::size_t len = decimalPrefixLength(rest);
            if (len == 0 || len >= rest.size() || rest[len] == '^' || rest[len] == '!') break;
            factors.push_back(readDecimal(rest.substr(0, len)));
            rest.remove_prefix(len);
        }
        if (!factors.empty()) {
            DepthGuard depth(treeDepth_, static_cast<int>(factors.size()));
            if (!depth.within(kMaxTreeDepth))
                return fail(ErrorCode::Syntax, text.substr(0, 64), msg::kTooDeep);
            NodePtr acc = parseExpression(rest);
            if (hasError()) return zero();
            for (std::size_t k = factors.size(); k-- > 0;)
                acc = std::make_unique<ProductNode>(number(factors[k]), std::move(acc));
            return acc;
        }
    }

    // Rule 12: power, left-associative: x^2^3 is (x^2)^3.
    {
        std::vector<int> depthBefore(text.size() + 1, 0);
        for (std::size_t i = 0; i < text.size(); ++i)
            depthBefore[i + 1] = depthBefore[i] + (text[i] == '(') - (text[i] == ')');
        std::vector<Segment> reversed;
        std::size_t end = text.size();
        for (std::size_t i = end; i-- > 1;) {
            if (i >= end) continue;
            if (classify(Kind::Power, text, i, end, depthBefore) == Split::None) continue;
            reversed.push_back({i + 1, end});
            end = i;
        }
        if (!reversed.empty()) {
            std::vector<Segment> operands{{0, end}};
            operands.insert(operands.end(), reversed.rbegin(), reversed.rend());
            return parseChain(text, Kind::Power, operands);
        }
    }

    // Rule 13: the plus-minus prefix.
    if (text.substr(0, 4) == "(+-)") {
        NodePtr operand = parseExpression(text.substr(4));
        if (hasError()) return zero();
        return std::make_unique<PlusMinusNode>(std::move(operand));
    }

    // Rule 14: user functions and built-in calls.
    if (NodePtr call = parseCallForm(text)) return call;

    // Rules 15 and 16: a named constant, then a known variable.
    if (int row = ws_.findConstant(text); row >= 0) return std::make_unique<ConstantNode>(row);
    if (int row = ws_.findVariable(text); row >= 0) return std::make_unique<VariableNode>(row);

    // Rule 17: a number; the whole text "inf" is +infinity.
    if (decimalPrefixLength(text) == text.size()) return number(readDecimal(text));
    if (text == "inf") return number(HUGE_VAL);

    return parseUnknownName(text);
}

// Rule 14: name(arguments). Returns null when the name is neither a user
// function nor a built-in.
NodePtr CommandInterpreter::parseCallForm(std::string_view text) {
    std::size_t open = text.find('(');
    std::string_view name = text.substr(0, open);
    std::string_view argText;
    if (open != std::string_view::npos && open + 1 < text.size())
        argText = text.substr(open + 1, text.size() - open - 2);
    std::vector<std::string_view> args = splitTopLevel(argText, ",");

    int row = findUserFunction(name);
    if (row >= 0) return callUserFunction(row, text, args);

    if (CallHandler handler = findBuiltin(name)) {
        Call call{*this, text, name, argText, std::move(args)};
        NodePtr result = handler(call);
        return result ? std::move(result) : zero();
    }
    return nullptr;
}

// Rule 18: an unknown name. With automatic variables on it becomes a new
// variable; k(x+1) for an unknown k is the product k*(x+1).
NodePtr CommandInterpreter::parseUnknownName(std::string_view text) {
    if (!ws_.autoVariables)
        return fail(ErrorCode::Syntax, text,
                    msg::format(msg::kInvalidExpression, std::string(text)));
    std::size_t open = text.find('(');
    if (open != std::string_view::npos && open + 1 < text.size() && text[open + 1] != ')') {
        int row = ws_.variableIndex(text.substr(0, open));
        NodePtr inner = parseExpression(text.substr(open + 1, text.size() - open - 2));
        if (hasError()) return zero();
        return std::make_unique<ProductNode>(std::make_unique<VariableNode>(row), std::move(inner));
    }
    return std::make_unique<VariableNode>(ws_.variableIndex(text));
}

}  // namespace kv
