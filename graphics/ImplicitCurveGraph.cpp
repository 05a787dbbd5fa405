#include "graphics/ImplicitCurveGraph.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

#include "engine/EvaluationCost.h"
#include "engine/Workspace.h"
#include "graphics/GraphLimits.h"
#include "graphics/SplitWork.h"

namespace kv {

namespace {

constexpr float kAbsent = std::numeric_limits<float>::quiet_NaN();

bool present(const ImplicitCurveGraph::Point& p) {
    return !std::isnan(p.x);
}

// Sign class of a value: -1 negative, 0 zero, 1 positive.
int signClass(double v) {
    return v < 0.0 ? -1 : (v > 0.0 ? 1 : 0);
}

// A grid-line count: the value truncated, at least `least`; an undefined
// count (NaN) gets the least.
double lineCount(double value, int least) {
    double n = std::trunc(value);
    if (std::isnan(n) || n < least) n = least;
    return n;
}

}  // namespace

const ImplicitCurveDefinition& ImplicitCurveGraph::icurve() const {
    return static_cast<const ImplicitCurveDefinition&>(*definition());
}

bool ImplicitCurveGraph::prepare() {
    const ImplicitCurveDefinition& d = icurve();
    NodePtr* trees[] = {&f_, &xlo_, &xhi_, &ylo_, &yhi_, &nx_, &ny_};
    const std::string* texts[] = {&d.expr, &d.x_lo, &d.x_hi, &d.y_lo, &d.y_hi, &d.num_x, &d.num_y};
    for (std::size_t k = 0; k < std::size(trees); ++k) {
        *trees[k] = parse(*texts[k]);
        if (!*trees[k]) return false;
    }
    // Each grid sample evaluates f once.
    setCostPerVertex(evaluationCost(*f_));
    // The compiled form needs two distinct variable rows to feed.
    const int rows = static_cast<int>(Workspace::current().variables.size());
    if (Workspace::current().compiledSampling && d.x_var != d.y_var && d.x_var >= 0 &&
        d.y_var >= 0 && d.x_var < rows && d.y_var < rows) {
        compiled_ = std::make_unique<CompiledExpr>(
            *f_, std::vector<SampleInput>{{d.x_var, true}, {d.y_var, false}});
        if (!compiled_->ok()) compiled_.reset();
    }
    return true;
}

void ImplicitCurveGraph::finish() {
    for (NodePtr* t : {&f_, &xlo_, &xhi_, &ylo_, &yhi_, &nx_, &ny_}) t->reset();
    compiled_.reset();
    pointScratch_ = {};
    us_.clear();
    vs_.clear();
    samples_.clear();
    samples_.shrink_to_fit();
    lowerEdges_.clear();
    upperEdges_.clear();
    verticalEdges_.clear();
    diagonals_.clear();
}

double ImplicitCurveGraph::valueAt(double u, double v) const {
    const ImplicitCurveDefinition& d = icurve();
    setVariable(d.x_var, u);
    setVariable(d.y_var, v);
    if (!compiled_) return f_->evaluate();
    const double* inputs[] = {&u, &v};
    double value = 0.0;
    compiled_->evaluate(inputs, 1, &value, pointScratch_);
    return value;
}

void ImplicitCurveGraph::sampleRows(int first, int last, CompiledExpr::Scratch& scratch,
                                    double* row) {
    const std::size_t nx = us_.size();
    for (int j = first; j < last; ++j) {
        const double v = vs_[static_cast<std::size_t>(j)];
        const double* inputs[] = {us_.data(), &v};
        compiled_->evaluate(inputs, static_cast<int>(nx), row, scratch);
        float* out = samples_.data() + static_cast<std::size_t>(j) * nx;
        for (std::size_t i = 0; i < nx; ++i) out[i] = static_cast<float>(row[i]);
    }
}

float ImplicitCurveGraph::sample(int i, int j) const {
    return samples_[static_cast<std::size_t>(j) * static_cast<std::size_t>(nx_count_) +
                    static_cast<std::size_t>(i)];
}

// Regula falsi between A and B. An edge whose ends are both exactly zero
// lies in one sign class and gets no crossing: the zero set runs along it or
// touches it, and the triangles on either side, which see both ends as not
// positive, draw nothing there. Nor does an edge with an undefined end (NaN
// or infinite): there is no sign change to locate.
ImplicitCurveGraph::Point ImplicitCurveGraph::crossing(double ua, double va, float fa0, double ub,
                                                       double vb, float fb0) const {
    if (!std::isfinite(fa0) || !std::isfinite(fb0)) return {kAbsent, kAbsent};
    double fa = fa0;
    double fb = fb0;
    const int classA = signClass(fa);
    if (classA == signClass(fb)) return {kAbsent, kAbsent};

    // `iters` rounds, at most kMaxCrossingRounds; with none the crossing is
    // the first interpolation of the sampled values. The value at the last
    // point is not needed.
    const int rounds = std::clamp(icurve().iters, 1, kMaxCrossingRounds);
    double pu = ua;
    double pv = va;
    for (int k = 0; k < rounds; ++k) {
        const double s = -fa / (fb - fa);
        pu = ua + (ub - ua) * s;
        pv = va + (vb - va) * s;
        if (k + 1 == rounds) break;
        const double fp = valueAt(pu, pv);
        // An undefined value inside the edge gives nothing to refine with:
        // the last point stands.
        if (!std::isfinite(fp)) break;
        if (signClass(fp) == classA) {
            ua = pu;
            va = pv;
            fa = fp;
        } else {
            ub = pu;
            vb = pv;
            fb = fp;
        }
    }
    return {static_cast<float>(pu), static_cast<float>(pv)};
}

bool ImplicitCurveGraph::buildFrame(int, FrameGeometry& out) {
    const ImplicitCurveDefinition& d = icurve();

    // Bounds anew each frame, put in order.
    double ulo = xlo_->evaluate();
    double uhi = xhi_->evaluate();
    double vlo = ylo_->evaluate();
    double vhi = yhi_->evaluate();
    if (ulo > uhi) std::swap(ulo, uhi);
    if (vlo > vhi) std::swap(vlo, vhi);
    out.box = {static_cast<float>(ulo),
               static_cast<float>(uhi),
               static_cast<float>(vlo),
               static_cast<float>(vhi),
               0.0f,
               0.0f};

    // Grid lines: 20 per unit of length, or the num values; at least 2.
    const double nxd =
        lineCount(d.auto_nlines ? (uhi - ulo) * kLinesPerUnit : nx_->evaluate(), kMinLines);
    const double nyd =
        lineCount(d.auto_nlines ? (vhi - vlo) * kLinesPerUnit : ny_->evaluate(), kMinLines);
    // The samples count against the limit like vertices.
    if (!reserveVertices(nxd * nyd)) return false;
    const int nx = static_cast<int>(nxd);
    const int ny = static_cast<int>(nyd);
    nx_count_ = nx;

    // Node positions by repeated addition of the steps.
    const double du = (uhi - ulo) / (nx - 1);
    const double dv = (vhi - vlo) / (ny - 1);
    us_.assign(static_cast<std::size_t>(nx), 0.0);
    vs_.assign(static_cast<std::size_t>(ny), 0.0);
    placeByAddition(us_, ulo, du);
    placeByAddition(vs_, vlo, dv);

    samples_.resize(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
    if (compiled_) {
        // Rows on all workers, each with its working memory and one row of
        // values made before any sample is taken.
        const int workers = samplingWorkers(static_cast<long long>(nx) * ny);
        std::vector<CompiledExpr::Scratch> scratch(static_cast<std::size_t>(workers));
        std::vector<std::vector<double>> rows(static_cast<std::size_t>(workers),
                                              std::vector<double>(us_.size()));
        for (CompiledExpr::Scratch& s : scratch) compiled_->prepare(s);
        splitWork(ny, workers, [&](int first, int last, int worker) {
            const auto w = static_cast<std::size_t>(worker);
            sampleRows(first, last, scratch[w], rows[w].data());
        });
        // The variables as sampling point by point leaves them.
        setVariable(d.x_var, us_.back());
        setVariable(d.y_var, vs_.back());
    } else {
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i)
                samples_[static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) +
                         static_cast<std::size_t>(i)] = static_cast<float>(valueAt(us_[i], vs_[j]));
    }

    // The crossings on the u edges of grid row j.
    auto rowEdges = [&](int j, std::vector<Point>& edges) {
        edges.resize(static_cast<std::size_t>(nx - 1));
        for (int i = 0; i + 1 < nx; ++i)
            edges[i] = crossing(us_[i], vs_[j], sample(i, j), us_[i + 1], vs_[j], sample(i + 1, j));
    };
    auto positive = [&](int i, int j) { return sample(i, j) > 0.0f; };
    auto defined = [&](int i, int j) { return std::isfinite(sample(i, j)); };

    // One segment for a triangle whose corners c0, c1, c2 are not all alike
    // (positive against not positive), between the crossings on the two
    // edges at the corner that differs; e01, e12, e02 are the crossings on
    // its edges.
    auto triangle = [&](bool p0, bool p1, bool p2, const Point& e01, const Point& e12,
                        const Point& e02) -> bool {
        if (p0 == p1 && p1 == p2) return true;
        const Point* a = &e01;
        const Point* b = &e02;  // c0 differs
        if (p0 == p1) {
            a = &e02;  // c2 differs
            b = &e12;
        } else if (p0 == p2) {
            a = &e01;  // c1 differs
            b = &e12;
        }
        if (!present(*a) || !present(*b)) return true;
        if (!reserveVertices(2)) return false;
        out.segments.push_back({a->x, a->y, b->x, b->y});
        return true;
    };

    // Cell rows from the bottom. Each cell (i, j) is split by its diagonal
    // from (i, j) to (i + 1, j + 1) into the triangles (i, j) (i + 1, j)
    // (i + 1, j + 1) and (i, j) (i + 1, j + 1) (i, j + 1).
    rowEdges(0, upperEdges_);
    verticalEdges_.resize(static_cast<std::size_t>(nx));
    diagonals_.resize(static_cast<std::size_t>(nx - 1));
    for (int j = 0; j + 1 < ny; ++j) {
        std::swap(lowerEdges_, upperEdges_);
        rowEdges(j + 1, upperEdges_);
        for (int i = 0; i < nx; ++i)
            verticalEdges_[i] =
                crossing(us_[i], vs_[j], sample(i, j), us_[i], vs_[j + 1], sample(i, j + 1));
        for (int i = 0; i + 1 < nx; ++i)
            diagonals_[i] = crossing(us_[i], vs_[j], sample(i, j), us_[i + 1], vs_[j + 1],
                                     sample(i + 1, j + 1));
        for (int i = 0; i + 1 < nx; ++i) {
            // A cell with an undefined corner draws nothing.
            if (!defined(i, j) || !defined(i + 1, j) || !defined(i + 1, j + 1) ||
                !defined(i, j + 1))
                continue;
            const bool p00 = positive(i, j);
            const bool p10 = positive(i + 1, j);
            const bool p11 = positive(i + 1, j + 1);
            const bool p01 = positive(i, j + 1);
            if (!triangle(p00, p10, p11, lowerEdges_[i], verticalEdges_[i + 1], diagonals_[i]))
                return false;
            if (!triangle(p00, p11, p01, diagonals_[i], upperEdges_[i], verticalEdges_[i]))
                return false;
        }
    }
    return true;
}

}  // namespace kv
