// The process-wide tables and the scope that makes a workspace current.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ExprNode.h"
#include "engine/Workspace.h"

namespace kv {
namespace {

TEST(Workspace, TablesAppendOnceAndFindByName) {
    Workspace ws;
    EXPECT_EQ(ws.findVariable("x"), -1);
    EXPECT_EQ(ws.variableIndex("x"), 0);
    EXPECT_EQ(ws.variableIndex("y"), 1);
    EXPECT_EQ(ws.variableIndex("x"), 0);
    EXPECT_EQ(ws.variables.size(), 2u);

    ws.addConstant("pi", 3);  // an existing name is never replaced
    ws.fillConstants();
    ws.fillConstants();
    const char* names[] = {"pi", "e",         "eg",      "deg", "golden", "g",    "hbar",
                           "na", "boltzmann", "c_light", "gn",  "true",   "false"};
    ASSERT_EQ(ws.constants.size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(ws.constants[i].name, names[i]);
    EXPECT_EQ(ws.constants[0].value, 3);
    EXPECT_EQ(ws.constants[1].value, std::exp(1.0));
    EXPECT_DOUBLE_EQ(ws.constants[3].value * 180, 3.141592653589793);
    EXPECT_EQ(ws.findConstant("true"), 11);
}

TEST(Workspace, ScopesNestAndNodesUseTheCurrentOne) {
    Workspace outer;
    Workspace inner;
    Workspace* before = &Workspace::current();
    {
        Workspace::Scope a(outer);
        int x = outer.variableIndex("x");
        outer.variables[x].value = 4;
        {
            Workspace::Scope b(inner);
            EXPECT_EQ(&Workspace::current(), &inner);
            inner.variableIndex("x");
            VariableNode v(x);  // resets x of the inner workspace only
            EXPECT_EQ(outer.variables[x].value, 4);
        }
        EXPECT_EQ(&Workspace::current(), &outer);
        VariableNode v(x);
        EXPECT_EQ(outer.variables[x].value, 0);
        VariableNode outside(7);  // no such row: nothing to reset
    }
    EXPECT_EQ(&Workspace::current(), before);
}

}  // namespace
}  // namespace kv
