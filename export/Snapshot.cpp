#include "export/Snapshot.h"

#include "engine/TextScan.h"
#include "export/FrameReadback.h"
#include "export/HeadlessContext.h"
#include "export/JpegWriter.h"
#include "export/PngWriter.h"
#include "graphics/GlRenderer.h"
#include "graphics/SceneModel.h"

namespace kv {

namespace {

// The reasons of the libraries, some of several lines, as one line.
std::string oneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == '\n' || c == '\r' || c == ' ' || c == '\t';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::vector<unsigned char> readPixelsTopDown(int width, int height) {
    std::vector<unsigned char> pixels;
    readFrame(width, height, PixelLayout::RgbTopRowFirst, pixels);
    return pixels;
}

bool isPngName(const std::string& path) {
    return endsWithIgnoringCase(path, ".png");
}

std::string withPictureExtension(const std::string& chosen, bool png) {
    if (chosen.ends_with(".png") || chosen.ends_with(".jpg")) return chosen;
    return chosen + (png ? ".png" : ".jpg");
}

bool writePicture(const std::string& path, const unsigned char* pixels, int width, int height,
                  std::string* error, bool* fatal) {
    if (isPngName(path)) {
        if (fatal) *fatal = false;
        return writePng(path, pixels, width, height, error);
    }
    return writeJpeg(path, pixels, width, height, true, 100, error, fatal);
}

bool saveSnapshot(const std::string& path, int width, int height, std::string* error, bool* fatal) {
    const std::vector<unsigned char> pixels = readPixelsTopDown(width, height);
    return writePicture(path, pixels.empty() ? nullptr : pixels.data(), width, height, error,
                        fatal);
}

bool withHeadlessRenderer(SceneModel& scene, int width, int height, std::string& error,
                          const std::function<bool(GlRenderer&)>& draw) {
    HeadlessContext context(width, height);
    if (!context.ok()) {
        error = context.error();
        return false;
    }
    GlRenderer renderer;
    renderer.initialize();
    renderer.resize(width, height);
    const bool done = draw(renderer);
    // The lists die with the context; the graphs must not keep their names.
    renderer.releaseContext(scene);
    return done;
}

bool renderSnapshot(SceneModel& scene, const std::string& path, int width, int height,
                    std::string& error, std::string* warning) {
    return withHeadlessRenderer(scene, width, height, error, [&](GlRenderer& renderer) {
        if (warning) *warning = renderer.fontError();
        renderer.renderFrame(scene);
        const bool saved = saveSnapshot(path, width, height, &error);
        error = oneLine(error);
        return saved;
    });
}

}  // namespace kv
