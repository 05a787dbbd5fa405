#include "graphics/SurfaceGraph.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "engine/EvaluationCost.h"
#include "engine/Workspace.h"
#include "graphics/DefinitionDomain.h"
#include "graphics/SplitWork.h"

namespace kv {

namespace {

// A grid-line count: the value truncated, at least `least`; an undefined
// count (NaN) gets the least.
double lineCount(double value, int least) {
    double n = std::trunc(value);
    if (std::isnan(n) || n < least) n = least;
    return n;
}

// A box that any finite value widens, on each axis independently.
BoundingBox emptyBox() {
    constexpr float inf = std::numeric_limits<float>::infinity();
    return {inf, -inf, inf, -inf, inf, -inf};
}

// Widens one axis of a box started empty; the first of equal extremes (one
// signed zero or the other) stays, as BoundingBox::widen keeps it.
void widenPart(float v, float& lo, float& hi) {
    if (!std::isfinite(v)) return;
    if (v > hi) hi = v;
    if (v < lo) lo = v;
}

void widenPart(const Vec3f& p, BoundingBox& box) {
    widenPart(p.x, box.xmin, box.xmax);
    widenPart(p.y, box.ymin, box.ymax);
    widenPart(p.z, box.zmin, box.zmax);
}

float finiteOrZero(double v) {
    const float f = static_cast<float>(v);
    return std::isfinite(f) ? f : 0.0f;
}

}  // namespace

const SurfaceDefinition& SurfaceGraph::surface() const {
    return static_cast<const SurfaceDefinition&>(*definition());
}

bool SurfaceGraph::prepare() {
    const SurfaceDefinition& d = surface();
    NodePtr* trees[] = {&x_, &y_, &z_, &xlo_, &xhi_, &ylo_, &yhi_, &nx_, &ny_};
    const std::string* texts[] = {&d.x_expr, &d.y_expr, &d.z_expr,   &d.x_lo,    &d.x_hi,
                                  &d.y_lo,   &d.y_hi,   &d.nlines_x, &d.nlines_y};
    const bool revolution = d.revolution != SurfaceDefinition::Revolution::None;
    for (std::size_t k = 0; k < std::size(trees); ++k) {
        // The turned components of a surface of revolution come next.
        if (revolution && k < 3 && texts[k]->empty()) continue;
        *trees[k] = parse(*texts[k]);
        if (!*trees[k]) return false;
    }
    if (revolution && !turnRadius()) return false;
    // The partial derivatives of the three components, derived once: every
    // corner of every frame evaluates them.
    const ExprNode* components[3] = {x_.get(), y_.get(), z_.get()};
    for (int c = 0; c < 3; ++c) {
        du_[c] = components[c]->derivative(IdList{d.x_var});
        dv_[c] = components[c]->derivative(IdList{d.y_var});
        if (!du_[c] || !dv_[c]) return false;
    }
    // Each grid node evaluates the components and their six derivatives;
    // a cell has four vertices and about one node.
    double perNode = 0.0;
    for (int c = 0; c < 3; ++c)
        perNode +=
            evaluationCost(*components[c]) + evaluationCost(*du_[c]) + evaluationCost(*dv_[c]);
    setCostPerVertex(perNode / 4.0);
    // The compiled form needs two distinct variable rows to feed.
    const int rows = static_cast<int>(Workspace::current().variables.size());
    if (Workspace::current().compiledSampling && d.x_var != d.y_var && d.x_var >= 0 &&
        d.y_var >= 0 && d.x_var < rows && d.y_var < rows) {
        const std::vector<SampleInput> inputs{{d.x_var, false}, {d.y_var, true}};
        const std::vector<const ExprNode*> all{x_.get(),     y_.get(),     z_.get(),
                                               du_[0].get(), du_[1].get(), du_[2].get(),
                                               dv_[0].get(), dv_[1].get(), dv_[2].get()};
        compiled_ = std::make_unique<CompiledExpr>(all, inputs);
        if (!compiled_->ok()) compiled_.reset();
    }
    return true;
}

// The two components of a surface of revolution off its axis, r cos(a) and
// r sin(a) (negated about x), built as trees: the angle's variable has a
// name no command line can spell, so it never passes through the parser.
bool SurfaceGraph::turnRadius() {
    const SurfaceDefinition& d = surface();
    NodePtr r = parse(d.radius);
    if (!r) return false;
    auto turned = [&](Kind fn) {
        return makeBinary(Kind::Product, r->clone(),
                          makeFunction(fn, std::make_unique<VariableNode>(d.y_var)));
    };
    if (d.revolution == SurfaceDefinition::Revolution::AboutY) {
        x_ = turned(Kind::Cos);
        z_ = turned(Kind::Sin);
    } else {
        y_ = turned(Kind::Cos);
        z_ = std::make_unique<NegationNode>(turned(Kind::Sin));
    }
    return true;
}

void SurfaceGraph::finish() {
    for (NodePtr* t : {&x_, &y_, &z_, &xlo_, &xhi_, &ylo_, &yhi_, &nx_, &ny_}) t->reset();
    for (int c = 0; c < 3; ++c) {
        du_[c].reset();
        dv_[c].reset();
    }
    compiled_.reset();
    us_.clear();
    vs_.clear();
    rowPieces_.clear();
    columnPieces_.clear();
    nodes_.clear();
    nodes_.shrink_to_fit();
}

SurfaceGraph::Node SurfaceGraph::sampleNode(double u, double v) const {
    const SurfaceDefinition& d = surface();
    setVariable(d.x_var, u);
    setVariable(d.y_var, v);
    const double p[3] = {x_->evaluate(), y_->evaluate(), z_->evaluate()};
    double pu[3];
    double pv[3];
    for (int c = 0; c < 3; ++c) {
        pu[c] = du_[c]->evaluate();
        pv[c] = dv_[c]->evaluate();
    }
    return makeNode(p, pu, pv);
}

SurfaceGraph::Node SurfaceGraph::makeNode(const double p[3], const double pu[3],
                                          const double pv[3]) {
    Node node;
    node.point = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};

    // The normal -(Pu x Pv) / |Pu x Pv|, Pu and Pv the tangents along u and
    // v. |Pu x Pv| equals sqrt(E G - F^2) of the first fundamental form, but
    // computed from the cross product it keeps its precision where the
    // tangents are steep (E G and F^2 nearly cancel there). For z = f(x, y)
    // this is (fx, fy, -1) / sqrt(1 + fx^2 + fy^2): a horizontal patch has
    // its normal pointing down.
    const double n[3] = {-(pu[1] * pv[2] - pu[2] * pv[1]), -(pu[2] * pv[0] - pu[0] * pv[2]),
                         -(pu[0] * pv[1] - pu[1] * pv[0])};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    // Degenerate or undefined tangents: the normal of a horizontal patch.
    if (!(length >= kDegenerateNormal) || !std::isfinite(length)) {
        node.normal = {0.0f, 0.0f, -1.0f};
    } else {
        node.normal = {static_cast<float>(n[0] / length), static_cast<float>(n[1] / length),
                       static_cast<float>(n[2] / length)};
    }
    return node;
}

void SurfaceGraph::sampleCompiled(int nx, int ny) {
    const SurfaceDefinition& d = surface();
    nodes_.resize(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
    const std::size_t column = static_cast<std::size_t>(ny);
    const int workers = samplingWorkers(static_cast<long long>(nx) * ny);
    // Per worker: the compiled trees' working memory and the nine values of
    // one grid column, made before any sample is taken.
    std::vector<CompiledExpr::Scratch> scratch(static_cast<std::size_t>(workers));
    std::vector<std::vector<double>> values(static_cast<std::size_t>(workers),
                                            std::vector<double>(9 * column));
    for (CompiledExpr::Scratch& s : scratch) compiled_->prepare(s);
    splitWork(nx, workers, [&](int first, int last, int worker) {
        CompiledExpr::Scratch& s = scratch[static_cast<std::size_t>(worker)];
        double* const val = values[static_cast<std::size_t>(worker)].data();
        for (int i = first; i < last; ++i) {
            const double u = us_[static_cast<std::size_t>(i)];
            const double* inputs[] = {&u, vs_.data()};
            double* const outs[9] = {val,
                                     val + column,
                                     val + 2 * column,
                                     val + 3 * column,
                                     val + 4 * column,
                                     val + 5 * column,
                                     val + 6 * column,
                                     val + 7 * column,
                                     val + 8 * column};
            compiled_->evaluate(inputs, ny, outs, s);
            for (std::size_t j = 0; j < column; ++j) {
                const double p[3] = {val[j], val[column + j], val[2 * column + j]};
                const double pu[3] = {val[3 * column + j], val[4 * column + j],
                                      val[5 * column + j]};
                const double pv[3] = {val[6 * column + j], val[7 * column + j],
                                      val[8 * column + j]};
                nodes_[static_cast<std::size_t>(i) * column + j] = makeNode(p, pu, pv);
            }
        }
    });
    // The variables as sampling point by point leaves them: at the last node.
    setVariable(d.x_var, us_.back());
    setVariable(d.y_var, vs_.back());
}

std::vector<Interval> SurfaceGraph::definedAlong(int variable, double lo, double hi) const {
    std::vector<const ExprNode*> trees{x_.get(), y_.get(), z_.get()};
    std::vector<Interval> pieces =
        definedPieces(trees, lo, hi, variable, kDomainTolerance, surface().h).intervals();
    return pieces;
}

int SurfaceGraph::pieceOf(const std::vector<Interval>& pieces, double t, double slack) {
    for (std::size_t k = 0; k < pieces.size(); ++k)
        if (t >= pieces[k].lo - slack && t <= pieces[k].hi + slack) return static_cast<int>(k);
    return -1;
}

bool SurfaceGraph::buildFrame(int, FrameGeometry& out) {
    const SurfaceDefinition& d = surface();

    // Bounds anew each frame: they may use the animated variables. The grid
    // runs from the smaller bound of each range upwards.
    const double xa = xlo_->evaluate();
    const double xb = xhi_->evaluate();
    const double ya = ylo_->evaluate();
    const double yb = yhi_->evaluate();
    const double ulo = std::min(xa, xb);
    const double uhi = std::max(xa, xb);
    const double vlo = std::min(ya, yb);
    const double vhi = std::max(ya, yb);

    // Grid lines: 4 per unit of length, or the nlines values; at least 2.
    const double nxd =
        lineCount(d.auto_nlines ? std::fabs(xb - xa) * kLinesPerUnit : nx_->evaluate(), kMinLines);
    const double nyd =
        lineCount(d.auto_nlines ? std::fabs(yb - ya) * kLinesPerUnit : ny_->evaluate(), kMinLines);
    // Four vertices per cell; this also bounds the nodes and the domain
    // searches, which are fewer.
    if (!reserveVertices(4.0 * (nxd - 1.0) * (nyd - 1.0))) return false;
    const int nx = static_cast<int>(nxd);
    const int ny = static_cast<int>(nyd);

    // Node positions by repeated addition of the spacing.
    const double du = std::fabs(xb - xa) / (nx - 1);
    const double dv = std::fabs(yb - ya) / (ny - 1);
    us_.assign(static_cast<std::size_t>(nx), 0.0);
    vs_.assign(static_cast<std::size_t>(ny), 0.0);
    placeByAddition(us_, ulo, du);
    placeByAddition(vs_, vlo, dv);

    // Where the components are defined: under check_def the pieces of the
    // u range along every grid row and of the v range along every column;
    // otherwise the whole range everywhere.
    rowPieces_.assign(static_cast<std::size_t>(ny), {{ulo, uhi}});
    columnPieces_.assign(static_cast<std::size_t>(nx), {{vlo, vhi}});
    if (d.check_def) {
        for (int j = 0; j < ny; ++j) {
            setVariable(d.y_var, vs_[j]);
            rowPieces_[j] = definedAlong(d.x_var, ulo, uhi);
        }
        for (int i = 0; i < nx; ++i) {
            setVariable(d.x_var, us_[i]);
            columnPieces_[i] = definedAlong(d.y_var, vlo, vhi);
        }
    }

    // Seed the box at the lower ends of the first pieces (undefined values
    // count as 0).
    setVariable(d.x_var, rowPieces_[0].empty() ? ulo : rowPieces_[0].front().lo);
    setVariable(d.y_var, columnPieces_[0].empty() ? vlo : columnPieces_[0].front().lo);
    BoundingBox box = BoundingBox::around(
        {finiteOrZero(x_->evaluate()), finiteOrZero(y_->evaluate()), finiteOrZero(z_->evaluate())});

    // Every node once, column after column; the cells share their corners.
    nodes_.clear();
    if (compiled_) {
        sampleCompiled(nx, ny);
    } else {
        nodes_.reserve(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j) nodes_.push_back(sampleNode(us_[i], vs_[j]));
    }
    auto node = [&](int i, int j) -> const Node& {
        return nodes_[static_cast<std::size_t>(i) * static_cast<std::size_t>(ny) +
                      static_cast<std::size_t>(j)];
    };

    // The repeated additions may carry the last node a few rounding steps
    // past the bound; a node that close to a piece still lies in it.
    const double uslack = std::max(IntervalSet::kWidening, 1e-9 * du);
    const double vslack = std::max(IntervalSet::kWidening, 1e-9 * dv);
    auto sameRowPiece = [&](int j, int i) {
        const int a = pieceOf(rowPieces_[j], us_[i], uslack);
        return a >= 0 && a == pieceOf(rowPieces_[j], us_[i + 1], uslack);
    };
    auto sameColumnPiece = [&](int i, int j) {
        const int a = pieceOf(columnPieces_[i], vs_[j], vslack);
        return a >= 0 && a == pieceOf(columnPieces_[i], vs_[j + 1], vslack);
    };

    // Cells with u outer and v inner. Under check_def a cell whose edges
    // leave a defined piece (a pole, a domain boundary) is left out.
    //
    // The corners go (u0, v0), (u0, v1), (u1, v1), (u1, v0): clockwise seen
    // from above, so the quad's front face is its lower side, the side its
    // normal points to. The renderer lights two-sided and gives the back
    // faces front_color: the upper side shows front_color.
    auto assemble = [&](int i, int j, Quad& q, BoundingBox& part) {
        const Node* corners[4] = {&node(i, j), &node(i, j + 1), &node(i + 1, j + 1),
                                  &node(i + 1, j)};
        for (int k = 0; k < 4; ++k) {
            q.corners[k] = corners[k]->point;
            q.normals[k] = corners[k]->normal;
            widenPart(q.corners[k], part);
        }
    };
    // Each worker widens a box of its own over its cells in order; merged
    // in the order of the cells, they give the box one pass would give,
    // down to which signed zero it keeps.
    const int cellRows = nx - 1;
    const std::size_t cellsPerRow = static_cast<std::size_t>(ny - 1);
    const int workers = d.check_def ? 1 : samplingWorkers(static_cast<long long>(nx) * ny);
    std::vector<BoundingBox> parts(static_cast<std::size_t>(workers), emptyBox());
    if (d.check_def) {
        out.quads.reserve(static_cast<std::size_t>(cellRows) * cellsPerRow);
        for (int i = 0; i < cellRows; ++i) {
            for (int j = 0; j + 1 < ny; ++j) {
                if (!(sameRowPiece(j, i) && sameRowPiece(j + 1, i) && sameColumnPiece(i, j) &&
                      sameColumnPiece(i + 1, j)))
                    continue;
                Quad q;
                assemble(i, j, q, parts[0]);
                out.quads.push_back(q);
            }
        }
    } else {
        // Every cell: each row of cells has its place in the output.
        out.quads.resize(static_cast<std::size_t>(cellRows) * cellsPerRow);
        splitWork(cellRows, workers, [&](int first, int last, int worker) {
            BoundingBox& part = parts[static_cast<std::size_t>(worker)];
            for (int i = first; i < last; ++i) {
                Quad* row = out.quads.data() + static_cast<std::size_t>(i) * cellsPerRow;
                for (int j = 0; j + 1 < ny; ++j) assemble(i, j, row[j], part);
            }
        });
    }
    for (const BoundingBox& part : parts) box.widen(part);

    // A surface of revolution reaches its largest distance from the axis all
    // the way round, between its lines too (an odd count of steps around
    // never samples the angle pi): its box is that distance either side of
    // the axis. The line at angle 0 holds the distances themselves, on the
    // cosine's axis.
    if (d.revolution != SurfaceDefinition::Revolution::None) {
        const bool aboutY = d.revolution == SurfaceDefinition::Revolution::AboutY;
        float& lo = aboutY ? box.xmin : box.ymin;
        float& hi = aboutY ? box.xmax : box.ymax;
        const float reach = std::max(std::fabs(lo), std::fabs(hi));
        lo = box.zmin = -reach;
        hi = box.zmax = reach;
    }

    clipBox(box);
    out.box = box;
    return true;
}

}  // namespace kv
