// A test fixture with its own interpreter and workspace, parsing commands
// that must not fail.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lang/CommandInterpreter.h"

namespace kv::test {

class InterpreterFixture : public testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};

    NodePtr parse(const std::string& text) {
        NodePtr t = ci.parseCommand(text);
        EXPECT_FALSE(ci.hasError()) << text << ": " << ci.workspace().error.message;
        return t;
    }
    int x() { return ci.workspace().variableIndex("x"); }
};

}  // namespace kv::test
