// Filling graph definitions from the argument texts of the plot commands.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "engine/TextScan.h"
#include "engine/Workspace.h"
#include "graphics/GraphDefinitionReader.h"

namespace kv {
namespace {

struct Reader : ::testing::Test {
    Workspace ws;
    Workspace::Scope scope{ws};

    // Splits a command's argument text as the parser does.
    static std::vector<std::string_view> args(std::string_view text) {
        return splitTopLevel(text, ",");
    }
    std::unique_ptr<CurveDefinition> curve(std::string_view text) {
        return readCurveDefinition(args(text), ws, ShadeModel::Smooth);
    }
    std::string name(int row) const { return ws.variables.at(static_cast<std::size_t>(row)).name; }
};

TEST_F(Reader, Defaults) {
    CurveDefinition c;
    EXPECT_EQ(c.kind, GraphKind::Curve);
    EXPECT_EQ(c.nframes, 2);
    EXPECT_EQ(c.frame_time, 71);
    EXPECT_EQ(c.id, -1);
    EXPECT_EQ(c.h, 0.1);
    EXPECT_TRUE(c.auto_nlines);
    EXPECT_FALSE(c.check_def || c.animated || c.clip_x || c.clip_y || c.clip_z);
    EXPECT_EQ(c.z_expr, "0");
    EXPECT_EQ(c.nlines, "0");
    SurfaceDefinition s;
    EXPECT_EQ(static_cast<int>(s.kind), 3);
    EXPECT_EQ(s.nlines_x, "0");
    EXPECT_EQ(s.front_color.r, 1.0);
    EXPECT_EQ(s.back_color.b, 1.0);
    EXPECT_EQ(s.wire_color.r + s.wire_color.g + s.wire_color.b, 0.0);
    ImplicitCurveDefinition i;
    EXPECT_EQ(static_cast<int>(i.kind), 1);
    EXPECT_EQ(i.nframes, 1);
    EXPECT_EQ(i.iters, 10);
    EXPECT_EQ(i.num_x, "2");
    EXPECT_EQ(i.num_y, "2");
}

TEST_F(Reader, CurveForms) {
    struct Row {
        const char* text;
        const char* x;
        const char* y;
        const char* z;
        const char* var;
        const char* lo;
        const char* hi;
    } rows[] = {
        {"sin(x),[0..6]", "x", "sin(x)", "0", "x", "0", "6"},
        {"t^2,[t,-1..2*pi]", "t", "t^2", "0", "t", "-1", "2*pi"},
        {"[cos(t),sin(t)],[t,0..6.28]", "cos(t)", "sin(t)", "0", "t", "0", "6.28"},
        {"[t,t^2,t^3],[t,0..1]", "t", "t^2", "t^3", "t", "0", "1"},
        {"[u],[0..1]", "x", "u", "0", "x", "0", "1"},
        // Malformed ranges leave the bounds empty.
        {"x,[0,1]", "0", "x", "0", "0", "", ""},
        {"x,[0..1..2]", "x", "x", "0", "x", "", ""},
        {"x", "x", "x", "0", "x", "", ""},
    };
    for (const Row& r : rows) {
        auto d = curve(r.text);
        EXPECT_EQ(d->x_expr, r.x) << r.text;
        EXPECT_EQ(d->y_expr, r.y) << r.text;
        EXPECT_EQ(d->z_expr, r.z) << r.text;
        EXPECT_EQ(name(d->param_var), r.var) << r.text;
        EXPECT_EQ(d->param_lo, r.lo) << r.text;
        EXPECT_EQ(d->param_hi, r.hi) << r.text;
    }
}

TEST_F(Reader, OptionsLeftToRightAnimAppends) {
    auto d = curve(
        "x,[0..1],id=3,nframes=5,id=4.9,anim=[a,0..1],anim=[b,2..c],nlines=2*k,"
        "frame_time=200.7,h=0.25,color=[0.5,1,0.25],x=[-1..2.5],z=[3..4],unknown=7,iters=3,"
        "noequals");
    EXPECT_EQ(d->id, 4);
    EXPECT_EQ(d->nframes, 5);
    EXPECT_EQ(d->frame_time, 200);
    EXPECT_EQ(d->h, 0.25);
    EXPECT_TRUE(d->animated);
    ASSERT_EQ(d->anim_vars.size(), 2u);
    EXPECT_EQ(name(d->anim_vars[0]), "a");
    EXPECT_EQ(name(d->anim_vars[1]), "b");
    EXPECT_EQ(d->anim_from, (std::vector<std::string>{"0", "2"}));
    EXPECT_EQ(d->anim_to, (std::vector<std::string>{"1", "c"}));
    EXPECT_EQ(d->nlines, "2*k");
    EXPECT_FALSE(d->auto_nlines);
    EXPECT_EQ(d->color.r, 0.5);
    EXPECT_EQ(d->color.g, 1.0);
    EXPECT_EQ(d->color.b, 0.25);
    EXPECT_TRUE(d->clip_x);
    EXPECT_FALSE(d->clip_y);
    EXPECT_TRUE(d->clip_z);
    EXPECT_EQ(d->x_range.lo, -1.0);
    EXPECT_EQ(d->x_range.hi, 2.5);
    EXPECT_EQ(d->z_range.lo, 3.0);
    EXPECT_EQ(d->z_range.hi, 4.0);
}

TEST_F(Reader, CheckDefIsTrueInAnyCase) {
    const std::pair<const char*, bool> rows[] = {
        {"true", true}, {"TRUE", true},   {"tRuE", true},    {"yes", false},
        {"1", false},   {"truex", false}, {"true()", false},
    };
    for (const auto& [value, expected] : rows) {
        auto d = curve(std::string("x,[0..1],check_def=true,check_def=") + value);
        EXPECT_EQ(d->check_def, expected) << value;
    }
}

TEST_F(Reader, NumbersAreLongestDecimalPrefixes) {
    const std::pair<const char*, double> rows[] = {
        {"1.5abc", 1.5}, {"-2e3x", -2000}, {"+.5", 0.5}, {"abc", 0},
        {"", 0},         {"inf", 0},       {"1e", 1},    {"7.", 7},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(readOptionNumber(text), expected) << text;
    const std::pair<const char*, int> ints[] = {
        {"2.9", 2}, {"-2.9", -2}, {"1e12", 2147483647}, {"-1e12", -2147483647 - 1}, {"x", 0},
    };
    for (const auto& [text, expected] : ints) EXPECT_EQ(readOptionInteger(text), expected) << text;
}

TEST_F(Reader, NumbersIgnoreTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8") && !std::setlocale(LC_NUMERIC, "cs_CZ.utf8"))
        GTEST_SKIP() << "no Czech locale";
    auto d = curve("x,[0..1],h=0.25,x=[-1.5..2,5]");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(d->h, 0.25);
    EXPECT_EQ(d->x_range.lo, -1.5);
    EXPECT_EQ(d->x_range.hi, 2.0);
}

TEST_F(Reader, SurfaceFieldsAndOptions) {
    auto d = readSurfaceDefinition(
        args("x*v,[-1..1],[v,0..2],nlines_x=10,wire_color=[1,1,1],front_color=[0,1,0],"
             "back_color=[0,0,0.5],color=[1,1,1],check_def=true,y=[0..1],iters=4"),
        ws, ShadeModel::Flat);
    EXPECT_EQ(d->z_expr, "x*v");
    EXPECT_EQ(d->x_expr, "x");
    EXPECT_EQ(d->y_expr, "v");
    EXPECT_EQ(name(d->x_var), "x");
    EXPECT_EQ(name(d->y_var), "v");
    EXPECT_EQ(d->x_lo, "-1");
    EXPECT_EQ(d->y_hi, "2");
    EXPECT_EQ(d->nlines_x, "10");
    EXPECT_EQ(d->nlines_y, "0");
    EXPECT_FALSE(d->auto_nlines);
    EXPECT_EQ(d->wire_color.g, 1.0);
    EXPECT_EQ(d->front_color.r, 0.0);
    EXPECT_EQ(d->front_color.g, 1.0);
    EXPECT_EQ(d->back_color.b, 0.5);
    EXPECT_TRUE(d->check_def);
    EXPECT_TRUE(d->clip_y);
    EXPECT_EQ(d->shade_model, ShadeModel::Flat);
    auto plain = readSurfaceDefinition(args("x*y,[-1..1],[-1..1]"), ws, ShadeModel::Smooth);
    EXPECT_EQ(name(plain->y_var), "y");
}

TEST_F(Reader, ImplicitCurveFieldsAndOptions) {
    auto d = readImplicitCurveDefinition(
        args("x^2+y^2=1,[-2..2],[-3..3],num_x=40,iters=2.7,color=[0,0,1],check_def=true,"
             "x=[0..1],h=5"),
        ws, ShadeModel::Smooth);
    EXPECT_EQ(d->expr, "(x^2+y^2)-(1)");
    EXPECT_EQ(d->x_lo, "-2");
    EXPECT_EQ(d->y_hi, "3");
    EXPECT_EQ(name(d->x_var), "x");
    EXPECT_EQ(name(d->y_var), "y");
    EXPECT_EQ(d->num_x, "40");
    EXPECT_EQ(d->num_y, "2");
    EXPECT_FALSE(d->auto_nlines);
    EXPECT_EQ(d->iters, 2);
    EXPECT_EQ(d->color.b, 1.0);
    // Not options of icurve.
    EXPECT_FALSE(d->check_def);
    EXPECT_FALSE(d->clip_x);
    EXPECT_EQ(d->h, 0.1);

    auto plain = readImplicitCurveDefinition(args("x*y-1,[-2..2],[-2..2]"), ws, ShadeModel::Smooth);
    EXPECT_EQ(plain->expr, "x*y-1");
    EXPECT_TRUE(plain->auto_nlines);
}

}  // namespace
}  // namespace kv
