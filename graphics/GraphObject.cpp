#include "graphics/GraphObject.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/MessageFormat.h"
#include "engine/Workspace.h"
#include "graphics/GraphLimits.h"
#include "graphics/GraphMessages.h"

namespace kv {

namespace {

// Sets a flag for a scope and puts back what it was: a plot command inside
// a graph's text builds a graph inside the build of another.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool previous_;
};

}  // namespace

void BoundingBox::widen(const BoundingBox& o) {
    xmin = std::min(xmin, o.xmin);
    xmax = std::max(xmax, o.xmax);
    ymin = std::min(ymin, o.ymin);
    ymax = std::max(ymax, o.ymax);
    zmin = std::min(zmin, o.zmin);
    zmax = std::max(zmax, o.zmax);
}

long long FrameGeometry::vertexCount() const {
    long long n = 0;
    for (const LineStrip& s : strips) n += static_cast<long long>(s.points.size());
    n += 4 * static_cast<long long>(quads.size());
    n += 2 * static_cast<long long>(segments.size());
    return n;
}

GraphObject::~GraphObject() = default;

int GraphObject::frameIndex(int counter) const {
    const int n = static_cast<int>(frames_.size());
    if (n == 0) return 0;
    return std::abs(counter % n);
}

const FrameGeometry& GraphObject::frame(int counter) const {
    static const FrameGeometry kEmpty;
    if (frames_.empty()) return kEmpty;
    return frames_[static_cast<std::size_t>(frameIndex(counter))];
}

void GraphObject::release() {
    lists.clear();
    edgeLists.clear();
    frames_.clear();
    frames_.shrink_to_fit();
    definition_.reset();
}

bool GraphObject::build(std::unique_ptr<GraphDefinition> def, const ParseText& parseText) {
    release();
    failure_.clear();
    definition_ = std::move(def);
    if (!definition_) {
        failure_ = gmsg::kInvalidInput;
        return false;
    }
    FlagScope building(Workspace::current().graphBuildInProgress);
    parseText_ = &parseText;
    vertices_ = 0;
    gridNodes_ = 0.0;
    gridWork_ = 0.0;
    bool ok = buildFrames();
    finish();
    parseText_ = nullptr;
    if (!ok) {
        if (failure_.empty()) failure_ = gmsg::kInvalidInput;
        frames_.clear();
        definition_.reset();
    }
    return ok;
}

bool GraphObject::buildFrames() {
    GraphDefinition& def = *definition_;
    if (!prepare()) return false;

    if (!def.animated) def.nframes = 1;
    // A count below one would leave no frame to draw (and nothing to take a
    // frame index modulo): such a graph gets one frame.
    if (def.nframes < 1) def.nframes = 1;
    if (def.nframes > kMaxGraphFrames) {
        failure_ = msg::format(gmsg::kTooManyFrames, kMaxGraphFrames);
        return false;
    }

    std::vector<NodePtr> from;
    std::vector<NodePtr> to;
    if (def.animated) {
        for (std::size_t j = 0; j < def.anim_vars.size(); ++j) {
            if (def.anim_vars[j] < 0) return false;
            NodePtr a = parse(def.anim_from[j]);
            if (!a) return false;
            NodePtr b = parse(def.anim_to[j]);
            if (!b) return false;
            from.push_back(std::move(a));
            to.push_back(std::move(b));
        }
    }

    const std::vector<ClipPlane> planes = clipPlanes();
    frames_.resize(static_cast<std::size_t>(def.nframes));
    for (int f = 0; f < def.nframes; ++f) {
        // Each animated variable in the order of the anim options, its
        // bounds evaluated anew (they may use the variables set before it).
        // With a single frame the step |to - from| / (nframes - 1) is a
        // division by zero; that frame takes the from values.
        for (std::size_t j = 0; j < from.size(); ++j) {
            double a = from[j]->evaluate();
            double b = to[j]->evaluate();
            double value = def.nframes == 1 ? a : a + f * std::fabs(b - a) / (def.nframes - 1);
            setVariable(def.anim_vars[j], value);
        }
        FrameGeometry& out = frames_[static_cast<std::size_t>(f)];
        if (!buildFrame(f, out)) return false;
        out.clipPlanes = planes;
    }
    return true;
}

NodePtr GraphObject::parse(std::string_view text) {
    return (*parseText_)(text);
}

void GraphObject::setVariable(int row, double value) {
    auto& vars = Workspace::current().variables;
    if (row >= 0 && static_cast<std::size_t>(row) < vars.size())
        vars[static_cast<std::size_t>(row)].value = value;
}

bool GraphObject::reserveVertices(double n) {
    if (!(n <= static_cast<double>(kMaxGraphVertices - vertices_))) {
        failure_ = msg::format(gmsg::kTooManyVertices, static_cast<int>(kMaxGraphVertices));
        return false;
    }
    if ((static_cast<double>(vertices_) + n) * costPerVertex_ > kMaxEvaluationWork) {
        failure_ = kTooMuchWork;
        return false;
    }
    vertices_ += static_cast<long long>(n);
    return true;
}

bool GraphObject::admitGrid(double nodes, double visits) {
    if (!(gridNodes_ + nodes <= static_cast<double>(kMaxGraphVertices))) {
        failure_ = msg::format(gmsg::kTooManyVertices, static_cast<int>(kMaxGraphVertices));
        return false;
    }
    if (!(gridWork_ + nodes * visits <= kMaxEvaluationWork)) {
        failure_ = kTooMuchWork;
        return false;
    }
    gridNodes_ += nodes;
    gridWork_ += nodes * visits;
    return true;
}

std::vector<ClipPlane> GraphObject::clipPlanes() const {
    std::vector<ClipPlane> planes;
    const GraphDefinition& def = *definition_;
    if (def.clip_x) {
        planes.push_back({0, -1, 0, 0, std::fabs(def.x_range.hi)});
        planes.push_back({1, 1, 0, 0, std::fabs(def.x_range.lo)});
    }
    if (def.clip_y) {
        planes.push_back({2, 0, -1, 0, std::fabs(def.y_range.hi)});
        planes.push_back({3, 0, 1, 0, std::fabs(def.y_range.lo)});
    }
    if (def.clip_z) {
        planes.push_back({4, 0, 0, -1, std::fabs(def.z_range.hi)});
        planes.push_back({5, 0, 0, 1, std::fabs(def.z_range.lo)});
    }
    return planes;
}

void GraphObject::clipBox(BoundingBox& box) const {
    const GraphDefinition& def = *definition_;
    auto clip = [](float& lo, float& hi, const Range& r) {
        lo = std::max(lo, static_cast<float>(r.lo));
        hi = std::min(hi, static_cast<float>(r.hi));
    };
    if (def.clip_x) clip(box.xmin, box.xmax, def.x_range);
    if (def.clip_y) clip(box.ymin, box.ymax, def.y_range);
    if (def.clip_z) clip(box.zmin, box.zmax, def.z_range);
}

void GraphObject::placeByAddition(std::vector<double>& positions, double start, double step) {
    double t = start;
    for (double& p : positions) {
        p = t;
        t += step;
    }
}

}  // namespace kv
