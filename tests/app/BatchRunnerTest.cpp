#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/BatchRunner.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

BatchRun runWithInput(std::vector<std::string> args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = runBatch(args, in, out, err);
    return {status, out.str(), err.str()};
}

// ctest runs each test, and each row of a table, as a process of its own and
// several at once: the process id keeps their files apart.
std::string writeTemp(const std::string& name, const std::string& bytes) {
    std::string path = testing::TempDir() + "kv_batch_" + std::to_string(::getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

const std::string kMagic("#KORVALINTH15FILEFORMAT#\0", 25);

std::string record(const std::string& line) {
    char field[8];
    std::snprintf(field, sizeof field, "%4d", static_cast<int>(line.size() + 1));
    return std::string(field) + '\0' + line + '\0';
}

TEST(BatchRunnerTest, PrintsTheTranscriptOfStandardInput) {
    BatchRun r = runWithInput({"--batch", "-"}, "1+1\nf(x)=x^2\nf(3)\nf(1,2)\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              ">> 1+1\n   1+1\n>> f(x)=x^2\n   Funkce přidána\n>> f(3)\n   3^2\n"
              ">> f(1,2)\n   Chyba: Funkce 'f' nebere 2 parametrů!\n");
}

TEST(BatchRunnerTest, TextWithPromptsCrlfAndBlankLines) {
    BatchRun r = runWithInput({"--batch", "-"}, ">> 2*3\r\n\r\n   \n>>x //note\n");
    EXPECT_EQ(r.out, ">> 2*3\n   2*3\n>> x //note\n   x\n");
}

TEST(BatchRunnerTest, ReadsADocumentWrittenByteByByte) {
    // "č" is 0xE8 in code page 1250 and prints as UTF-8.
    std::string bytes =
        kMagic + std::string("   7\0>> 1+1\0", 12) + record(">> \xE8=2") + record(">> \xE8");
    ASSERT_EQ(bytes.substr(25, 12), std::string("   7\0>> 1+1\0", 12));
    std::string path = writeTemp("doc.kvl", bytes);
    BatchRun r = runWithInput({"--batch", path}, "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ">> 1+1\n   1+1\n>> \xC4\x8D=2\n   2\n>> \xC4\x8D\n   2\n");
    EXPECT_EQ(r.err, "");
}

TEST(BatchRunnerTest, DamagedDocumentRunsWhatItCanAndReports) {
    std::string full = kMagic + record(">> 1+1") + record(">> 2+2");
    std::string path = writeTemp("damaged.kvl", full.substr(0, full.size() - 3));
    BatchRun r = runWithInput({"--batch", path}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 16), ">> 1+1\n   1+1\n>>");
    EXPECT_NE(r.err.find("poškozen"), std::string::npos) << r.err;
}

TEST(BatchRunnerTest, AbsurdLengthFieldDoesNotAllocate) {
    std::string path =
        writeTemp("absurd.kvl", kMagic + record(">> 5") + std::string("9999\0ab", 7));
    BatchRun r = runWithInput({"--batch", path}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 12), ">> 5\n   5\n");
    EXPECT_FALSE(r.err.empty());
}

struct BadInputRow {
    std::vector<std::string> args;
    std::string fileBytes;  // written to the file named by "@" in args
    std::string message;
};

class BatchRunnerBadInputTest : public testing::TestWithParam<BadInputRow> {};

TEST_P(BatchRunnerBadInputTest, RefusesWithAMessage) {
    BadInputRow row = GetParam();
    std::string path = writeTemp("bad.kvl", row.fileBytes);
    for (std::string& a : row.args)
        if (a == "@") a = path;
    BatchRun r = runWithInput(row.args, "");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchRunnerBadInputTest,
    testing::Values(
        BadInputRow{{"--batch", "@"},
                    "#KORVALINTH14FILEFORMAT#" + std::string(1, '\0'),
                    "Neplatný formát souboru!"},
        BadInputRow{
            {"--batch", "@"}, std::string("\x01\x02\0\xff", 4), "Soubor není dokument ani text!"},
        BadInputRow{{"--batch", "/nonexistent/dir/x.kvl"}, "", "Soubor nelze otevřít!"},
        BadInputRow{{"--batch", "/tmp"}, "", "Soubor nelze otevřít! Jde o složku"},
        BadInputRow{{"--batch", "/dev/zero"}, "", "Soubor nelze otevřít! Jde o zařízení"},
        BadInputRow{{"--batch"}, "", "--batch"},
        BadInputRow{{"--batch", "@", "--digits", "x"}, "1", "číslic"},
        BadInputRow{{"--batch", "@", "--bogus"}, "1", "--bogus"}),
    rowNames(&BadInputRow::fileBytes));

// An endless standard input (as from /dev/zero) stops at the size bound.
TEST(BatchRunnerTest, EndlessStandardInputIsRefused) {
    struct Zeros : std::streambuf {
        char block[4096] = {};
        int_type underflow() override {
            setg(block, block, block + sizeof block);
            return 0;
        }
    } zeros;
    std::istream in(&zeros);
    std::ostringstream out, err;
    EXPECT_EQ(runBatch({"--batch", "-"}, in, out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "Soubor nelze otevřít! Soubor je větší než 64 MB. (-)\n");
}

TEST(BatchRunnerTest, RecordWithLineBreaksRunsAsTwoLines) {
    std::string path = writeTemp("crlf.kvl", kMagic + record(">> 1+1\r\n>> 2+2"));
    BatchRun r = runWithInput({"--batch", path}, "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ">> 1+1\n   1+1\n>> 2+2\n   2+2\n");
}

TEST(BatchRunnerTest, DigitsOption) {
    BatchRun r = runWithInput({"--batch", "-", "--digits", "3"}, "eval(pi)\n1/3\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(">> 1/3\n   1/3\n"), std::string::npos);
}

}  // namespace
}  // namespace kv
