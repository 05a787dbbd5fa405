// Video files of the scene's animation: one video stream in an AVI, MP4,
// WebM or GIF file (the container chosen by the file's extension), written
// with FFmpeg's libraries. Frames come as the renderer reads them back
// (8-bit BGR triples, the bottom row first, rows packed) and are converted
// to the encoder's pixel format.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kv {

// An encoder the user can choose for the video.
struct VideoEncoder {
    std::string name;         // FFmpeg's name, e.g. "rawvideo", "mjpeg"
    std::string description;  // the library's long name
};

enum class VideoContainer { Avi, Mp4, WebM, Gif };

// The container a file name asks for by its extension, in any case:
// ".mp4", ".webm", ".gif"; every other name is an AVI file.
VideoContainer containerOf(const std::string& path);
// The extension of the container's files, with its dot: ".avi", ".mp4", ...
const char* extensionOf(VideoContainer container);
// The name a video chosen in the export dialog is saved under: a name
// ending in one of the extensions (exactly so, in lower case) stays as it
// is, any other gets the chosen container's extension appended.
std::string withVideoExtension(const std::string& chosen, VideoContainer container);

// The encoders whose streams the container can hold and that really open on
// this machine (encoders FFmpeg knows but cannot use here, such as hardware
// ones without their device, are left out), the container's usual ones
// first: "rawvideo" (uncompressed) for AVI, H.264 then MPEG-4 part 2 for
// MP4, VP9 then VP8 for WebM, "gif" for GIF; the rest by name. Each encoder
// is tried with the frame size and rate of the export (some take only
// certain sizes or rates); the answer is kept for the rest of the run.
const std::vector<VideoEncoder>& videoEncoders(VideoContainer container, int width, int height,
                                               int frames_per_second);
inline const std::vector<VideoEncoder>& aviEncoders(int width, int height, int frames_per_second) {
    return videoEncoders(VideoContainer::Avi, width, height, frames_per_second);
}

class AviWriter {
  public:
    // Frame sizes are rounded down to these multiples.
    static constexpr int kSizeStep = 4;
    static int roundedSize(int pixels) { return pixels / kSizeStep * kSizeStep; }

    // A writer for frames of width x height pixels (already rounded) at
    // `frames_per_second`, encoded with the encoder named `codec` (empty:
    // the container's usual encoder, the first of those videoEncoders lists
    // first that works here) into the container that the name of
    // `file_name` asks for.
    AviWriter(std::string file_name, int width, int height, int frames_per_second,
              std::string codec);
    // An export that did not finish leaves nothing behind.
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates the file (a temporary one next to `file_name`), the stream and
    // the encoder. False with the message in `error`.
    bool open(std::string& error);
    // Encodes one frame; `bgr` holds width x height BGR triples, the bottom
    // row first. False with the message in `error`.
    bool writeFrame(const unsigned char* bgr, std::string& error);
    // Flushes the encoder, writes the index and puts the file in place of
    // `file_name`. False with the message in `error`; then nothing is left.
    bool finish(std::string& error);

    int frameNumber() const { return frame_number; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    struct Codec;
    bool drain(bool flushing, std::string& error);
    void abandon();

    std::string file_name;
    std::string temp_name_;
    int width_;
    int height_;
    int frames_per_second;
    std::string codec_;
    VideoContainer container_;  // from the extension of file_name
    int frame_number = 0;
    std::unique_ptr<Codec> state_;
};

}  // namespace kv
