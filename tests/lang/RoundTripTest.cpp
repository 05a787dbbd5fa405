// The text form is also an input form: what the program prints reads back.
//
// Random trees of every kind the language can type are printed and parsed
// again, and must come back as the same tree with the same text. The text
// form leaves out what the parser's reading restores anyway: a+b+c leans to
// the left, -a*b is (-a)*b, (+-)x*y is ((+-)x)*y. Trees whose other shape
// (a+(b+c), -(a*b)) prints the same text are not generated; the results of
// the algebra calls, which hold such shapes, are checked by value instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "algebra/Algebra.h"
#include "engine/TextScan.h"
#include "engine/TreeRebuild.h"
#include "lang/CommandInterpreter.h"
#include "support/Random.h"

namespace kv {
namespace {

using kv::test::Random;

const char* const kVariables[] = {"x", "y", "t", "xe", "a1"};
const char* const kConstants[] = {"pi", "e", "golden", "hbar"};
const Kind kBinary[] = {Kind::Sum, Kind::Difference, Kind::Product, Kind::Quotient, Kind::Power};

// Every one-argument function the node table names.
std::vector<Kind> functionKinds() {
    std::vector<Kind> kinds;
    for (int id = 0; id < 64; ++id) {
        const Kind k = static_cast<Kind>(id);
        if (*kindName(k) != '?' && *functionName(k) != '\0') kinds.push_back(k);
    }
    return kinds;
}

class TreeGenerator {
  public:
    TreeGenerator(Workspace& ws, Random& r) : ws_(ws), r_(r) {}

    // Exponents of numbers from -300 to 300 and the constant hbar (1e-34),
    // or only from -3 to 3: simpl takes every constant below 5e-12 for 0,
    // which the value checks of the algebra calls would meet all the time.
    bool wide = true;

    NodePtr tree(int depth) {
        if (depth == 0 || r_.below(8) == 0) return leaf();
        switch (r_.below(9)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                return binary(kBinary[r_.below(5)], depth);
            case 5: {  // -(a*b) prints as -a*b, which is (-a)*b
                NodePtr u = tree(depth - 1);
                while (u->kind() == Kind::Product || u->kind() == Kind::Quotient)
                    u = tree(depth - 1);
                return makeFunction(Kind::Negation, std::move(u));
            }
            case 6: {  // log(b, x): each argument is parsed on its own
                NodePtr base = tree(depth - 1);
                return std::make_unique<LogBaseNode>(defined(Kind::Ln, tree(depth - 1)),
                                                     std::move(base));
            }
            case 7: {
                const Kind k = functions_[static_cast<std::size_t>(r_.below(functionCount()))];
                return makeFunction(k, defined(k, tree(depth - 1)));
            }
            default: {  // (+-) before a leaf, a call or a negation: (+-)x^2 is ((+-)x)^2
                NodePtr u = r_.below(2) ? leaf() : tree(depth - 1);
                while (isBinaryKind(u->kind()) || u->kind() == Kind::PlusMinus) u = leaf();
                return makeFunction(Kind::PlusMinus, std::move(u));
            }
        }
    }

  private:
    int functionCount() const { return static_cast<int>(functions_.size()); }

    // Numbers of every magnitude with at most 12 significant digits (what
    // the text shows), named constants and variables.
    NodePtr leaf() {
        switch (r_.below(6)) {
            case 0:
                return number(r_.below(100));
            case 1: {
                static const double kEdges[] = {0.5, 2.5, HUGE_VAL, 1e-300, 1e300, 2.5e-7, 1e-5};
                return number(kEdges[r_.below(wide ? 7 : 3)]);
            }
            case 2: {
                std::string digits = std::to_string(1 + r_.below(9)) + ".";
                for (int n = r_.below(12); n > 0; --n) digits += std::to_string(r_.below(10));
                const int exponent = wide ? r_.below(601) - 300 : r_.below(7) - 3;
                return number(readDecimal(digits + "e" + std::to_string(exponent)));
            }
            case 3:
                return std::make_unique<ConstantNode>(
                    ws_.findConstant(kConstants[r_.below(wide ? 4 : 3)]));
            default:
                return std::make_unique<VariableNode>(ws_.variableIndex(kVariables[r_.below(5)]));
        }
    }

    // An operator node. Children whose shape the text cannot show are drawn
    // again (a+(b+c) prints as a+b+c, (a+b)-c as a+b-c, a*(b*c) as a*b*c,
    // (a*b)/c as a*b/c), and so is a denominator that is a structural zero,
    // which the parser refuses.
    NodePtr binary(Kind kind, int depth) {
        auto redraw = [&](const ExprNode& l, const ExprNode& r) {
            switch (kind) {
                case Kind::Sum:
                    return r.kind() == Kind::Sum;
                case Kind::Difference:
                    return l.kind() == Kind::Sum;
                case Kind::Product:
                    return r.kind() == Kind::Product;
                case Kind::Quotient:
                    return l.kind() == Kind::Product || r.isZero();
                default:
                    return false;
            }
        };
        for (;;) {
            NodePtr l = tree(depth - 1);
            NodePtr r = tree(depth - 1);
            if (!redraw(*l, *r)) return makeBinary(kind, std::move(l), std::move(r));
        }
    }

    // A constant argument outside the domain of ln, log, log2 or sqrt is
    // refused by the parser; such an argument becomes a variable.
    NodePtr defined(Kind k, NodePtr u) {
        const bool checked = k == Kind::Ln || k == Kind::Log || k == Kind::Log2 || k == Kind::Sqrt;
        if (checked && u->isConstant() && !std::isfinite(makeFunction(k, u->clone())->evaluate()))
            return std::make_unique<VariableNode>(ws_.variableIndex("x"));
        return u;
    }

    Workspace& ws_;
    Random& r_;
    std::vector<Kind> functions_ = functionKinds();
};

class RoundTripTest : public ::testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
    Random random{20250301};
    TreeGenerator generate{ci.workspace(), random};
};

// Whether `test` holds for a number of the tree, or (with `values`) for the
// value of a subtree at the current variable values.
bool holds(const ExprNode& node, bool (*test)(double), bool values) {
    const double v = values                        ? node.evaluate()
                     : node.kind() == Kind::Number ? as<NumberNode>(node).value
                                                   : 0.0;
    bool found = test(v);
    forEachChild(node, [&](const ExprNode& c) { found = found || holds(c, test, values); });
    return found;
}
bool notFinite(double v) {
    return !std::isfinite(v);
}
bool notANumber(double v) {
    return std::isnan(v);
}

TEST_F(RoundTripTest, EveryTypedTreeReadsBackAsItself) {
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        NodePtr t = generate.tree(1 + random.below(5));
        const std::string text = t->toText();
        NodePtr back = ci.parseCommand(text);
        ASSERT_FALSE(ci.hasError()) << text << ": " << ci.workspace().error.message;
        ASSERT_EQ(back->toText(), text);
        // equals compares numbers by their difference, and inf - inf is
        // NaN: a tree holding inf equals no tree, not even itself.
        if (holds(*t, notFinite, false)) continue;
        ASSERT_TRUE(t->equals(*back)) << text;
        ++compared;
    }
    EXPECT_GT(compared, 15000) << "most trees are compared as trees";
}

double largestMagnitude(const ExprNode& node) {
    double m = std::fabs(node.evaluate());
    if (!std::isfinite(m)) m = 0;
    forEachChild(node, [&](const ExprNode& c) { m = std::max(m, largestMagnitude(c)); });
    return m;
}

// What derivate, simpl, together, expandall and lim print, typed again, has
// the value of the result itself.
TEST_F(RoundTripTest, ResultsOfTheAlgebraCallsReadBackWithTheirValue) {
    const char* const kCalls[] = {"derivate(%, x)", "simpl(%)",      "together(%)",
                                  "expandall(%)",   "lim(%, x->0)",  "lim(%, x->inf)",
                                  "lim(%, x->1+)",  "lim(%, x->0-)", "derivate(%, y)"};
    int checked = 0;
    generate.wide = false;
    for (int round = 0; round < 3000; ++round) {
        std::string call = kCalls[random.below(9)];
        call.replace(call.find('%'), 1, generate.tree(1 + random.below(4))->toText());
        NodePtr result = ci.parseCommand(call);
        if (ci.hasError()) continue;  // a limit that does not exist, a bound
        const std::string text = result->toText();
        // nan is a name like any other: a NaN printed reads back as a variable.
        if (holds(*result, notANumber, false)) continue;
        NodePtr back = ci.parseCommand(text);
        const int code = ci.workspace().error.code;
        const bool refused = ci.hasError() && (code == static_cast<int>(ErrorCode::Domain) ||
                                               code == static_cast<int>(ErrorCode::DivisionByZero));
        ASSERT_TRUE(!ci.hasError() || refused)
            << call << " = " << text << ": " << ci.workspace().error.message;
        for (int k = 0; k < 3; ++k) {
            for (const char* v : kVariables)
                ci.workspace()
                    .variables[static_cast<std::size_t>(ci.workspace().variableIndex(v))]
                    .value = random.uniform(-3, 3);
            // A result with an undefined part (ln(inf) from a limit, or ln(0)
            // and 1/0 where simpl took a constant below 5e-12 for 0) may be
            // refused by the parser's domain and division tests; one that is
            // defined everywhere may not.
            if (refused) {
                ASSERT_TRUE(holds(*result, notFinite, true))
                    << call << " = " << text << ": " << ci.workspace().error.message;
                continue;
            }
            const double a = result->evaluate();
            const double b = back->evaluate();
            if (std::isnan(a)) {
                EXPECT_TRUE(std::isnan(b)) << call << " = " << text << ": " << b;
                continue;
            }
            // Numbers print with twelve digits.
            const double scale = std::max({1.0, std::fabs(a), largestMagnitude(*result)});
            ASSERT_TRUE(a == b || std::fabs(a - b) <= 1e-9 * scale)
                << call << " = " << text << ": " << a << " vs " << b;
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);
}

}  // namespace
}  // namespace kv
