// The graph of the curve command: a parametric curve t -> (x(t), y(t), z(t))
// sampled over an interval of the parameter into line strips, once per
// animation frame. An explicit curve y = f(x) arrives as (x, f(x), 0).
#pragma once

#include <memory>
#include <vector>

#include "engine/CompiledExpr.h"
#include "engine/IntervalSet.h"
#include "graphics/GraphObject.h"

namespace kv {

class CurveGraph : public GraphObject {
  public:
    // Samples per unit of parameter length when no nlines option is given.
    static constexpr double kSamplesPerUnit = 25.0;
    // Fewest samples of a frame.
    static constexpr int kMinSamples = 2;
    // Point width of the definition-domain search under check_def.
    static constexpr double kDomainTolerance = 1e-8;

  protected:
    bool prepare() override;
    bool buildFrame(int f, FrameGeometry& out) override;
    void finish() override;

  private:
    const CurveDefinition& curve() const;
    // Samples `count` points from t upwards by `step` into `strip` through
    // the compiled trees; returns the last parameter value sampled.
    double sampleCompiled(double t, double step, int count, LineStrip& strip, BoundingBox& box);

    // The parsed texts, kept for all frames.
    NodePtr x_;
    NodePtr y_;
    NodePtr z_;
    NodePtr lo_;
    NodePtr hi_;
    NodePtr nlines_;
    // z, y and x compiled together for sampling along the parameter; null
    // when they do not compile.
    std::unique_ptr<CompiledExpr> compiled_;
    CompiledExpr::Scratch scratch_;
    // One block of parameter values and the x, y, z values there.
    std::vector<double> block_;
    // Working data of one frame: the sampling pieces and their sample counts.
    std::vector<Interval> pieces_;
    std::vector<int> counts_;
};

}  // namespace kv
