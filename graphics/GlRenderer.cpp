#include "graphics/GlRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "graphics/DepthRange.h"
#include "graphics/Geometry.h"
#include "graphics/GraphDefinition.h"
#include "graphics/GraphObject.h"
#include "graphics/MeshEdges.h"
#include "graphics/Polylines.h"
#include "graphics/SceneModel.h"
#include "graphics/SceneOverlay.h"

namespace kv {

namespace {

bool finite(const Vec3f& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void color3(const Color& c) {
    glColor3f(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b));
}

// Replays a frame's primitives. A sample that came out undefined (not
// finite) ends its strip there: no segment is drawn towards a point that has
// no place in the scene. A quad with such a corner is left out; a normal that
// is not finite falls back to the normal of a horizontal patch. Strips and
// the segments of implicit curves are stroked as thinned runs.
void emitGeometry(const FrameGeometry& frame) {
    for (const std::vector<Vec3f>& run : strokeRuns(frame, thinningTolerance(frame.box))) {
        glBegin(GL_LINE_STRIP);
        for (const Vec3f& p : run) glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
    if (!frame.quads.empty()) {
        glBegin(GL_QUADS);
        for (const Quad& q : frame.quads) {
            if (!finite(q.corners[0]) || !finite(q.corners[1]) || !finite(q.corners[2]) ||
                !finite(q.corners[3]))
                continue;
            for (int k = 0; k < 4; ++k) {
                const Vec3f& n = finite(q.normals[k]) ? q.normals[k] : Vec3f{0.0f, 0.0f, -1.0f};
                glNormal3f(n.x, n.y, n.z);
                glVertex3f(q.corners[k].x, q.corners[k].y, q.corners[k].z);
            }
        }
        glEnd();
    }
}

// The second list of a frame: a surface's mesh, each shared edge once; the
// vertices of a line graph's strokes, drawn as round points where thick
// lines join.
void emitEdges(const FrameGeometry& frame) {
    if (!frame.quads.empty()) {
        glBegin(GL_LINES);
        for (const Edge3& e : meshEdges(frame.quads)) {
            glVertex3f(e.from.x, e.from.y, e.from.z);
            glVertex3f(e.to.x, e.to.y, e.to.z);
        }
        glEnd();
    }
    glBegin(GL_POINTS);
    for (const std::vector<Vec3f>& run : strokeRuns(frame, thinningTolerance(frame.box)))
        for (const Vec3f& p : run) glVertex3f(p.x, p.y, p.z);
    glEnd();
}

void disableClipPlanes() {
    for (int i = 0; i < 6; ++i) glDisable(static_cast<GLenum>(GL_CLIP_PLANE0 + i));
}

// The frame's planes, in model coordinates (the model-view matrix is the
// scene's when they are given).
void enableClipPlanes(const FrameGeometry& frame) {
    for (const ClipPlane& p : frame.clipPlanes) {
        if (p.index < 0 || p.index > 5) continue;
        const GLdouble equation[4] = {p.a, p.b, p.c, p.d};
        const GLenum plane = static_cast<GLenum>(GL_CLIP_PLANE0 + p.index);
        glClipPlane(plane, equation);
        glEnable(plane);
    }
}

// The materials of a lit mesh: `front` for the GL front faces (the side
// the normals point to), `back` for the others.
void meshMaterials(const Color& front, const Color& back) {
    const GLfloat specular[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    const GLfloat frontDiffuse[4] = {static_cast<float>(front.r), static_cast<float>(front.g),
                                     static_cast<float>(front.b), 1.0f};
    const GLfloat backDiffuse[4] = {static_cast<float>(back.r), static_cast<float>(back.g),
                                    static_cast<float>(back.b), 1.0f};
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 60.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, frontDiffuse);
    glMaterialfv(GL_BACK, GL_DIFFUSE, backDiffuse);
}

void solidState(const GlRenderer::MeshLook& look) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(look.shade == ShadeModel::Flat ? GL_FLAT : GL_SMOOTH);
    glEnable(GL_LIGHTING);
    meshMaterials(look.frontFaces, look.backFaces);
}

// Calls the list of the graph's frame at `counter` from `lists` (one name
// per frame), compiling it from `emit` first; draws directly when the
// context has no list to give.
void callList(GraphObject& graph, std::vector<unsigned>& lists, int counter,
              void (*emit)(const FrameGeometry&)) {
    const std::size_t index = static_cast<std::size_t>(graph.frameIndex(counter));
    if (lists.size() < static_cast<std::size_t>(graph.frameCount()))
        lists.resize(static_cast<std::size_t>(graph.frameCount()), 0u);
    unsigned& list = lists[index];
    if (list == 0) {
        list = glGenLists(1);
        if (list == 0) {
            emit(graph.frame(counter));
            return;
        }
        glNewList(list, GL_COMPILE);
        emit(graph.frame(counter));
        glEndList();
    }
    glCallList(list);
}

// Clears a flag when the scope ends.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

void GlRenderer::initialize() {
    glEnable(GL_DEPTH_TEST);
    // Equal depths pass: a line's own fragments, a mesh over its faces and
    // overlapping segments of a curve all show.
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
    glEnable(GL_LIGHTING);

    const GLfloat modelAmbient[4] = {0.5f, 0.5f, 0.2f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);

    // Given under the identity, the light's direction stays fixed to the
    // viewer however the scene turns.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    const GLfloat position[4] = {1.0f, 0.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);

    fontError_.clear();
    if (!font_.create(fontError_, labelPixelHeight()) && fontError_.empty())
        fontError_ = "label font unavailable";

    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);

    // The scale of the view would otherwise stretch the normals.
    glEnable(GL_NORMALIZE);
    initialized_ = true;
}

void GlRenderer::resize(int width, int height) {
    // gluPerspective refuses an aspect of 0 after the identity is loaded,
    // so a zero width must not get that far either.
    if (width <= 0 || height <= 0) return;
    glViewport(0, 0, width, height);
    aspect_ = static_cast<double>(width) / height;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect_, kFallbackDepthRange.nearPlane,
                   kFallbackDepthRange.farPlane);
    glMatrixMode(GL_MODELVIEW);
}

void GlRenderer::setDevicePixelRatio(double ratio) {
    if (std::isfinite(ratio) && ratio > 0.0) devicePixelRatio_ = ratio;
}

void GlRenderer::setAntialias(bool on) {
    antialias_ = on;
}

// Multisampling antialiases by coverage and never thins a line; where the
// framebuffer has no samples, lines and points are smoothed by blending.
void GlRenderer::applyAntialiasing() {
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    const bool multisample = antialias_ && sampleBuffers > 0;
    const bool smooth = antialias_ && !multisample;
    if (multisample)
        glEnable(GL_MULTISAMPLE);
    else
        glDisable(GL_MULTISAMPLE);
    if (smooth) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POINT_SMOOTH);
    } else {
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_POINT_SMOOTH);
    }
}

int GlRenderer::labelPixelHeight() const {
    return static_cast<int>(std::lround(LabelFont::kPixelHeight * devicePixelRatio_));
}

void GlRenderer::lineWidth(float logicalWidth) {
    glLineWidth(static_cast<float>(logicalWidth * devicePixelRatio_));
}

bool GlRenderer::renderFrame(SceneModel& scene) {
    if (!initialized_ || drawing_) return false;
    FlagGuard drawing(drawing_);

    // The framebuffer may have changed since the set-up (a window's is made
    // after it), and with it whether it has samples; the labels follow the
    // device pixel ratio.
    applyAntialiasing();
    if (font_.ready() && font_.pixelHeight() != labelPixelHeight())
        font_.create(fontError_, labelPixelHeight());
    if (aspect_ > 0.0) {
        const DepthRange depth = depthRange(scene);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(kFieldOfView, aspect_, depth.nearPlane, depth.farPlane);
        glMatrixMode(GL_MODELVIEW);
    }

    const Color bg = scene.background();
    glClearColor(static_cast<float>(bg.r), static_cast<float>(bg.g), static_cast<float>(bg.b),
                 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(scene.translation.x, scene.translation.y, scene.translation.z);
    glRotatef(scene.rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(scene.rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(scene.rotation.z, 0.0f, 0.0f, 1.0f);
    glPushMatrix();
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glScalef(scene.scale.x, scene.scale.y, scene.scale.z);

    const std::vector<int>& frames = scene.frameIndices();
    for (int i = 0; i < scene.graphCount(); ++i)
        drawGraph(scene.graph(i), scene.render_mode, frames[static_cast<std::size_t>(i)],
                  scene.lineWidth());
    drawOverlay(scene);

    glPopMatrix();
    glPopMatrix();
    glFinish();
    return true;
}

void GlRenderer::drawGraph(GraphObject& graph, SceneModel::RenderMode renderMode, int counter,
                           float lineWidth) {
    const GraphDefinition* def = graph.definition();
    if (!def || graph.frameCount() == 0) return;
    switch (def->kind) {
        case GraphKind::Curve:
            drawCurve(graph, counter, lineWidth);
            break;
        case GraphKind::Surface: {
            // The upper side of a surface is its back face (its normals
            // point down), so the back faces carry front_color.
            const auto& d = static_cast<const SurfaceDefinition&>(*def);
            drawSurface(graph, {d.back_color, d.front_color, d.wire_color, d.shade_model},
                        renderMode, counter);
            break;
        }
        case GraphKind::ImplicitSurface: {
            // The normals of an implicit surface point to where its
            // expression is positive, the outside, which front_color colours.
            const auto& d = static_cast<const ImplicitSurfaceDefinition&>(*def);
            drawSurface(graph, {d.front_color, d.back_color, d.wire_color, d.shade_model},
                        renderMode, counter);
            break;
        }
        case GraphKind::ImplicitCurve:
            drawImplicitCurve(graph, counter, lineWidth);
            break;
    }
}

void GlRenderer::callFrame(GraphObject& graph, int counter) {
    callList(graph, graph.lists, counter, emitGeometry);
}

void GlRenderer::callEdges(GraphObject& graph, int counter) {
    callList(graph, graph.edgeLists, counter, emitEdges);
}

// A thick stroke shows notches where its pieces meet at an angle: round
// points of the line's width at every vertex close them.
void GlRenderer::drawJoins(GraphObject& graph, int counter, float logicalWidth) {
    const float width = static_cast<float>(logicalWidth * devicePixelRatio_);
    if (width <= kJoinWidth) return;
    glPointSize(width);
    // Points are round only when smoothed, and smoothing (by blending) is
    // not applied to multisampled points.
    const bool multisample = glIsEnabled(GL_MULTISAMPLE);
    glDisable(GL_MULTISAMPLE);
    glEnable(GL_POINT_SMOOTH);
    callEdges(graph, counter);
    if (!glIsEnabled(GL_LINE_SMOOTH)) glDisable(GL_POINT_SMOOTH);
    if (multisample) glEnable(GL_MULTISAMPLE);
    glPointSize(1.0f);
}

void GlRenderer::drawCurve(GraphObject& graph, int counter, float lineWidth) {
    const auto& def = static_cast<const CurveDefinition&>(*graph.definition());
    disableClipPlanes();
    this->lineWidth(lineWidth);
    enableClipPlanes(graph.frame(counter));
    glDisable(GL_LIGHTING);
    color3(def.color);
    callFrame(graph, counter);
    drawJoins(graph, counter, lineWidth);
    glEnable(GL_LIGHTING);
    disableClipPlanes();
}

void GlRenderer::drawSurface(GraphObject& graph, const MeshLook& look,
                             SceneModel::RenderMode renderMode, int counter) {
    disableClipPlanes();
    lineWidth(1.0f);
    enableClipPlanes(graph.frame(counter));
    // The mesh is drawn from the frame's edges, each shared edge once, as
    // plain lines over the faces (which polygon offset pushes back).
    switch (renderMode) {
        case SceneModel::SolidModel:
            solidState(look);
            callFrame(graph, counter);
            break;
        case SceneModel::WireModel:
            glDisable(GL_LIGHTING);
            color3(look.wire);
            callEdges(graph, counter);
            glEnable(GL_LIGHTING);
            break;
        case SceneModel::HiddenLineModel:
            // White faces pushed back in depth hide what lies behind; the
            // mesh is drawn over them.
            glPolygonOffset(5.0f, 5.0f);
            glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
            glColor3f(1.0f, 1.0f, 1.0f);
            glDisable(GL_LIGHTING);
            callFrame(graph, counter);
            color3(look.wire);
            callEdges(graph, counter);
            glEnable(GL_LIGHTING);
            glPolygonOffset(1.0f, 1.0f);
            break;
        case SceneModel::SolidWireModel:
        default:
            solidState(look);
            callFrame(graph, counter);
            color3(look.wire);
            glDisable(GL_LIGHTING);
            callEdges(graph, counter);
            glEnable(GL_LIGHTING);
            break;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    disableClipPlanes();
}

void GlRenderer::drawImplicitCurve(GraphObject& graph, int counter, float lineWidth) {
    const auto& def = static_cast<const ImplicitCurveDefinition&>(*graph.definition());
    disableClipPlanes();
    this->lineWidth(lineWidth);
    glDisable(GL_LIGHTING);
    color3(def.color);
    callFrame(graph, counter);
    drawJoins(graph, counter, lineWidth);
    glEnable(GL_LIGHTING);
}

void GlRenderer::drawOverlay(const SceneModel& scene) {
    if (scene.graphCount() == 0) return;
    const BoundingBox& box = scene.scene_box;
    lineWidth(1.0f);
    if (scene.show_box) {
        glDisable(GL_LIGHTING);
        glBegin(GL_LINES);
        for (const OverlayLine& e : boxEdges(box)) {
            glColor4f(e.color.r, e.color.g, e.color.b, e.color.a);
            glVertex3f(e.from.x, e.from.y, e.from.z);
            glVertex3f(e.to.x, e.to.y, e.to.z);
        }
        glEnd();
        glEnable(GL_LIGHTING);
    }
    if (scene.show_axes) {
        lineWidth(2.0f);
        glDisable(GL_LIGHTING);
        glBegin(GL_LINES);
        for (const OverlayLine& a : axisLines(box)) {
            glColor4f(a.color.r, a.color.g, a.color.b, a.color.a);
            glVertex3f(a.from.x, a.from.y, a.from.z);
            glVertex3f(a.to.x, a.to.y, a.to.z);
        }
        glEnd();
        lineWidth(1.0f);
        glEnable(GL_LIGHTING);
    }
    if (scene.show_labels && font_.ready()) {
        // Labels come last and over everything: a surface in front of a
        // corner must not hide its coordinates.
        glDisable(GL_DEPTH_TEST);
        const Color bg = scene.background();
        for (const OverlayLabel& label : boxLabels(box)) drawLabel(label, bg);
        glEnable(GL_DEPTH_TEST);
    }
}

void GlRenderer::drawLabel(const OverlayLabel& label, const Color& background) {
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, black);
    // The colour of a bitmap is taken when the raster position is set, and
    // with lighting on it would come from the material: lighting goes off
    // and the colour is given first, so each label has its own.
    glDisable(GL_LIGHTING);
    const OverlayColor c =
        readableOn(label.color, static_cast<float>(background.r), static_cast<float>(background.g),
                   static_cast<float>(background.b));
    glColor4f(c.r, c.g, c.b, c.a);
    glRasterPos3f(label.at.x, label.at.y, label.at.z);
    glPushAttrib(GL_LIST_BIT);
    glListBase(font_.base() - LabelFont::kFirstChar);
    glCallLists(static_cast<GLsizei>(label.text.size()), GL_UNSIGNED_BYTE, label.text.data());
    glPopAttrib();
    glEnable(GL_LIGHTING);
}

void GlRenderer::releaseGraph(GraphObject& graph) {
    for (unsigned list : graph.lists)
        if (list != 0) glDeleteLists(list, 1);
    for (unsigned list : graph.edgeLists)
        if (list != 0) glDeleteLists(list, 1);
    graph.lists.clear();
    graph.edgeLists.clear();
}

void GlRenderer::releaseContext(SceneModel& scene) {
    for (int i = 0; i < scene.graphCount(); ++i) releaseGraph(scene.graph(i));
    font_.destroy();
    initialized_ = false;
}

}  // namespace kv
