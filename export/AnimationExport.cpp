#include "export/AnimationExport.h"

#include <cstdio>
#include <vector>

#include "export/AviWriter.h"
#include "export/ExportMessages.h"
#include "export/FrameReadback.h"
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

}  // namespace

std::string checkAnimationSettings(int frames, int framesPerSecond) {
    if (frames < 1 || frames > AnimationSettings::kMaxFrames)
        return withNumber(exportmsg::kAviFrameCount, AnimationSettings::kMaxFrames);
    if (framesPerSecond < 1 || framesPerSecond > AnimationSettings::kMaxFramesPerSecond)
        return withNumber(exportmsg::kAviRate, AnimationSettings::kMaxFramesPerSecond);
    return {};
}

bool recordAnimation(SceneModel& scene, GlRenderer& renderer, int paneWidth, int paneHeight,
                     const std::string& path, const AnimationSettings& settings, std::string& error,
                     const std::function<void(int)>& progress) {
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
        readFrame(width, height, PixelLayout::BgrBottomRowFirst, pixels);
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
