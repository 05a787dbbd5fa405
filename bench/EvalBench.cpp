// Evaluation of four formulas at 1000 points (x, y) in [-2, 2]^2: native
// C++, muparser, our tree through `evaluate`, and our compiled form, in one
// run; then the times per evaluation and their ratios to native code.
#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "engine/CompiledExpr.h"

namespace {

using kv::bench::Session;

constexpr int kPoints = 1000;

struct Formula {
    const char* name;
    const char* text;
    double (*native)(double x, double y);
    // The same with std::pow for the powers: what an evaluator pays that
    // leaves squares and cubes to pow (`evaluate` rounds them itself).
    double (*nativePow)(double x, double y, double two, double three);
};

// `two` and `three` reach the pow versions as opaque values, so the
// compiler cannot turn pow(x, 2) into x * x.
const Formula kFormulas[] = {
    {"E1", "sin(x)*cos(y)+x^2/(1+y^2)",
     [](double x, double y) { return std::sin(x) * std::cos(y) + x * x / (1 + y * y); },
     [](double x, double y, double two, double) {
         return std::sin(x) * std::cos(y) + std::pow(x, two) / (1 + std::pow(y, two));
     }},
    {"E2", "exp(-(x^2+y^2))*cos(3*x)*sin(2*y)",
     [](double x, double y) {
         return std::exp(-(x * x + y * y)) * std::cos(3 * x) * std::sin(2 * y);
     },
     [](double x, double y, double two, double) {
         return std::exp(-(std::pow(x, two) + std::pow(y, two))) * std::cos(3 * x) *
                std::sin(2 * y);
     }},
    {"E3", "x*x+2*x+1", [](double x, double) { return x * x + 2 * x + 1; },
     [](double x, double, double, double) { return x * x + 2 * x + 1; }},
    {"E4", "sqrt(abs(x*y))+ln(1+x^2)-3*x^3/(y^2+2)",
     [](double x, double y) {
         return std::sqrt(std::fabs(x * y)) + std::log(1 + x * x) - 3 * x * x * x / (y * y + 2);
     },
     [](double x, double y, double two, double three) {
         return std::sqrt(std::fabs(x * y)) + std::log(1 + std::pow(x, two)) -
                3 * std::pow(x, three) / (std::pow(y, two) + 2);
     }},
};

// Read through volatile: the compiler cannot see the exponents.
volatile double opaqueTwo = 2.0;
volatile double opaqueThree = 3.0;

struct Points {
    std::vector<double> x, y;
    Points() {
        std::uint64_t s = 12345;
        auto next = [&] {
            s = s * 6364136223846793005ULL + 1442695040888963407ULL;
            return -2.0 + 4.0 * static_cast<double>(s >> 11) / 9007199254740992.0;
        };
        for (int k = 0; k < kPoints; ++k) {
            x.push_back(next());
            y.push_back(next());
        }
    }
};
const Points& points() {
    static const Points p;
    return p;
}

void native(benchmark::State& state, const Formula* f) {
    const Points& p = points();
    std::vector<double> out(kPoints);
    for (auto _ : state) {
        for (int k = 0; k < kPoints; ++k) out[k] = f->native(p.x[k], p.y[k]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void nativePow(benchmark::State& state, const Formula* f) {
    const Points& p = points();
    std::vector<double> out(kPoints);
    const double two = opaqueTwo, three = opaqueThree;
    for (auto _ : state) {
        for (int k = 0; k < kPoints; ++k) out[k] = f->nativePow(p.x[k], p.y[k], two, three);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void muparser(benchmark::State& state, const Formula* f) {
    const Points& p = points();
    std::vector<double> out(kPoints);
    double x = 0, y = 0;
    mu::Parser parser;
    parser.DefineVar("x", &x);
    parser.DefineVar("y", &y);
    parser.SetExpr(f->text);
    for (auto _ : state) {
        for (int k = 0; k < kPoints; ++k) {
            x = p.x[k];
            y = p.y[k];
            out[k] = parser.Eval();
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void evaluateTree(benchmark::State& state, const Formula* f) {
    Session s;
    kv::NodePtr tree = s.ci.parseCommand(f->text);
    auto& vars = s.ci.workspace().variables;
    const auto xi = static_cast<std::size_t>(s.ci.workspace().variableIndex("x"));
    const auto yi = static_cast<std::size_t>(s.ci.workspace().variableIndex("y"));
    const Points& p = points();
    std::vector<double> out(kPoints);
    for (auto _ : state) {
        for (int k = 0; k < kPoints; ++k) {
            vars[xi].value = p.x[k];
            vars[yi].value = p.y[k];
            out[k] = tree->evaluate();
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void compiled(benchmark::State& state, const Formula* f) {
    Session s;
    kv::NodePtr tree = s.ci.parseCommand(f->text);
    const int xi = s.ci.workspace().variableIndex("x");
    const int yi = s.ci.workspace().variableIndex("y");
    const kv::CompiledExpr c(*tree, {{xi, true}, {yi, true}});
    if (!c.ok()) {
        state.SkipWithError("not compiled");
        return;
    }
    kv::CompiledExpr::Scratch scratch;
    c.prepare(scratch);
    const Points& p = points();
    std::vector<double> out(kPoints);
    const double* inputs[] = {p.x.data(), p.y.data()};
    const long long before = kv::bench::allocationCount();
    for (auto _ : state) {
        c.evaluate(inputs, kPoints, out.data(), scratch);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = static_cast<double>(kv::bench::allocationCount() - before);
    state.SetItemsProcessed(state.iterations() * kPoints);
}

}  // namespace

// Before timing: every evaluator gives the values of native code, and the
// compiled form the very bits of `evaluate`.
void checkAgreement() {
    const Points& p = points();
    const double two = opaqueTwo, three = opaqueThree;
    for (const Formula& f : kFormulas) {
        Session s;
        kv::NodePtr tree = s.ci.parseCommand(f.text);
        const int xi = s.ci.workspace().variableIndex("x");
        const int yi = s.ci.workspace().variableIndex("y");
        auto& vars = s.ci.workspace().variables;
        const kv::CompiledExpr c(*tree, {{xi, true}, {yi, true}});
        kv::CompiledExpr::Scratch scratch;
        std::vector<double> out(kPoints);
        const double* inputs[] = {p.x.data(), p.y.data()};
        c.evaluate(inputs, kPoints, out.data(), scratch);
        double x = 0, y = 0;
        mu::Parser parser;
        parser.DefineVar("x", &x);
        parser.DefineVar("y", &y);
        parser.SetExpr(f.text);
        double worst[3] = {0, 0, 0};
        int differentBits = 0;
        for (int k = 0; k < kPoints; ++k) {
            x = p.x[k];
            y = p.y[k];
            vars[static_cast<std::size_t>(xi)].value = x;
            vars[static_cast<std::size_t>(yi)].value = y;
            const double ref = f.native(x, y);
            const double e = tree->evaluate();
            if (e != out[k]) ++differentBits;
            const double values[3] = {f.nativePow(x, y, two, three), parser.Eval(), e};
            for (int m = 0; m < 3; ++m)
                worst[m] =
                    std::max(worst[m], std::fabs(values[m] - ref) / std::max(1.0, std::fabs(ref)));
        }
        std::printf(
            "%s = %s: largest relative difference to native: native_pow %.1e, muparser "
            "%.1e, evaluate %.1e; compiled differs from evaluate at %d of %d points\n",
            f.name, f.text, worst[0], worst[1], worst[2], differentBits, kPoints);
    }
}

// The ratio of the compiled form's time to native code's, measured in pairs:
// 401 times the native loop then the compiled one, each over the 1000 points
// ten times (a few hundred microseconds), and the median of the pairs'
// ratios. Both sides of a pair see the same state of the machine, so a slow
// spell of a shared machine, which moves the medians of separate benchmarks
// by half, barely moves this.
double pairedRatio(const Formula& f) {
    Session s;
    kv::NodePtr tree = s.ci.parseCommand(f.text);
    const kv::CompiledExpr c(*tree, {{s.ci.workspace().variableIndex("x"), true},
                                     {s.ci.workspace().variableIndex("y"), true}});
    if (!c.ok()) return 0.0;
    kv::CompiledExpr::Scratch scratch;
    c.prepare(scratch);
    const Points& p = points();
    std::vector<double> out(kPoints);
    const double* inputs[] = {p.x.data(), p.y.data()};
    // Ten evaluations of the 1000 points per side: a few hundred microseconds.
    auto tenTimes = [&](auto&& body) {
        return [&, body] {
            for (int r = 0; r < 10; ++r) {
                body();
                benchmark::DoNotOptimize(out.data());
                benchmark::ClobberMemory();
            }
        };
    };
    return kv::bench::pairedRatio(
        401, tenTimes([&] {
            for (int k = 0; k < kPoints; ++k) out[k] = f.native(p.x[k], p.y[k]);
        }),
        tenTimes([&] { c.evaluate(inputs, kPoints, out.data(), scratch); }));
}

int main(int argc, char** argv) {
    checkAgreement();
    const char* kinds[] = {"native", "native_pow", "muparser", "evaluate", "compiled"};
    void (*fns[])(benchmark::State&, const Formula*) = {native, nativePow, muparser, evaluateTree,
                                                        compiled};
    for (int k = 0; k < 5; ++k)
        for (const Formula& f : kFormulas)
            benchmark::RegisterBenchmark((std::string(kinds[k]) + "/" + f.name).c_str(), fns[k],
                                         &f);
    return kv::bench::runAll(argc, argv, [&](const kv::bench::MedianReporter& r) {
        std::printf("\nns per evaluation (median), and the ratio to native:\n");
        std::printf("%-12s", "");
        for (const Formula& f : kFormulas) std::printf("%18s", f.name);
        std::printf("\n");
        for (const char* kind : kinds) {
            std::printf("%-12s", kind);
            for (const Formula& f : kFormulas) {
                const double ns = r.at(std::string(kind) + "/" + f.name) / kPoints;
                const double base = r.at(std::string("native/") + f.name) / kPoints;
                std::printf("%10.2f (%4.2fx)", ns, base > 0 ? ns / base : 0.0);
            }
            std::printf("\n");
        }
        std::printf("\ncompiled / native, median of 401 paired runs:");
        for (const Formula& f : kFormulas) std::printf("  %s %.2fx", f.name, pairedRatio(f));
        std::printf("\n");
    });
}
