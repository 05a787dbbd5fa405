// Draws the scene with fixed-function OpenGL into whatever framebuffer is
// current: the scene pane's, or a headless one for snapshots and tests. This
// is the one place of the graphics model that calls GL.
//
// A graph's frames are compiled into display lists from their CPU geometry
// the first time they are drawn, and the list names kept in the graph's
// `lists` (and `edgeLists` for a surface's mesh and a thick curve's joins);
// the lists belong to the context the renderer draws in. Whoever owns the
// context tells the renderer before a graph is released (releaseGraph) and
// before the context goes away (releaseContext).
//
// Lines are antialiased by multisampling where the framebuffer has samples
// (a line of many sub-pixel segments then stays as dark as one of few), by
// blended line smoothing otherwise. Depth passes on equal values, so the
// fragments of one line drawn over each other do not erase each other.
#pragma once

#include <string>

#include "graphics/LabelFont.h"
#include "graphics/SceneModel.h"

namespace kv {

class GraphObject;
struct Color;
struct FrameGeometry;
struct OverlayLabel;

class GlRenderer {
  public:
    // Vertical field of view in degrees. The near and far planes follow
    // the scene (graphics/DepthRange.h).
    static constexpr double kFieldOfView = 55.0;
    // Lines wider than this many device pixels get round joins.
    static constexpr float kJoinWidth = 2.0f;

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

    // Viewport and perspective for a drawing area of width x height device
    // pixels. An area without size leaves both as they were.
    void resize(int width, int height);

    // Device pixels to the logical pixel of the screen drawn on: line
    // widths and the label glyphs are scaled by it. 1 headless.
    void setDevicePixelRatio(double ratio);

    // Line antialiasing on or off (multisampling, or line smoothing where
    // the framebuffer has no samples) from the next frame on; blending
    // stays on. Needs no current context.
    void setAntialias(bool on);

    // Draws the whole scene into the current framebuffer (no buffer swap)
    // and waits for it to finish. False, drawing nothing, before
    // initialize() or while a frame is already being drawn.
    bool renderFrame(SceneModel& scene);

    // Draws one graph at its animation counter in the scene's render mode,
    // compiling the frame's display list first if it has none yet.
    // lineWidth is in logical pixels.
    void drawGraph(GraphObject& graph, SceneModel::RenderMode renderMode, int counter,
                   float lineWidth);

    // Deletes the graph's display lists (the context must be current).
    void releaseGraph(GraphObject& graph);
    // Deletes everything made in this context: the label font and the lists
    // of every graph of the scene. Call it with the context current, before
    // the context is destroyed; initialize() must run again for a new one.
    void releaseContext(SceneModel& scene);

    // How a lit mesh is drawn: the diffuse colours of its GL front and back
    // faces, its wireframe colour and its shading.
    struct MeshLook {
        Color frontFaces;
        Color backFaces;
        Color wire;
        ShadeModel shade;
    };

  private:
    // Calls the frame's list, compiling it first.
    void callFrame(GraphObject& graph, int counter);
    // Calls the frame's second list (mesh edges or joins), compiling it first.
    void callEdges(GraphObject& graph, int counter);
    void applyAntialiasing();
    int labelPixelHeight() const;
    void lineWidth(float logicalWidth);
    void drawJoins(GraphObject& graph, int counter, float logicalWidth);
    void drawCurve(GraphObject& graph, int counter, float lineWidth);
    void drawSurface(GraphObject& graph, const MeshLook& look, SceneModel::RenderMode renderMode,
                     int counter);
    void drawImplicitCurve(GraphObject& graph, int counter, float lineWidth);
    void drawOverlay(const SceneModel& scene);
    void drawLabel(const OverlayLabel& label, const Color& background);

    LabelFont font_;
    std::string fontError_;
    double aspect_ = 0.0;  // 0 until the first resize
    double devicePixelRatio_ = 1.0;
    bool antialias_ = true;
    bool initialized_ = false;
    bool drawing_ = false;
};

}  // namespace kv
