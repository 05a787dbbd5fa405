// The graph of the surface command: the points (x(u, v), y(u, v), z(u, v))
// over a rectangle of the two free variables u and v, sampled on a regular
// grid into quadrilaterals with a unit normal at every corner, once per
// animation frame. The explicit surface z = f(x, y) arrives as (x, y, f).
#pragma once

#include <memory>
#include <vector>

#include "engine/CompiledExpr.h"
#include "engine/IntervalSet.h"
#include "engine/Tolerance.h"
#include "graphics/GraphObject.h"

namespace kv {

class SurfaceGraph : public GraphObject {
  public:
    // Grid lines per unit of length when no nlines option is given.
    static constexpr double kLinesPerUnit = 4.0;
    // Fewest grid lines along each variable.
    static constexpr int kMinLines = 2;
    // Point width of the definition-domain search under check_def.
    static constexpr double kDomainTolerance = 1e-6;
    // A normal shorter than this before scaling counts as degenerate.
    static constexpr double kDegenerateNormal = tol::kEpsilon;

  protected:
    bool prepare() override;
    bool buildFrame(int f, FrameGeometry& out) override;
    void finish() override;

  private:
    const SurfaceDefinition& surface() const;
    bool turnRadius();

    // One grid node: its point and its unit normal.
    struct Node {
        Vec3f point;
        Vec3f normal;
    };
    Node sampleNode(double u, double v) const;
    // The node of point p with tangents pu and pv.
    static Node makeNode(const double p[3], const double pu[3], const double pv[3]);
    // Every node of the grid through the compiled trees, on all workers.
    void sampleCompiled(int nx, int ny);

    // The pieces of [lo, hi] where the three components are defined along
    // `variable`, the other variables at their present values.
    std::vector<Interval> definedAlong(int variable, double lo, double hi) const;
    // Which piece of `pieces` holds `t` (within `slack`); -1 for none.
    static int pieceOf(const std::vector<Interval>& pieces, double t, double slack);

    // The parsed texts, kept for all frames: the three components, the
    // bounds and the line counts.
    NodePtr x_;
    NodePtr y_;
    NodePtr z_;
    NodePtr xlo_;
    NodePtr xhi_;
    NodePtr ylo_;
    NodePtr yhi_;
    NodePtr nx_;
    NodePtr ny_;
    // Partial derivatives of the components along u (du_) and v (dv_),
    // in the order x, y, z; derived once for all frames.
    NodePtr du_[3];
    NodePtr dv_[3];
    // The same nine trees compiled together for sampling along grid columns
    // (u fixed, v varying), in the order x, y, z, du x, du y, du z, dv x,
    // dv y, dv z; null when they do not compile.
    std::unique_ptr<CompiledExpr> compiled_;
    // Working data of one frame: the node positions along each variable,
    // the defined pieces of every grid row and column (under check_def) and
    // the sampled nodes, column after column.
    std::vector<double> us_;
    std::vector<double> vs_;
    std::vector<std::vector<Interval>> rowPieces_;
    std::vector<std::vector<Interval>> columnPieces_;
    std::vector<Node> nodes_;
};

}  // namespace kv
