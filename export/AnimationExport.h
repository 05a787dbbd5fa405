// Recording the scene's animation as a video: every step turns the scene by
// its spin and moves every animated graph one frame, as the animation timer
// does, then the frame is drawn without being shown, read back and written
// to the AVI file.
#pragma once

#include <functional>
#include <string>

namespace kv {

class GlRenderer;
class SceneModel;

struct AnimationSettings {
    static constexpr int kMaxFrames = 10000;
    static constexpr int kMaxFramesPerSecond = 100;

    int frames = 12;
    int frames_per_second = 6;
    std::string codec;  // empty: the container's first encoder (rawvideo for AVI)
};

// The message for a frame count or rate out of range; empty when both are
// usable.
std::string checkAnimationSettings(int frames, int framesPerSecond);

// Records the video with the GL context current and `renderer` set up for a
// drawing area of paneWidth x paneHeight pixels; the frames are that area
// rounded down to multiples of 4. Every graph's frame counter starts at 0 and
// is back at 0 afterwards. `progress`, when given, is told the number of
// frames done. False with the message in `error`; then no file is left.
bool recordAnimation(SceneModel& scene, GlRenderer& renderer, int paneWidth, int paneHeight,
                     const std::string& path, const AnimationSettings& settings, std::string& error,
                     const std::function<void(int)>& progress = {});

// The same in a headless context of width x height pixels, as the scene pane
// of that size would show it (for the batch runner).
bool renderAnimation(SceneModel& scene, const std::string& path, int width, int height,
                     const AnimationSettings& settings, std::string& error);

}  // namespace kv
