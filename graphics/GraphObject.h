// A graph in the scene: it owns its definition and, once built, the CPU
// geometry and bounding box of every animation frame.
//
// Building is the same for every kind of graph; the kinds differ in which
// texts they parse and how they sample one frame. build() therefore runs the
// shared steps and calls the kind's prepare() once and buildFrame() once per
// frame:
//   1. take ownership of the definition and set the workspace's
//      graph-build-in-progress flag for the whole build;
//   2. prepare(): parse the kind's texts; any parse error fails the build;
//   3. a graph without anim options has one frame, whatever nframes says;
//   4. parse the anim bounds;
//   5. per frame: set the animated variables, then buildFrame();
//   6. finish(): drop the parsed trees; clear the flag.
// A failed build destroys the definition and says why in failureMessage().
//
// The renderer turns a frame into a display list the first time it draws it
// and keeps the list names in `lists`; the scene tells it before an object is
// released, so it can delete them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ExprNode.h"
#include "graphics/Geometry.h"
#include "graphics/GraphDefinition.h"

namespace kv {

// Reads one text of a definition into a tree; null when it does not parse.
// The command language supplies it, so the graphs need nothing of the
// interpreter but this.
using ParseText = std::function<NodePtr(std::string_view)>;

class GraphObject : public GraphIdSource {
  public:
    GraphObject() = default;
    ~GraphObject() override;
    GraphObject(const GraphObject&) = delete;
    GraphObject& operator=(const GraphObject&) = delete;

    // Takes ownership of `def` and computes the geometry and box of every
    // frame. The texts are read with `parseText`, which parses in the
    // current workspace.
    bool build(std::unique_ptr<GraphDefinition> def, const ParseText& parseText);

    // The owned definition; null before build and after a failed build.
    GraphDefinition* definition() const { return definition_.get(); }
    // Why the last build failed: "Chyba v zadání!" for a text that does not
    // parse, or a limit message for a request too large to build.
    const std::string& failureMessage() const { return failure_; }

    int frameCount() const { return static_cast<int>(frames_.size()); }
    // Vertices of all frames of the last build.
    long long vertexCount() const { return vertices_; }
    // The frame drawn for animation counter `counter`: |counter mod nframes|.
    int frameIndex(int counter) const;
    // The geometry of that frame; an empty frame before a successful build.
    const FrameGeometry& frame(int counter) const;
    const BoundingBox& frameBox(int counter) const { return frame(counter).box; }

    // Frees the geometry and destroys the definition.
    void release();

    // GraphIdSource: the definition's id.
    int graphId() const override { return definition_ ? definition_->id : -1; }

    // Display-list names per frame, kept by the renderer (0: not compiled).
    std::vector<unsigned> lists;
    // The second list of each frame, compiled when first needed: the mesh
    // edges of a surface, the round joins of a thick curve.
    std::vector<unsigned> edgeLists;

  protected:
    // Parses the kind's texts with parse(); false when one does not parse.
    virtual bool prepare() = 0;
    // Samples frame `f` (the animated variables are already set) into `out`.
    // False only when the frame would exceed the vertex limit (after
    // reserveVertices() has recorded the message).
    virtual bool buildFrame(int f, FrameGeometry& out) = 0;
    // Drops the trees and working data of the build.
    virtual void finish() = 0;

    // Parses one text of the definition; null when it does not parse.
    NodePtr parse(std::string_view text);
    // Value of a variable row in the current workspace.
    static void setVariable(int row, double value);
    // Counts `n` more vertices against the limit of one graph. False, with
    // the message recorded, when they would exceed it (n may be infinite or
    // NaN; NaN is refused too).
    bool reserveVertices(double n);
    // The node visits of evaluation (EvaluationCost.h) behind each reserved
    // vertex: reserveVertices() also refuses a graph whose vertices would
    // cost more than kMaxEvaluationWork in all. Set by prepare().
    void setCostPerVertex(double visits) { costPerVertex_ = visits; }
    // Counts a sampling grid of `nodes` points, each evaluating `visits`
    // node visits, against the vertex bound of one graph and the bound on
    // evaluation work (all frames' grids together). False, with the message
    // recorded, when it would pass either. The grid's nodes are not
    // vertices: the faces built from them are reserved on their own.
    bool admitGrid(double nodes, double visits);

    // The clip planes of the definition's clip ranges. The planes take the
    // absolute values of the bounds, so a range a..b keeps -|a| <= v <= |b|.
    std::vector<ClipPlane> clipPlanes() const;
    // Limits a box to the definition's clip ranges.
    void clipBox(BoundingBox& box) const;

    // Fills `positions` with start, start + step, ... by repeated addition, as
    // the builders place their sample points.
    static void placeByAddition(std::vector<double>& positions, double start, double step);

  private:
    bool buildFrames();

    std::unique_ptr<GraphDefinition> definition_;
    std::vector<FrameGeometry> frames_;
    std::string failure_;
    const ParseText* parseText_ = nullptr;  // during build only
    long long vertices_ = 0;                // reserved so far in this build
    double gridNodes_ = 0.0;                // admitted grid nodes of this build
    double gridWork_ = 0.0;                 // and their evaluation work
    double costPerVertex_ = 0.0;
};

}  // namespace kv
