#include "engine/ExprNode.h"

#include <gtest/gtest.h>

#include "engine/Workspace.h"

namespace kv {
namespace {

TEST(ExprNodeSmoke, BuildsAndPrints) {
    Workspace ws;
    Workspace::Scope scope(ws);
    int x = ws.variableIndex("x");
    NodePtr t = std::make_unique<SumNode>(std::make_unique<VariableNode>(x), number(2));
    ws.variables[x].value = 3;
    EXPECT_EQ(t->evaluate(), 5);
    EXPECT_EQ(t->toText(), "x+2");
}

}  // namespace
}  // namespace kv
