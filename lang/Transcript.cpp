#include "lang/Transcript.h"

#include <exception>

#include "engine/EvaluationCost.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/TextScan.h"

namespace kv {

std::optional<CommandLine> splitCommandLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.substr(0, 2) != ">>") return std::nullopt;
    std::string_view rest = line.substr(2);
    auto parts = splitTopLevel(rest, "//");
    CommandLine out;
    if (!parts.empty()) out.command = std::string(trim(parts[0]));
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (i > 1) out.comment += "//";
        out.comment += parts[i];
    }
    return out;
}

CommandOutcome executeCommand(CommandInterpreter& ci, std::string_view command) {
    Workspace::Scope scope(ci.workspace());
    CommandOutcome out;
    out.result = ci.parseCommand(command);
    // The tree a line gives can hold integrals inside integrals that no
    // single call saw whole (built from user functions, stored values or
    // subst): its cost is checked before it is evaluated.
    if (!ci.hasError() && evaluationCost(*out.result) > kMaxEvaluationWork)
        out.result = ci.fail(9, command, kTooMuchWork);
    else
        out.result->evaluate();
    if (ci.hasError()) {
        out.failed = true;
        out.message = ci.workspace().error.message;
    }
    return out;
}

std::string runCommand(CommandInterpreter& ci, std::string_view command) {
    CommandOutcome out = executeCommand(ci, command);
    Workspace::Scope scope(ci.workspace());
    if (out.failed) return "   " + std::string(msg::kErrorPrefix) + out.message;
    return "   " + out.result->toText();
}

std::vector<std::string> rerunAll(CommandInterpreter& ci, const std::vector<std::string>& lines,
                                  const std::function<void()>& onInternalError) {
    std::vector<CommandLine> commands;
    for (const std::string& line : lines)
        if (auto cmd = splitCommandLine(line)) commands.push_back(std::move(*cmd));

    std::vector<std::string> out;
    for (const CommandLine& cmd : commands) {
        if (cmd.command.empty()) {
            if (!cmd.comment.empty()) out.push_back(">> //" + cmd.comment);
            continue;
        }
        try {
            std::string output = runCommand(ci, cmd.command);
            std::string echo = ">> " + cmd.command;
            if (!cmd.comment.empty()) echo += " //" + cmd.comment;
            out.push_back(std::move(echo));
            out.push_back(std::move(output));
        } catch (const std::exception&) {
            if (onInternalError) onInternalError();
        }
    }
    return out;
}

}  // namespace kv
