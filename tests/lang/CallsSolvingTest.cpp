#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lang/CommandInterpreter.h"

namespace kv {
namespace {

class CallsSolvingTest : public testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};

    std::string error() const { return ci.hasError() ? ci.workspace().error.message : ""; }
    double& value(const char* name) {
        return ci.workspace()
            .variables[static_cast<std::size_t>(ci.workspace().variableIndex(name))]
            .value;
    }
};

// The integral node holds the integrand, the bounds, the variable and the
// pair count n/2 as a tree; the console evaluates it.
TEST_F(CallsSolvingTest, NintegrateBuildsTheIntegralNode) {
    struct Row {
        const char* call;
        const char* steps;
    } rows[] = {
        {"nintegrate(x^2, x, [0..1])", "50/2"},
        {"nintegrate(x^2, x, [0..1], n=100)", "100/2"},
        {"nintegrate(x^2, x, [0..1], n=k)", "k/2"},
        {"nintegrate(x^2, x, [0..1], m=100)", "50/2"},
    };
    for (const Row& row : rows) {
        NodePtr t = ci.parseCommand(row.call);
        ASSERT_EQ(error(), "") << row.call;
        ASSERT_EQ(t->kind(), Kind::NIntegrate) << row.call;
        const auto& n = as<NIntegrateNode>(*t);
        EXPECT_EQ(n.steps->toText(), row.steps) << row.call;
        EXPECT_EQ(n.operand->toText(), "x^2");
        EXPECT_EQ(n.lower->toText(), "0");
        EXPECT_EQ(n.upper->toText(), "1");
        EXPECT_EQ(n.variable->index, ci.workspace().variableIndex("x"));
    }
    NodePtr t = ci.parseCommand("nintegrate(x^2, x, [0..3])");
    EXPECT_NEAR(t->evaluate(), 9.0, 1e-12);
}

// The count is checked before any argument is parsed.
TEST_F(CallsSolvingTest, CountCheckedFirst) {
    const char* calls[] = {"solve(1/0, x, y)", "nsolve(1/0, x)", "lim(1/0)", "nintegrate(1/0, x)"};
    for (const char* call : calls) {
        ci.parseCommand(call);
        EXPECT_EQ(ci.workspace().error.code, 1) << call;
        EXPECT_NE(error().find("nebere"), std::string::npos) << call;
    }
}

TEST_F(CallsSolvingTest, NsolveLeavesTheVariableAsItWas) {
    value("x") = 0;
    NodePtr t = ci.parseCommand("nsolve(x^2=2, x, [0..2])");
    ASSERT_EQ(error(), "");
    ASSERT_EQ(t->kind(), Kind::List);
    ASSERT_EQ(as<ListNode>(*t).elements.size(), 1u);
    EXPECT_NEAR(as<ListNode>(*t).elements[0]->evaluate(), 1.4142135623730951, 1e-8);
    EXPECT_EQ(value("x"), 0.0);
}

TEST_F(CallsSolvingTest, NsolveOptionsAreEvaluated) {
    value("k") = 0.25;
    // A constant option may be any constant expression; a variable may not.
    NodePtr t = ci.parseCommand("nsolve(x^2=2, x, [0..2], h=1/4, epsilon=0.5)");
    ASSERT_EQ(error(), "");
    ASSERT_EQ(as<ListNode>(*t).elements.size(), 1u);
    double r = as<ListNode>(*t).elements[0]->evaluate();
    EXPECT_LT(std::fabs(r * r - 2), 0.5);
    ci.parseCommand("nsolve(x^2=2, x, [0..2], h=k)");
    EXPECT_EQ(error(), "Hodnota kroku musí být konstantní!");
    EXPECT_EQ(ci.workspace().error.code, 6);
}

TEST_F(CallsSolvingTest, LimErrorRecordsTheCall) {
    ci.parseCommand("lim(exp(x)/x^9, x->inf)");
    EXPECT_EQ(ci.workspace().error.code, 2);
    EXPECT_EQ(ci.workspace().error.text, "lim(exp(x)/x^9,x->inf)");
}

TEST_F(CallsSolvingTest, GcdArgumentsAreExpressions) {
    value("a") = 12;
    NodePtr t = ci.parseCommand("gcd(a, 2*9, 3^2+21)");
    ASSERT_EQ(error(), "");
    ASSERT_EQ(t->kind(), Kind::Number);
    EXPECT_EQ(t->evaluate(), 6);
}

}  // namespace
}  // namespace kv
