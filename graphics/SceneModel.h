// The scene without a window: the graphs it shows, the view transform, the
// display switches, the animation and spin state, and the arithmetic of the
// keys, drags and timer ticks that change them. The desktop program's scene
// pane draws it and feeds it events; the batch runner and the tests drive
// it directly.
#pragma once

#include <memory>
#include <vector>

#include "graphics/Geometry.h"
#include "graphics/GraphDefinition.h"
#include "graphics/GraphObject.h"

namespace kv {

// Told by the scene about what a view of it must do.
class SceneObserver {
  public:
    virtual ~SceneObserver() = default;
    // Something visible changed: redraw.
    virtual void sceneChanged() {}
    // An animated graph was added: restart the animation timer with this
    // period (milliseconds).
    virtual void animationTimerRestarted(int) {}
    // The graph is about to be released: delete what was made for it
    // (its display lists).
    virtual void graphReleasing(GraphObject&) {}
};

struct SceneVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

class SceneModel {
  public:
    // What a left drag does (keys Q W E R T Z U).
    enum DragMode : int {
        RotateXY = 0,
        RotateYZ = 1,
        RotateXZ = 2,
        MoveXY = 3,
        ScaleX = 4,
        ScaleY = 5,
        ScaleZ = 6,
    };
    // How the surfaces of the scene are drawn (keys 2, 3, 1, 4).
    enum RenderMode : int {
        SolidModel = 0,       // lit faces
        WireModel = 1,        // the wire mesh alone
        SolidWireModel = 2,   // lit faces with the mesh over them
        HiddenLineModel = 3,  // the mesh, hiding what lies behind the faces
    };

    // A flick of more than this many pixels leaves the scene spinning.
    static constexpr int kFlickPixels = 6;
    // The fastest spin, degrees per tick.
    static constexpr float kMaxSpin = 4.0f;
    static constexpr float kInitialLineWidth = 1.5f;

    SceneModel() = default;
    ~SceneModel();
    SceneModel(const SceneModel&) = delete;
    SceneModel& operator=(const SceneModel&) = delete;

    void setObserver(SceneObserver* observer) { observer_ = observer; }

    // ---- graphs ----
    // Takes a built graph: every frame counter restarts at 0, an animated
    // graph sets the animation period, the scene box is recomputed and the
    // view framed on it. Returns the graph, now owned by the scene.
    GraphObject* addGraph(std::unique_ptr<GraphObject> graph);
    // Removes the first graph with this id; false when there is none.
    bool removeGraph(int id);
    // Removes every graph and resets the transform and the background.
    void clearGraphs();
    int graphCount() const { return static_cast<int>(graphs_.size()); }
    GraphObject& graph(int i) { return *graphs_[static_cast<std::size_t>(i)]; }
    const GraphObject& graph(int i) const { return *graphs_[static_cast<std::size_t>(i)]; }
    // The three per-graph lists, parallel to the graphs.
    const std::vector<int>& frameIndices() const { return frame_index; }
    const std::vector<int>& directions() const { return direction; }
    // The box of graph i at its current frame.
    const BoundingBox& currentBox(int i) const;

    // ---- settings of the commands ----
    float lineWidth() const { return line_width; }
    void setLineWidth(float width);
    Color background() const { return background_; }
    void setBackground(Color color);
    // The shading choice: for the scene and every graph present.
    ShadeModel shadeModel() const { return shade_model; }
    void setShadeModel(ShadeModel model);

    // ---- animation ----
    // Period of the animation timer in milliseconds: the frame_time of the
    // animated graph added last; 0 while no animated graph was added.
    int animationPeriod() const { return animation_period; }
    // One tick of the animation timer: plays only with the focus, while
    // animating and with no mouse button held. True when it changed the view.
    bool animationTick(bool hasFocus);
    // The step itself: the spin turns the scene on, and every animated graph
    // moves one frame (back and forth with bounce).
    void playStep();
    // Keys A and S: every graph's frame counter moves by `delta`.
    void stepFrames(int delta);
    // Every graph's frame counter back to 0 (before and after a video is
    // recorded).
    void rewindFrames();

    // ---- spin ----
    // One tick of the spin timer: with the focus, not animating, spinning
    // and a non-zero spin, the angles advance by the spin. True when they did.
    bool spinTick(bool hasFocus);
    // Angles are kept within a turn: below -360 one turn is added, above 360
    // whole turns are taken off until it is at most 360. An angle that is not
    // finite becomes 0.
    static float wrapAngle(float degrees);

    // ---- mouse ----
    void leftButtonDown(int x, int y);
    void leftButtonUp();
    void rightButtonDown(int x, int y);
    void rightButtonUp();
    // A mouse movement to (x, y) in a client area of width x height pixels;
    // acts while a button is held. True when the view changed.
    bool mouseMove(int x, int y, int width, int height);

    // Key X: back to the framed view of the graphs (nothing without graphs).
    void resetView();

    // ---- the state, as the renderer and the dialogs read and set it ----
    SceneVector translation;
    SceneVector rotation;  // degrees about x, y, z
    SceneVector scale{1.0f, 1.0f, 1.0f};
    SceneVector spin;  // degrees per tick
    bool show_box = true;
    bool show_labels = true;
    bool show_axes = true;
    RenderMode render_mode = SolidWireModel;
    bool spinning = false;
    bool bounce = false;
    bool animating = false;
    bool dragging = false;
    bool right_dragging = false;
    bool antialias = false;
    DragMode drag_mode = RotateXZ;
    BoundingBox scene_box;

  private:
    void notifyChanged();
    void releaseGraph(GraphObject& g);
    // The box of every graph at its current frame; false without graphs.
    bool computeBox(BoundingBox& box) const;
    // Centres the box in x and y and stands back by its diagonal.
    void frameView();
    void leftDrag(int dx, int dy, int width, int height);

    std::vector<int> frame_index;
    std::vector<int> direction;  // 1 forward, 0 backward
    std::vector<std::unique_ptr<GraphObject>> graphs_;
    float line_width = kInitialLineWidth;
    Color background_{1.0, 1.0, 1.0};
    ShadeModel shade_model = ShadeModel::Smooth;
    int animation_period = 0;
    int last_x = 0;
    int last_y = 0;
    SceneObserver* observer_ = nullptr;
};

}  // namespace kv
