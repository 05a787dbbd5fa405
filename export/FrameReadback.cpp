#include "export/FrameReadback.h"

#include <algorithm>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

namespace kv {

namespace {

// While one lives, the current read framebuffer holds the resolved picture
// (without multisampling it changes nothing).
class ResolvedFrame {
  public:
    ResolvedFrame(int width, int height);
    ~ResolvedFrame();
    ResolvedFrame(const ResolvedFrame&) = delete;
    ResolvedFrame& operator=(const ResolvedFrame&) = delete;

  private:
    GLint previousRead_ = 0;
    GLuint framebuffer_ = 0;
    GLuint colorBuffer_ = 0;
};

ResolvedFrame::ResolvedFrame(int width, int height) {
    if (width <= 0 || height <= 0) return;
    GLint read = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    if (sampleBuffers == 0) return;
    previousRead_ = read;
    GLint draw = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);

    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colorBuffer_);
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              colorBuffer_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

ResolvedFrame::~ResolvedFrame() {
    if (framebuffer_ == 0) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead_));
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &colorBuffer_);
}

}  // namespace

void readFrame(int width, int height, PixelLayout layout, std::vector<unsigned char>& pixels) {
    if (width <= 0 || height <= 0) {
        pixels.clear();
        return;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    pixels.resize(stride * static_cast<std::size_t>(height));
    const ResolvedFrame resolved(width, height);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    const bool rgb = layout == PixelLayout::RgbTopRowFirst;
    glReadPixels(0, 0, width, height, rgb ? GL_RGB : GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    glPopClientAttrib();
    if (!rgb) return;
    // GL gives the bottom row first.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(top * stride),
                         pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * stride),
                         pixels.begin() + static_cast<std::ptrdiff_t>(bottom * stride));
}

}  // namespace kv
