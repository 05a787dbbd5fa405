#include "lang/Transcript.h"

#include <exception>

#include "engine/EvaluationCost.h"
#include "engine/TextScan.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"

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
        out.result = ci.fail(ErrorCode::Syntax, command, kTooMuchWork);
    else
        out.result->evaluate();
    if (ci.hasError()) {
        out.failed = true;
        out.message = ci.workspace().error.message;
    }
    return out;
}

std::string outputLine(CommandInterpreter& ci, const CommandOutcome& outcome) {
    Workspace::Scope scope(ci.workspace());
    if (outcome.failed) return "   " + std::string(msg::kErrorPrefix) + outcome.message;
    return "   " + outcome.result->toText();
}

std::string runCommand(CommandInterpreter& ci, std::string_view command) {
    return outputLine(ci, executeCommand(ci, command));
}

std::string echoLine(const CommandLine& line) {
    if (line.command.empty()) return ">> //" + line.comment;
    std::string echo = ">> " + line.command;
    if (!line.comment.empty()) echo += " //" + line.comment;
    return echo;
}

void rerunCommands(CommandInterpreter& ci, const std::vector<CommandLine>& commands,
                   const RerunSteps& steps) {
    for (const CommandLine& cmd : commands) {
        if (cmd.command.empty()) {
            if (!cmd.comment.empty() && steps.comment) steps.comment(echoLine(cmd));
            continue;
        }
        try {
            const CommandOutcome outcome = executeCommand(ci, cmd.command);
            if (steps.command) steps.command(echoLine(cmd), outcome);
        } catch (const std::exception&) {
            if (steps.internalError) steps.internalError();
        }
    }
}

std::vector<std::string> rerunAll(CommandInterpreter& ci, const std::vector<std::string>& lines,
                                  const std::function<void()>& onInternalError) {
    std::vector<CommandLine> commands;
    for (const std::string& line : lines)
        if (auto cmd = splitCommandLine(line)) commands.push_back(std::move(*cmd));

    std::vector<std::string> out;
    RerunSteps steps;
    steps.comment = [&](const std::string& echo) { out.push_back(echo); };
    steps.command = [&](const std::string& echo, const CommandOutcome& outcome) {
        std::string output = outputLine(ci, outcome);
        out.push_back(echo);
        out.push_back(std::move(output));
    };
    steps.internalError = onInternalError;
    rerunCommands(ci, commands, steps);
    return out;
}

}  // namespace kv
