// A surface of E2 = exp(-(x^2+y^2))*cos(3*x)*sin(2*y) over [-2, 2]^2 with its
// normals: built by the program (compiled sampling and point by point with
// `evaluate`), against native code computing the same values and normals.
// Implicit surfaces on an n^3 grid with their gradient normals: the unit
// sphere and a torus.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"

namespace {

std::string command(int n) {
    return "surface(exp(-(x^2+y^2))*cos(3*x)*sin(2*y), [-2..2], [-2..2], nlines_x=" +
           std::to_string(n) + ", nlines_y=" + std::to_string(n) + ", id=1)";
}

void build(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, command(n), true, static_cast<double>(n) * n);
}

void buildPlain(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, command(n), false, static_cast<double>(n) * n);
}

// The grid counts fixed, so the box's extent does not change the work.
std::string implicitCommand(const char* zeroSet, int n) {
    const std::string count = std::to_string(n);
    return std::string("isurface(") + zeroSet + ", num_x=" + count + ", num_y=" + count +
           ", num_z=" + count + ", id=1)";
}

constexpr const char* kSphere = "x^2+y^2+z^2=1, [-1.2..1.2], [-1.2..1.2], [-1.2..1.2]";
constexpr const char* kTorus =
    "(sqrt(x^2+y^2)-1)^2+z^2=0.09, [-1.4..1.4], [-1.4..1.4], [-0.4..0.4]";

void implicit(benchmark::State& state, const char* zeroSet) {
    const int n = static_cast<int>(state.range(0));
    kv::bench::buildGraph(state, implicitCommand(zeroSet, n), true, static_cast<double>(n) * n * n);
}

struct Node {
    float p[3];
    float n[3];
};

// The values and unit normals -(Pu x Pv)/|Pu x Pv| of z = f(x, y), with
// Pu = (1, 0, fx) and Pv = (0, 1, fy) written out by hand.
void nativeSurface(int n, std::vector<Node>& nodes) {
    const double step = 4.0 / (n - 1);
    double u = -2.0;
    for (int i = 0; i < n; ++i, u += step) {
        double v = -2.0;
        for (int j = 0; j < n; ++j, v += step) {
            const double e = std::exp(-(u * u + v * v));
            const double c3 = std::cos(3 * u), s3 = std::sin(3 * u);
            const double c2 = std::cos(2 * v), s2 = std::sin(2 * v);
            const double z = e * c3 * s2;
            const double fx = e * s2 * (-2 * u * c3 - 3 * s3);
            const double fy = e * c3 * (-2 * v * s2 + 2 * c2);
            const double nx = fx, ny = fy, nz = -1.0;
            const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
            Node& node = nodes[static_cast<std::size_t>(i) * n + j];
            node.p[0] = static_cast<float>(u);
            node.p[1] = static_cast<float>(v);
            node.p[2] = static_cast<float>(z);
            node.n[0] = static_cast<float>(nx / len);
            node.n[1] = static_cast<float>(ny / len);
            node.n[2] = static_cast<float>(nz / len);
        }
    }
    benchmark::DoNotOptimize(nodes.data());
    benchmark::ClobberMemory();
}

void native(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<Node> nodes(static_cast<std::size_t>(n) * n);
    for (auto _ : state) nativeSurface(n, nodes);
}

// The build's time over native code's, measured in pairs: 41 times native
// code then the build, and the median of the pairs' ratios (both sides of a
// pair see the same state of a shared machine).
double pairedRatio(int n) {
    kv::bench::Session s;
    std::vector<Node> nodes(static_cast<std::size_t>(n) * n);
    return kv::bench::pairedRatio(
        41, [&] { nativeSurface(n, nodes); },
        [&] {
            s.run(command(n));
            s.run("clear_graphs()");
        });
}

}  // namespace

BENCHMARK(native)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(build)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(buildPlain)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(implicit, Sphere, kSphere)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(implicit, Torus, kTorus)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        const double base = r.at("native/500");
        std::printf("\n500 x 500 surface of E2 with normals, median, and the ratio to native:\n");
        for (const char* name : {"native/500", "build/500", "buildPlain/500"})
            std::printf("%-16s %8.2f ms (%5.2fx)\n", name, r.at(name) / 1e6,
                        base > 0 ? r.at(name) / base : 0.0);
        std::printf("build / native, median of 41 paired runs: %.2fx\n", pairedRatio(500));
        std::printf("\nisurface on a 100^3 grid with normals, median:\n");
        for (const char* name : {"implicit/Sphere/100", "implicit/Torus/100"})
            std::printf("%-20s %8.2f ms\n", name, r.at(name) / 1e6);
    });
}
