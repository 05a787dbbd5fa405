// An OpenGL context without any window or display: Mesa's surfaceless EGL
// platform, a compatibility-profile context (the scene is drawn with the
// fixed-function pipeline and display lists) and a framebuffer object of a
// given size with colour and depth, current for drawing and reading. The
// framebuffer is multisampled where the driver allows it; read it back
// through a ResolvedFrame.
#pragma once

#include <string>

namespace kv {

class HeadlessContext {
  public:
    // Creates the context and its framebuffer and makes them current. Check
    // ok(); error() says what failed otherwise.
    HeadlessContext(int width, int height);
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Samples per pixel of the framebuffer; 0 without multisampling.
    int samples() const { return samples_; }

    // Makes this context and its framebuffer current again (after another
    // context was used on this thread).
    bool makeCurrent();

    // The largest width or height asked for; larger requests fail at once.
    static constexpr int kMaxSize = 16384;
    // Samples per pixel asked for.
    static constexpr int kSamples = 4;
    // Pictures of more pixels than this are drawn with one sample per pixel.
    static constexpr long long kMaxMultisampledPixels = 4096LL * 4096LL;

  private:
    bool create();
    bool createFramebuffer();
    void deleteFramebuffer();
    void destroy();

    int width_;
    int height_;
    int samples_ = 0;
    bool ok_ = false;
    std::string error_;
    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    unsigned framebuffer_ = 0;
    unsigned colorBuffer_ = 0;
    unsigned depthBuffer_ = 0;
};

}  // namespace kv
