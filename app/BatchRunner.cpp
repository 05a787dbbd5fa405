#include "app/BatchRunner.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>

#include "app/BatchView.h"
#include "doc/Document.h"
#include "doc/InputFile.h"
#include "doc/Messages.h"
#include "export/AnimationExport.h"
#include "export/AviWriter.h"
#include "export/ExportMessages.h"
#include "export/HeadlessContext.h"
#include "export/Snapshot.h"
#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/Transcript.h"

namespace kv {

namespace {

// "WxH" with both sides whole numbers from 1 to the headless limit.
bool parseSize(const std::string& text, int& width, int& height) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, width);
    if (ec != std::errc() || p == end || *p != 'x') return false;
    auto [q, ec2] = std::from_chars(p + 1, end, height);
    return ec2 == std::errc() && q == end && width > 0 && height > 0 &&
           width <= HeadlessContext::kMaxSize && height <= HeadlessContext::kMaxSize;
}

// A whole number within [low, high], the whole text.
bool parseCount(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && value >= low && value <= high;
}

int runBatchUnguarded(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                      std::ostream& err) {
    std::string path;
    int digits = -1;
    std::string snapshot;
    bool sized = false;
    int width = 800;
    int height = 600;
    std::string avi;
    AnimationSettings animation;
    bool animationOptions = false;
    BatchView view;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool used = false;
        std::string viewError;
        if (view.take(a, i + 1 < args.size() ? &args[i + 1] : nullptr, used, viewError)) {
            if (!viewError.empty()) {
                err << viewError << "\n";
                return 2;
            }
            if (used) ++i;
        } else if (a == "--batch" && i + 1 < args.size()) {
            path = args[++i];
        } else if (a == "--digits" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), digits);
            if (ec != std::errc() || p != v.data() + v.size() || digits < 0 || digits > 40) {
                err << "Neplatný počet číslic: " << v << "\n";
                return 2;
            }
        } else if (a == "--snapshot") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                err << exportmsg::kMissingSnapshotFile << "\n";
                return 2;
            }
            snapshot = args[++i];
        } else if (a == "--avi" || a == "--video") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                err << exportmsg::kMissingAviFile << "\n";
                return 2;
            }
            avi = args[++i];
        } else if ((a == "--frames" || a == "--fps") && i + 1 < args.size()) {
            const bool frames = a == "--frames";
            int& value = frames ? animation.frames : animation.frames_per_second;
            const int high =
                frames ? AnimationSettings::kMaxFrames : AnimationSettings::kMaxFramesPerSecond;
            if (!parseCount(args[++i], 1, high, value)) {
                err << checkAnimationSettings(frames ? 0 : 1, frames ? 1 : 0) << "\n";
                return 2;
            }
            animationOptions = true;
        } else if (a == "--codec" && i + 1 < args.size()) {
            animation.codec = args[++i];
            animationOptions = true;
        } else if (a == "--size" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            if (!parseSize(v, width, height)) {
                err << exportmsg::kInvalidSize << v << "\n";
                return 2;
            }
            sized = true;
        } else {
            err << "Neznámý argument: " << a << "\n";
            return 2;
        }
    }
    if (path.empty()) {
        err << "Chybí soubor pro --batch.\n";
        return 2;
    }
    if (sized && snapshot.empty() && avi.empty()) {
        err << exportmsg::kSizeWithoutSnapshot << "\n";
        return 2;
    }
    if (view.any() && snapshot.empty() && avi.empty()) {
        err << exportmsg::kViewWithoutPicture << "\n";
        return 2;
    }
    if (animationOptions && avi.empty()) {
        err << exportmsg::kAviOptionWithoutAvi << "\n";
        return 2;
    }
    if (!avi.empty() &&
        (AviWriter::roundedSize(width) == 0 || AviWriter::roundedSize(height) == 0)) {
        err << exportmsg::kAviTooSmall << "\n";
        return 2;
    }
    BatchInput input;
    if (path == "-") {
        InputFileResult stream = readInputStream(in);
        if (stream.ok) {
            input = readBatchInput(stream.bytes);
        } else {
            input.error = docmsg::kCannotOpen;
            input.detail = std::move(stream.reason);
        }
    } else {
        input = loadBatchInputFile(path);
    }
    if (!input.ok) {
        err << input.error;
        if (!input.detail.empty()) err << " " << input.detail;
        err << " (" << path << ")\n";
        return 1;
    }
    for (const std::string& damage : input.damage) err << damage << "\n";
    std::vector<std::string>& lines = input.lines;

    // The scene of a batch run has no window: plot commands build and add
    // their graphs all the same.
    SceneModel scene;
    CommandInterpreter ci(&scene);
    if (digits >= 0) ci.workspace().ndigits = digits;
    // The lines run a slice at a time, each slice's transcript printed and
    // dropped before the next, so that a long document does not hold its
    // whole transcript in memory; the interpreter carries over as in one run.
    constexpr std::size_t kSlice = 4096;
    for (std::size_t first = 0; first < lines.size(); first += kSlice) {
        const std::size_t last = std::min(lines.size(), first + kSlice);
        std::vector<std::string> slice(std::make_move_iterator(lines.begin() + first),
                                       std::make_move_iterator(lines.begin() + last));
        for (std::size_t i = first; i < last; ++i) std::string().swap(lines[i]);
        auto transcript = rerunAll(ci, slice, [&] { err << msg::kInternalError << "\n"; });
        for (const std::string& line : transcript) out << line << "\n";
    }
    out.flush();

    // The final scene, drawn off the screen as the scene pane would show it,
    // in the view the command line asks for.
    view.apply(scene);
    if (!snapshot.empty()) {
        std::string error;
        std::string warning;
        if (!renderSnapshot(scene, snapshot, width, height, error, &warning)) {
            err << exportmsg::kSnapshotFailed << " (" << snapshot << "): " << error << "\n";
            return 3;
        }
        if (!warning.empty()) err << warning << "\n";
    }
    // Then the animation of that scene, recorded the same way.
    if (!avi.empty()) {
        std::string error;
        if (!renderAnimation(scene, avi, width, height, animation, error)) {
            err << exportmsg::kAviFailed << " (" << avi << "): " << error << "\n";
            return 3;
        }
    }
    return 0;
}

}  // namespace

int runBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err) {
    // Nothing may end the run with an uncaught exception: whatever escapes
    // (memory exhausted while reading or rendering, a library's error) is
    // reported and the status says the run did not complete.
    try {
        return runBatchUnguarded(args, in, out, err);
    } catch (const std::bad_alloc&) {
        out.flush();
        err << msg::kInternalError << " " << msg::kOutOfMemory << "\n";
    } catch (const std::exception& e) {
        out.flush();
        err << msg::kInternalError << " (" << e.what() << ")\n";
    } catch (...) {
        out.flush();
        err << msg::kInternalError << "\n";
    }
    return 4;
}

}  // namespace kv
