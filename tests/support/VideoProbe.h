// What Debian's ffprobe and ffmpeg tools read from a video file: the stream's
// codec, size, rate and frame count, and the decoded frames as RGB bytes.
// The tests check the exported files with these independent readers rather
// than with the library that wrote them.
#pragma once

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kv::test {

inline std::string runCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

inline bool haveVideoTools() {
    return runCommand(
               "command -v ffprobe >/dev/null 2>&1 && command -v ffmpeg >/dev/null 2>&1 "
               "&& echo yes") == "yes\n";
}

struct VideoInfo {
    int streams = 0;  // video streams
    std::string codec;
    int width = 0;
    int height = 0;
    std::string rate;  // "6/1"
    int frames = 0;    // frames decoded
};

inline VideoInfo probeVideo(const std::string& path) {
    VideoInfo info;
    const std::string out = runCommand(
        "ffprobe -v error -count_frames -select_streams v -show_entries "
        "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=nw=1 '" +
        path + "' 2>/dev/null");
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "codec_name") {
            ++info.streams;
            info.codec = value;
        } else if (key == "width") {
            info.width = std::stoi(value);
        } else if (key == "height") {
            info.height = std::stoi(value);
        } else if (key == "r_frame_rate") {
            info.rate = value;
        } else if (key == "nb_read_frames") {
            info.frames = std::stoi(value);
        }
    }
    return info;
}

// Every frame of the video as width x height RGB triples, the top row first.
inline std::vector<std::vector<unsigned char>> decodeFrames(const std::string& path, int width,
                                                            int height) {
    const std::string bytes =
        runCommand("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    const std::size_t size = static_cast<std::size_t>(width) * height * 3;
    std::vector<std::vector<unsigned char>> frames;
    for (std::size_t at = 0; size > 0 && at + size <= bytes.size(); at += size)
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return frames;
}

}  // namespace kv::test
