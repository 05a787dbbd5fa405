#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "algebra/Solving.h"
#include "lang/CommandInterpreter.h"
#include "support/InterpreterFixture.h"
#include "support/Random.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

class LimitsTest : public test::InterpreterFixture {
  protected:
    // A one-variable request x -> point.
    LimitRequest request(const std::string& point, int direction = 0) {
        LimitRequest r;
        r.direction = direction;
        r.variables.push_back(ci.workspace().variableIndex("x"));
        r.points.push_back(parse(point));
        return r;
    }

    // What the lim command prints, or the error message.
    std::string lim(const std::string& args) {
        NodePtr t = ci.parseCommand("lim(" + args + ")");
        if (ci.hasError()) return "Chyba: " + ci.workspace().error.message;
        return t->toText();
    }
};

struct LimRow {
    const char* args;
    const char* printed;
};

class LimRowTest : public LimitsTest, public testing::WithParamInterface<LimRow> {};

TEST_P(LimRowTest, Prints) {
    EXPECT_EQ(lim(GetParam().args), GetParam().printed) << GetParam().args;
}

const std::string kNotFound = std::string("Chyba: ") + kLimitNotFound;

INSTANTIATE_TEST_SUITE_P(
    Rows, LimRowTest,
    testing::Values(
        // One l'Hospital step; cos(0) is left unfolded.
        LimRow{"sin(x)/x, x->0", "cos(0)"},
        // The three infinities of 1/x, and of quotients by zero in general.
        LimRow{"1/x, x->0+", "inf"}, LimRow{"1/x, x->0-", "(-inf)"}, LimRow{"1/x, x->0", "(+-)inf"},
        LimRow{"-2/x, x->0+", "(-inf)"}, LimRow{"-2/x, x->0-", "inf"},
        // Symbolic results.
        LimRow{"x+y, x->1", "1+y"}, LimRow{"x*y, [x->2, y->3]", "6"},
        // Logarithms: -inf where the logarithm is defined beside the point.
        LimRow{"ln(x), x->0+", "(-inf)"}, LimRow{"ln(x), x->0-", "ln(0)"},
        LimRow{"ln(x), x->0", "(-inf)"},
        // sign at its jump.
        LimRow{"sign(x), x->0", "(+-)1"}, LimRow{"sign(x), x->0-", "(-1)"},
        LimRow{"sign(x), x->0+", "1"}, LimRow{"sign(x-2), x->inf", "1"},
        // Beside a zero of the operand, its sign there.
        LimRow{"sign(-x), x->0-", "1"}, LimRow{"sign(x^2), x->0", "1"},
        // Sums: one infinity wins; opposite ones in a polynomial at +-inf go
        // by the leading term, elsewhere they fail.
        LimRow{"x+1/x, x->0+", "inf"}, LimRow{"x^2-x, x->inf", "inf"},
        LimRow{"x^5-100*x^4, x->-inf", "(-inf)"}, LimRow{"x^3-2*x, x->-inf", "(-inf)"},
        LimRow{"(3*x^3-x)/(2*x^3+5), x->inf", "3/2"}, LimRow{"x-ln(x), x->inf", "inf"},
        LimRow{"sqrt(x^2+x)-x, x->inf", kNotFound.c_str()}, LimRow{"(a^x-1)/x, x->0", "ln(a)"},
        // Over a denominator tending to 0, its sign beside the point.
        LimRow{"1/x^2, x->0", "inf"}, LimRow{"-1/x^2, x->0", "(-inf)"},
        LimRow{"1/(-x), x->0+", "(-inf)"}, LimRow{"1/(cos(x)-1), x->0", "(-inf)"},
        LimRow{"exp(-1/x^2), x->0", "0"},
        // Infinite powers keep the sign of the power.
        LimRow{"x^3, x->-inf", "(-inf)"}, LimRow{"x^4, x->-inf", "inf"},
        // A tiny constant made by l'Hospital's derivatives is not zero.
        LimRow{"exp(x)/(1000000000000*x), x->inf", "inf"},
        LimRow{"exp(x)/x^30, x->inf", kNotFound.c_str()},
        // A tower of exp grows tenfold a step: refused once too large, never 0.
        LimRow{"exp(exp(exp(exp(exp(exp(exp(exp(exp(exp(x))))))))))/x^8, x->inf",
               kNotFound.c_str()},
        LimRow{"(exp(x)-1-x-x^2/2-x^3/6-x^4/24-x^5/120-x^6/720-x^7/5040)/x^8, x->0", "1/40320"},
        // Quotients and l'Hospital.
        LimRow{"(x^2-1)/(x-1), x->1", "2"}, LimRow{"(1-cos(x))/x^2, x->0", "1/2"},
        LimRow{"x/(x+1), x->inf", "1"}, LimRow{"1/x, x->inf", "0"}, LimRow{"1/exp(x), x->inf", "0"},
        LimRow{"x^8/exp(x), x->inf", "0"}, LimRow{"exp(x)/x^8, x->inf", "inf"},
        // Eight l'Hospital steps are allowed, a ninth is not.
        LimRow{"exp(x)/x^9, x->inf", kNotFound.c_str()},
        // Products 0*inf and the powers 0^0, 1^inf.
        LimRow{"x*ln(x), x->0+", "0"}, LimRow{"x^x, x->0+", "1"},
        LimRow{"(1+1/x)^x, x->inf", "exp(1)"}, LimRow{"x^(-2), x->0+", "inf"},
        LimRow{"x*exp(x), x->inf", "inf"},
        // Continuous functions just take the value.
        LimRow{"x^2+2*x, x->3", "15"}, LimRow{"exp(x), x->inf", "exp(inf)"},
        // A factorial has no limit here; it is said, not printed as 0.
        LimRow{"fact(x), x->3", kNotFound.c_str()}, LimRow{"fact(4)+x, x->1", "fact(4)+1"},
        // Argument errors.
        LimRow{"x^2, x=1", "Chyba: Neplatný formát proměnné limity!"},
        LimRow{"x^2, []", "Chyba: Není zadána žádná proměnná limity!"},
        LimRow{"x^2, x->1, 2", "Chyba: Funkce 'lim' nebere 3 parametrů!"},
        LimRow{"x^2, x->1/0", "Chyba: Dělení nulou!"}),
    rowNames(&LimRow::args));

TEST_F(LimitsTest, FlagsOfTheResult) {
    NodePtr f = parse("x+y");
    LimitResult r = computeLimit(*f, request("1"));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.status, 1);

    NodePtr g = parse("x^2");
    r = computeLimit(*g, request("3"));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.value->evaluate(), 9);
}

TEST_F(LimitsTest, InfinitiesAreTrees) {
    NodePtr f = parse("1/x");
    LimitResult plus = computeLimit(*f, request("0", 1));
    ASSERT_EQ(plus.value->kind(), Kind::Number);
    EXPECT_TRUE(std::isinf(plus.value->evaluate()));
    LimitResult minus = computeLimit(*f, request("0", -1));
    ASSERT_EQ(minus.value->kind(), Kind::Negation);
    EXPECT_EQ(operandOf(*minus.value).kind(), Kind::Number);
    LimitResult both = computeLimit(*f, request("0", 0));
    EXPECT_EQ(both.value->kind(), Kind::PlusMinus);
}

TEST_F(LimitsTest, FailureSetsTheRecordAndAZero) {
    NodePtr f = parse("exp(x)/x^9");
    ci.workspace().clearError();
    LimitResult r = computeLimit(*f, request("inf"));
    EXPECT_FALSE(r.valid);
    ASSERT_TRUE(r.value);
    EXPECT_EQ(r.value->kind(), Kind::Zero);
    EXPECT_EQ(ci.workspace().error.code, static_cast<int>(kLimitErrorCode));
    EXPECT_EQ(ci.workspace().error.message, kLimitNotFound);
}

// The counter is shared by one computation and reset by the next.
TEST_F(LimitsTest, LhospitalCounterIsPerComputation) {
    NodePtr f = parse("exp(x)/x^8");
    ci.workspace().lhospitalSteps = 5;
    LimitResult r = computeLimit(*f, request("inf"));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(ci.workspace().lhospitalSteps, 8);
    r = computeLimit(*f, request("inf"));
    EXPECT_TRUE(r.valid);
}

TEST_F(LimitsTest, LimitOfAListIsElementwise) {
    std::vector<NodePtr> items;
    items.push_back(parse("x^2"));
    items.push_back(parse("sin(x)/x"));
    ListNode list(std::move(items));
    LimitResult r = computeLimit(list, request("0"));
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.value->kind(), Kind::List);
    // Values as the rules build them; the lim command simplifies them.
    EXPECT_EQ(r.value->toText(), "[0^2, cos(0)]");
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// Rational functions p/q with random integer coefficients of degree 0 to 3
// at +inf and -inf, against the answer of their leading terms: the ratio of
// the leading coefficients for equal degrees, 0 when q is of higher degree,
// an infinity of the leading terms' sign otherwise.
TEST_F(LimitsTest, RationalFunctionsAtInfinityGoByTheirLeadingTerms) {
    test::Random random(20261209);
    auto polynomial = [&](int degree, int& lead) {
        std::string text;
        for (int k = degree; k >= 0; --k) {
            int c = random.below(19) - 9;
            if (k == degree)
                while (c == 0) c = random.below(19) - 9;
            if (k == degree) lead = c;
            if (c == 0) continue;
            text += (c < 0 ? "-" : (text.empty() ? "" : "+")) + std::to_string(std::abs(c));
            if (k > 0) text += "*x^" + std::to_string(k);
        }
        return text;
    };
    int failures = 0;
    for (int i = 0; i < 2000 && failures < 10; ++i) {
        int lp = 0, lq = 0;
        const int dp = random.below(4), dq = random.below(4);
        const std::string p = polynomial(dp, lp), q = polynomial(dq, lq);
        const bool minus = random.below(2) == 1;
        const std::string args = "(" + p + ")/(" + q + "), x->" + (minus ? "-inf" : "inf");
        NodePtr t = ci.parseCommand("lim(" + args + ")");
        double expected = static_cast<double>(lp) / lq;
        if (dp < dq) expected = 0;
        if (dp > dq) {
            const bool negative = (expected < 0) != (minus && (dp - dq) % 2 == 1);
            expected = negative ? -HUGE_VAL : HUGE_VAL;
        }
        const double got = ci.hasError() ? std::nan("") : t->evaluate();
        const bool right =
            std::isinf(expected) ? got == expected : std::fabs(got - expected) < 1e-12;
        if (!right) {
            ++failures;
            ADD_FAILURE() << "lim(" << args << ") gave "
                          << (ci.hasError() ? ci.workspace().error.message : t->toText());
        }
    }
}

}  // namespace
}  // namespace kv
