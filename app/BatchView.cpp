#include "app/BatchView.h"

#include <charconv>
#include <cmath>

#include "export/ExportMessages.h"

namespace kv {

namespace {

// "X,Y,Z": three finite numbers.
bool parseTriple(const std::string& text, SceneVector& v) {
    float parts[3];
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < 3; ++i) {
        auto [q, ec] = std::from_chars(p, end, parts[i]);
        if (ec != std::errc() || !std::isfinite(parts[i])) return false;
        p = q;
        if (i < 2) {
            if (p == end || *p != ',') return false;
            ++p;
        }
    }
    if (p != end) return false;
    v = {parts[0], parts[1], parts[2]};
    return true;
}

}  // namespace

bool BatchView::take(const std::string& option, const std::string* value, bool& used,
                     std::string& error) {
    used = false;
    if (option == "--no-box" || option == "--no-axes" || option == "--no-labels") {
        (option == "--no-box" ? noBox : option == "--no-axes" ? noAxes : noLabels) = true;
        return true;
    }
    if (option != "--view" && option != "--spin" && option != "--render-mode") return false;
    if (!value) {
        error = exportmsg::kViewMissingValue + option;
        return true;
    }
    used = true;
    if (option == "--render-mode") {
        int mode = -1;
        auto [p, ec] = std::from_chars(value->data(), value->data() + value->size(), mode);
        if (ec != std::errc() || p != value->data() + value->size() || mode < 0 || mode > 3)
            error = exportmsg::kInvalidRenderMode + *value;
        else
            renderMode = mode;
        return true;
    }
    SceneVector v;
    if (!parseTriple(*value, v)) {
        error = exportmsg::kInvalidAngles + *value;
        return true;
    }
    (option == "--view" ? rotation : spin) = v;
    return true;
}

bool BatchView::any() const {
    return rotation || spin || renderMode || noBox || noAxes || noLabels;
}

void BatchView::apply(SceneModel& scene) const {
    if (rotation)
        scene.rotation = {SceneModel::wrapAngle(rotation->x), SceneModel::wrapAngle(rotation->y),
                          SceneModel::wrapAngle(rotation->z)};
    if (spin) scene.spin = *spin;
    if (renderMode) scene.render_mode = static_cast<SceneModel::RenderMode>(*renderMode);
    if (noBox) scene.show_box = false;
    if (noAxes) scene.show_axes = false;
    if (noLabels) scene.show_labels = false;
}

}  // namespace kv
