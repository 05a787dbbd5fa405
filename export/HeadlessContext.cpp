#include "export/HeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace kv {

namespace {

// The framebuffer-object entry points are not part of the GL 1.x library
// interface; they are looked up once a context exists.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    template <typename F>
    static bool load(F& f, const char* name) {
        f = reinterpret_cast<F>(eglGetProcAddress(name));
        return f != nullptr;
    }

    bool load() {
        return load(genFramebuffers, "glGenFramebuffers") &&
               load(deleteFramebuffers, "glDeleteFramebuffers") &&
               load(bindFramebuffer, "glBindFramebuffer") &&
               load(genRenderbuffers, "glGenRenderbuffers") &&
               load(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               load(bindRenderbuffer, "glBindRenderbuffer") &&
               load(renderbufferStorage, "glRenderbufferStorage") &&
               load(renderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
               load(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               load(checkFramebufferStatus, "glCheckFramebufferStatus");
    }
};

FramebufferFunctions fb;

std::string eglFailure(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " (EGL " + code + ")";
}

bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    const std::size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
        const bool starts = p == list || p[-1] == ' ';
        const bool ends = p[n] == '\0' || p[n] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

}  // namespace

HeadlessContext::HeadlessContext(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0 || width > kMaxSize || height > kMaxSize) {
        error_ = "invalid size " + std::to_string(width) + "x" + std::to_string(height);
        return;
    }
    ok_ = create();
    if (!ok_) destroy();
}

HeadlessContext::~HeadlessContext() {
    destroy();
}

bool HeadlessContext::create() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        error_ = "EGL without the surfaceless platform";
        return false;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error_ = "EGL without eglGetPlatformDisplayEXT";
        return false;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        error_ = eglFailure("no surfaceless EGL display");
        return false;
    }
    if (!eglInitialize(display, nullptr, nullptr)) {
        error_ = eglFailure("eglInitialize failed");
        return false;
    }
    // The display is shared by every context and stays initialised while
    // the process runs: terminating it would unload the driver, which the
    // next picture loads again (and which keeps allocations of its own).
    display_ = display;

    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = eglFailure("no desktop OpenGL through EGL");
        return false;
    }
    // The surfaceless platform renders into framebuffer objects only, so the
    // context needs no configuration when the driver allows that.
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!hasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint found = 0;
        if (!eglChooseConfig(display, wanted, &config, 1, &found) || found == 0) {
            error_ = eglFailure("no EGL configuration for OpenGL");
            return false;
        }
    }
    // Display lists and the fixed-function pipeline: a compatibility profile.
    const EGLint compatibility[] = {EGL_CONTEXT_MAJOR_VERSION,
                                    2,
                                    EGL_CONTEXT_MINOR_VERSION,
                                    1,
                                    EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                    EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
        const EGLint plain[] = {EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, plain);
    }
    if (context == EGL_NO_CONTEXT) {
        error_ = eglFailure("eglCreateContext failed");
        return false;
    }
    context_ = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error_ = eglFailure("eglMakeCurrent failed");
        return false;
    }
    // A core profile would hand out no display lists.
    const GLuint probe = glGenLists(1);
    if (probe == 0) {
        error_ = "the OpenGL context has no display lists";
        return false;
    }
    glDeleteLists(probe, 1);
    return createFramebuffer();
}

bool HeadlessContext::createFramebuffer() {
    if (!fb.load()) {
        error_ = "OpenGL without framebuffer objects";
        return false;
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width_ > maxSize || height_ > maxSize) {
        error_ = "size above the renderer's limit " + std::to_string(maxSize);
        return false;
    }
    // Multisampled colour and depth where the renderer offers them: lines
    // are antialiased by coverage, so a curve of a million tiny segments is
    // as dark as one of a hundred. Readers resolve the samples first.
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    // Very large pictures (posters) keep to one sample: four of them would
    // take gigabytes.
    const bool small = static_cast<long long>(width_) * height_ <= kMaxMultisampledPixels;
    samples_ = maxSamples >= kSamples && small ? kSamples : 0;
    for (;;) {
        fb.genFramebuffers(1, &framebuffer_);
        fb.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        fb.genRenderbuffers(1, &colorBuffer_);
        fb.bindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
        fb.renderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_RGBA8, width_, height_);
        fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                   colorBuffer_);
        fb.genRenderbuffers(1, &depthBuffer_);
        fb.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
        fb.renderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_DEPTH_COMPONENT24, width_,
                                          height_);
        fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                   depthBuffer_);
        const bool complete =
            fb.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
            glGetError() == GL_NO_ERROR;
        if (complete) break;
        deleteFramebuffer();
        if (samples_ == 0) {
            error_ = "the framebuffer of " + std::to_string(width_) + "x" +
                     std::to_string(height_) + " cannot be made";
            return false;
        }
        samples_ = 0;  // without multisampling, lines are smoothed instead
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width_, height_);
    return true;
}

bool HeadlessContext::makeCurrent() {
    if (!ok_) return false;
    if (!eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                        static_cast<EGLContext>(context_)))
        return false;
    fb.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return true;
}

void HeadlessContext::deleteFramebuffer() {
    fb.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer_) fb.deleteFramebuffers(1, &framebuffer_);
    if (colorBuffer_) fb.deleteRenderbuffers(1, &colorBuffer_);
    if (depthBuffer_) fb.deleteRenderbuffers(1, &depthBuffer_);
    framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
}

void HeadlessContext::destroy() {
    if (!display_) return;
    EGLDisplay display = static_cast<EGLDisplay>(display_);
    if (context_) {
        EGLContext context = static_cast<EGLContext>(context_);
        if (framebuffer_ && eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
            deleteFramebuffer();
        if (eglGetCurrentContext() == context)
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    display_ = nullptr;
    context_ = nullptr;
    framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
    ok_ = false;
}

}  // namespace kv
