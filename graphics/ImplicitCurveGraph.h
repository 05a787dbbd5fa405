// The graph of the icurve command: the zero set of f(u, v) in a rectangle,
// drawn in the plane z = 0. f is sampled on a regular grid; along every grid
// edge and cell diagonal whose ends differ in sign the crossing is refined by
// regula falsi, and each grid triangle through which the zero set passes gets
// one segment between its two crossings. One set of segments per animation
// frame.
#pragma once

#include <memory>
#include <vector>

#include "engine/CompiledExpr.h"
#include "graphics/GraphObject.h"

namespace kv {

class ImplicitCurveGraph : public GraphObject {
  public:
    // Grid lines per unit of length when no num_x / num_y option is given.
    static constexpr double kLinesPerUnit = 20.0;
    // Fewest grid lines along each variable.
    static constexpr int kMinLines = 2;

    // A point of the plane; NaN coordinates when absent.
    struct Point {
        float x;
        float y;
    };

  protected:
    bool prepare() override;
    bool buildFrame(int f, FrameGeometry& out) override;
    void finish() override;

  private:
    const ImplicitCurveDefinition& icurve() const;

    // f at (u, v); the variables are left at u and v.
    double valueAt(double u, double v) const;
    // The samples of grid rows [first, last) through the compiled tree.
    void sampleRows(int first, int last, CompiledExpr::Scratch& scratch, double* row);
    // The crossing between nodes a and b, at positions (ua, va) and (ub, vb)
    // with the sampled values fa and fb; absent when the two do not differ in
    // sign class or a value is undefined.
    Point crossing(double ua, double va, float fa, double ub, double vb, float fb) const;
    // The sample at node (i, j).
    float sample(int i, int j) const;

    // The parsed texts, kept for all frames.
    NodePtr f_;
    NodePtr xlo_;
    NodePtr xhi_;
    NodePtr ylo_;
    NodePtr yhi_;
    NodePtr nx_;
    NodePtr ny_;
    // f compiled for sampling along grid rows (u varying, v fixed); null
    // when it does not compile.
    std::unique_ptr<CompiledExpr> compiled_;
    mutable CompiledExpr::Scratch pointScratch_;
    // Working data of one frame: node positions and the samples, row after
    // row (v outer), stored as floats.
    std::vector<double> us_;
    std::vector<double> vs_;
    std::vector<float> samples_;
    int nx_count_ = 0;
    // Crossings of the cell row being joined: on the u edges of its lower
    // and upper grid rows, on the v edges leaving its lower row and on its
    // cells' diagonals.
    std::vector<Point> lowerEdges_;
    std::vector<Point> upperEdges_;
    std::vector<Point> verticalEdges_;
    std::vector<Point> diagonals_;
};

}  // namespace kv
