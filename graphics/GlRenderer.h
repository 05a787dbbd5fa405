// Draws the scene with fixed-function OpenGL into whatever framebuffer is
// current: the scene pane's, or a headless one for snapshots and tests. This
// is the one place of the graphics model that calls GL.
//
// A graph's frames are compiled into display lists from their CPU geometry
// the first time they are drawn, and the list names kept in the graph's
// `lists`; the lists belong to the context the renderer draws in. Whoever
// owns the context tells the renderer before a graph is released
// (releaseGraph) and before the context goes away (releaseContext).
#pragma once

#include <string>

#include "graphics/LabelFont.h"
#include "graphics/SceneModel.h"

namespace kv {

class GraphObject;
struct FrameGeometry;
struct OverlayLabel;

class GlRenderer {
  public:
    // Vertical field of view in degrees, near and far planes.
    static constexpr double kFieldOfView = 55.0;
    static constexpr double kNear = 0.01;
    static constexpr double kFar = 1e9;

    GlRenderer() = default;
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    // Context set-up, with the new context current: depth test, smooth
    // shading, lighting (two-sided, a directional light fixed to the
    // viewer), normalisation, blended antialiased lines and the label font.
    // When the font cannot be made the scene is drawn without labels and
    // fontError() says why.
    void initialize();
    bool initialized() const { return initialized_; }
    bool labelsAvailable() const { return font_.ready(); }
    const std::string& fontError() const { return fontError_; }

    // Viewport and perspective for a drawing area of width x height pixels.
    // An area without size leaves both as they were.
    void resize(int width, int height);

    // Line antialiasing on or off; blending stays on.
    void setAntialias(bool on);

    // Draws the whole scene into the current framebuffer (no buffer swap)
    // and waits for it to finish. False, drawing nothing, before
    // initialize() or while a frame is already being drawn.
    bool renderFrame(SceneModel& scene);

    // Draws one graph at its animation counter in the scene's render mode,
    // compiling the frame's display list first if it has none yet.
    void drawGraph(GraphObject& graph, SceneModel::RenderMode renderMode, int counter,
                   float lineWidth);

    // Deletes the graph's display lists (the context must be current).
    void releaseGraph(GraphObject& graph);
    // Deletes everything made in this context: the label font and the lists
    // of every graph of the scene. Call it with the context current, before
    // the context is destroyed; initialize() must run again for a new one.
    void releaseContext(SceneModel& scene);

  private:
    // Calls the frame's list, compiling it first; draws directly when the
    // context has no list to give.
    void callFrame(GraphObject& graph, int counter);
    void drawCurve(GraphObject& graph, int counter, float lineWidth);
    void drawSurface(GraphObject& graph, SceneModel::RenderMode renderMode, int counter);
    void drawImplicitCurve(GraphObject& graph, int counter, float lineWidth);
    void drawOverlay(const SceneModel& scene);
    void drawLabel(const OverlayLabel& label);

    LabelFont font_;
    std::string fontError_;
    bool initialized_ = false;
    bool drawing_ = false;
};

}  // namespace kv
