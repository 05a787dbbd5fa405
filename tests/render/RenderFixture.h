// A scene drawn into a headless context: commands run through an
// interpreter as the console runs them, hand-made geometry can be added as a
// graph, and the rendered pixels are read back top row first. The view is
// projected here independently of GL, so tests can say where a point of the
// scene should appear.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Workspace.h"
#include "export/HeadlessContext.h"
#include "export/Snapshot.h"
#include "graphics/GlRenderer.h"
#include "graphics/GraphObject.h"
#include "graphics/SceneModel.h"
#include "lang/Builtins.h"
#include "lang/CommandInterpreter.h"

namespace kv::test {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // RGB, top row first

    Rgb at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Counts the pixels within `radius` of (x, y) that satisfy `test`.
    template <typename Test>
    int countNear(int x, int y, int radius, Test test) const {
        int n = 0;
        for (int j = y - radius; j <= y + radius; ++j)
            for (int i = x - radius; i <= x + radius; ++i)
                if (inside(i, j) && test(at(i, j))) ++n;
        return n;
    }
};

// Colour classes of antialiased drawing on a light background.
inline bool reddish(Rgb c) {
    return c.r > c.g + 60 && c.r > c.b + 60;
}
inline bool greenish(Rgb c) {
    return c.g > c.r + 60 && c.g > c.b + 60;
}
inline bool bluish(Rgb c) {
    return c.b > c.r + 60 && c.b > c.g + 60;
}
inline bool dark(Rgb c) {
    return c.r < 110 && c.g < 110 && c.b < 110;
}
inline bool white(Rgb c) {
    return c.r > 245 && c.g > 245 && c.b > 245;
}

// A graph whose only frame is the given geometry, built without parsing.
class FixedGraph : public GraphObject {
  public:
    explicit FixedGraph(FrameGeometry geometry) : geometry_(std::move(geometry)) {}

  protected:
    bool prepare() override { return true; }
    bool buildFrame(int, FrameGeometry& out) override {
        out = geometry_;
        return true;
    }
    void finish() override {}

  private:
    FrameGeometry geometry_;
};

// A square of n x n quads over [-1, 1]^2 in the plane z = 0, wound and lit as
// the surface builder makes them: clockwise seen from above, normals -z.
inline FrameGeometry squareGrid(int n) {
    FrameGeometry g;
    const float step = 2.0f / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float x0 = -1.0f + step * static_cast<float>(i);
            const float y0 = -1.0f + step * static_cast<float>(j);
            const float x1 = x0 + step;
            const float y1 = y0 + step;
            Quad q;
            q.corners[0] = {x0, y0, 0.0f};
            q.corners[1] = {x0, y1, 0.0f};
            q.corners[2] = {x1, y1, 0.0f};
            q.corners[3] = {x1, y0, 0.0f};
            for (Vec3f& normal : q.normals) normal = {0.0f, 0.0f, -1.0f};
            g.quads.push_back(q);
        }
    }
    g.box = {-1.0f, 1.0f, -1.0f, 1.0f, 0.0f, 0.0f};
    return g;
}

struct Pixel {
    double x = 0.0;  // column, from the left
    double y = 0.0;  // row, from the top
};

class RenderFixture {
  public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

    RenderFixture() : context(kWidth, kHeight) {
        if (!context.ok()) return;
        renderer.initialize();
        renderer.resize(kWidth, kHeight);
    }
    ~RenderFixture() {
        if (context.makeCurrent()) renderer.releaseContext(scene);
    }
    RenderFixture(const RenderFixture&) = delete;
    RenderFixture& operator=(const RenderFixture&) = delete;

    void run(const std::string& command) {
        ci.parseCommand(command);
        ASSERT_FALSE(ci.hasError()) << command << ": " << ci.workspace().error.message;
    }

    // Adds a graph of hand-made geometry with the given definition.
    GraphObject* add(std::unique_ptr<GraphDefinition> def, FrameGeometry geometry) {
        auto graph = std::make_unique<FixedGraph>(std::move(geometry));
        if (!graph->build(std::move(def), commandParser(ci))) return nullptr;
        return scene.addGraph(std::move(graph));
    }

    void overlay(bool on) { scene.show_box = scene.show_axes = scene.show_labels = on; }

    Image render() {
        context.makeCurrent();
        EXPECT_TRUE(renderer.renderFrame(scene));
        return {kWidth, kHeight, readPixelsTopDown(kWidth, kHeight)};
    }

    // Where a point of the scene appears: the view transform of the scene
    // (translation, rotations about x, y, z, scale) and a 55 degree
    // perspective, worked out by hand.
    Pixel project(double x, double y, double z) const {
        x *= scene.scale.x;
        y *= scene.scale.y;
        z *= scene.scale.z;
        auto turn = [](double& a, double& b, double degrees) {
            const double r = degrees * M_PI / 180.0;
            const double c = std::cos(r), s = std::sin(r);
            const double a2 = c * a - s * b;
            b = s * a + c * b;
            a = a2;
        };
        turn(x, y, scene.rotation.z);
        turn(z, x, scene.rotation.y);
        turn(y, z, scene.rotation.x);
        x += scene.translation.x;
        y += scene.translation.y;
        z += scene.translation.z;
        const double f = 1.0 / std::tan(55.0 / 2.0 * M_PI / 180.0);
        const double aspect = static_cast<double>(kWidth) / kHeight;
        const double ndcX = f / aspect * x / -z;
        const double ndcY = f * y / -z;
        return {(ndcX + 1.0) / 2.0 * kWidth, kHeight - (ndcY + 1.0) / 2.0 * kHeight};
    }

    SceneModel scene;
    CommandInterpreter ci{&scene};
    Workspace::Scope scope{ci.workspace()};
    HeadlessContext context;
    GlRenderer renderer;
};

}  // namespace kv::test
