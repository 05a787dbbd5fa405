// The command interpreter: owns the state that command lines act on (the
// workspace with its variable and constant tables and error record, and the
// user functions) and turns a command line into a tree, carrying out
// definitions and built-in commands at the moment their text is parsed.
//
// Errors are not thrown: a step records code, text and message in the
// workspace's error record and returns a ZeroNode placeholder; callers test
// the record, not the tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/ExprNode.h"
#include "engine/WorkBounds.h"
#include "engine/Workspace.h"

namespace kv {

class SceneModel;

struct UserFunction {
    std::string name;
    std::vector<int> params;  // variable rows, in the order written
    NodePtr body;
    // Nodes of the body, counted once when it is stored; 0 when it was put
    // in from outside and is counted where needed.
    std::size_t nodes = 0;
};

class CommandInterpreter {
  public:
    // Limits that keep any input from exhausting the stack or the memory.
    static constexpr int kMaxNesting = 1000;                 // nested parentheses that matter
    static constexpr int kMaxRecursion = 4000;               // parser recursion, a backstop
    static constexpr int kMaxTreeDepth = 10000;              // depth of a parsed tree
    static constexpr std::size_t kMaxNodes = kMaxTreeNodes;  // nodes of one expanded tree
    static constexpr std::size_t kMaxCommandLength = 1'000'000;
    // Nodes built by all user-function calls of one command line together.
    static constexpr std::size_t kMaxLineNodes = 2 * kMaxTreeNodes;
    // Nodes held by all user-function bodies and stored values together.
    static constexpr std::size_t kMaxStoredNodes = 4 * kMaxTreeNodes;

    // Fills the constant table and switches automatic variables on.
    explicit CommandInterpreter(SceneModel* scene = nullptr);
    CommandInterpreter(const CommandInterpreter&) = delete;
    CommandInterpreter& operator=(const CommandInterpreter&) = delete;

    Workspace& workspace() { return ws_; }
    const Workspace& workspace() const { return ws_; }
    std::vector<UserFunction>& userFunctions() { return functions_; }
    SceneModel* scene() { return scene_; }

    // The entry for a whole command line (and for nested argument texts):
    // clears the error record, removes every blank and parses.
    NodePtr parseCommand(std::string_view text);
    // The recursive rule chain on a text without blanks.
    NodePtr parseExpression(std::string_view text);

    // Records an error and returns the ZeroNode placeholder.
    NodePtr fail(ErrorCode code, std::string_view text, std::string message);
    // The line built more nodes than lineNodeLimit_ allows.
    NodePtr tooManyLineNodes(std::string_view text);
    bool hasError() const { return ws_.error.code != 0; }

    int findUserFunction(std::string_view name) const;

    // Table commands.
    NodePtr removeUserFunction(std::string_view name);
    NodePtr clearUserFunctions();

  private:
    struct Segment {
        std::size_t begin;
        std::size_t end;
    };
    NodePtr parseChain(std::string_view text, Kind kind, const std::vector<Segment>& operands);
    NodePtr parseAfterOperators(std::string_view text);
    NodePtr parseCallForm(std::string_view text);
    NodePtr parseUnknownName(std::string_view text);
    NodePtr define(std::string_view text, std::string_view left, std::string_view right);
    NodePtr callUserFunction(int row, std::string_view text,
                             const std::vector<std::string_view>& args);

    Workspace ws_;
    std::vector<UserFunction> functions_;
    SceneModel* scene_;
    int recursion_ = 0;
    std::size_t lineNodes_ = 0;  // built by user-function calls of this line
    // Where lineNodes_ stops the line, and what it says then: a definition
    // may build no more than the table of functions can still hold.
    std::size_t lineNodeLimit_ = kMaxLineNodes;
    const char* lineNodeMessage_ = nullptr;
    int treeDepth_ = 0;
};

}  // namespace kv
