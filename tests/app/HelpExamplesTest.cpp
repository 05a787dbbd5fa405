// The user manual's example sessions are what the program really prints:
// every <pre class="session"> block of help/help.htm runs, in a fresh
// session, through the batch runner and must print itself.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lang/Builtins.h"
#include "lang/CallSyntax.h"
#include "support/SessionCheck.h"

namespace {

std::string readHelp() {
    std::ifstream file(std::string(KV_SOURCE_DIR) + "/help/help.htm", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string unescapeHtml(std::string text) {
    const std::pair<std::string, std::string> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities)
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + plain.size()))
            text.replace(at, entity.size(), plain);
    return text;
}

// The example sessions of the manual, each as its list of non-empty lines.
std::vector<std::vector<std::string>> exampleSessions(const std::string& html) {
    const std::string open = "<pre class=\"session\">";
    std::vector<std::vector<std::string>> sessions;
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        at += open.size();
        const std::size_t end = html.find("</pre>", at);
        if (end == std::string::npos) break;
        std::istringstream block(unescapeHtml(html.substr(at, end - at)));
        std::vector<std::string> lines;
        for (std::string line; std::getline(block, line);)
            if (!line.empty()) lines.push_back(line);
        sessions.push_back(lines);
        at = end;
    }
    return sessions;
}

TEST(HelpExamples, EverySessionPrintsWhatTheManualShows) {
    const std::string html = readHelp();
    ASSERT_FALSE(html.empty()) << "help/help.htm is missing";
    const auto sessions = exampleSessions(html);
    ASSERT_GE(sessions.size(), 20u);
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        ASSERT_FALSE(sessions[i].empty());
        EXPECT_EQ(kv::test::checkSession(sessions[i]), "")
            << "example session " << i + 1 << " starting with " << sessions[i].front();
    }
}

// Every built-in call and graph command of the language has its place in the manual.
TEST(HelpExamples, EveryCommandIsDescribed) {
    const std::string html = readHelp();
    for (const char* name : {"sinh",
                             "asin",
                             "acos",
                             "sin",
                             "cos",
                             "fact",
                             "exp",
                             "ln",
                             "sign",
                             "abs",
                             "rnd",
                             "sqrt",
                             "tan",
                             "tanh",
                             "cosh",
                             "atan",
                             "log",
                             "log2",
                             "nintegrate",
                             "derivate",
                             "nsolve",
                             "subst",
                             "solve",
                             "together",
                             "simpl",
                             "expandall",
                             "lim",
                             "eval",
                             "gcd",
                             "lcm",
                             "curve",
                             "surface",
                             "icurve",
                             "line_width",
                             "bg_color",
                             "remove_graph",
                             "clear_graphs",
                             "remove_user_func",
                             "clear_user_funcs"})
        EXPECT_NE(html.find("<code>" + std::string(name)), std::string::npos) << name;
}

// The desktop program finds its manual beside itself in the build tree.
TEST(HelpExamples, ManualIsCopiedBesideTheProgram) {
    const std::string program = KV_BINARY;
    const std::string dir = program.substr(0, program.find_last_of('/'));
    std::ifstream copied(dir + "/help/help.htm", std::ios::binary);
    std::ostringstream text;
    text << copied.rdbuf();
    EXPECT_EQ(text.str(), readHelp());
}

}  // namespace

// The console's call hints and the manual's overview of calls are one table:
// every built-in name has its rows, and every row is in the manual as written.
TEST(HelpExamples, TheManualListsEveryCallAsTheHintsWriteIt) {
    const std::string html = unescapeHtml(readHelp());
    for (std::string_view name : kv::builtinNames())
        EXPECT_FALSE(kv::callSyntaxOf(name).empty()) << "no hint for " << name;
    for (const kv::CallSyntax& row : kv::callSyntaxTable()) {
        EXPECT_TRUE(kv::findBuiltin(row.name)) << row.name;
        EXPECT_NE(html.find("<code>" + std::string(row.syntax) + "</code>"), std::string::npos)
            << "the manual does not write " << row.syntax;
    }
}
