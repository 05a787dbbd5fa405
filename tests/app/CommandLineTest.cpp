#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Version.h"

namespace kv {
namespace {

struct CliRow {
    const char* name;
    std::vector<std::string> args;  // after the program name
    int status;                     // -1: the desktop program starts
    std::string out;                // must appear in standard output ("" : none at all)
    std::string err;                // must appear in standard error ("" : none at all)
};

void PrintTo(const CliRow& row, std::ostream* os) {
    *os << row.name;
}

void expectHas(const std::string& text, const std::string& part) {
    if (part.empty())
        EXPECT_EQ(text, "");
    else
        EXPECT_NE(text.find(part), std::string::npos) << text;
}

class CommandLineTest : public testing::TestWithParam<CliRow> {};

TEST_P(CommandLineTest, ExitStatusAndMessages) {
    const CliRow& row = GetParam();
    std::vector<std::string> args{"korvalinth"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::istringstream in("eval(1/3)\n");
    std::ostringstream out, err;
    const auto status = runWithoutDisplay(parseCommandLine(args), QString(), in, out, err);
    EXPECT_EQ(status.value_or(-1), row.status);
    expectHas(out.str(), row.out);
    expectHas(err.str(), row.err);
}

const std::string kVersionLine = std::string("Korvalinth ") + kVersion + "\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineTest,
    testing::Values(
        CliRow{"Help", {"--help"}, 0, "korvalinth --batch SOUBOR|- [--digits N]", ""},
        CliRow{"ShortHelp", {"-h"}, 0, "--size ŠxV", ""},
        CliRow{"HelpWinsOverAnUnknownOption", {"--bogus", "--help"}, 0, "Použití:", ""},
        CliRow{"Version", {"--version"}, 0, kVersionLine, ""},
        CliRow{"BatchOfStandardInput", {"--batch", "-"}, 0, "   0.333333333333\n", ""},
        CliRow{"BatchOptionsWithEquals", {"--batch=-", "--digits=3"}, 0, "   0.333\n", ""},
        CliRow{"BatchWithoutFile",
               {"--batch"},
               2,
               "",
               "Chybí soubor pro --batch.\nPoužití: korvalinth --batch SOUBOR|-"},
        CliRow{"UnknownOption", {"--bogus"}, 2, "", "Neznámá volba: --bogus\n"},
        CliRow{"UnknownOptionInBatch", {"--batch", "-", "--bogus"}, 2, "", "--bogus"},
        CliRow{
            "MissingValue", {"--batch", "-", "--digits"}, 2, "", "Chybí hodnota volby --digits."},
        CliRow{"BatchOptionWithoutBatch",
               {"--digits", "3"},
               2,
               "",
               "Volba --digits platí jen spolu s --batch."},
        CliRow{
            "ExtraArgumentInBatch", {"--batch", "-", "x.kvl"}, 2, "", "Nadbytečný argument: x.kvl"},
        CliRow{"TwoDocuments", {"a.kvl", "b.kvl"}, 2, "", "Nadbytečný argument: b.kvl"},
        CliRow{"RunnerChecksTheValues",
               {"--batch", "-", "--size", "0x0"},
               2,
               "",
               "Neplatná velikost snímku: 0x0"},
        CliRow{"Desktop", {}, -1, "", ""}, CliRow{"DesktopWithDocument", {"doc.kvl"}, -1, "", ""},
        CliRow{
            "DesktopWithQtOptions", {"-session", "s1", "-platform", "xcb", "doc.kvl"}, -1, "", ""}),
    [](const testing::TestParamInfo<CliRow>& info) { return std::string(info.param.name); });

TEST(CommandLine, DesktopStartKeepsTheDocument) {
    EXPECT_EQ(parseCommandLine({"korvalinth", "-session", "s1", "a b.kvl"}).document,
              QStringLiteral("a b.kvl"));
}

TEST(CommandLine, BatchGetsTheFileNameBytesAsGiven) {
    // Not valid UTF-8: the bytes must reach the batch runner unchanged.
    const std::string name = "doc\xE8.kvl";
    const Invocation line = parseCommandLine({"korvalinth", "--batch", name, "--digits", "5"});
    EXPECT_EQ(line.batchArgs, (std::vector<std::string>{"--batch", name, "--digits", "5"}));
    // The view's switches and a value that begins with a minus sign pass too.
    EXPECT_EQ(parseCommandLine({"korvalinth", "--no-axes", "--batch", "-", "--view", "-30,0,0"})
                  .batchArgs,
              (std::vector<std::string>{"--batch", "-", "--view", "-30,0,0", "--no-axes"}));
}

// The built program itself, with no display at all: the modes that need none
// must not try to open one.
struct ProcessRow {
    const char* name;
    std::string env;  // variables set for the run, after the display's are removed
    std::string args;
    int status;
    std::string out;
    std::string err;
};

void PrintTo(const ProcessRow& row, std::ostream* os) {
    *os << row.name;
}

class ProgramWithoutDisplayTest : public testing::TestWithParam<ProcessRow> {};

std::string slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_P(ProgramWithoutDisplayTest, AnswersWithoutOpeningADisplay) {
    const ProcessRow& row = GetParam();
    const std::string base =
        testing::TempDir() + "kv_cli_" + std::to_string(::getpid()) + "_" + row.name;
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE " + row.env +
        " '" + std::string(KV_BINARY) + "' " + row.args + " >'" + base + ".out' 2>'" + base +
        ".err' </dev/null";
    const int wait = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(wait)) << "killed by signal " << WTERMSIG(wait);
    EXPECT_EQ(WEXITSTATUS(wait), row.status);
    expectHas(slurp(base + ".out"), row.out);
    expectHas(slurp(base + ".err"), row.err);
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
}

const std::string kProgramDir = [] {
    const std::string program = KV_BINARY;
    return program.substr(0, program.find_last_of('/'));
}();

INSTANTIATE_TEST_SUITE_P(
    Rows, ProgramWithoutDisplayTest,
    testing::Values(
        // The manual and the examples are found beside the program in the build tree.
        ProcessRow{"Help", "", "--help", 0, "Příručka: " + kProgramDir + "/help/help.htm\n", ""},
        ProcessRow{"HelpNamesTheExamples", "", "--help", 0,
                   "Příklady: " + kProgramDir + "/examples\n", ""},
        ProcessRow{"Version", "", "--version", 0, kVersionLine, ""},
        ProcessRow{"BatchWithoutFile", "", "--batch", 2, "", "Chybí soubor pro --batch."},
        ProcessRow { "Batch", "", "--batch " + kProgramDir + "/examples/intro.kvl", 0, ">> ", "" }
#ifdef KV_WITH_UI
        // The desktop program says why it cannot start instead of crashing.
        ,
        ProcessRow{"DesktopWithoutDisplay", "", "", 1, "", "chybí displej"},
        ProcessRow{
            "DesktopWithoutOpenGl", "QT_QPA_PLATFORM=offscreen", "", 1, "",
            "Grafiku nelze zobrazit: na platformě „offscreen“ nelze vytvořit kontext OpenGL."}
#endif
        ),
    [](const testing::TestParamInfo<ProcessRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
