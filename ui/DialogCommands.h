// What the command dialogs of the "Matematika" and "Grafika" menus ask for
// and the command line each composes from its fields. No widgets here: the
// boxes of a dialog are a table, the checks and the composition are plain
// functions of the texts, so they are tested without a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class SceneModel;

// One text box of a dialog.
struct BoxShape {
    const char* label;
    const char* initial;       // the text the box starts with
    const char* emptyMessage;  // shown when the box is left empty; nullptr: may stay empty
    bool numericOnly = false;  // only used (and checked) with "Numericky" in the equation dialog
};

// The first box that failed its check: its index in the dialog's table and
// the message to show.
struct FieldProblem {
    int box;
    const char* message;
};

// A red, green, blue colour of a colour button, 0..255 each.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// ---- mathematics dialogs ----

enum class MathDialogKind {
    Simplify,
    Evaluate,
    Solve,
    Limit,
    Derivative,
    Integrate,
    Gcd,
    Lcm,
    Substitute,
    Taylor,
};

// "Obousměrná", "Zleva", "Zprava".
enum class LimitDirection { TwoSided, Left, Right };

struct MathDialogShape {
    const char* title;
    std::vector<BoxShape> boxes;  // in the order they are checked
};
const MathDialogShape& mathDialogShape(MathDialogKind kind);

// Equation dialog boxes, for the widgets that enable them.
enum SolveBox { SolveEquation, SolveVariable, SolveLower, SolveUpper, SolveStep, SolvePrecision };

struct MathFields {
    MathDialogKind kind = MathDialogKind::Simplify;
    std::vector<std::string> boxes;  // one text per box of the dialog's table
    bool numeric = false;            // equation dialog: "Numericky"
    LimitDirection direction = LimitDirection::TwoSided;
};

// The fields as the dialog opens: every box with its initial text.
MathFields initialMathFields(MathDialogKind kind);
// The first box that is empty although it must not be, in check order.
std::optional<FieldProblem> checkMathFields(const MathFields& fields);
// The command line; meaningful once checkMathFields found nothing.
std::string composeMathCommand(const MathFields& fields);

// ---- plot dialogs and their animation and clipping parts ----

struct AnimationFields {
    bool enabled = false;
    std::string variable;
    std::string lower;
    std::string upper;
    std::string frames;
    std::string frameTime = "71";
};
// ", anim=[v, a..b], nframes=N, frame_time=T", or "" while not enabled.
std::string animationFragment(const AnimationFields& anim);

struct ClipAxis {
    bool enabled = false;
    std::string lower;
    std::string upper;
};
struct ClipFields {
    ClipAxis axis[3];  // x, y, z
};
// ", x=[a..b]" and so on for each enabled axis in the order x, y, z.
std::string clipFragment(const ClipFields& clip);

// "[r, g, b]" with each component over 255, written as "%.6g" with a point.
std::string colorText(Rgb color);
// A divisions box is automatic when it is empty or says "auto" (blanks
// around and letter case do not matter).
bool isAutomaticDivisions(std::string_view text);
// The divisions text as the option writes it: trimmed and lower-cased.
std::string divisionsOption(std::string_view text);

enum class PlotDialogKind {
    ExplicitCurve,
    ParametricCurve,
    Surface,
    ImplicitCurve,
    ImplicitSurface,
    RotationSurface,
};

struct PlotDialogShape {
    const char* title;
    std::vector<BoxShape> boxes;           // the first ones in check order
    std::vector<const char*> colorLabels;  // one colour button each
    bool hasCheckDef;                      // "Testovat nespojitost"
    bool hasClip;                          // "Oříznout" button
    bool hasAxisChoice = false;            // "Otáčet kolem osy y"
};
const PlotDialogShape& plotDialogShape(PlotDialogKind kind);

struct PlotFields {
    PlotDialogKind kind = PlotDialogKind::ExplicitCurve;
    std::vector<std::string> boxes;
    std::vector<Rgb> colors;
    bool checkDef = false;
    bool aboutY = false;  // the surface of revolution turns x = f(y) about the y axis
    AnimationFields animation;
    ClipFields clip;
};

PlotFields initialPlotFields(PlotDialogKind kind);
std::optional<FieldProblem> checkPlotFields(const PlotFields& fields);
// The plot command with the graph id `id`.
std::string composePlotCommand(const PlotFields& fields, int id);

// The smallest positive id that none of `ids` is.
int nextFreeGraphId(const std::vector<int>& ids);
// The smallest positive id that no graph of the scene carries.
int nextFreeGraphId(const SceneModel& scene);

}  // namespace kv
