#include "graphics/GraphDefinitionReader.h"

#include <climits>
#include <cmath>
#include <string>

#include "engine/TextScan.h"
#include "engine/Workspace.h"
#include "graphics/CurveGraph.h"

namespace kv {

namespace {

// Removes one enclosing bracket pair, if there is one.
std::string_view stripBrackets(std::string_view text) {
    text = trim(text);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        return text.substr(1, text.size() - 2);
    return text;
}

// The parts of a range [a..b] or [v, a..b]. `valid` is false when the text
// does not take apart into a variable and two bounds; the bounds are then
// empty, which no parse accepts.
struct RangeParts {
    std::string_view variable;
    std::string_view lo;
    std::string_view hi;
};

RangeParts splitRange(std::string_view text) {
    RangeParts out;
    std::vector<std::string_view> parts = splitTopLevel(stripBrackets(text), ",");
    std::string_view interval;
    if (parts.size() == 1) {
        interval = parts[0];
    } else if (parts.size() == 2) {
        out.variable = trim(parts[0]);
        interval = parts[1];
    } else {
        return out;
    }
    std::vector<std::string_view> bounds = splitTopLevel(interval, "..");
    if (bounds.size() == 2) {
        out.lo = trim(bounds[0]);
        out.hi = trim(bounds[1]);
    }
    return out;
}

// The variable row of a range: its own name, or the command's default.
int rangeVariable(Workspace& ws, const RangeParts& range, std::string_view fallback,
                  std::string& name) {
    name = std::string(range.variable.empty() ? fallback : range.variable);
    return ws.variableIndex(name);
}

Color readColor(std::string_view value) {
    std::vector<std::string_view> parts = splitTopLevel(stripBrackets(value), ",");
    double c[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < parts.size() && i < 3; ++i) c[i] = readOptionNumber(parts[i]);
    return {c[0], c[1], c[2]};
}

Range readClipRange(std::string_view value) {
    std::vector<std::string_view> parts = splitTopLevel(stripBrackets(value), "..");
    Range r;
    if (!parts.empty()) r.lo = readOptionNumber(parts[0]);
    if (parts.size() > 1) r.hi = readOptionNumber(parts[1]);
    return r;
}

bool isTrue(std::string_view value) {
    value = trim(value);
    return value.size() == 4 && endsWithIgnoringCase(value, "true");
}

struct Option {
    std::string_view name;
    std::string_view value;
};

// "name=value", split at the first top-level "=". Nothing for a text
// without one.
bool splitOption(std::string_view text, Option& out) {
    std::vector<std::string_view> parts = splitTopLevel(text, "=");
    if (parts.size() < 2) return false;
    out.name = trim(parts[0]);
    out.value = trim(text.substr(parts[0].size() + 1));
    return true;
}

// Which of the options shared by several commands a command accepts.
struct SharedOptions {
    bool checkDef;  // check_def and h
    bool clip;      // x, y, z
};

// The options of more than one command; false when `name` is none of them.
bool readSharedOption(GraphDefinition& def, const Option& o, Workspace& ws,
                      SharedOptions accepted) {
    if (o.name == "id") {
        def.id = readOptionInteger(o.value);
    } else if (o.name == "nframes") {
        def.nframes = readOptionInteger(o.value);
    } else if (o.name == "frame_time") {
        def.frame_time = readOptionInteger(o.value);
    } else if (o.name == "anim") {
        RangeParts r = splitRange(o.value);
        def.animated = true;
        def.anim_vars.push_back(r.variable.empty() ? -1 : ws.variableIndex(r.variable));
        def.anim_from.emplace_back(r.lo);
        def.anim_to.emplace_back(r.hi);
    } else if (accepted.checkDef && o.name == "check_def") {
        def.check_def = isTrue(o.value);
    } else if (accepted.checkDef && o.name == "h") {
        def.h = readOptionNumber(o.value);
    } else if (accepted.clip && o.name == "x") {
        def.clip_x = true;
        def.x_range = readClipRange(o.value);
    } else if (accepted.clip && o.name == "y") {
        def.clip_y = true;
        def.y_range = readClipRange(o.value);
    } else if (accepted.clip && o.name == "z") {
        def.clip_z = true;
        def.z_range = readClipRange(o.value);
    } else {
        return false;
    }
    return true;
}

// The colour options of a lit mesh; false when `o` is none of them.
bool readMeshColor(MeshColors& colors, const Option& o) {
    if (o.name == "wire_color")
        colors.wire_color = readColor(o.value);
    else if (o.name == "front_color")
        colors.front_color = readColor(o.value);
    else if (o.name == "back_color")
        colors.back_color = readColor(o.value);
    else
        return false;
    return true;
}

template <class Reader>
void readOptions(const std::vector<std::string_view>& args, std::size_t first, Reader reader) {
    for (std::size_t i = first; i < args.size(); ++i) {
        Option o;
        if (splitOption(args[i], o)) reader(o);
    }
}

std::string_view argument(const std::vector<std::string_view>& args, std::size_t i) {
    return i < args.size() ? trim(args[i]) : std::string_view{};
}

// An equation lhs=rhs is drawn as the zero set of (lhs)-(rhs); any other
// expression as its own zero set.
std::string zeroSetExpression(std::string_view e) {
    std::vector<std::string_view> sides = splitTopLevel(e, "=");
    if (sides.size() != 2) return std::string(e);
    return "(" + std::string(trim(sides[0])) + ")-(" + std::string(trim(sides[1])) + ")";
}

}  // namespace

double readOptionNumber(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t n = decimalPrefixLength(text);
    if (n == 0) return 0.0;
    double v = readDecimal(text.substr(0, n));
    return negative ? -v : v;
}

int readOptionInteger(std::string_view text) {
    double v = std::trunc(readOptionNumber(text));
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

std::unique_ptr<CurveDefinition> readCurveDefinition(const std::vector<std::string_view>& args,
                                                     Workspace& ws, ShadeModel shade) {
    auto def = std::make_unique<CurveDefinition>();
    def->shade_model = shade;

    // F: one expression, or [x, y] or [x, y, z].
    std::string_view f = argument(args, 0);
    if (f.size() >= 2 && f.front() == '[' && f.back() == ']') {
        std::vector<std::string_view> parts = splitTopLevel(stripBrackets(f), ",");
        if (parts.size() == 1) {
            def->y_expr = std::string(trim(parts[0]));
        } else if (parts.size() == 2 || parts.size() == 3) {
            def->x_expr = std::string(trim(parts[0]));
            def->y_expr = std::string(trim(parts[1]));
            if (parts.size() == 3) def->z_expr = std::string(trim(parts[2]));
        }
    } else {
        def->y_expr = std::string(f);
    }

    RangeParts range = splitRange(argument(args, 1));
    std::string name;
    def->param_var = rangeVariable(ws, range, "x", name);
    def->param_lo = std::string(range.lo);
    def->param_hi = std::string(range.hi);
    // An explicit curve y = f(x) is the parametric curve (x, f(x), 0).
    if (def->x_expr.empty()) def->x_expr = name;

    readOptions(args, 2, [&](const Option& o) {
        if (readSharedOption(*def, o, ws, {true, true})) return;
        if (o.name == "nlines") {
            def->nlines = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "color") {
            def->color = readColor(o.value);
        }
    });
    return def;
}

std::unique_ptr<SurfaceDefinition> readSurfaceDefinition(const std::vector<std::string_view>& args,
                                                         Workspace& ws, ShadeModel shade) {
    auto def = std::make_unique<SurfaceDefinition>();
    def->shade_model = shade;
    def->z_expr = std::string(argument(args, 0));

    RangeParts rx = splitRange(argument(args, 1));
    std::string name;
    def->x_var = rangeVariable(ws, rx, "x", name);
    def->x_lo = std::string(rx.lo);
    def->x_hi = std::string(rx.hi);
    if (def->x_expr.empty()) def->x_expr = name;

    RangeParts ry = splitRange(argument(args, 2));
    def->y_var = rangeVariable(ws, ry, "y", name);
    def->y_lo = std::string(ry.lo);
    def->y_hi = std::string(ry.hi);
    if (def->y_expr.empty()) def->y_expr = name;

    readOptions(args, 3, [&](const Option& o) {
        if (readSharedOption(*def, o, ws, {true, true}) || readMeshColor(*def, o)) return;
        if (o.name == "nlines_x") {
            def->nlines_x = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "nlines_y") {
            def->nlines_y = std::string(o.value);
            def->auto_nlines = false;
        }
    });
    return def;
}

std::unique_ptr<SurfaceDefinition> readRotationSurfaceDefinition(
    const std::vector<std::string_view>& args, Workspace& ws, ShadeModel shade) {
    auto def = std::make_unique<SurfaceDefinition>();
    def->shade_model = shade;

    // The options first: axis=y changes the default variable.
    bool aboutY = false;
    std::string nlines;
    std::string nlinesRot = std::to_string(kRotationLines);
    readOptions(args, 2, [&](const Option& o) {
        if (readSharedOption(*def, o, ws, {true, true}) || readMeshColor(*def, o)) return;
        if (o.name == "nlines") {
            nlines = std::string(o.value);
        } else if (o.name == "nlines_rot") {
            nlinesRot = std::string(o.value);
        } else if (o.name == "axis") {
            aboutY = trim(o.value) == "y";
        }
    });

    RangeParts range = splitRange(argument(args, 1));
    std::string name;
    def->x_var = rangeVariable(ws, range, aboutY ? "y" : "x", name);
    def->x_lo = std::string(range.lo);
    def->x_hi = std::string(range.hi);
    def->y_var = ws.variableIndex(kRotationAngle);
    def->y_lo = "0";
    def->y_hi = "2*pi";

    // The curve's point at distance r = f from the axis, turned by the
    // angle: about x, (t, r cos a, -r sin a); about y, (r cos a, t, r sin a)
    // (SurfaceGraph builds the turned components). Those senses of turning
    // make -(Pt x Pa), the surfaces' normal, point towards the axis, as a
    // surface's normal points away from its upper side: front_color shows
    // outside.
    def->radius = std::string(argument(args, 0));
    def->revolution =
        aboutY ? SurfaceDefinition::Revolution::AboutY : SurfaceDefinition::Revolution::AboutX;
    (aboutY ? def->y_expr : def->x_expr) = name;
    // Along the curve as many lines as a curve has samples, around it
    // nlines_rot.
    def->auto_nlines = false;
    def->nlines_x = nlines.empty()
                        ? "abs((" + def->x_hi + ")-(" + def->x_lo + "))*" +
                              std::to_string(static_cast<int>(CurveGraph::kSamplesPerUnit))
                        : nlines;
    def->nlines_y = nlinesRot;
    return def;
}

std::unique_ptr<ImplicitSurfaceDefinition> readImplicitSurfaceDefinition(
    const std::vector<std::string_view>& args, Workspace& ws, ShadeModel shade) {
    auto def = std::make_unique<ImplicitSurfaceDefinition>();
    def->shade_model = shade;

    def->expr = zeroSetExpression(argument(args, 0));

    std::string name;
    const char* defaults[3] = {"x", "y", "z"};
    std::string* lo[3] = {&def->x_lo, &def->y_lo, &def->z_lo};
    std::string* hi[3] = {&def->x_hi, &def->y_hi, &def->z_hi};
    int* var[3] = {&def->x_var, &def->y_var, &def->z_var};
    for (std::size_t c = 0; c < 3; ++c) {
        RangeParts range = splitRange(argument(args, 1 + c));
        *var[c] = rangeVariable(ws, range, defaults[c], name);
        *lo[c] = std::string(range.lo);
        *hi[c] = std::string(range.hi);
    }

    readOptions(args, 4, [&](const Option& o) {
        if (readSharedOption(*def, o, ws, {false, true}) || readMeshColor(*def, o)) return;
        if (o.name == "num_x") {
            def->num_x = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "num_y") {
            def->num_y = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "num_z") {
            def->num_z = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "iters") {
            def->iters = readOptionInteger(o.value);
        }
    });
    return def;
}

std::unique_ptr<ImplicitCurveDefinition> readImplicitCurveDefinition(
    const std::vector<std::string_view>& args, Workspace& ws, ShadeModel shade) {
    auto def = std::make_unique<ImplicitCurveDefinition>();
    def->shade_model = shade;

    def->expr = zeroSetExpression(argument(args, 0));

    std::string name;
    RangeParts rx = splitRange(argument(args, 1));
    def->x_var = rangeVariable(ws, rx, "x", name);
    def->x_lo = std::string(rx.lo);
    def->x_hi = std::string(rx.hi);
    RangeParts ry = splitRange(argument(args, 2));
    def->y_var = rangeVariable(ws, ry, "y", name);
    def->y_lo = std::string(ry.lo);
    def->y_hi = std::string(ry.hi);

    readOptions(args, 3, [&](const Option& o) {
        if (readSharedOption(*def, o, ws, {false, false})) return;
        if (o.name == "num_x") {
            def->num_x = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "num_y") {
            def->num_y = std::string(o.value);
            def->auto_nlines = false;
        } else if (o.name == "color") {
            def->color = readColor(o.value);
        } else if (o.name == "iters") {
            def->iters = readOptionInteger(o.value);
        }
    });
    return def;
}

}  // namespace kv
