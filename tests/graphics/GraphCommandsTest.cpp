// The graph and scene commands as the interpreter runs them: what they do to
// the scene and what they record in the error record. Their texts are pinned
// by the transcripts graph_*.txt.
#include <gtest/gtest.h>

#include "graphics/GraphMessages.h"
#include "tests/graphics/SceneFixture.h"

namespace kv {
namespace {

using test::SceneFixture;

TEST(GraphCommands, PlotResultRefersToTheGraph) {
    SceneFixture fx;
    NodePtr t = fx.ci.parseCommand("curve(x^2, [-1..1], id=12)");
    ASSERT_FALSE(fx.ci.hasError()) << fx.error();
    ASSERT_EQ(t->kind(), Kind::GraphRef);
    EXPECT_EQ(as<GraphRefNode>(*t).graph, &fx.scene.graph(0));
    EXPECT_EQ(t->toText(), "ID je: 12");
}

TEST(GraphCommands, FailuresRecordCodeAndLeaveTheSceneAlone) {
    struct Row {
        const char* command;
        int code;
        const char* message;
    } rows[] = {
        {"curve(x^2, [-1..1])", 2, gmsg::kNoGraphId},
        {"curve(x^2, [-1..])", 2, gmsg::kNoGraphId},  // the id is checked first
        {"curve(x^2, [-1..], id=1)", 2, gmsg::kInvalidInput},
        {"surface(x*y, [-1..1], [-1..1])", 2, gmsg::kNoGraphId},
        {"surface(x*y+, [-1..1], [-1..1], id=1)", 2, gmsg::kInvalidInput},
        // icurve builds before it looks at the id.
        {"icurve(x^2+y^2=1, [-2..2], [-2..2])", 2, gmsg::kNoGraphId},
        {"icurve(x*y+, [-2..2], [-2..2])", 2, gmsg::kInvalidInput},
        {"icurve(x*y+, [-2..2], [-2..2], id=3)", 2, gmsg::kInvalidInput},
        {"bg_color(1, 1)", 1, "Barva není určena 2 složkami!"},
        {"bg_color()", 1, "Barva není určena 0 složkami!"},
    };
    for (const Row& r : rows) {
        SceneFixture fx;
        fx.scene.setBackground({0.5, 0.5, 0.5});
        NodePtr t = fx.ci.parseCommand(r.command);
        EXPECT_EQ(t->kind(), Kind::Zero) << r.command;
        EXPECT_EQ(fx.ci.workspace().error.code, r.code) << r.command;
        EXPECT_EQ(fx.error(), r.message) << r.command;
        EXPECT_EQ(fx.scene.graphCount(), 0) << r.command;
        EXPECT_EQ(fx.scene.background().r, 0.5) << r.command;
    }
}

TEST(GraphCommands, LineWidthAndBackgroundReachTheScene) {
    SceneFixture fx;
    fx.run("k=0.25");
    NodePtr t = fx.ci.parseCommand("line_width(2*k+1)");
    ASSERT_FALSE(fx.ci.hasError()) << fx.error();
    EXPECT_EQ(t->toText(), gmsg::kLineWidthSet);
    EXPECT_EQ(fx.scene.lineWidth(), 1.5f);
    fx.run("line_width(-3)");  // passed on unchecked
    EXPECT_EQ(fx.scene.lineWidth(), -3.0f);

    t = fx.ci.parseCommand("bg_color(k, 1/2, 1)");
    ASSERT_FALSE(fx.ci.hasError()) << fx.error();
    EXPECT_EQ(t->toText(), gmsg::kColorSet);
    EXPECT_EQ(fx.scene.background().r, 0.25);
    EXPECT_EQ(fx.scene.background().g, 0.5);
    EXPECT_EQ(fx.scene.background().b, 1.0);

    // A part that does not parse ends the command before anything is set.
    t = fx.ci.parseCommand("bg_color(0, 0, 1+)");
    EXPECT_TRUE(fx.ci.hasError());
    EXPECT_EQ(t->kind(), Kind::Zero);
    EXPECT_EQ(fx.scene.background().r, 0.25);
    t = fx.ci.parseCommand("line_width(1+)");
    EXPECT_TRUE(fx.ci.hasError());
    EXPECT_EQ(fx.scene.lineWidth(), -3.0f);
}

TEST(GraphCommands, RemoveAndClear) {
    SceneFixture fx;
    fx.run("curve(x, [0..1], id=7)");
    fx.run("curve(x, [0..1], id=8)");
    NodePtr t = fx.ci.parseCommand("remove_graph(7.9)");
    EXPECT_FALSE(fx.ci.hasError());
    EXPECT_EQ(t->toText(), "Grafika '7.9' odstraněna!");
    EXPECT_EQ(fx.scene.graphCount(), 1);
    t = fx.ci.parseCommand("remove_graph(7)");
    EXPECT_FALSE(fx.ci.hasError());
    EXPECT_EQ(t->toText(), "Grafika '7' neexistuje!");
    t = fx.ci.parseCommand("clear_graphs(whatever)");
    EXPECT_EQ(t->toText(), gmsg::kGraphsCleared);
    EXPECT_EQ(fx.scene.graphCount(), 0);
}

// An interpreter without a scene has nowhere to put graphs.
TEST(GraphCommands, WithoutASceneTheCommandsAreUnavailable) {
    CommandInterpreter ci;
    Workspace::Scope scope(ci.workspace());
    for (const char* c : {"curve(x, [0..1], id=1)", "line_width(2)", "clear_graphs()"}) {
        ci.parseCommand(c);
        EXPECT_TRUE(ci.hasError()) << c;
    }
}

}  // namespace
}  // namespace kv
