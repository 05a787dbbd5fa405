// One frame of a 200 x 200 surface in render mode 2, drawn into a headless
// EGL context (Mesa's llvmpipe when there is no GPU): the first frame, which
// compiles the display list, and the frames after it, which replay it.
#include <GL/gl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "export/HeadlessContext.h"
#include "graphics/GlRenderer.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
const char* const kSurface =
    "surface(exp(-(x^2+y^2))*cos(3*x)*sin(2*y), [-2..2], [-2..2], nlines_x=200, nlines_y=200, "
    "id=1)";

struct Scene {
    kv::bench::Session s;
    kv::HeadlessContext context{kWidth, kHeight};
    kv::GlRenderer renderer;
    explicit Scene(int mode = 2) {
        if (!context.ok()) return;
        static bool told = false;
        if (!told) {
            told = true;
            std::printf("GL_RENDERER: %s\n",
                        reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        }
        renderer.initialize();
        renderer.resize(kWidth, kHeight);
        s.scene.render_mode = static_cast<kv::SceneModel::RenderMode>(mode);
        s.run(kSurface);
    }
    ~Scene() {
        if (context.makeCurrent()) renderer.releaseContext(s.scene);
    }
};

void firstFrame(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<Scene>();
        if (!scene->context.ok()) {
            state.SkipWithError(scene->context.error().c_str());
            break;
        }
        state.ResumeTiming();
        scene->renderer.renderFrame(scene->s.scene);
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
}

// The frame in render mode state.range(0): 0 lit faces, 1 the mesh alone,
// 2 both (the goal's subject).
void frame(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    if (!scene.context.ok()) {
        state.SkipWithError(scene.context.error().c_str());
        return;
    }
    scene.renderer.renderFrame(scene.s.scene);  // compiles the list
    for (auto _ : state) scene.renderer.renderFrame(scene.s.scene);
}

}  // namespace

BENCHMARK(firstFrame)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(frame)->Arg(2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return kv::bench::runAll(argc, argv, [](const kv::bench::MedianReporter& r) {
        std::printf(
            "\n200 x 200 surface in mode 2, %d x %d, median: first frame %.2f ms, "
            "frame %.2f ms (goal: under 50 ms)\n",
            kWidth, kHeight, r.at("firstFrame") / 1e6, r.at("frame/2") / 1e6);
    });
}
