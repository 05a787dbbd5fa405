#include "export/AnimationExport.h"

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "export/AviWriter.h"
#include "export/ExportMessages.h"
#include "export/Snapshot.h"
#include "graphics/GlRenderer.h"
#include "graphics/SceneModel.h"

namespace kv {

namespace {

std::string withNumber(const char* format, int value) {
    char text[160];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The bottom-left width x height pixels of the current read buffer as BGR
// triples, the bottom row first, rows packed.
void readFrame(int width, int height, std::vector<unsigned char>& pixels) {
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    glPopClientAttrib();
}

}  // namespace

std::string checkAnimationSettings(int frames, int framesPerSecond) {
    if (frames < 1 || frames > AnimationSettings::kMaxFrames)
        return withNumber(exportmsg::kAviFrameCount, AnimationSettings::kMaxFrames);
    if (framesPerSecond < 1 || framesPerSecond > AnimationSettings::kMaxFramesPerSecond)
        return withNumber(exportmsg::kAviRate, AnimationSettings::kMaxFramesPerSecond);
    return {};
}

bool recordAnimation(SceneModel& scene, GlRenderer& renderer, int paneWidth, int paneHeight,
                     const std::string& path, const AnimationSettings& settings,
                     std::string& error, const std::function<void(int)>& progress) {
    error = checkAnimationSettings(settings.frames, settings.frames_per_second);
    if (!error.empty()) return false;
    const int width = AviWriter::roundedSize(paneWidth);
    const int height = AviWriter::roundedSize(paneHeight);
    AviWriter writer(path, width, height, settings.frames_per_second, settings.codec);
    if (!writer.open(error)) return false;

    scene.rewindFrames();
    std::vector<unsigned char> pixels;
    bool ok = true;
    for (int i = 0; i < settings.frames && ok; ++i) {
        scene.playStep();
        ok = renderer.renderFrame(scene);
        if (!ok) {
            error = exportmsg::kAviWriteFailed;
            break;
        }
        readFrame(width, height, pixels);
        ok = writer.writeFrame(pixels.data(), error);
        if (progress) progress(i + 1);
    }
    if (ok) ok = writer.finish(error);
    scene.rewindFrames();
    return ok;
}

bool renderAnimation(SceneModel& scene, const std::string& path, int width, int height,
                     const AnimationSettings& settings, std::string& error) {
    return withHeadlessRenderer(scene, width, height, error, [&](GlRenderer& renderer) {
        return recordAnimation(scene, renderer, width, height, path, settings, error);
    });
}

}  // namespace kv
