#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "doc/Codepage.h"
#include "doc/Document.h"

namespace kv {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

const std::string kMagic = "#KORVALINTH15FILEFORMAT#\0"s;

// A record with the given length-field text and body, each followed by a zero byte.
std::string record(const std::string& field, const std::string& body) {
    return field + '\0' + body + '\0';
}

// ---- writing ----

struct WriteRow {
    const char* name;
    Lines console;
    std::string expected;  // the file after the header
};

TEST(DocumentWrite, StoresOnlyCommandLinesTrimmed) {
    const WriteRow rows[] = {
        {"empty console", {}, ""},
        {"six characters", {">> abc"}, "   7\0>> abc\0"s},
        {"indented", {"  \t>> x=1", "\t>>y"}, "   7\0>> x=1\0   4\0>>y\0"s},
        {"line ends", {">> a\r\n", ">> b\n\n"}, "   5\0>> a\0   5\0>> b\0"s},
        {"transcript",
         {">> 1+1", "   2", "   Chyba: Neznámá funkce!", "", "> x", " > >", ">>"},
         "   7\0>> 1+1\0   3\0>>\0"s},
        {"czech text", {">> č"}, "   5\0>> \xE8\0"s},
        {"euro sign", {">> 5€"}, "   6\0>> 5\x80\0"s},
        {"two-digit length", {">> sin(x)+cos(x)"}, "  17\0>> sin(x)+cos(x)\0"s},
    };
    for (const WriteRow& row : rows) {
        DocumentWriteResult r = writeDocument(row.console);
        ASSERT_TRUE(r.ok) << row.name << ": " << r.error;
        EXPECT_EQ(r.bytes, kMagic + row.expected) << row.name;
    }
    EXPECT_EQ(writeDocument({}).bytes.size(), 25u);
}

struct LongLineRow {
    std::size_t length;  // bytes of the whole line, prompt included
    bool saved;
};

TEST(DocumentWrite, LongLinesAreKeptWholeWhileTheLengthFieldReaches) {
    const LongLineRow rows[] = {{4095, true}, {4096, true},  {5000, true},
                                {9998, true}, {9999, false}, {10000, false}};
    for (const LongLineRow& row : rows) {
        std::string line = ">> " + std::string(row.length - 3, 'x');
        DocumentWriteResult w = writeDocument({">> a=1", line});
        if (!row.saved) {
            EXPECT_FALSE(w.ok) << row.length;
            EXPECT_TRUE(w.bytes.empty()) << row.length;
            EXPECT_EQ(w.error, "Řádek 2 je příliš dlouhý pro uložení (nejvýše 9998 znaků).");
            continue;
        }
        ASSERT_TRUE(w.ok) << row.length;
        DocumentReadResult r = readDocument(w.bytes);
        EXPECT_TRUE(r.damage.empty()) << row.length;
        EXPECT_EQ(r.lines, (Lines{">> a=1", line})) << row.length;
    }
}

TEST(DocumentWrite, RefusesCharactersTheCodePageCannotHold) {
    const std::pair<std::string, std::string> rows[] = {
        {">> x→y", "→"},
        {">> 中", "中"},
        {">> a\xFF", "\\xFF"},
    };
    for (const auto& [line, shown] : rows) {
        DocumentWriteResult w = writeDocument({">> ok", "   1", line});
        EXPECT_FALSE(w.ok) << line;
        EXPECT_TRUE(w.bytes.empty()) << line;
        EXPECT_EQ(w.error, "Řádek 3 obsahuje znak, který nelze uložit: '" + shown + "'");
    }
    // A result line is never stored, so what it holds does not matter.
    EXPECT_TRUE(writeDocument({">> a", "   x→y"}).ok);
}

// ---- reading ----

struct ReadRow {
    const char* name;
    std::string body;  // after the header
    Lines lines;
    std::size_t damage;  // number of damage reports
};

TEST(DocumentRead, ReadsRecordsAndReportsDamage) {
    const std::string a = record("   5", ">> a");
    const ReadRow rows[] = {
        {"no records", "", {}, 0},
        {"one record", record("   7", ">> abc"), {">> abc"}, 0},
        {"czech",
         record("   5", ">> \xE8") + record("   6", ">>\x8A\x9E\xF8"),
         {">> č", ">>Šžř"},
         0},
        {"float length", a + record(" 7.9", ">> abc"), {">> a", ">> abc"}, 0},
        {"tab before length", "\t  5\0>> b\0"s, {">> b"}, 0},
        {"cut at zero byte", record("   8", ">>a\0bcd"s), {">>a"}, 0},
        {"empty record", record("   1", ""), {""}, 0},
        {"negative length", a + record("  -5", ">> b"), {">> a"}, 1},
        {"zero length skipped", a + "   0\0"s + record("   5", ">> b"), {">> a", ">> b"}, 1},
        {"zero length then no record", a + record("   0", ">> b"), {">> a"}, 2},
        {"line breaks split",
         record("  17", ">> a\r\n>> b\r>>c\nd"),
         {">> a", ">> b", ">>c", "d"},
         0},
        {"trailing line break", record("   7", ">> a\r\n"), {">> a", ""}, 0},
        {"fraction length", a + record(" 0.5", ">> b"), {">> a"}, 2},
        {"not a number", a + record("abcd", ">> b"), {">> a"}, 1},
        {"blank length", a + record("    ", ">> b"), {">> a"}, 1},
        {"huge length", a + "1e99\0>> b\0"s, {">> a"}, 1},
        {"nan length", a + " nan\0>> b\0"s, {">> a"}, 1},
        {"over the field", a + "12345>> b\0"s, {">> a"}, 1},
        {"length past the end", a + record("9999", ">> b"), {">> a", ">> b"}, 1},
        {"length one past the end", a + "   6\0>> b\0"s, {">> a", ">> b"}, 1},
        {"length field cut", a + "  "s, {">> a"}, 1},
        {"missing terminator", "   4\0>> a"s + a, {">> ", ">> a"}, 1},
        {"undefined byte", record("   5", ">>\x81x"), {">>\uFFFDx"}, 1},
    };
    for (const ReadRow& row : rows) {
        DocumentReadResult r = readDocument(kMagic + row.body);
        EXPECT_TRUE(r.ok) << row.name;
        EXPECT_EQ(r.lines, row.lines) << row.name;
        EXPECT_EQ(r.damage.size(), row.damage) << row.name;
    }
}

TEST(DocumentRead, DamageReportsNameTheRecord) {
    std::string body = record("   5", ">> a") + record("   5", ">> b") + record("abcd", "x");
    DocumentReadResult r = readDocument(kMagic + body);
    ASSERT_EQ(r.damage.size(), 1u);
    EXPECT_EQ(r.damage[0], "Dokument je poškozen: záznam č. 3 má neplatnou délku.");
}

TEST(DocumentRead, RejectsAWrongHeader) {
    std::vector<std::string> files = {
        "",
        "#KORVALINTH15FILEFORMAT#",            // no zero byte at all
        "#KORVALINTH15FILEFORMAT#X   1\0\0"s,  // something else in its place
        "#KORVALINTH14FILEFORMAT#\0"s,
        "#korvalinth15fileformat#\0"s,
    };
    for (std::size_t i = 0; i + 1 < kMagic.size(); ++i) {
        std::string file = kMagic + record("   5", ">> a");
        file[i] = file[i] == 'X' ? 'Y' : 'X';
        files.push_back(file);
    }
    for (const std::string& file : files) {
        DocumentReadResult r = readDocument(file);
        EXPECT_FALSE(r.ok) << file;
        EXPECT_EQ(r.error, "Neplatný formát souboru!");
        EXPECT_TRUE(r.lines.empty());
    }
}

// A valid document cut at every byte keeps exactly the records that are
// complete, perhaps the readable start of the next one, and reports damage
// unless the cut falls on a record boundary.
TEST(DocumentRead, TruncatedAtEveryByte) {
    const Lines lines = {">> x=2", ">> plot(sin(x))", ">> č"};
    DocumentWriteResult w = writeDocument(lines);
    ASSERT_TRUE(w.ok);
    std::vector<std::size_t> ends = {25};  // where each record ends
    for (const std::string& line : lines) {
        ends.push_back(ends.back() + 5 + utf8ToCp1250(line).text.size() + 1);
    }
    ASSERT_EQ(ends.back(), w.bytes.size());

    for (std::size_t cut = 0; cut <= w.bytes.size(); ++cut) {
        DocumentReadResult r = readDocument(std::string_view(w.bytes).substr(0, cut));
        if (cut < 25) {
            EXPECT_FALSE(r.ok) << cut;
            continue;
        }
        ASSERT_TRUE(r.ok) << cut;
        std::size_t complete = 0;
        while (complete + 1 < ends.size() && ends[complete + 1] <= cut) ++complete;
        bool boundary = ends[complete] == cut;
        EXPECT_EQ(r.damage.empty(), boundary) << cut;
        ASSERT_GE(r.lines.size(), complete) << cut;
        ASSERT_LE(r.lines.size(), complete + 1) << cut;
        for (std::size_t i = 0; i < complete; ++i) EXPECT_EQ(r.lines[i], lines[i]) << cut;
        if (r.lines.size() > complete) {
            // Only a cut inside the body leaves a partial line, a prefix of the real one.
            EXPECT_GT(cut, ends[complete] + 5) << cut;
            const std::string& partial = r.lines.back();
            EXPECT_FALSE(partial.empty()) << cut;
            EXPECT_TRUE(lines[complete].starts_with(partial)) << cut;
        }
    }
}

TEST(DocumentRead, RoundTrip) {
    const Lines console = {
        ">> f(x)=x^2-1",
        "   f(x)=x^2-1",
        "  >> solve(f(x)=0, x)",
        "   x=-1; x=1",
        "",
        ">> \"Příliš žluťoučký kůň úpěl ďábelské ódy\"",
        ">> ŠŤŽ šťž ĚŘŮ €„“",
        ">>",
        ">> a=1 // komentář",
    };
    DocumentWriteResult w = writeDocument(console);
    ASSERT_TRUE(w.ok) << w.error;
    DocumentReadResult r = readDocument(w.bytes);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.damage.empty());
    EXPECT_EQ(r.lines, (Lines{">> f(x)=x^2-1", ">> solve(f(x)=0, x)",
                              ">> \"Příliš žluťoučký kůň úpěl ďábelské ódy\"", ">> ŠŤŽ šťž ĚŘŮ €„“",
                              ">>", ">> a=1 // komentář"}));
    // Reading and writing again gives the same bytes.
    EXPECT_EQ(writeDocument(r.lines).bytes, w.bytes);
}

TEST(DocumentName, ExtensionIsAppendedUnlessPresent) {
    const std::pair<const char*, const char*> rows[] = {
        {"a", "a.kvl"},
        {"a.kvl", "a.kvl"},
        {"dir/a.KVL", "dir/a.KVL.kvl"},
        {"a.kv", "a.kv.kvl"},
        {"a.kvl.txt", "a.kvl.txt.kvl"},
    };
    for (const auto& [in, out] : rows) EXPECT_EQ(withDocumentExtension(in), out);
}

// ---- files ----

class DocumentFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvdocXXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string contents(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_),
                                                      std::filesystem::directory_iterator()));
    }
    // Saving fails, reports it, and leaves exactly the old file behind.
    void expectFailedSaveKeepsOld(const std::string& target, const Lines& lines) {
        DocumentSaveResult s = saveDocumentFile(target, lines);
        EXPECT_FALSE(s.ok);
        EXPECT_EQ(s.error, "Soubor nelze uložit!");
        EXPECT_FALSE(s.detail.empty());
        EXPECT_EQ(contents(path("old.kvl")), oldBytes_);
        EXPECT_EQ(entries(), 1u);
    }
    void writeOld() {
        ASSERT_TRUE(saveDocumentFile(path("old.kvl"), {">> old"}).ok);
        oldBytes_ = contents(path("old.kvl"));
        ASSERT_EQ(oldBytes_, kMagic + record("   7", ">> old"));
    }

    std::filesystem::path dir_;
    std::string oldBytes_;
};

TEST_F(DocumentFile, SaveReplacesAndLoadReadsBack) {
    writeOld();
    ::chmod(path("old.kvl").c_str(), 0640);
    DocumentSaveResult s = saveDocumentFile(path("old.kvl"), {">> new", "   5", ">> č"});
    ASSERT_TRUE(s.ok) << s.detail;
    EXPECT_EQ(entries(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(path("old.kvl").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    DocumentReadResult r = loadDocumentFile(path("old.kvl"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines, (Lines{">> new", ">> č"}));
}

TEST_F(DocumentFile, SavingThroughALinkKeepsTheLink) {
    writeOld();
    std::filesystem::create_symlink(path("old.kvl"), path("link.kvl"));
    ASSERT_TRUE(saveDocumentFile(path("link.kvl"), {">> b"}).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.kvl")));
    EXPECT_EQ(loadDocumentFile(path("old.kvl")).lines, Lines{">> b"});
}

TEST_F(DocumentFile, RefusedLineWritesNothing) {
    writeOld();
    expectFailedSaveKeepsOld(path("old.kvl"), {">> a", ">> x→y"});
}

TEST_F(DocumentFile, TargetThatIsAFolderLeavesNoTemporaryFile) {
    writeOld();
    std::filesystem::create_directory(path("sub"));
    DocumentSaveResult s = saveDocumentFile(path("sub"), {">> a"});
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.error, "Soubor nelze uložit!");
    EXPECT_EQ(entries(), 2u);
    EXPECT_TRUE(std::filesystem::is_empty(path("sub")));
}

TEST_F(DocumentFile, ParentThatIsAFileFails) {
    writeOld();
    expectFailedSaveKeepsOld(path("old.kvl") + "/doc.kvl", {">> a"});
}

TEST_F(DocumentFile, ReadOnlyFolderKeepsTheOldFile) {
    writeOld();
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    expectFailedSaveKeepsOld(path("old.kvl"), {">> new"});
}

TEST_F(DocumentFile, UnopenableFiles) {
    std::filesystem::create_directory(path("sub"));
    for (const std::string& p : {path("missing.kvl"), path("sub")}) {
        DocumentReadResult r = loadDocumentFile(p);
        EXPECT_FALSE(r.ok) << p;
        EXPECT_EQ(r.error, "Soubor nelze otevřít!") << p;
        BatchInput b = loadBatchInputFile(p);
        EXPECT_FALSE(b.ok) << p;
        EXPECT_EQ(b.error, "Soubor nelze otevřít!") << p;
        EXPECT_EQ(b.detail, r.detail) << p;
    }
    EXPECT_EQ(loadDocumentFile(path("missing.kvl")).detail, "Soubor neexistuje.");
    EXPECT_EQ(loadDocumentFile(path("sub")).detail, "Jde o složku, ne o soubor.");
    EXPECT_EQ(loadDocumentFile("/dev/zero").detail, "Jde o zařízení, ne o soubor.");
    // Sparse: past the bound without using the disk.
    std::ofstream(path("huge.kvl")) << kMagic;
    std::filesystem::resize_file(path("huge.kvl"), (std::uintmax_t{64} << 20) + 1);
    EXPECT_EQ(loadDocumentFile(path("huge.kvl")).detail, "Soubor je větší než 64 MB.");
    // Empty: no header, whichever way it is read.
    std::ofstream(path("empty.kvl")).flush();
    EXPECT_EQ(loadDocumentFile(path("empty.kvl")).error, "Neplatný formát souboru!");
    EXPECT_EQ(loadBatchInputFile(path("empty.kvl")).error, "Neplatný formát souboru!");
}

// A file size limit stands in for a full disk: a write that would pass it
// fails with EFBIG, for root as for anyone. The limit holds while the object
// lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit previous_{};
    void (*previousSignal_)(int) = SIG_DFL;
    bool ok_ = false;
};

// The disk fills up after every possible number of bytes of the new file:
// each save fails, says so with the system's reason, removes its temporary
// file and leaves the old document whole.
TEST_F(DocumentFile, DiskFullAtEveryByteKeepsTheOldFile) {
    writeOld();
    const Lines lines = {">> a=1", ">> curve(sin(a*x), [0..6], id=1)", ">> č"};
    const std::size_t size = writeDocument(lines).bytes.size();
    for (std::size_t room = 0; room < size; ++room) {
        DocumentSaveResult s;
        {
            FileSizeLimit limit(room);
            ASSERT_TRUE(limit.ok());
            s = saveDocumentFile(path("old.kvl"), lines);
        }
        EXPECT_FALSE(s.ok) << room;
        EXPECT_EQ(s.error, "Soubor nelze uložit!") << room;
        EXPECT_FALSE(s.detail.empty()) << room;
        EXPECT_EQ(contents(path("old.kvl")), oldBytes_) << room;
        EXPECT_EQ(entries(), 1u) << room;
    }
    FileSizeLimit exact(size);
    EXPECT_TRUE(saveDocumentFile(path("old.kvl"), lines).ok);
    EXPECT_EQ(loadDocumentFile(path("old.kvl")).lines, lines);
}

// A pipe or a device in place of the document is left as it is: renaming over
// it would replace it with a plain file.
TEST_F(DocumentFile, SomethingOtherThanAFileIsNotReplaced) {
    writeOld();
    ASSERT_EQ(::mkfifo(path("pipe.kvl").c_str(), 0644), 0);
    std::filesystem::create_symlink(path("pipe.kvl"), path("link.kvl"));
    for (const std::string& target : {path("pipe.kvl"), path("link.kvl")}) {
        DocumentSaveResult s = saveDocumentFile(target, {">> a"});
        EXPECT_FALSE(s.ok) << target;
        EXPECT_EQ(s.error, "Soubor nelze uložit!") << target;
        EXPECT_FALSE(s.detail.empty()) << target;
        EXPECT_TRUE(std::filesystem::is_fifo(path("pipe.kvl"))) << target;
        EXPECT_EQ(entries(), 3u) << target;
    }
    EXPECT_EQ(contents(path("old.kvl")), oldBytes_);
}

// The open document's file is deleted behind the program's back: saving puts
// it back. Its whole folder deleted: saving fails and says so.
TEST_F(DocumentFile, FileOrFolderRemovedWhileOpen) {
    writeOld();
    ASSERT_TRUE(loadDocumentFile(path("old.kvl")).ok);
    std::filesystem::remove(path("old.kvl"));
    ASSERT_TRUE(saveDocumentFile(path("old.kvl"), {">> again"}).ok);
    EXPECT_EQ(loadDocumentFile(path("old.kvl")).lines, Lines{">> again"});

    std::filesystem::create_directory(path("sub"));
    const std::string inner = path("sub") + "/doc.kvl";
    ASSERT_TRUE(saveDocumentFile(inner, {">> b"}).ok);
    ASSERT_TRUE(loadDocumentFile(inner).ok);
    std::filesystem::remove_all(path("sub"));
    DocumentSaveResult s = saveDocumentFile(inner, {">> b", ">> c"});
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.error, "Soubor nelze uložit!");
    EXPECT_FALSE(s.detail.empty());
    EXPECT_FALSE(std::filesystem::exists(path("sub")));
}

// A document file cut at every byte opens with what survived, and saving that
// gives a whole document again (a cut-off prompt is no command and is dropped).
TEST_F(DocumentFile, TruncatedFileOpensAndSavesWhole) {
    const Lines lines = {">> x=2", ">> sin(x)", ">> ž"};
    const std::string bytes = writeDocument(lines).bytes;
    for (std::size_t cut = kMagic.size(); cut <= bytes.size(); ++cut) {
        {
            std::ofstream out(path("cut.kvl"), std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(cut));
        }
        DocumentReadResult r = loadDocumentFile(path("cut.kvl"));
        ASSERT_TRUE(r.ok) << cut;
        ASSERT_TRUE(saveDocumentFile(path("cut.kvl"), r.lines).ok) << cut;
        Lines commands;
        for (const std::string& line : r.lines)
            if (line.starts_with(">>")) commands.push_back(line);
        DocumentReadResult again = loadDocumentFile(path("cut.kvl"));
        EXPECT_TRUE(again.damage.empty()) << cut;
        EXPECT_EQ(again.lines, commands) << cut;
    }
}

// ---- batch runner input ----

struct BatchRow {
    const char* name;
    std::string bytes;
    bool ok;
    bool isDocument;
    Lines lines;
    const char* error;
};

TEST(BatchInputTest, TellsDocumentsFromText) {
    const BatchRow rows[] = {
        {"document", kMagic + record("   7", ">> x=1"), true, true, {">> x=1"}, ""},
        {"text", "x=1\n>> y=2\n>>z\n", true, false, {">> x=1", ">> y=2", ">>z"}, ""},
        {"crlf and blanks",
         "\r\n  x=1\r\n \t \r\n>>   \r\n>> y // c\r\nz",
         true,
         false,
         {">> x=1", ">> y // c", ">> z"},
         ""},
        {"byte order mark", "\xEF\xBB\xBFx=č", true, false, {">> x=č"}, ""},
        {"empty", "", true, false, {}, ""},
        {"wrong header",
         "#KORVALINTH15FILEFORMAT#\n>> x\n",
         false,
         true,
         {},
         "Neplatný formát souboru!"},
        {"old header", "#KORVALINTH14FILEFORMAT#\0"s, false, true, {}, "Neplatný formát souboru!"},
        {"code page text", "x=\xE8\n", false, false, {}, "Soubor není dokument ani text!"},
        {"zero byte", "x=1\n\0\n"s, false, false, {}, "Soubor není dokument ani text!"},
    };
    for (const BatchRow& row : rows) {
        BatchInput in = readBatchInput(row.bytes);
        EXPECT_EQ(in.ok, row.ok) << row.name;
        EXPECT_EQ(in.isDocument, row.isDocument) << row.name;
        EXPECT_EQ(in.lines, row.lines) << row.name;
        EXPECT_EQ(in.error, row.error) << row.name;
    }
}

TEST(BatchInputTest, DamagedDocumentKeepsItsLines) {
    BatchInput in = readBatchInput(kMagic + record("   5", ">> a") + "  -1\0"s);
    EXPECT_TRUE(in.ok);
    EXPECT_EQ(in.lines, Lines{">> a"});
    EXPECT_EQ(in.damage.size(), 1u);
}

}  // namespace
}  // namespace kv
