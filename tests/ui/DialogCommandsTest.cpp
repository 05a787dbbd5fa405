#include <gtest/gtest.h>

#include <clocale>

#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"
#include "lang/Transcript.h"
#include "support/RowNames.h"
#include "ui/DialogCommands.h"

namespace kv {
namespace {

using kv::test::rowNames;

// ---- mathematics dialogs: fields -> command ----

struct MathRow {
    MathDialogKind kind;
    std::vector<std::string> boxes;  // missing boxes keep their initial text
    bool numeric;
    LimitDirection direction;
    const char* command;
};

MathFields fieldsOf(const MathRow& row) {
    MathFields f = initialMathFields(row.kind);
    for (std::size_t i = 0; i < row.boxes.size(); ++i) f.boxes[i] = row.boxes[i];
    f.numeric = row.numeric;
    f.direction = row.direction;
    return f;
}

const LimitDirection kTwo = LimitDirection::TwoSided;

const MathRow kMathRows[] = {
    {MathDialogKind::Simplify, {"(x^2-1)/(x-1)"}, false, kTwo, "func=simpl((x^2-1)/(x-1))"},
    {MathDialogKind::Evaluate, {"x^2+y", "x=3, y=1"}, false, kTwo, "val=eval(x^2+y, [x=3, y=1])"},
    {MathDialogKind::Evaluate, {"pi/2"}, false, kTwo, "val=eval(pi/2, [])"},
    {MathDialogKind::Solve, {"x^2=4", "x"}, false, kTwo, "koreny=solve(x^2=4, x)"},
    // Unchecked "Numericky": the interval and step boxes are not used.
    {MathDialogKind::Solve, {"x^2=4", "x", "", "", "", ""}, false, kTwo, "koreny=solve(x^2=4, x)"},
    {MathDialogKind::Solve,
     {"sin(x)", "x", "-1", "4"},
     true,
     kTwo,
     "koreny=nsolve(sin(x), x, [-1..4], h=0.1, epsilon=10^(-8))"},
    {MathDialogKind::Solve,
     {"x^3-2", "x", "0", "2", "", ""},
     true,
     kTwo,
     "koreny=nsolve(x^3-2, x, [0..2], h=0.1, epsilon=10^(-8))"},
    {MathDialogKind::Solve,
     {"x^3=2", "x", "0", "2", "0.05", "10^(-10)"},
     true,
     kTwo,
     "koreny=nsolve(x^3=2, x, [0..2], h=0.05, epsilon=10^(-10))"},
    {MathDialogKind::Limit, {"f", "x->0"}, false, LimitDirection::Right, "limit=lim(f, [x->0]+)"},
    {MathDialogKind::Limit,
     {"1/x", "x->0"},
     false,
     LimitDirection::Left,
     "limit=lim(1/x, [x->0]-)"},
    {MathDialogKind::Limit, {"sin(x)/x", "x->0"}, false, kTwo, "limit=lim(sin(x)/x, [x->0])"},
    {MathDialogKind::Derivative, {"x^3", "x"}, false, kTwo, "der=derivate(x^3, [x], grade=1)"},
    {MathDialogKind::Derivative,
     {"x*y", "x, y", "2"},
     false,
     kTwo,
     "der=derivate(x*y, [x, y], grade=2)"},
    {MathDialogKind::Integrate,
     {"x^2", "x", "0", "1", "100"},
     false,
     kTwo,
     "nint=nintegrate(x^2, x, [0..1], n=100)"},
    {MathDialogKind::Gcd, {"12, 18"}, false, kTwo, "d=gcd(12, 18)"},
    {MathDialogKind::Lcm, {"4, 6"}, false, kTwo, "m=lcm(4, 6)"},
    {MathDialogKind::Substitute, {"x^2", "x", "t+1"}, false, kTwo, "subst=subst(x^2, x, t+1)"},
    {MathDialogKind::Taylor, {"exp(x)", "x", "1", "4"}, false, kTwo, "tay=taylor(exp(x), x, 1, 4)"},
    // The point and the degree keep their initial 0 and 5.
    {MathDialogKind::Taylor, {"f", "x"}, false, kTwo, "tay=taylor(f, x, 0, 5)"},
    // Texts go in verbatim, except that a line break cannot split the line.
    {MathDialogKind::Simplify, {" x +\n1 "}, false, kTwo, "func=simpl( x + 1 )"},
};

class MathComposition : public testing::TestWithParam<MathRow> {};

TEST_P(MathComposition, ComposesTheCommandText) {
    MathFields f = fieldsOf(GetParam());
    EXPECT_FALSE(checkMathFields(f).has_value());
    EXPECT_EQ(composeMathCommand(f), GetParam().command);
}

// Whatever a dialog composes from valid fields, the language accepts.
TEST_P(MathComposition, TheLanguageAcceptsTheCommand) {
    SceneModel scene;
    CommandInterpreter ci(&scene);
    CommandOutcome out = executeCommand(ci, "f=1/(x+1)");
    ASSERT_FALSE(out.failed) << out.message;
    const std::string command = composeMathCommand(fieldsOf(GetParam()));
    out = executeCommand(ci, command);
    EXPECT_FALSE(out.failed) << command << ": " << out.message;
}

INSTANTIATE_TEST_SUITE_P(Rows, MathComposition, testing::ValuesIn(kMathRows),
                         rowNames(&MathRow::command));

// ---- mathematics dialogs: which empty box is reported ----

struct CheckRow {
    MathDialogKind kind;
    std::vector<std::string> boxes;
    bool numeric;
    int box;  // -1: nothing to report
    const char* message;
};

class MathCheck : public testing::TestWithParam<CheckRow> {};

TEST_P(MathCheck, ReportsTheFirstEmptyBoxInCheckOrder) {
    const CheckRow& row = GetParam();
    MathFields f = initialMathFields(row.kind);
    f.boxes = row.boxes;
    f.numeric = row.numeric;
    auto problem = checkMathFields(f);
    if (row.box < 0) {
        EXPECT_FALSE(problem.has_value());
        return;
    }
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->box, row.box);
    EXPECT_STREQ(problem->message, row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MathCheck,
    testing::Values(
        CheckRow{MathDialogKind::Simplify, {""}, false, 0, "Zadejte funkci!"},
        CheckRow{MathDialogKind::Simplify, {"  "}, false, 0, "Zadejte funkci!"},
        CheckRow{MathDialogKind::Evaluate, {"x", ""}, false, -1, nullptr},
        CheckRow{MathDialogKind::Solve, {"", "", "", "", "", ""}, true, 0, "Zadejte funkci!"},
        CheckRow{MathDialogKind::Solve,
                 {"x=1", "", "", "", "", ""},
                 false,
                 1,
                 "Zadejte proměnnou, pro kterou se má rovnice řešit!"},
        CheckRow{MathDialogKind::Solve, {"x=1", "x", "", "", "", ""}, false, -1, nullptr},
        CheckRow{MathDialogKind::Solve,
                 {"x=1", "x", "", "", "", ""},
                 true,
                 2,
                 "Zadejte spodní hodnotu oboru řešení!"},
        CheckRow{MathDialogKind::Solve,
                 {"x=1", "x", "0", "", "", ""},
                 true,
                 3,
                 "Zadejte horní hodnotu oboru řešení!"},
        CheckRow{MathDialogKind::Limit, {"f", ""}, false, 1, "Zadejte bod(y) limity!"},
        CheckRow{MathDialogKind::Derivative,
                 {"f", "", ""},
                 false,
                 1,
                 "Zadejte proměnnou(é), podle které se má derivovat!"},
        CheckRow{MathDialogKind::Integrate,
                 {"f", "", "", "", ""},
                 false,
                 1,
                 "Zadejte proměnnou, podle kterou se má integraovat!"},
        CheckRow{MathDialogKind::Integrate,
                 {"f", "x", "", "1", ""},
                 false,
                 2,
                 "Zadejte spodní hodnotu integračního oboru!"},
        CheckRow{MathDialogKind::Integrate,
                 {"f", "x", "0", "", ""},
                 false,
                 3,
                 "Zadejte horní hodnotu integračního oboru!"},
        CheckRow{MathDialogKind::Integrate,
                 {"f", "x", "0", "1", ""},
                 false,
                 4,
                 "Zadejte počet dělení integračního oboru!"},
        CheckRow{MathDialogKind::Gcd, {""}, false, 0, "Zadejte čísla!"},
        CheckRow{MathDialogKind::Substitute,
                 {"f", "", ""},
                 false,
                 1,
                 "Zadejte proměnnou, která se má nahradit!"},
        CheckRow{MathDialogKind::Taylor,
                 {"f", " ", "0", "5"},
                 false,
                 1,
                 "Zadejte proměnnou, podle které se má funkce rozvinout!"},
        CheckRow{MathDialogKind::Taylor,
                 {"f", "x", "", ""},
                 false,
                 2,
                 "Zadejte bod, v jehož okolí se má funkce rozvinout!"},
        CheckRow{
            MathDialogKind::Taylor, {"f", "x", "0", ""}, false, 3, "Zadejte stupeň polynomu!"}),
    rowNames(&CheckRow::message));

// ---- plot dialogs ----

struct PlotRow {
    PlotDialogKind kind;
    std::vector<std::string> boxes;
    std::vector<Rgb> colors;  // empty: all black
    bool checkDef;
    AnimationFields animation;
    ClipFields clip;
    const char* command;  // with id=7
    bool aboutY = false;
};

PlotFields fieldsOf(const PlotRow& row) {
    PlotFields f = initialPlotFields(row.kind);
    for (std::size_t i = 0; i < row.boxes.size(); ++i) f.boxes[i] = row.boxes[i];
    if (!row.colors.empty()) f.colors = row.colors;
    f.checkDef = row.checkDef;
    f.animation = row.animation;
    f.clip = row.clip;
    f.aboutY = row.aboutY;
    return f;
}

const AnimationFields kNoAnim;
const ClipFields kNoClip;

const PlotRow kPlotRows[] = {
    {PlotDialogKind::ExplicitCurve,
     {"sin(x)", "0", "1"},
     {},
     false,
     kNoAnim,
     kNoClip,
     "curve(sin(x), [0..1], color=[0, 0, 0], id=7)"},
    {PlotDialogKind::ExplicitCurve,
     {"x^2", "-1", "1", " AUTO "},
     {{255, 128, 1}},
     true,
     kNoAnim,
     kNoClip,
     "curve(x^2, [-1..1], color=[1, 0.501961, 0.00392157], check_def=TRUE, id=7)"},
    {PlotDialogKind::ExplicitCurve,
     {"x^2", "-1", "1", " 40 "},
     {},
     false,
     kNoAnim,
     kNoClip,
     "curve(x^2, [-1..1], color=[0, 0, 0], nlines=40, id=7)"},
    // Animation with the frame count and time left empty, then clipping.
    {PlotDialogKind::ExplicitCurve,
     {"sin(a*x)", "0", "6", "Auto"},
     {},
     false,
     {true, "a", "1", "3", "", ""},
     {{{true, "-1", "1"}, {false, "", ""}, {true, "0", "0"}}},
     "curve(sin(a*x), [0..6], color=[0, 0, 0], anim=[a, 1..3], nframes=2, frame_time=71, "
     "x=[-1..1], z=[0..0], id=7)"},
    {PlotDialogKind::ParametricCurve,
     {"cos(t)", "sin(t)", "", "0", "6.28"},
     {{0, 0, 255}},
     false,
     kNoAnim,
     kNoClip,
     "curve([cos(t), sin(t), 0], [t, 0..6.28], color=[0, 0, 1], id=7)"},
    {PlotDialogKind::ParametricCurve,
     {"cos(t)", "sin(t)", "t/5", "0", "12", "200"},
     {},
     true,
     {true, "b", "0", "1", " Auto", "40"},
     {{{false, "", ""}, {true, "-0.5", "0.5"}, {false, "", ""}}},
     "curve([cos(t), sin(t), t/5], [t, 0..12], color=[0, 0, 0], check_def=TRUE, nlines=200, "
     "anim=[b, 0..1], nframes=2, frame_time=40, y=[-0.5..0.5], id=7)"},
    {PlotDialogKind::Surface,
     {"x*y", "-1", "1", "-2", "2"},
     {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}},
     false,
     kNoAnim,
     kNoClip,
     "surface(x*y, [-1..1], [-2..2], front_color=[1, 0, 0], back_color=[0, 0, 1], "
     "wire_color=[0, 0, 0], id=7)"},
    {PlotDialogKind::Surface,
     {"sqrt(x*y)", "-1", "1", "-2", "2", "Auto12", "20"},
     {},
     true,
     {true, "c", "0", "1", "5", "100"},
     {{{false, "", ""}, {false, "", ""}, {true, "0", "1"}}},
     "surface(sqrt(x*y), [-1..1], [-2..2], front_color=[0, 0, 0], back_color=[0, 0, 0], "
     "wire_color=[0, 0, 0], nlines_x=auto12, nlines_y=20, check_def=TRUE, "
     "anim=[c, 0..1], nframes=5, frame_time=100, z=[0..1], id=7)"},
    {PlotDialogKind::ImplicitCurve,
     {"x^2+y^2=1", "-2", "2", "-2", "2"},
     {},
     false,
     kNoAnim,
     kNoClip,
     "icurve(x^2+y^2=1, [-2..2], [-2..2], num_x=50, num_y=50, color=[0, 0, 0], iters=10, id=7)"},
    // The implicit curve has no clipping: whatever the fields hold, none is written.
    {PlotDialogKind::ImplicitCurve,
     {"x^2+y^2-r", "-2", "2", "-2", "2", "30", "40", "5"},
     {{0, 255, 0}},
     false,
     {true, "r", "0.5", "1", "auto", "AUTO"},
     {{{true, "0", "1"}, {false, "", ""}, {false, "", ""}}},
     "icurve(x^2+y^2-r, [-2..2], [-2..2], num_x=30, num_y=40, color=[0, 1, 0], iters=5, "
     "anim=[r, 0.5..1], nframes=2, frame_time=71, id=7)"},
    {PlotDialogKind::ImplicitSurface,
     {"x^2+y^2+z^2=1", "-1.5", "1.5", "-1.5", "1.5", "-1.5", "1.5"},
     {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}},
     false,
     kNoAnim,
     kNoClip,
     "isurface(x^2+y^2+z^2=1, [-1.5..1.5], [-1.5..1.5], [-1.5..1.5], front_color=[1, 0, 0], "
     "back_color=[0, 0, 1], wire_color=[0, 0, 0], iters=10, id=7)"},
    {PlotDialogKind::ImplicitSurface,
     {"x^2+y^2+z^2-r", "-1", "1", "-1", "1", "-1", "1", " 20 ", "auto", "12", "5"},
     {},
     false,
     {true, "r", "0.5", "1", "", ""},
     {{{false, "", ""}, {false, "", ""}, {true, "0", "1"}}},
     "isurface(x^2+y^2+z^2-r, [-1..1], [-1..1], [-1..1], front_color=[0, 0, 0], "
     "back_color=[0, 0, 0], wire_color=[0, 0, 0], num_x=20, num_z=12, iters=5, "
     "anim=[r, 0.5..1], nframes=2, frame_time=71, z=[0..1], id=7)"},
    {PlotDialogKind::RotationSurface,
     {"sqrt(x)", "0", "4"},
     {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}},
     false,
     kNoAnim,
     kNoClip,
     "rotsurface(sqrt(x), [0..4], front_color=[1, 0, 0], back_color=[0, 0, 1], "
     "wire_color=[0, 0, 0], id=7)"},
    {PlotDialogKind::RotationSurface,
     {"1+a*y^2", "-1", "1", "30", "Auto"},
     {},
     true,
     {true, "a", "0", "1", "3", ""},
     {{{true, "-1", "1"}, {false, "", ""}, {false, "", ""}}},
     "rotsurface(1+a*y^2, [-1..1], front_color=[0, 0, 0], back_color=[0, 0, 0], "
     "wire_color=[0, 0, 0], nlines=30, axis=y, check_def=TRUE, anim=[a, 0..1], nframes=3, "
     "frame_time=71, x=[-1..1], id=7)",
     true},
};

class PlotComposition : public testing::TestWithParam<PlotRow> {};

TEST_P(PlotComposition, ComposesTheCommandText) {
    PlotFields f = fieldsOf(GetParam());
    EXPECT_FALSE(checkPlotFields(f).has_value());
    EXPECT_EQ(composePlotCommand(f, 7), GetParam().command);
}

TEST_P(PlotComposition, TheLanguageAcceptsTheCommandAndAddsTheGraph) {
    SceneModel scene;
    CommandInterpreter ci(&scene);
    const std::string command = composePlotCommand(fieldsOf(GetParam()), 7);
    CommandOutcome out = executeCommand(ci, command);
    EXPECT_FALSE(out.failed) << command << ": " << out.message;
    ASSERT_EQ(scene.graphCount(), 1) << command;
    EXPECT_EQ(scene.graph(0).graphId(), 7);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotComposition, testing::ValuesIn(kPlotRows),
                         rowNames(&PlotRow::command));

struct PlotCheckRow {
    PlotDialogKind kind;
    std::vector<std::string> boxes;
    int box;
    const char* message;
};

class PlotCheck : public testing::TestWithParam<PlotCheckRow> {};

TEST_P(PlotCheck, ReportsTheFirstEmptyBoxInCheckOrder) {
    PlotFields f = initialPlotFields(GetParam().kind);
    for (std::size_t i = 0; i < GetParam().boxes.size(); ++i) f.boxes[i] = GetParam().boxes[i];
    auto problem = checkPlotFields(f);
    if (GetParam().box < 0) {
        EXPECT_FALSE(problem.has_value());
        return;
    }
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->box, GetParam().box);
    EXPECT_STREQ(problem->message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotCheck,
    testing::Values(
        PlotCheckRow{PlotDialogKind::ExplicitCurve, {"", "", ""}, 0, "Zadejte funkci!"},
        PlotCheckRow{PlotDialogKind::ExplicitCurve,
                     {"x", "", "1"},
                     1,
                     "Zadejte spodní hranici definičního oboru!"},
        PlotCheckRow{PlotDialogKind::ExplicitCurve,
                     {"x", "0", ""},
                     2,
                     "Zadejte horní hranici definičního oboru!"},
        PlotCheckRow{PlotDialogKind::ExplicitCurve, {"x", "0", "1", ""}, -1, nullptr},
        PlotCheckRow{PlotDialogKind::ParametricCurve, {"t", "", ""}, 1, "Zadejte y-funkci!"},
        // An empty h(t) is allowed and the bounds come next.
        PlotCheckRow{PlotDialogKind::ParametricCurve,
                     {"t", "t", "", ""},
                     3,
                     "Zadejte spodní hranici definičního oboru!"},
        PlotCheckRow{PlotDialogKind::ParametricCurve,
                     {"t", "t", "", "0", ""},
                     4,
                     "Zadejte horní hranici definičního oboru!"},
        PlotCheckRow{PlotDialogKind::Surface,
                     {"x", "0", "1", "", ""},
                     3,
                     "Zadejte spodní hranici definičního oboru pro y!"},
        PlotCheckRow{PlotDialogKind::Surface,
                     {"x", "0", "1", "0", ""},
                     4,
                     "Zadejte horní hranici definičního oboru pro y!"},
        PlotCheckRow{PlotDialogKind::ImplicitCurve,
                     {"x", "0", "1", "0", "1", "", ""},
                     5,
                     "Zadejte počet dělení x intervalu!"},
        PlotCheckRow{PlotDialogKind::ImplicitCurve,
                     {"x", "0", "1", "0", "1", "3", "3", " "},
                     7,
                     "Zadejte přesnost křivky!"},
        PlotCheckRow{PlotDialogKind::ImplicitSurface,
                     {"x", "0", "1", "0", "1", "", "1"},
                     5,
                     "Zadejte spodní hranici definičního oboru pro z!"},
        PlotCheckRow{PlotDialogKind::ImplicitSurface,
                     {"x", "0", "1", "0", "1", "0", ""},
                     6,
                     "Zadejte horní hranici definičního oboru pro z!"},
        // Automatic divisions may be left empty; the precision may not.
        PlotCheckRow{PlotDialogKind::ImplicitSurface,
                     {"x", "0", "1", "0", "1", "0", "1", "", "", "", ""},
                     10,
                     "Zadejte přesnost plochy!"},
        PlotCheckRow{PlotDialogKind::RotationSurface,
                     {"sqrt(x)", "", "4"},
                     1,
                     "Zadejte spodní hranici definičního oboru!"},
        PlotCheckRow{PlotDialogKind::RotationSurface, {"x", "0", "4", "", ""}, -1, nullptr}),
    rowNames(&PlotCheckRow::message));

// The desktop program runs under the user's locale; a Czech one writes
// decimal commas with printf, which the language would read as separators.
TEST(DialogCommandsTest, ColoursKeepTheDecimalPointUnderACzechLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "cs_CZ.UTF-8")) GTEST_SKIP() << "no Czech locale here";
    const std::string text = colorText({128, 64, 255});
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "[0.501961, 0.25098, 1]");
}

TEST(DialogCommandsTest, NextFreeGraphIdFillsTheFirstGap) {
    EXPECT_EQ(nextFreeGraphId(std::vector<int>{}), 1);
    EXPECT_EQ(nextFreeGraphId(std::vector<int>{1, 2, 3}), 4);
    EXPECT_EQ(nextFreeGraphId(std::vector<int>{3, 1, 1, -1, 0}), 2);
}

}  // namespace
}  // namespace kv
