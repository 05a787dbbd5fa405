// Pictures of the scene: reading the current framebuffer back upright and
// saving it as a JPEG file, and rendering a scene off the screen for the
// batch runner.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kv {

class GlRenderer;
class SceneModel;

// The width x height pixels of the current read buffer as 8-bit RGB, the top
// row first (GL's row 0 is the bottom one), read one row at a time.
std::vector<unsigned char> readPixelsTopDown(int width, int height);

// Reads what the current framebuffer shows and saves it as a JPEG file of
// quality 100. `error` and `fatal` as for writeJpeg.
bool saveSnapshot(const std::string& path, int width, int height, std::string* error = nullptr,
                  bool* fatal = nullptr);

// Runs `draw` with a headless context of width x height pixels current and a
// renderer set up for it as the scene pane's is after its context was made;
// afterwards releases what the renderer made for the scene's graphs. False,
// with the reason in `error`, when there is no context; otherwise what
// `draw` returns.
bool withHeadlessRenderer(SceneModel& scene, int width, int height, std::string& error,
                          const std::function<bool(GlRenderer&)>& draw);

// Draws the scene into a headless context of width x height pixels, as the
// scene pane shows it after its context was set up, and saves the picture.
// False, with the reason in `error`, when there is no context or the file
// cannot be written. `warning` receives what the picture lacks (labels
// without a font) when it is still saved.
bool renderSnapshot(SceneModel& scene, const std::string& path, int width, int height,
                    std::string& error, std::string* warning = nullptr);

}  // namespace kv
