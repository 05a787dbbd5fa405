// The batch runner's --avi option: the animation of the final scene recorded
// headlessly, checked with Debian's ffprobe and ffmpeg; and the arguments it
// refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/RowNames.h"
#include "tests/app/BatchCall.h"
#include "tests/support/VideoProbe.h"

namespace kv {
namespace {

using kv::test::rowNames;

using test::batch;
using test::BatchResult;

const char* const kAnimatedSurface =
    "surface(sin(x+a)*cos(y), [-3..3], [-3..3], anim=[a, 0..6], nframes=12, id=1)\n";

class BatchAvi : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::haveVideoTools()) << "ffprobe and ffmpeg (package ffmpeg) are needed";
        char pattern[] = "/tmp/kv_batch_avi_XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }
    bool folderEmpty() const { return std::filesystem::is_empty(dir_); }
    std::string dir_;
};

struct CodecRow {
    const char* name;
    const char* file;    // the extension chooses the container
    const char* codec;   // empty: the container's first encoder
    const char* probed;  // the codec ffprobe reads back
    int frames;
};

void PrintTo(const CodecRow& row, std::ostream* os) {
    *os << row.name;
}

class BatchAviCodec : public BatchAvi, public testing::WithParamInterface<CodecRow> {};

// One video stream of the asked frames at 6 per second, the asked size
// rounded down to multiples of 4, and the frames move.
TEST_P(BatchAviCodec, RecordsMovingFramesAtSixPerSecond) {
    const CodecRow& row = GetParam();
    const std::string path = file(row.file);
    std::vector<std::string> args{"--avi",   path,       "--size",
                                  "301x203", "--frames", std::to_string(row.frames)};
    if (*row.codec) args.insert(args.end(), {"--codec", row.codec});
    const BatchResult r = batch(args, kAnimatedSurface);
    ASSERT_EQ(r.status, 0) << r.err;
    const test::VideoInfo info = test::probeVideo(path);
    EXPECT_EQ(info.streams, 1);
    EXPECT_EQ(info.codec, row.probed);
    EXPECT_EQ(info.width, 300);
    EXPECT_EQ(info.height, 200);
    if (std::string(row.probed) != "gif") {  // GIF keeps delays in hundredths
        EXPECT_EQ(info.rate, "6/1");
    }
    EXPECT_EQ(info.frames, row.frames);
    const auto frames = test::decodeFrames(path, 300, 200);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(row.frames));
    for (std::size_t i = 1; i < frames.size(); ++i)
        EXPECT_NE(frames[i], frames[i - 1]) << "frame " << i << " repeats the one before";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left beside it
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, BatchAviCodec,
    testing::Values(CodecRow{"AviRaw", "movie.avi", "rawvideo", "rawvideo", 12},
                    CodecRow{"AviDefaultIsRaw", "movie.avi", "", "rawvideo", 6},
                    CodecRow{"AviMjpeg", "movie.avi", "mjpeg", "mjpeg", 12},
                    CodecRow{"AviMpeg4", "movie.avi", "mpeg4", "mpeg4", 12},
                    CodecRow{"Mp4H264", "movie.mp4", "", "h264", 6},
                    CodecRow{"Mp4Mpeg4", "movie.MP4", "mpeg4", "mpeg4", 6},
                    CodecRow{"WebmVp9", "movie.webm", "", "vp9", 6},
                    CodecRow{"WebmVp8", "movie.webm", "libvpx", "vp8", 6},
                    CodecRow{"Gif", "movie.gif", "", "gif", 6}),
    [](const auto& info) { return std::string(info.param.name); });

// A static scene moves only by its spin, which --spin sets.
TEST_F(BatchAvi, SpinTurnsAStaticScene) {
    const std::string path = file("spin.avi");  // uncompressed: equal frames stay equal
    const char* still = "surface(x*y, [-1..1], [-1..1], id=1)\n";
    for (const char* spin : {"0,0,0", "0,20,0"}) {
        const BatchResult r =
            batch({"--avi", path, "--frames", "3", "--size", "64x48", "--spin", spin}, still);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto frames = test::decodeFrames(path, 64, 48);
        ASSERT_EQ(frames.size(), 3u);
        EXPECT_EQ(frames[0] != frames[2], std::string(spin) != "0,0,0") << spin;
    }
}

TEST_F(BatchAvi, FrameCountAndRateFollowTheOptions) {
    const std::string path = file("short.avi");
    const BatchResult r =
        batch({"--avi", path, "--frames", "5", "--fps", "25", "--size", "64x48"}, kAnimatedSurface);
    ASSERT_EQ(r.status, 0) << r.err;
    const test::VideoInfo info = test::probeVideo(path);
    EXPECT_EQ(info.frames, 5);
    EXPECT_EQ(info.rate, "25/1");
    EXPECT_EQ(info.width, 64);
    EXPECT_EQ(info.height, 48);
}

struct RefusalRow {
    std::vector<std::string> args;  // "@" stands for a file in the test folder
    int status;
    const char* message;  // part of what standard error says
};

class BatchAviRefusal : public BatchAvi, public testing::WithParamInterface<RefusalRow> {};

// Unusable options stop the run before anything is written; a recording
// that fails leaves no file behind.
TEST_P(BatchAviRefusal, SaysWhyAndLeavesNoFile) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args)
        if (a == "@")
            a = file("x.avi");
        else if (a[0] == '@')
            a = file("x" + a.substr(1));  // "@.mp4": another container
    const BatchResult r = batch(args, kAnimatedSurface);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_TRUE(folderEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchAviRefusal,
    testing::Values(
        RefusalRow{{"--avi"}, 2, "Chybí soubor pro --avi."},
        RefusalRow{{"--avi", "@", "--frames", "0"}, 2, "Počet snímků musí být celé číslo od 1"},
        RefusalRow{{"--avi", "@", "--frames", "10001"}, 2, "od 1 do 10000!"},
        RefusalRow{{"--avi", "@", "--fps", "2.5"}, 2, "FPS musí být celé číslo od 1 do 100!"},
        RefusalRow{{"--fps", "10"}, 2, "vyžadují --avi"},
        RefusalRow{{"--avi", "@", "--size", "3x200"}, 2, "příliš malý"},
        RefusalRow{{"--avi", "@", "--codec", "nosuchcodec"},
                   3,
                   "AVI Compressed Stream creation failed. A suitable compressor cannot be found."},
        // MPEG-1 takes only the standard rates: the encoder fails after the
        // file was begun.
        RefusalRow{{"--avi", "@", "--codec", "mpeg1video"}, 3, "A suitable compressor"},
        // pcm_s16le is an encoder, but of sound.
        RefusalRow{{"--avi", "@", "--codec", "pcm_s16le"}, 3, "A suitable compressor"},
        // WebM holds only VP8, VP9 and AV1.
        RefusalRow{{"--avi", "@.webm", "--codec", "mpeg4"}, 3, "Zvolený kodek nelze"},
        RefusalRow{{"--video", "/nonexistent-folder/x.gif"},
                   3,
                   "Video /nonexistent-folder/x.gif se nepodařilo vytvořit."},
        RefusalRow{{"--avi", "/nonexistent-folder/x.avi"},
                   3,
                   "AVI Engine failed to initialize. Check filename /nonexistent-folder/x.avi."}),
    rowNames(&RefusalRow::message));

TEST_F(BatchAvi, AFailedRecordingKeepsTheFileThatWasThere) {
    const std::string path = file("old.avi");
    { std::ofstream(path) << "old"; }
    const BatchResult r = batch({"--avi", path, "--codec", "nosuchcodec"}, kAnimatedSurface);
    EXPECT_EQ(r.status, 3);
    std::ifstream in(path);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
}

struct SignalRow {
    const char* name;
    int signal;
};

class BatchAviInterrupted : public BatchAvi, public testing::WithParamInterface<SignalRow> {};

// The program is signalled while it records (once its temporary file
// exists): it ends by that signal, the old target stays as it was and no
// temporary file is left.
TEST_P(BatchAviInterrupted, LeavesTheTargetAndNoTemporaryFile) {
    const std::string script = file("anim.txt");
    std::ofstream(script) << kAnimatedSurface;
    const std::string target = file("old.avi");
    std::ofstream(target) << "old";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child must meet the signal with its default action, whatever
        // the test runner ignores.
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, SIG_DFL);
        std::freopen("/dev/null", "w", stdout);
        ::execl(KV_BINARY, KV_BINARY, "--batch", script.c_str(), "--avi", target.c_str(),
                "--frames", "10000", "--size", "640x480", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    auto temporaryExists = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            if (entry.path().extension() == ".tmp") return true;
        return false;
    };
    bool seen = false;
    for (int i = 0; i < 6000 && !(seen = temporaryExists()); ++i) ::usleep(10'000);
    ::kill(child, seen ? GetParam().signal : SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(seen) << "no temporary file within 60 s";
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), GetParam().signal);
    EXPECT_FALSE(temporaryExists());
    std::ifstream in(target);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "old");
}

INSTANTIATE_TEST_SUITE_P(Signals, BatchAviInterrupted,
                         testing::Values(SignalRow{"SIGINT", SIGINT}, SignalRow{"SIGTERM", SIGTERM},
                                         SignalRow{"SIGHUP", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
