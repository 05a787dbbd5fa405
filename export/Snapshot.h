// Pictures of the scene: reading the current framebuffer back upright and
// saving it as a PNG or JPEG file, and rendering a scene off the screen for
// the batch runner.
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

// Whether a picture's name asks for PNG (it ends in ".png", in any case);
// every other name is written as JPEG.
bool isPngName(const std::string& path);

// The name a picture chosen in the export dialog is saved under: a name
// ending in ".png" or ".jpg" (exactly so, in lower case) stays as it is,
// any other gets the extension of the chosen type appended.
std::string withPictureExtension(const std::string& chosen, bool png);

// Writes 8-bit RGB pixels, the top row first, as PNG or JPEG (quality 100)
// by the name. `error` and `fatal` as for writeJpeg.
bool writePicture(const std::string& path, const unsigned char* pixels, int width, int height,
                  std::string* error = nullptr, bool* fatal = nullptr);

// Reads what the current framebuffer shows and saves it with writePicture.
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
