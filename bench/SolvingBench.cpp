// Numeric solving and integration at the sizes a user may ask for: a zero
// search over a million scan points, one where most brackets cannot be
// refined to epsilon (a fast oscillation), and Simpson integrals of a
// million pairs, with the integrand compiled and walked as a tree; limits
// and exact solving of textbook size.
#include <string>

#include "BenchSupport.h"
#include "lang/Transcript.h"

namespace {

void command(benchmark::State& state, const std::string& text, bool compiled) {
    kv::bench::Session s;
    s.ci.workspace().compiledSampling = compiled;
    // The whole console path: parsed, carried out and printed.
    for (auto _ : state) benchmark::DoNotOptimize(kv::runCommand(s.ci, text));
}

}  // namespace

// Limits and exact solving at the sizes of a textbook exercise, in
// microseconds; the numeric solving and integrals in milliseconds.
#define KV_COMMAND(name, text, compiled, unit) \
    BENCHMARK_CAPTURE(command, name, text, compiled)->Unit(benchmark::unit)
KV_COMMAND(limLhospital, "lim((x-sin(x))/x^3, x->0)", true, kMicrosecond);
KV_COMMAND(limPowerOfOne, "lim(cos(x)^(1/x^2), x->0)", true, kMicrosecond);
KV_COMMAND(limRationalAtInfinity, "lim((3*x^3-x)/(2*x^3+5), x->inf)", true, kMicrosecond);
KV_COMMAND(limPole, "lim(1/(x-2)^2, x->2)", true, kMicrosecond);
KV_COMMAND(solveCubic, "solve(x^3-6*x^2+11*x-6, x)", true, kMicrosecond);
KV_COMMAND(solveLogarithmic, "solve(3*2^x=24, x)", true, kMicrosecond);
KV_COMMAND(solveRadical, "solve(x-3*sqrt(x)+2, x)", true, kMicrosecond);
KV_COMMAND(nsolvePolynomial, "nsolve(x^3-2*x-5, x, [-10..10], h=0.00002)", true, kMillisecond);
KV_COMMAND(nsolveOscillation, "nsolve(sin(100000*x)*x^3-x, x, [0..1.01], h=0.00001)", true,
           kMillisecond);
KV_COMMAND(nintegrateCompiled, "nintegrate(3*x^3-2*x+1/(1+x^2), x, [0..1], n=1000000)", true,
           kMillisecond);
KV_COMMAND(nintegrateTree, "nintegrate(3*x^3-2*x+1/(1+x^2), x, [0..1], n=1000000)", false,
           kMillisecond);
#undef KV_COMMAND

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        const double tree = r.at("command/nintegrateTree");
        const double compiled = r.at("command/nintegrateCompiled");
        if (tree > 0 && compiled > 0)
            std::printf("\nnintegrate of 10^6 pairs: compiled integrand %.2f times faster\n",
                        tree / compiled);
    });
}
