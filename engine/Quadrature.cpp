#include "engine/Quadrature.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/CompiledExpr.h"
#include "engine/ExprNode.h"
#include "engine/Workspace.h"

namespace kv {

// The integrand's compiled form; `code` is null when it does not compile.
struct CompiledIntegrand {
    std::unique_ptr<CompiledExpr> code;
    CompiledExpr::Scratch scratch;
};

namespace {

// Below this many pairs compiling the integrand costs more than it saves.
constexpr std::int64_t kCompiledPairs = 256;

// Points per block of compiled evaluation: the odd and the even points of
// one run of j.
constexpr int kBlock = 4 * CompiledExpr::kBlock;

// The sums of f over the odd points a + (2j-1)d and the even points a + 2jd
// for j = 1 .. m-1, each added up in the order of j, by the compiled tree.
// The points and every sample are the same doubles the plain loop gives.
void compiledSums(CompiledIntegrand& f, std::int64_t m, double a, double d, double& odd,
                  double& even) {
    std::array<double, kBlock> xs;
    std::array<double, kBlock> ys;
    const double* inputs[] = {xs.data()};
    for (std::int64_t j0 = 1; j0 <= m - 1; j0 += kBlock / 2) {
        const int count = static_cast<int>(std::min<std::int64_t>(kBlock / 2, m - j0));
        for (int k = 0; k < count; ++k) {
            const std::int64_t j = j0 + k;
            xs[2 * k] = a + static_cast<double>(2 * j - 1) * d;
            xs[2 * k + 1] = a + static_cast<double>(2 * j) * d;
        }
        f.code->evaluate(inputs, 2 * count, ys.data(), f.scratch);
        for (int k = 0; k < count; ++k) {
            odd += ys[2 * k];
            even += ys[2 * k + 1];
        }
    }
}

std::int64_t evenPairs(std::int64_t m) {
    if (m < 2) m = 2;
    if (m > kMaxSimpsonPairs) m = kMaxSimpsonPairs;
    if (m % 2 != 0) m += 1;
    return m;
}

}  // namespace

std::int64_t simpsonPairCount(double steps) {
    const double t = std::trunc(steps);
    std::int64_t pairs = 2;
    if (t >= static_cast<double>(kMaxSimpsonPairs))
        pairs = kMaxSimpsonPairs;
    else if (t > 0)
        pairs = static_cast<std::int64_t>(t);
    return evenPairs(pairs);
}

double simpsonIntegral(const ExprNode& integrand, int variable, std::int64_t pairs, double a,
                       double b, std::shared_ptr<CompiledIntegrand>* compiled) {
    const std::int64_t m = evenPairs(pairs);
    Workspace& ws = Workspace::current();
    auto& vars = ws.variables;
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
    bool done = false;
    if (compiled && ws.compiledSampling && m >= kCompiledPairs) {
        // Compiled once; trees that read workspace state (rnd, inner
        // integrals) are not and go through the plain loop, in its order.
        if (!*compiled) {
            auto made = std::make_shared<CompiledIntegrand>();
            made->code = std::make_unique<CompiledExpr>(integrand,
                                                        std::vector<SampleInput>{{variable, true}});
            if (made->code->ok())
                made->code->prepare(made->scratch);
            else
                made->code.reset();
            *compiled = std::move(made);
        }
        if ((*compiled)->code) {
            compiledSums(**compiled, m, a, d, odd, even);
            done = true;
        }
    }
    if (!done) {
        for (std::int64_t j = 1; j <= m - 1; ++j) {
            odd += f(a + static_cast<double>(2 * j - 1) * d);
            even += f(a + static_cast<double>(2 * j) * d);
        }
    }
    odd += f(a + static_cast<double>(2 * m - 1) * d);
    return d / 3.0 * (fa + fb + 4.0 * odd + 2.0 * even);
}

}  // namespace kv
