// The view of the batch runner's pictures and videos, set from its command
// line: the rotation after the framing, the spin per video step, the render
// mode and the overlay switches. The desktop program's exports use the
// pane's own view instead.
#pragma once

#include <optional>
#include <string>

#include "graphics/SceneModel.h"

namespace kv {

struct BatchView {
    std::optional<SceneVector> rotation;  // --view RX,RY,RZ (degrees)
    std::optional<SceneVector> spin;      // --spin SX,SY,SZ (degrees per step)
    std::optional<int> renderMode;        // --render-mode 0..3
    bool noBox = false;                   // --no-box
    bool noAxes = false;                  // --no-axes
    bool noLabels = false;                // --no-labels

    // Whether `option` is one of the view's; `value` is the next argument
    // (null when there is none) and `used` tells whether it was taken.
    // `error` receives the message for an unusable value.
    bool take(const std::string& option, const std::string* value, bool& used, std::string& error);
    // Anything set at all (the options need a picture or a video).
    bool any() const;
    // Puts the view on the framed scene.
    void apply(SceneModel& scene) const;
};

}  // namespace kv
