// The LaTeX form of a tree, for pasting a result into a paper: quotients as
// \frac, powers with braced exponents, \sqrt, absolute values between
// \left| and \right|, the standard function names, \pi. Parentheses are
// set where the typeset picture sets them, so the two read alike.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "engine/ExprNode.h"
#include "engine/NumberFormat.h"
#include "engine/Tolerance.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

bool isSumLike(Kind k) {
    return k == Kind::Sum || k == Kind::Difference;
}

std::string parenthesized(const std::string& inner) {
    return "\\left(" + inner + "\\right)";
}

std::string latexOf(const ExprNode& n) {
    return n.toLatex();
}

// Names of more than one letter are set upright (constants) or italic
// (variables) as one word; the Greek letters by their own commands.
std::string latexName(const std::string& name, bool italic) {
    static constexpr std::string_view greek[] = {
        "alpha",  "beta",  "gamma", "delta", "epsilon", "zeta",  "eta",   "theta", "iota", "kappa",
        "lambda", "mu",    "nu",    "xi",    "rho",     "sigma", "tau",   "phi",   "chi",  "psi",
        "omega",  "Gamma", "Delta", "Theta", "Lambda",  "Xi",    "Sigma", "Phi",   "Psi",  "Omega"};
    for (std::string_view g : greek)
        if (name == g) return "\\" + name;
    if (name.size() == 1) return name;
    std::string escaped;
    for (char ch : name) {
        if (ch == '_' || ch == '&' || ch == '%' || ch == '$' || ch == '#') escaped += '\\';
        escaped += ch;
    }
    return (italic ? "\\mathit{" : "\\mathrm{") + escaped + "}";
}

// The console's number text, with an exponent as a power of ten.
std::string latexNumber(double value) {
    if (std::isinf(value)) return value < 0 ? "-\\infty" : "\\infty";
    std::string text = formatNumber(value);
    if (!std::isfinite(value)) return "\\mathrm{" + text + "}";
    const auto e = text.find('e');
    if (e == std::string::npos) return text;
    const std::string mantissa = text.substr(0, e);
    const long exponent = std::strtol(text.c_str() + e + 1, nullptr, 10);
    const std::string power = "10^{" + std::to_string(exponent) + "}";
    const double m = std::strtod(mantissa.c_str(), nullptr);
    if (tol::equal(m, 1)) return power;
    if (tol::equal(m, -1)) return "-" + power;
    return mantissa + " \\cdot " + power;
}

std::string functionCall(Kind kind, const ExprNode& operand) {
    const std::string arg = parenthesized(latexOf(operand));
    switch (kind) {
        case Kind::Sin:
            return "\\sin" + arg;
        case Kind::Cos:
            return "\\cos" + arg;
        case Kind::Tan:
            return "\\tan" + arg;
        case Kind::Sinh:
            return "\\sinh" + arg;
        case Kind::Cosh:
            return "\\cosh" + arg;
        case Kind::Tanh:
            return "\\tanh" + arg;
        case Kind::Asin:
            return "\\arcsin" + arg;
        case Kind::Acos:
            return "\\arccos" + arg;
        case Kind::Atan:
            return "\\arctan" + arg;
        case Kind::Ln:
            return "\\ln" + arg;
        case Kind::Log:
            return "\\log" + arg;
        case Kind::Log2:
            return "\\log_{2}" + arg;
        case Kind::Exp:
            return "\\exp" + arg;
        case Kind::Sign:
            return "\\operatorname{sign}" + arg;
        case Kind::Fact: {
            const Kind k = operand.kind();
            const bool bare =
                k == Kind::Number || k == Kind::Zero || k == Kind::Variable || k == Kind::Constant;
            return (bare ? latexOf(operand) : arg) + "!";
        }
        default:
            return "\\operatorname{" + std::string(functionName(kind)) + "}" + arg;
    }
}

// Sum, difference and product: the operands wrapped as in the picture.
std::string operatorForm(const ExprNode& n) {
    const Kind k = n.kind();
    const ExprNode& l = leftOf(n);
    const ExprNode& r = rightOf(n);
    std::string L = latexOf(l);
    std::string R = latexOf(r);
    if (k == Kind::Product) {
        if (isSumLike(l.kind())) L = parenthesized(L);
        if (isSumLike(r.kind()) || r.kind() == Kind::Negation) R = parenthesized(R);
        return L + " \\cdot " + R;
    }
    // A negative number after a sign is wrapped too: "x--5" would read as
    // a typo, and LaTeX sets "--" as a dash.
    const bool negativeNumber = r.kind() == Kind::Number && as<NumberNode>(r).value < 0;
    if (r.kind() == Kind::Negation || negativeNumber ||
        (k == Kind::Difference && isSumLike(r.kind())))
        R = parenthesized(R);
    return L + (k == Kind::Sum ? "+" : "-") + R;
}

std::string powerForm(const ExprNode& n) {
    const ExprNode& base = leftOf(n);
    std::string B = latexOf(base);
    switch (base.kind()) {
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
        case Kind::Quotient:
        case Kind::Power:
        case Kind::Negation:
            B = parenthesized(B);
            break;
        case Kind::Number:
            // -2^2 would read as -(2^2); 1e+20^2 as 10^{20^2}.
            if (as<NumberNode>(base).value < 0 || B.find('^') != std::string::npos)
                B = parenthesized(B);
            break;
        default:
            break;
    }
    return B + "^{" + latexOf(rightOf(n)) + "}";
}

}  // namespace

std::string ExprNode::toLatex() const {
    const Workspace& ws = Workspace::current();
    switch (kind()) {
        case Kind::Number:
            return latexNumber(as<NumberNode>(*this).value);
        case Kind::NIntegrate:
            return latexNumber(as<NIntegrateNode>(*this).lastValue);
        case Kind::Zero:
            return "0";
        case Kind::Constant: {
            const std::string& name =
                ws.constants.at(static_cast<std::size_t>(as<ConstantNode>(*this).index)).name;
            if (name == "pi") return "\\pi";
            if (name == "inf") return "\\infty";
            return latexName(name, false);
        }
        case Kind::Variable:
            return latexName(
                ws.variables.at(static_cast<std::size_t>(as<VariableNode>(*this).index)).name,
                true);
        case Kind::Rnd:
            return "\\operatorname{rnd}()";
        case Kind::Text:
        case Kind::GraphRef: {
            std::string escaped;
            for (char ch : toText()) {
                if (ch == '\\')
                    escaped += "\\textbackslash{}";
                else if (ch == '{' || ch == '}' || ch == '_' || ch == '&' || ch == '%' ||
                         ch == '$' || ch == '#')
                    escaped += std::string("\\") + ch;
                else if (ch == '^' || ch == '~')
                    escaped += std::string("\\") + ch + "{}";
                else
                    escaped += ch;
            }
            return "\\text{" + escaped + "}";
        }
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
            return operatorForm(*this);
        case Kind::Quotient:
            return "\\frac{" + latexOf(leftOf(*this)) + "}{" + latexOf(rightOf(*this)) + "}";
        case Kind::Power:
            return powerForm(*this);
        case Kind::Sqrt:
            return "\\sqrt{" + latexOf(operandOf(*this)) + "}";
        case Kind::Abs:
            return "\\left|" + latexOf(operandOf(*this)) + "\\right|";
        case Kind::Negation: {
            const ExprNode& op = operandOf(*this);
            std::string O = latexOf(op);
            const bool negativeNumber = op.kind() == Kind::Number && as<NumberNode>(op).value < 0;
            if (isSumLike(op.kind()) || op.kind() == Kind::Negation || negativeNumber)
                O = parenthesized(O);
            return "-" + O;
        }
        case Kind::PlusMinus: {
            const ExprNode& op = operandOf(*this);
            const std::string O = latexOf(op);
            return "\\pm " + (isSumLike(op.kind()) ? parenthesized(O) : O);
        }
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(*this);
            return "\\log_{" + latexOf(*n.base) + "}" + parenthesized(latexOf(*n.operand));
        }
        case Kind::List: {
            std::string items;
            for (const NodePtr& e : as<ListNode>(*this).elements) {
                if (!items.empty()) items += ", ";
                items += latexOf(*e);
            }
            return "\\left[" + items + "\\right]";
        }
        default:
            return functionCall(kind(), operandOf(*this));
    }
}

}  // namespace kv
