#include "engine/Quadrature.h"

#include "engine/ExprNode.h"
#include "engine/Workspace.h"

namespace kv {

double simpsonIntegral(const ExprNode& integrand, int variable, std::int64_t pairs, double a,
                       double b) {
    std::int64_t m = pairs;
    if (m < 2) m = 2;
    if (m > kMaxSimpsonPairs) m = kMaxSimpsonPairs;
    if (m % 2 != 0) m += 1;
    auto& vars = Workspace::current().variables;
    if (variable < 0 || static_cast<std::size_t>(variable) >= vars.size()) return 0.0;
    auto f = [&](double x) {
        vars[variable].value = x;
        return integrand.evaluate();
    };
    const double d = (b - a) / (2.0 * static_cast<double>(m));
    const double fa = f(a);
    const double fb = f(b);
    double odd = 0.0;
    double even = 0.0;
    for (std::int64_t j = 1; j <= m - 1; ++j) {
        odd += f(a + static_cast<double>(2 * j - 1) * d);
        even += f(a + static_cast<double>(2 * j) * d);
    }
    odd += f(a + static_cast<double>(2 * m - 1) * d);
    return d / 3.0 * (fa + fb + 4.0 * odd + 2.0 * even);
}

}  // namespace kv
