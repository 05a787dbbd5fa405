#include "graphics/SceneModel.h"

#include <cmath>
#include <cstdlib>

namespace kv {

namespace {

float clampSpin(float v) {
    if (v > SceneModel::kMaxSpin) return SceneModel::kMaxSpin;
    if (v < -SceneModel::kMaxSpin) return -SceneModel::kMaxSpin;
    return v;
}

}  // namespace

SceneModel::~SceneModel() {
    // The view may be gone by now: the observer is not told.
    for (auto& g : graphs_) g->release();
}

void SceneModel::notifyChanged() {
    if (observer_) observer_->sceneChanged();
}

void SceneModel::releaseGraph(GraphObject& g) {
    if (observer_) observer_->graphReleasing(g);
    g.release();
}

const BoundingBox& SceneModel::currentBox(int i) const {
    const std::size_t k = static_cast<std::size_t>(i);
    return graphs_[k]->frameBox(frame_index[k]);
}

bool SceneModel::computeBox(BoundingBox& box) const {
    if (graphs_.empty()) return false;
    box = currentBox(0);
    for (int i = 1; i < graphCount(); ++i) box.widen(currentBox(i));
    return true;
}

void SceneModel::frameView() {
    const BoundingBox& b = scene_box;
    const float dx = b.xmax - b.xmin;
    const float dy = b.ymax - b.ymin;
    const float dz = b.zmax - b.zmin;
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    translation = {-(b.xmin + dx / 2), -(b.ymin + dy / 2), -d};
}

GraphObject* SceneModel::addGraph(std::unique_ptr<GraphObject> graph) {
    for (int& f : frame_index) f = 0;
    direction.push_back(1);
    frame_index.push_back(0);
    const GraphDefinition* def = graph->definition();
    if (def && def->animated) {
        animation_period = def->frame_time;
        if (observer_) observer_->animationTimerRestarted(animation_period);
    }
    GraphObject* added = graph.get();
    graphs_.push_back(std::move(graph));
    computeBox(scene_box);
    frameView();
    notifyChanged();
    return added;
}

bool SceneModel::removeGraph(int id) {
    for (std::size_t i = 0; i < graphs_.size(); ++i) {
        if (graphs_[i]->graphId() != id) continue;
        releaseGraph(*graphs_[i]);
        const auto at = static_cast<std::ptrdiff_t>(i);
        graphs_.erase(graphs_.begin() + at);
        frame_index.erase(frame_index.begin() + at);
        direction.erase(direction.begin() + at);
        // The box shown around the scene is that of the graphs still in it;
        // the view stays where the user put it.
        if (!computeBox(scene_box)) scene_box = BoundingBox{};
        notifyChanged();
        return true;
    }
    return false;
}

void SceneModel::clearGraphs() {
    for (auto& g : graphs_) releaseGraph(*g);
    graphs_.clear();
    frame_index.clear();
    direction.clear();
    translation = {};
    rotation = {};
    scale = {1.0f, 1.0f, 1.0f};
    background_ = {1.0, 1.0, 1.0};
    scene_box = BoundingBox{};
    notifyChanged();
}

void SceneModel::setLineWidth(float width) {
    line_width = width;
    notifyChanged();
}

void SceneModel::setBackground(Color color) {
    background_ = color;
    notifyChanged();
}

void SceneModel::setShadeModel(ShadeModel model) {
    shade_model = model;
    for (auto& g : graphs_)
        if (GraphDefinition* def = g->definition()) def->shade_model = model;
    notifyChanged();
}

// ---- animation ------------------------------------------------------------------

bool SceneModel::animationTick(bool hasFocus) {
    if (!hasFocus || !animating || dragging || right_dragging) return false;
    playStep();
    notifyChanged();
    return true;
}

void SceneModel::playStep() {
    rotation.x = wrapAngle(rotation.x + spin.x);
    rotation.y = wrapAngle(rotation.y + spin.y);
    rotation.z = wrapAngle(rotation.z + spin.z);
    for (std::size_t i = 0; i < graphs_.size(); ++i) {
        const GraphDefinition* def = graphs_[i]->definition();
        if (!def || !def->animated) continue;
        const int n = graphs_[i]->frameCount();
        int& f = frame_index[i];
        if (!bounce) {
            // Drawn modulo the frame count; taking a non-negative counter
            // modulo first shows the same frames and never overflows.
            f = f >= 0 && n > 0 ? f % n + 1 : f + 1;
        } else if (direction[i] == 1) {
            if (f < n - 2) {
                ++f;
            } else {
                f = n - 1;
                direction[i] = 0;
            }
        } else {
            if (f < 2) {
                f = 0;
                direction[i] = 1;
            } else {
                --f;
            }
        }
    }
}

void SceneModel::rewindFrames() {
    for (int& f : frame_index) f = 0;
    notifyChanged();
}

void SceneModel::stepFrames(int delta) {
    for (int& f : frame_index) f += delta;
    notifyChanged();
}

// ---- spin -----------------------------------------------------------------------

float SceneModel::wrapAngle(float degrees) {
    if (!std::isfinite(degrees)) return 0.0f;
    if (degrees < -360.0f) degrees += 360.0f;
    if (degrees > 360.0f) {
        // Whole turns off until at most 360; fmod does it in one step
        // (exactly), so a huge angle cannot keep the loop going.
        degrees = std::fmod(degrees, 360.0f);
        if (degrees == 0.0f) degrees = 360.0f;
    }
    return degrees;
}

bool SceneModel::spinTick(bool hasFocus) {
    if (!hasFocus || animating || !spinning) return false;
    if (spin.x == 0.0f && spin.y == 0.0f && spin.z == 0.0f) return false;
    rotation.x = wrapAngle(rotation.x + spin.x);
    rotation.y = wrapAngle(rotation.y + spin.y);
    rotation.z = wrapAngle(rotation.z + spin.z);
    notifyChanged();
    return true;
}

// ---- mouse ----------------------------------------------------------------------

void SceneModel::leftButtonDown(int x, int y) {
    last_x = x;
    last_y = y;
    dragging = true;
    spinning = false;
    spin = {};
}

void SceneModel::leftButtonUp() {
    dragging = false;
    spinning = true;
}

void SceneModel::rightButtonDown(int x, int y) {
    last_x = x;
    last_y = y;
    right_dragging = true;
    spinning = false;
}

void SceneModel::rightButtonUp() {
    right_dragging = false;
    spinning = true;
}

bool SceneModel::mouseMove(int x, int y, int width, int height) {
    if (!dragging && !right_dragging) return false;
    const int dx = x - last_x;
    const int dy = y - last_y;
    last_x = x;
    last_y = y;
    if (dragging)
        leftDrag(dx, dy, width, height);
    else
        translation.z += static_cast<float>(dy) / 5.0f;  // towards or away from the viewer
    notifyChanged();
    return true;
}

void SceneModel::leftDrag(int dx, int dy, int width, int height) {
    // A whole turn across the pane; a pane of no size turns nothing.
    const float kx = width > 0 ? 360.0f / static_cast<float>(width) : 0.0f;
    const float ky = height > 0 ? 360.0f / static_cast<float>(height) : 0.0f;
    const float fx = static_cast<float>(dx);
    const float fy = static_cast<float>(dy);

    if (drag_mode >= RotateXY && drag_mode <= RotateXZ) {
        // The angle (and spin) that dx drives, and the one dy drives.
        float* angleX = nullptr;
        float* angleY = nullptr;
        float* spinX = nullptr;
        float* spinY = nullptr;
        switch (drag_mode) {
            case RotateXY:
                angleX = &rotation.y, spinX = &spin.y;
                angleY = &rotation.x, spinY = &spin.x;
                break;
            case RotateYZ:
                angleX = &rotation.z, spinX = &spin.z;
                angleY = &rotation.y, spinY = &spin.y;
                break;
            default:
                angleX = &rotation.z, spinX = &spin.z;
                angleY = &rotation.x, spinY = &spin.x;
                break;
        }
        *angleX += fx * kx;
        *angleY += fy * ky;
        if (std::abs(dx) > kFlickPixels) *spinX = clampSpin((fx - kFlickPixels) * kx);
        if (std::abs(dy) > kFlickPixels) *spinY = clampSpin((fy - kFlickPixels) * ky);
        *angleX = wrapAngle(*angleX);
        *angleY = wrapAngle(*angleY);
        return;
    }
    auto grow = [](float& s, float by) {
        s += by;
        if (s < 0.0f) s = 0.0f;  // flattened, never mirrored
    };
    switch (drag_mode) {
        case MoveXY:
            translation.x += fx / 8.0f;
            translation.y -= fy / 8.0f;
            break;
        case ScaleX:
            grow(scale.x, fx / 5.0f);
            break;
        case ScaleY:
            grow(scale.y, fy / 5.0f);
            break;
        case ScaleZ:
            grow(scale.z, fy / 5.0f);
            break;
        default:
            break;
    }
}

void SceneModel::resetView() {
    if (graphs_.empty()) return;
    spinning = false;
    spin = {};
    rotation = {};
    scale = {1.0f, 1.0f, 1.0f};
    computeBox(scene_box);
    frameView();
    notifyChanged();
}

}  // namespace kv
