// The console's transcript without the window: what a command line is, what
// one command writes below itself, and Recompute, which runs every stored
// command again from the top.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ExprNode.h"

namespace kv {

class CommandInterpreter;

struct CommandLine {
    std::string command;  // without the prompt, blanks trimmed
    std::string comment;  // the text after the first top-level "//", or empty
};

// A line that begins with ">>" is a command line; any other line is output.
std::optional<CommandLine> splitCommandLine(std::string_view line);

// What one command gave: the result tree (a placeholder after an error) and,
// after an error, the message.
struct CommandOutcome {
    NodePtr result;
    bool failed = false;
    std::string message;
};

// Parses and carries out one command, then evaluates the result once, which
// fills the values that numeric integrals show.
CommandOutcome executeCommand(CommandInterpreter& ci, std::string_view command);

// The output line of a command's outcome: three blanks and the result's text
// form, or "   Chyba: " and the message.
std::string outputLine(CommandInterpreter& ci, const CommandOutcome& outcome);

// Runs one command and returns its output line. The result tree is
// evaluated once first, which fills the values that numeric integrals show.
std::string runCommand(CommandInterpreter& ci, std::string_view command);

// The echo of a command line as Recompute writes it: ">> " and the command,
// then " //" and the comment when there is one; ">> //" and the comment for a
// comment-only line.
std::string echoLine(const CommandLine& line);

// What Recompute's loop hands to the one who shows the transcript.
struct RerunSteps {
    // A comment-only line, with its echo.
    std::function<void(const std::string& echo)> comment;
    // A command that ran, with its echo and what it gave.
    std::function<void(const std::string& echo, const CommandOutcome& outcome)> command;
    // A command that failed unexpectedly; the run goes on with the next one.
    std::function<void()> internalError;
};

// Recompute's loop, shared by the console and the batch runner: runs the
// commands in order; lines with neither command nor comment are dropped.
void rerunCommands(CommandInterpreter& ci, const std::vector<CommandLine>& commands,
                   const RerunSteps& steps);

// Recompute: every command line of `lines`, in order, echoed and followed by
// its output; comment-only lines are echoed and not run; output lines are
// dropped. `onInternalError` is told when a command fails unexpectedly (the
// run goes on with the next one).
std::vector<std::string> rerunAll(CommandInterpreter& ci, const std::vector<std::string>& lines,
                                  const std::function<void()>& onInternalError);

}  // namespace kv
