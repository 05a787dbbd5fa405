#include "graphics/CurveGraph.h"

#include <algorithm>
#include <cmath>

#include "engine/EvaluationCost.h"
#include "engine/Workspace.h"
#include "graphics/DefinitionDomain.h"

namespace kv {

namespace {

// The value as the geometry stores it; NaN or infinite after the
// conversion when the sample is undefined or beyond float range.
float toFloat(double v) {
    return static_cast<float>(v);
}

bool finite(float v) {
    return std::isfinite(v);
}

// Widens one axis of the box by a finite value.
void widen(float v, float& lo, float& hi) {
    if (!finite(v)) return;
    if (v > hi)
        hi = v;
    else if (v < lo)
        lo = v;
}

}  // namespace

const CurveDefinition& CurveGraph::curve() const {
    return static_cast<const CurveDefinition&>(*definition());
}

bool CurveGraph::prepare() {
    const CurveDefinition& d = curve();
    x_ = parse(d.x_expr);
    if (!x_) return false;
    y_ = parse(d.y_expr);
    if (!y_) return false;
    z_ = parse(d.z_expr);
    if (!z_) return false;
    lo_ = parse(d.param_lo);
    if (!lo_) return false;
    hi_ = parse(d.param_hi);
    if (!hi_) return false;
    nlines_ = parse(d.nlines);
    if (!nlines_) return false;
    // Each sample evaluates the three components.
    setCostPerVertex(evaluationCost(*x_) + evaluationCost(*y_) + evaluationCost(*z_));
    const int param = d.param_var;
    if (Workspace::current().compiledSampling && param >= 0 &&
        param < static_cast<int>(Workspace::current().variables.size())) {
        compiled_ = std::make_unique<CompiledExpr>(
            std::vector<const ExprNode*>{z_.get(), y_.get(), x_.get()},
            std::vector<SampleInput>{{param, true}});
        if (!compiled_->ok()) compiled_.reset();
    }
    return true;
}

// Parameter values per block of compiled sampling.
constexpr int kCurveBlock = 4 * CompiledExpr::kBlock;

double CurveGraph::sampleCompiled(double t, double step, int count, LineStrip& strip,
                                  BoundingBox& box) {
    double* const ts = block_.data();
    double* const xs = ts + kCurveBlock;
    double* const ys = xs + kCurveBlock;
    double* const zs = ys + kCurveBlock;
    const double* inputs[] = {ts};
    double last = t;
    for (int done = 0; done < count; done += kCurveBlock) {
        const int m = std::min(kCurveBlock, count - done);
        for (int k = 0; k < m; ++k) {
            ts[k] = t;
            last = t;
            t += step;
        }
        double* const outs[] = {zs, ys, xs};
        compiled_->evaluate(inputs, m, outs, scratch_);
        for (int k = 0; k < m; ++k) {
            float z = toFloat(zs[k]);
            float y = toFloat(ys[k]);
            float x = toFloat(xs[k]);
            widen(z, box.zmin, box.zmax);
            widen(y, box.ymin, box.ymax);
            widen(x, box.xmin, box.xmax);
            strip.points.push_back({x, y, z});
        }
    }
    return last;
}

void CurveGraph::finish() {
    x_.reset();
    y_.reset();
    z_.reset();
    lo_.reset();
    hi_.reset();
    nlines_.reset();
    compiled_.reset();
    scratch_ = {};
    block_.clear();
    block_.shrink_to_fit();
    pieces_.clear();
    counts_.clear();
}

bool CurveGraph::buildFrame(int, FrameGeometry& out) {
    const CurveDefinition& d = curve();
    const int param = d.param_var;

    // Bounds anew each frame: they may use the animated variables.
    const double hi = hi_->evaluate();
    const double lo = lo_->evaluate();

    // The sample budget: 25 per unit of length, or the nlines value; at
    // least 2. An undefined count (NaN) gets the least.
    double n = d.auto_nlines ? std::trunc(std::fabs(hi - lo) * kSamplesPerUnit)
                             : std::trunc(nlines_->evaluate());
    if (std::isnan(n) || n < kMinSamples) n = kMinSamples;
    if (!reserveVertices(n)) return false;
    const int budget = static_cast<int>(n);

    // Where to sample: the whole interval, or under check_def the pieces on
    // which all three components are defined. The domain search takes the
    // interval in increasing order.
    pieces_.clear();
    if (!d.check_def) {
        pieces_.push_back({lo, hi});
    } else {
        IntervalSet defined = definedPieces({x_.get(), y_.get(), z_.get()}, std::min(lo, hi),
                                            std::max(lo, hi), param, kDomainTolerance, d.h);
        pieces_ = defined.intervals();
    }

    // The budget split in proportion to the pieces' lengths. When the total
    // length is zero or not finite the proportion is undefined; the first
    // piece then takes the whole budget.
    double total = 0.0;
    for (const Interval& p : pieces_) total += std::fabs(p.hi - p.lo);
    const bool proportional = total > 0.0 && std::isfinite(total);
    counts_.clear();
    for (std::size_t k = 0; k < pieces_.size(); ++k) {
        double share =
            proportional
                ? std::trunc(std::fabs(pieces_[k].hi - pieces_[k].lo) * (1.0 / total) * budget)
                : (k == 0 ? budget : 0.0);
        if (!(share > 0.0)) share = 0.0;
        counts_.push_back(static_cast<int>(std::min(share, static_cast<double>(budget))));
    }

    // Seed the box with the first sampled point (undefined values count as
    // 0). With no defined piece at all the box is seeded at the lower bound.
    setVariable(param, pieces_.empty() ? lo : pieces_.front().lo);
    Vec3f seed{toFloat(x_->evaluate()), toFloat(y_->evaluate()), toFloat(z_->evaluate())};
    if (!finite(seed.x)) seed.x = 0.0f;
    if (!finite(seed.y)) seed.y = 0.0f;
    if (!finite(seed.z)) seed.z = 0.0f;
    BoundingBox box = BoundingBox::around(seed);
    if (compiled_) {
        block_.resize(4 * static_cast<std::size_t>(kCurveBlock));
        compiled_->prepare(scratch_);
    }

    // Samples by repeated addition of the step, from each piece's lower end
    // upwards (the step is positive even when lo > hi). Undefined values are
    // kept in the strip as computed but never enter the box.
    for (std::size_t k = 0; k < pieces_.size(); ++k) {
        const int count = counts_[k];
        if (count <= 0) continue;
        const double step = std::fabs(pieces_[k].hi - pieces_[k].lo) / (count - 1);
        LineStrip strip;
        strip.points.reserve(static_cast<std::size_t>(count));
        double t = pieces_[k].lo;
        if (compiled_) {
            // The parameter as sampling point by point leaves it.
            setVariable(param, sampleCompiled(t, step, count, strip, box));
            out.strips.push_back(std::move(strip));
            continue;
        }
        for (int i = 0; i < count; ++i) {
            setVariable(param, t);
            float z = toFloat(z_->evaluate());
            float y = toFloat(y_->evaluate());
            float x = toFloat(x_->evaluate());
            widen(z, box.zmin, box.zmax);
            widen(y, box.ymin, box.ymax);
            widen(x, box.xmin, box.xmax);
            strip.points.push_back({x, y, z});
            t += step;
        }
        out.strips.push_back(std::move(strip));
    }

    clipBox(box);
    out.box = box;
    return true;
}

}  // namespace kv
