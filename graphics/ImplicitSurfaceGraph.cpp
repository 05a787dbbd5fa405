#include "graphics/ImplicitSurfaceGraph.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "engine/EvaluationCost.h"
#include "engine/Workspace.h"
#include "graphics/GraphLimits.h"
#include "graphics/SplitWork.h"

namespace kv {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A grid-line count: the value truncated, at least `least`; an undefined
// count (NaN) gets the least.
double lineCount(double value, int least) {
    double n = std::trunc(value);
    if (std::isnan(n) || n < least) n = least;
    return n;
}

// The six tetrahedra of a cube, as corner numbers (bit 0: +x, bit 1: +y,
// bit 2: +z). Each runs from corner 0 to corner 7 along one order of the
// three axes; the cut is the same in every cube, so two cubes that share a
// face cut it along the same diagonal.
constexpr int kTetrahedra[6][4] = {{0, 1, 3, 7}, {0, 1, 5, 7}, {0, 2, 3, 7},
                                   {0, 2, 6, 7}, {0, 4, 5, 7}, {0, 4, 6, 7}};

struct Vec3d {
    double x, y, z;
};

Vec3d toDouble(const Vec3f& p) {
    return {p.x, p.y, p.z};
}
Vec3d operator-(const Vec3d& a, const Vec3d& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3d cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

bool finiteVector(const Vec3f& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

const ImplicitSurfaceDefinition& ImplicitSurfaceGraph::isurface() const {
    return static_cast<const ImplicitSurfaceDefinition&>(*definition());
}

bool ImplicitSurfaceGraph::prepare() {
    const ImplicitSurfaceDefinition& d = isurface();
    f_ = parse(d.expr);
    if (!f_) return false;
    const std::string* bounds[] = {&d.x_lo, &d.x_hi, &d.y_lo, &d.y_hi, &d.z_lo, &d.z_hi};
    for (std::size_t k = 0; k < std::size(bounds); ++k)
        if (!(bounds_[k] = parse(*bounds[k]))) return false;
    const std::string* counts[] = {&d.num_x, &d.num_y, &d.num_z};
    for (std::size_t k = 0; k < std::size(counts); ++k)
        if (!(counts_[k] = parse(*counts[k]))) return false;
    // The gradient, derived once: every crossing of every frame evaluates it.
    const int vars[3] = {d.x_var, d.y_var, d.z_var};
    double gradientCost = 0.0;
    for (int c = 0; c < 3; ++c) {
        gradient_[c] = f_->derivative(IdList{vars[c]});
        if (!gradient_[c]) return false;
        gradientCost += evaluationCost(*gradient_[c]);
    }
    // A face vertex is at most one crossing: its refinement and its normal.
    const int rounds = std::clamp(d.iters, 1, kMaxCrossingRounds);
    setCostPerVertex(rounds * evaluationCost(*f_) + gradientCost);

    // The compiled form needs three distinct variable rows to feed.
    const int rows = static_cast<int>(Workspace::current().variables.size());
    const bool distinct = d.x_var != d.y_var && d.x_var != d.z_var && d.y_var != d.z_var;
    const bool inTable =
        std::min({d.x_var, d.y_var, d.z_var}) >= 0 && std::max({d.x_var, d.y_var, d.z_var}) < rows;
    if (Workspace::current().compiledSampling && distinct && inTable) {
        compiled_ = std::make_unique<CompiledExpr>(
            *f_, std::vector<SampleInput>{{d.x_var, true}, {d.y_var, false}, {d.z_var, false}});
        if (!compiled_->ok()) compiled_.reset();
    }
    return true;
}

void ImplicitSurfaceGraph::finish() {
    f_.reset();
    for (NodePtr& t : bounds_) t.reset();
    for (NodePtr& t : counts_) t.reset();
    for (NodePtr& t : gradient_) t.reset();
    compiled_.reset();
    pointScratch_ = {};
    for (std::vector<double>& a : axes_) a.clear();
    samples_.clear();
    samples_.shrink_to_fit();
    edges_.clear();
    points_.clear();
    normals_.clear();
}

double ImplicitSurfaceGraph::valueAt(const double p[3]) const {
    const ImplicitSurfaceDefinition& d = isurface();
    setVariable(d.x_var, p[0]);
    setVariable(d.y_var, p[1]);
    setVariable(d.z_var, p[2]);
    if (!compiled_) return f_->evaluate();
    const double* inputs[] = {&p[0], &p[1], &p[2]};
    double value = 0.0;
    compiled_->evaluate(inputs, 1, &value, pointScratch_);
    return value;
}

void ImplicitSurfaceGraph::samplePlanes(int first, int last, CompiledExpr::Scratch& scratch,
                                        double* row) {
    const std::size_t nx = axes_[0].size();
    const std::size_t ny = axes_[1].size();
    for (int k = first; k < last; ++k) {
        const double z = axes_[2][static_cast<std::size_t>(k)];
        for (std::size_t j = 0; j < ny; ++j) {
            const double y = axes_[1][j];
            const double* inputs[] = {axes_[0].data(), &y, &z};
            compiled_->evaluate(inputs, static_cast<int>(nx), row, scratch);
            std::copy(row, row + nx,
                      samples_.begin() +
                          static_cast<std::ptrdiff_t>((static_cast<std::size_t>(k) * ny + j) * nx));
        }
    }
}

void ImplicitSurfaceGraph::nodePoint(std::int64_t n, double p[3]) const {
    const auto nx = static_cast<std::int64_t>(axes_[0].size());
    const auto ny = static_cast<std::int64_t>(axes_[1].size());
    p[0] = axes_[0][static_cast<std::size_t>(n % nx)];
    p[1] = axes_[1][static_cast<std::size_t>((n / nx) % ny)];
    p[2] = axes_[2][static_cast<std::size_t>(n / (nx * ny))];
}

// Regula falsi between the nodes a and b (a inside, where F < 0, or b; the
// order is the nodes' so both tetrahedra of an edge get the same point).
int ImplicitSurfaceGraph::crossing(std::int64_t a, std::int64_t b) {
    const std::uint64_t key =
        static_cast<std::uint64_t>(a) * 0x100000000ull ^ static_cast<std::uint64_t>(b);
    auto [it, added] = edges_.try_emplace(key, static_cast<int>(points_.size()));
    if (!added) return it->second;

    double pa[3];
    double pb[3];
    nodePoint(a, pa);
    nodePoint(b, pb);
    double fa = samples_[static_cast<std::size_t>(a)];
    double fb = samples_[static_cast<std::size_t>(b)];
    const bool insideA = fa < 0.0;
    const int rounds = std::clamp(isurface().iters, 1, kMaxCrossingRounds);
    double p[3] = {pa[0], pa[1], pa[2]};
    for (int k = 0; k < rounds; ++k) {
        const double s = -fa / (fb - fa);
        for (int c = 0; c < 3; ++c) p[c] = pa[c] + (pb[c] - pa[c]) * s;
        if (k + 1 == rounds) break;
        const double fp = valueAt(p);
        // An undefined value inside the edge gives nothing to refine with:
        // the last point stands.
        if (!std::isfinite(fp)) break;
        if ((fp < 0.0) == insideA) {
            std::copy(p, p + 3, pa);
            fa = fp;
        } else {
            std::copy(p, p + 3, pb);
            fb = fp;
        }
    }
    // The normal: the gradient at the crossing, normalised; NaN when it is
    // undefined or vanishes there (the face's own normal stands in).
    const ImplicitSurfaceDefinition& d = isurface();
    setVariable(d.x_var, p[0]);
    setVariable(d.y_var, p[1]);
    setVariable(d.z_var, p[2]);
    const double g[3] = {gradient_[0]->evaluate(), gradient_[1]->evaluate(),
                         gradient_[2]->evaluate()};
    const double length = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
    Vec3f normal{kNaN, kNaN, kNaN};
    if (std::isfinite(length) && length > 0.0)
        normal = {static_cast<float>(g[0] / length), static_cast<float>(g[1] / length),
                  static_cast<float>(g[2] / length)};
    points_.push_back(
        {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])});
    normals_.push_back(normal);
    return it->second;
}

bool ImplicitSurfaceGraph::buildFrame(int, FrameGeometry& out) {
    // Bounds anew each frame (they may use the animated variables), each
    // pair in order.
    double lo[3];
    double hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = bounds_[2 * c]->evaluate();
        hi[c] = bounds_[2 * c + 1]->evaluate();
        if (lo[c] > hi[c]) std::swap(lo[c], hi[c]);
    }
    const ImplicitSurfaceDefinition& d = isurface();
    double n[3];
    for (int c = 0; c < 3; ++c)
        n[c] = lineCount(d.auto_nlines ? (hi[c] - lo[c]) * kLinesPerUnit : counts_[c]->evaluate(),
                         kMinLines);
    if (!admitGrid(n[0] * n[1] * n[2], evaluationCost(*f_))) return false;
    for (int c = 0; c < 3; ++c) {
        axes_[c].assign(static_cast<std::size_t>(n[c]), 0.0);
        placeByAddition(axes_[c], lo[c], (hi[c] - lo[c]) / (n[c] - 1));
    }
    const auto nx = static_cast<std::int64_t>(n[0]);
    const auto ny = static_cast<std::int64_t>(n[1]);
    const auto nz = static_cast<std::int64_t>(n[2]);

    // Every node once, plane after plane.
    samples_.assign(static_cast<std::size_t>(nx * ny * nz), 0.0);
    if (compiled_) {
        const int workers = samplingWorkers(nx * ny * nz);
        std::vector<CompiledExpr::Scratch> scratch(static_cast<std::size_t>(workers));
        std::vector<std::vector<double>> rows(static_cast<std::size_t>(workers),
                                              std::vector<double>(static_cast<std::size_t>(nx)));
        for (CompiledExpr::Scratch& s : scratch) compiled_->prepare(s);
        splitWork(static_cast<int>(nz), workers, [&](int first, int last, int worker) {
            samplePlanes(first, last, scratch[static_cast<std::size_t>(worker)],
                         rows[static_cast<std::size_t>(worker)].data());
        });
    } else {
        std::size_t at = 0;
        for (std::int64_t k = 0; k < nz; ++k)
            for (std::int64_t j = 0; j < ny; ++j)
                for (std::int64_t i = 0; i < nx; ++i) {
                    const double p[3] = {axes_[0][static_cast<std::size_t>(i)],
                                         axes_[1][static_cast<std::size_t>(j)],
                                         axes_[2][static_cast<std::size_t>(k)]};
                    samples_[at++] = valueAt(p);
                }
    }

    edges_.clear();
    points_.clear();
    normals_.clear();
    const std::int64_t corner[8] = {0,       1,           nx,           nx + 1,
                                    nx * ny, nx * ny + 1, nx * ny + nx, nx * ny + nx + 1};
    // One face between the crossings `e` (3 or 4, in order around the
    // face), wound counter-clockwise seen from the positive side `towards`.
    auto emit = [&](const int* e, int count, const Vec3d& towards) {
        Vec3d p[4];
        for (int k = 0; k < count; ++k) p[k] = toDouble(points_[static_cast<std::size_t>(e[k])]);
        const Vec3d face =
            count == 3 ? cross(p[1] - p[0], p[2] - p[0]) : cross(p[2] - p[0], p[3] - p[1]);
        const bool reverse = dot(face, towards) < 0.0;
        int order[4] = {e[0], e[1], e[2], count == 3 ? e[2] : e[3]};
        if (reverse) std::swap(order[1], order[count == 3 ? 2 : 3]);
        if (reverse && count == 3) order[3] = order[2];
        // A crossing without a gradient takes the face's normal.
        const double fl = std::sqrt(dot(face, face));
        const Vec3d unit = fl > 0.0 ? Vec3d{face.x / fl, face.y / fl, face.z / fl} : towards;
        const double s = reverse ? -1.0 : 1.0;
        Quad q;
        for (int k = 0; k < 4; ++k) {
            q.corners[k] = points_[static_cast<std::size_t>(order[k])];
            const Vec3f& g = normals_[static_cast<std::size_t>(order[k])];
            q.normals[k] = finiteVector(g) ? g
                                           : Vec3f{static_cast<float>(s * unit.x),
                                                   static_cast<float>(s * unit.y),
                                                   static_cast<float>(s * unit.z)};
        }
        out.quads.push_back(q);
    };

    for (std::int64_t k = 0; k + 1 < nz; ++k) {
        const std::size_t before = out.quads.size();
        for (std::int64_t j = 0; j + 1 < ny; ++j) {
            for (std::int64_t i = 0; i + 1 < nx; ++i) {
                const std::int64_t base = i + nx * (j + ny * k);
                // A cube whose corners all lie on one side holds nothing.
                int inside = 0;
                bool defined = true;
                for (std::int64_t c : corner) {
                    const double v = samples_[static_cast<std::size_t>(base + c)];
                    defined = defined && std::isfinite(v);
                    inside += v < 0.0;
                }
                if (!defined || inside == 0 || inside == 8) continue;
                for (const auto& tet : kTetrahedra) {
                    std::int64_t node[4];
                    bool in[4];
                    int count = 0;
                    Vec3d inSum{0, 0, 0};
                    Vec3d outSum{0, 0, 0};
                    for (int v = 0; v < 4; ++v) {
                        node[v] = base + corner[tet[v]];
                        in[v] = samples_[static_cast<std::size_t>(node[v])] < 0.0;
                        count += in[v];
                        double p[3];
                        nodePoint(node[v], p);
                        Vec3d& sum = in[v] ? inSum : outSum;
                        sum = {sum.x + p[0], sum.y + p[1], sum.z + p[2]};
                    }
                    if (count == 0 || count == 4) continue;
                    const double ni = count;
                    const double no = 4 - count;
                    const Vec3d towards{outSum.x / no - inSum.x / ni, outSum.y / no - inSum.y / ni,
                                        outSum.z / no - inSum.z / ni};
                    // Node numbers grow along the tetrahedron's corners.
                    auto edge = [&](int a, int b) {
                        return crossing(std::min(node[a], node[b]), std::max(node[a], node[b]));
                    };
                    if (count == 2) {
                        int a = -1, b = -1, c = -1, e = -1;
                        for (int v = 0; v < 4; ++v) {
                            if (in[v])
                                (a < 0 ? a : b) = v;
                            else
                                (c < 0 ? c : e) = v;
                        }
                        // Around the quadrilateral: a-c, a-e, b-e, b-c.
                        const int face[4] = {edge(a, c), edge(a, e), edge(b, e), edge(b, c)};
                        emit(face, 4, towards);
                    } else {
                        // The corner on its own side, and the three edges from it.
                        int lone = 0;
                        for (int v = 0; v < 4; ++v)
                            if (in[v] == (count == 1)) lone = v;
                        int face[3];
                        int m = 0;
                        for (int v = 0; v < 4; ++v)
                            if (v != lone) face[m++] = edge(lone, v);
                        emit(face, 3, towards);
                    }
                }
            }
        }
        // The faces of this layer of cubes count against the vertex bound
        // before the next layer is walked.
        if (!reserveVertices(4.0 * static_cast<double>(out.quads.size() - before))) return false;
    }

    BoundingBox box{static_cast<float>(lo[0]), static_cast<float>(hi[0]),
                    static_cast<float>(lo[1]), static_cast<float>(hi[1]),
                    static_cast<float>(lo[2]), static_cast<float>(hi[2])};
    clipBox(box);
    out.box = box;
    return true;
}

}  // namespace kv
