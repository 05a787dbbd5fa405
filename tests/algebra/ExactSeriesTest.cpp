// The exact power series against the derivatives it stands in for: where
// both can be had, c_k = f^(k)(a) / k! for every k, and what the series
// cannot take it refuses.
#include <gtest/gtest.h>

#include <cmath>

#include "algebra/Algebra.h"
#include "algebra/ExactSeries.h"
#include "lang/CommandInterpreter.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct SeriesRow {
    const char* f;
    const char* point;
    int degree;
    bool exact;  // false: the series refuses f
};

class ExactSeries : public testing::TestWithParam<SeriesRow> {};

TEST_P(ExactSeries, CoefficientsAreTheDerivativesOverTheFactorials) {
    const SeriesRow& row = GetParam();
    CommandInterpreter ci;
    Workspace::Scope scope(ci.workspace());
    const int x = ci.workspace().variableIndex("x");
    NodePtr f = ci.parseCommand(row.f);
    NodePtr a = ci.parseCommand(row.point);
    ASSERT_FALSE(ci.hasError()) << ci.workspace().error.message;
    const auto c = exactTaylorCoefficients(*f, x, *a, row.degree);
    ASSERT_EQ(c.has_value(), row.exact);
    if (!c) return;
    ASSERT_EQ(c->size(), static_cast<std::size_t>(row.degree + 1));
    NodePtr d = f->clone();
    double factorial = 1.0;
    for (int k = 0; k <= row.degree; ++k) {
        if (k > 0) {
            d = nthDerivative(1, *d, IdList{x});
            factorial *= k;
        }
        const double expected = d->substitute(x, *a)->evaluate() / factorial;
        const ExactFraction& q = (*c)[static_cast<std::size_t>(k)];
        EXPECT_NEAR(static_cast<double>(q.num) / static_cast<double>(q.den), expected,
                    1e-9 * (1.0 + std::fabs(expected)))
            << "k = " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ExactSeries,
                         testing::Values(SeriesRow{"1/(1+x^2)", "0", 6, true},
                                         SeriesRow{"(2*x-1)^3/(3+x)^2", "1/3", 5, true},
                                         SeriesRow{"sqrt(4+x)*(1+x)^(-1/2)", "0", 5, true},
                                         SeriesRow{"exp(sin(x))-ln(1+x^2)", "0", 6, true},
                                         SeriesRow{"tan(x)+atan(2*x)", "0", 7, true},
                                         SeriesRow{"cosh(x)*tanh(x)/(2-x)", "0", 6, true},
                                         SeriesRow{"ln(x)^2", "1", 5, true},
                                         SeriesRow{"exp(x)", "1", 3, false},   // e is no fraction
                                         SeriesRow{"sqrt(x)", "0", 2, false},  // not analytic there
                                         SeriesRow{"1/x", "0", 2, false},      // a pole
                                         SeriesRow{"x^x", "1", 2, false},  // a variable exponent
                                         SeriesRow{"w*x", "0", 2, false},  // another variable
                                         SeriesRow{"sin(x)", "pi", 2, false}),  // a named constant
                         rowNames(&SeriesRow::f));

}  // namespace
}  // namespace kv
