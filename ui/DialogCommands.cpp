#include "ui/DialogCommands.h"

#include <algorithm>
#include <set>

#include "engine/NumberFormat.h"
#include "engine/TextScan.h"
#include "graphics/SceneModel.h"
#include "ui/UiMessages.h"

namespace kv {

namespace {

using namespace uimsg;

// A box holding only blanks is as empty as one holding nothing: what it
// would compose cannot run.
bool isEmpty(std::string_view text) {
    return trim(text).empty();
}

// The console takes one line: a line break pasted into a box must not split
// the command, so it becomes a blank (blanks mean nothing to the parser).
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<FieldProblem> firstEmpty(const std::vector<BoxShape>& shapes,
                                       const std::vector<std::string>& boxes, bool numeric) {
    for (std::size_t i = 0; i < shapes.size() && i < boxes.size(); ++i) {
        const BoxShape& s = shapes[i];
        if (!s.emptyMessage || (s.numericOnly && !numeric)) continue;
        if (isEmpty(boxes[i])) return FieldProblem{static_cast<int>(i), s.emptyMessage};
    }
    return std::nullopt;
}

std::vector<std::string> initialTexts(const std::vector<BoxShape>& shapes) {
    std::vector<std::string> texts;
    for (const BoxShape& s : shapes) texts.emplace_back(s.initial);
    return texts;
}

const BoxShape kFunctionBox{"Funkce:", "", kEnterFunction};

}  // namespace

// ---- mathematics dialogs ----

const MathDialogShape& mathDialogShape(MathDialogKind kind) {
    static const MathDialogShape shapes[] = {
        {"Zjednodušení Výrazu", {kFunctionBox}},
        {"Vyhodnocení Výrazu", {kFunctionBox, {"Body:", "", nullptr}}},
        {"Řešení rovnic",
         {{"Rovnice:", "", kEnterFunction},
          {"Proměnná:", "", kEnterSolveVariable},
          {"Od:", "", kEnterSolveLower, true},
          {"Do:", "", kEnterSolveUpper, true},
          {"Krok:", "0.1", nullptr, true},
          {"Přesnost:", "10^(-8)", nullptr, true}}},
        {"Limita", {kFunctionBox, {"Bod(y) limity:", "", kEnterLimitPoints}}},
        {"Derivace",
         {kFunctionBox,
          {"Derivovat podle:", "", kEnterDerivativeVariables},
          {"Stupeň:", "1", kEnterDerivativeGrade}}},
        {"Numerická Integrace",
         {kFunctionBox,
          {"Proměnná:", "", kEnterIntegrationVariable},
          {"Od:", "", kEnterIntegrationLower},
          {"Do:", "", kEnterIntegrationUpper},
          {"Počet dělení:", "50", kEnterIntegrationDivisions}}},
        {"Největši Spol. Dělitel", {{"Čísla:", "", kEnterNumbers}}},
        {"Nejmenší Spol. Násobek", {{"Čísla:", "", kEnterNumbers}}},
        {"Substituce",
         {kFunctionBox,
          {"Proměnná:", "", kEnterSubstVariable},
          {"Nová funkce:", "", kEnterFunction}}},
        {"Taylorův Polynom",
         {kFunctionBox,
          {"Proměnná:", "", kEnterTaylorVariable},
          {"Bod:", "0", kEnterTaylorPoint},
          {"Stupeň:", "5", kEnterTaylorDegree}}},
    };
    return shapes[static_cast<int>(kind)];
}

MathFields initialMathFields(MathDialogKind kind) {
    MathFields f;
    f.kind = kind;
    f.boxes = initialTexts(mathDialogShape(kind).boxes);
    return f;
}

std::optional<FieldProblem> checkMathFields(const MathFields& fields) {
    return firstEmpty(mathDialogShape(fields.kind).boxes, fields.boxes, fields.numeric);
}

std::string composeMathCommand(const MathFields& fields) {
    std::vector<std::string> b = fields.boxes;
    b.resize(mathDialogShape(fields.kind).boxes.size());
    std::string out;
    switch (fields.kind) {
        case MathDialogKind::Simplify:
            out = "func=simpl(" + b[0] + ")";
            break;
        case MathDialogKind::Evaluate:
            out = "val=eval(" + b[0] + ", [" + b[1] + "])";
            break;
        case MathDialogKind::Solve:
            if (!fields.numeric) {
                out = "koreny=solve(" + b[0] + ", " + b[1] + ")";
                break;
            }
            if (isEmpty(b[SolveStep])) b[SolveStep] = "0.1";
            if (isEmpty(b[SolvePrecision])) b[SolvePrecision] = "10^(-8)";
            out = "koreny=nsolve(" + b[0] + ", " + b[1] + ", [" + b[SolveLower] + ".." +
                  b[SolveUpper] + "], h=" + b[SolveStep] + ", epsilon=" + b[SolvePrecision] + ")";
            break;
        case MathDialogKind::Limit: {
            const char* suffix = fields.direction == LimitDirection::Left    ? "-"
                                 : fields.direction == LimitDirection::Right ? "+"
                                                                             : "";
            out = "limit=lim(" + b[0] + ", [" + b[1] + "]" + suffix + ")";
            break;
        }
        case MathDialogKind::Derivative:
            out = "der=derivate(" + b[0] + ", [" + b[1] + "], grade=" + b[2] + ")";
            break;
        case MathDialogKind::Integrate:
            out = "nint=nintegrate(" + b[0] + ", " + b[1] + ", [" + b[2] + ".." + b[3] +
                  "], n=" + b[4] + ")";
            break;
        case MathDialogKind::Gcd:
            out = "d=gcd(" + b[0] + ")";
            break;
        case MathDialogKind::Lcm:
            out = "m=lcm(" + b[0] + ")";
            break;
        case MathDialogKind::Substitute:
            out = "subst=subst(" + b[0] + ", " + b[1] + ", " + b[2] + ")";
            break;
        case MathDialogKind::Taylor:
            out = "tay=taylor(" + b[0] + ", " + b[1] + ", " + b[2] + ", " + b[3] + ")";
            break;
    }
    return oneLine(std::move(out));
}

// ---- plot dialogs ----

std::string animationFragment(const AnimationFields& anim) {
    if (!anim.enabled) return {};
    auto orDefault = [](const std::string& text, const char* fallback) {
        return isAutomaticDivisions(text) ? std::string(fallback) : text;
    };
    return ", anim=[" + anim.variable + ", " + anim.lower + ".." + anim.upper +
           "], nframes=" + orDefault(anim.frames, "2") +
           ", frame_time=" + orDefault(anim.frameTime, "71");
}

std::string clipFragment(const ClipFields& clip) {
    static const char* const names[3] = {"x", "y", "z"};
    std::string out;
    for (int i = 0; i < 3; ++i) {
        const ClipAxis& a = clip.axis[i];
        if (a.enabled) out += std::string(", ") + names[i] + "=[" + a.lower + ".." + a.upper + "]";
    }
    return out;
}

std::string colorText(Rgb color) {
    return "[" + formatShort(color.r / 255.0) + ", " + formatShort(color.g / 255.0) + ", " +
           formatShort(color.b / 255.0) + "]";
}

bool isAutomaticDivisions(std::string_view text) {
    std::string t = lowerAscii(trim(text));
    return t.empty() || t == "auto";
}

std::string divisionsOption(std::string_view text) {
    return lowerAscii(trim(text));
}

const PlotDialogShape& plotDialogShape(PlotDialogKind kind) {
    static const PlotDialogShape shapes[] = {
        {"Explicitní Křivka",
         {{"f(x) =", "", kEnterFunction},
          {"Od:", "", kEnterDomainLower},
          {"Do:", "", kEnterDomainUpper},
          {"Počet dělení:", "Auto", nullptr}},
         {"Barva:"},
         true,
         true},
        {"Parametrická Křivka",
         {{"f(t) =", "", kEnterXFunction},
          {"g(t) =", "", kEnterYFunction},
          {"h(t) =", "", nullptr},
          {"t od:", "", kEnterDomainLower},
          {"t do:", "", kEnterDomainUpper},
          {"Počet dělení:", "Auto", nullptr}},
         {"Barva:"},
         true,
         true},
        {"Explicitní Plocha",
         {{"f(x, y) =", "", kEnterFunction},
          {"x od:", "", kEnterDomainLowerX},
          {"x do:", "", kEnterDomainUpperX},
          {"y od:", "", kEnterDomainLowerY},
          {"y do:", "", kEnterDomainUpperY},
          {"Dělení x:", "Auto", nullptr},
          {"Dělení y:", "Auto", nullptr}},
         {"Přední strana:", "Zadní strana:", "Síť:"},
         true,
         true},
        {"Implicitní Křivka (2D)",
         {{"F(x, y) =", "", kEnterFunction},
          {"x od:", "", kEnterDomainLowerX},
          {"x do:", "", kEnterDomainUpperX},
          {"y od:", "", kEnterDomainLowerY},
          {"y do:", "", kEnterDomainUpperY},
          {"Dělení x:", "50", kEnterDivisionsX},
          {"Dělení y:", "50", kEnterDivisionsY},
          {"Přesnost:", "10", kEnterCurvePrecision}},
         {"Barva:"},
         false,
         false},
        {"Implicitní Plocha",
         {{"F(x, y, z) =", "", kEnterFunction},
          {"x od:", "", kEnterDomainLowerX},
          {"x do:", "", kEnterDomainUpperX},
          {"y od:", "", kEnterDomainLowerY},
          {"y do:", "", kEnterDomainUpperY},
          {"z od:", "", kEnterDomainLowerZ},
          {"z do:", "", kEnterDomainUpperZ},
          {"Dělení x:", "Auto", nullptr},
          {"Dělení y:", "Auto", nullptr},
          {"Dělení z:", "Auto", nullptr},
          {"Přesnost:", "10", kEnterSurfacePrecision}},
         {"Přední strana:", "Zadní strana:", "Síť:"},
         false,
         true},
        {"Rotační Plocha",
         {{"f(x) =", "", kEnterFunction},
          {"Od:", "", kEnterDomainLower},
          {"Do:", "", kEnterDomainUpper},
          {"Dělení podél křivky:", "Auto", nullptr},
          {"Dělení kolem osy:", "Auto", nullptr}},
         {"Přední strana:", "Zadní strana:", "Síť:"},
         true,
         true,
         true},
    };
    return shapes[static_cast<int>(kind)];
}

PlotFields initialPlotFields(PlotDialogKind kind) {
    PlotFields f;
    f.kind = kind;
    const PlotDialogShape& shape = plotDialogShape(kind);
    f.boxes = initialTexts(shape.boxes);
    f.colors.assign(shape.colorLabels.size(), Rgb{});
    return f;
}

std::optional<FieldProblem> checkPlotFields(const PlotFields& fields) {
    return firstEmpty(plotDialogShape(fields.kind).boxes, fields.boxes, false);
}

std::string composePlotCommand(const PlotFields& fields, int id) {
    const PlotDialogShape& shape = plotDialogShape(fields.kind);
    std::vector<std::string> b = fields.boxes;
    b.resize(shape.boxes.size());
    std::vector<Rgb> colors = fields.colors;
    colors.resize(shape.colorLabels.size());
    auto divisions = [](const char* option, const std::string& text) {
        return isAutomaticDivisions(text)
                   ? std::string()
                   : ", " + std::string(option) + "=" + divisionsOption(text);
    };
    const std::string checkDef = fields.checkDef ? ", check_def=TRUE" : "";

    std::string out;
    switch (fields.kind) {
        case PlotDialogKind::ExplicitCurve:
            out = "curve(" + b[0] + ", [" + b[1] + ".." + b[2] +
                  "], color=" + colorText(colors[0]) + checkDef + divisions("nlines", b[3]);
            break;
        case PlotDialogKind::ParametricCurve: {
            const std::string h = isEmpty(b[2]) ? "0" : b[2];
            out = "curve([" + b[0] + ", " + b[1] + ", " + h + "], [t, " + b[3] + ".." + b[4] +
                  "], color=" + colorText(colors[0]) + checkDef + divisions("nlines", b[5]);
            break;
        }
        case PlotDialogKind::Surface:
            out = "surface(" + b[0] + ", [" + b[1] + ".." + b[2] + "], [" + b[3] + ".." + b[4] +
                  "], front_color=" + colorText(colors[0]) +
                  ", back_color=" + colorText(colors[1]) + ", wire_color=" + colorText(colors[2]) +
                  divisions("nlines_x", b[5]) + divisions("nlines_y", b[6]) + checkDef;
            break;
        case PlotDialogKind::ImplicitCurve:
            out = "icurve(" + b[0] + ", [" + b[1] + ".." + b[2] + "], [" + b[3] + ".." + b[4] +
                  "], num_x=" + b[5] + ", num_y=" + b[6] + ", color=" + colorText(colors[0]) +
                  ", iters=" + b[7];
            break;
        case PlotDialogKind::ImplicitSurface:
            out = "isurface(" + b[0] + ", [" + b[1] + ".." + b[2] + "], [" + b[3] + ".." + b[4] +
                  "], [" + b[5] + ".." + b[6] + "], front_color=" + colorText(colors[0]) +
                  ", back_color=" + colorText(colors[1]) + ", wire_color=" + colorText(colors[2]) +
                  divisions("num_x", b[7]) + divisions("num_y", b[8]) + divisions("num_z", b[9]) +
                  ", iters=" + b[10];
            break;
        case PlotDialogKind::RotationSurface:
            out = "rotsurface(" + b[0] + ", [" + b[1] + ".." + b[2] +
                  "], front_color=" + colorText(colors[0]) +
                  ", back_color=" + colorText(colors[1]) + ", wire_color=" + colorText(colors[2]) +
                  divisions("nlines", b[3]) + divisions("nlines_rot", b[4]) +
                  (fields.aboutY ? ", axis=y" : "") + checkDef;
            break;
    }
    out += animationFragment(fields.animation);
    if (shape.hasClip) out += clipFragment(fields.clip);
    out += ", id=" + std::to_string(id) + ")";
    return oneLine(std::move(out));
}

int nextFreeGraphId(const std::vector<int>& ids) {
    std::set<int> used(ids.begin(), ids.end());
    int id = 1;
    while (used.count(id)) ++id;
    return id;
}

int nextFreeGraphId(const SceneModel& scene) {
    std::vector<int> ids;
    for (int i = 0; i < scene.graphCount(); ++i) ids.push_back(scene.graph(i).graphId());
    return nextFreeGraphId(ids);
}

}  // namespace kv
