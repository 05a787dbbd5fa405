#include "export/AviWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include "doc/TemporaryFile.h"
#include "engine/TextScan.h"
#include "export/ExportMessages.h"

namespace kv {

namespace {

struct ContainerInfo {
    VideoContainer container;
    const char* extension;
    const char* muxer;
    // The encoders listed first, in this order, where they are usable.
    std::vector<const char*> preferred;
};

const std::vector<ContainerInfo>& containers() {
    static const std::vector<ContainerInfo> table{
        {VideoContainer::Avi, ".avi", "avi", {"rawvideo"}},
        {VideoContainer::Mp4, ".mp4", "mp4", {"libx264", "mpeg4"}},
        {VideoContainer::WebM, ".webm", "webm", {"libvpx-vp9", "libvpx"}},
        {VideoContainer::Gif, ".gif", "gif", {"gif"}},
    };
    return table;
}

const ContainerInfo& infoOf(VideoContainer container) {
    for (const ContainerInfo& c : containers())
        if (c.container == container) return c;
    return containers().front();
}

// What a failure says: AVI files keep the texts their users have always
// seen, the other containers say it in Czech.
struct VideoTexts {
    std::string cannotCreate;  // with %s for the file name
    std::string streamFailed;
    std::string noEncoder;
    std::string outOfMemory;
    std::string writeFailed;
    std::string writeMemory;
    std::string finishFailed;
};

const VideoTexts& textsFor(VideoContainer container) {
    using namespace exportmsg;
    static const VideoTexts avi{kAviCannotCreate,
                                kAviStreamFailed,
                                std::string(kAviCompressedStreamFailed) + kAviNoCompressor,
                                std::string(kAviCompressedStreamFailed) + kAviMemory,
                                kAviWriteFailed,
                                std::string(kAviWriteFailed) + kAviMemory,
                                kAviFinishFailed};
    static const VideoTexts other{kVideoCannotCreate, kVideoStreamFailed, kVideoNoEncoder,
                                  kVideoMemory,       kVideoWriteFailed,  kVideoMemory,
                                  kVideoFinishFailed};
    return container == VideoContainer::Avi ? avi : other;
}

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string withName(const char* format, const std::string& name) {
    std::string text = format;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, name);
    return text;
}

// BGR24 when the encoder takes it (no conversion, nothing lost), otherwise
// the encoder's first choice that the converter can produce (some encoders
// want palettes it cannot make); none: the encoder is of no use here.
AVPixelFormat pixelFormatFor(const AVCodec* codec) {
    if (!codec->pix_fmts) return AV_PIX_FMT_BGR24;
    for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
        if (*p == AV_PIX_FMT_BGR24) return AV_PIX_FMT_BGR24;
    for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
        if (sws_isSupportedOutput(*p) > 0) return *p;
    return AV_PIX_FMT_NONE;
}

// Encoders that would otherwise pick a low default bit rate get a fixed,
// high quality instead: the scene's lines and labels stay sharp.
bool usesQuantiser(AVCodecID id) {
    switch (id) {
        case AV_CODEC_ID_MPEG4:
        case AV_CODEC_ID_MJPEG:
        case AV_CODEC_ID_MSMPEG4V2:
        case AV_CODEC_ID_MSMPEG4V3:
        case AV_CODEC_ID_WMV1:
        case AV_CODEC_ID_WMV2:
        case AV_CODEC_ID_MPEG1VIDEO:
        case AV_CODEC_ID_MPEG2VIDEO:
        case AV_CODEC_ID_H263P:
            return true;
        default:
            return false;
    }
}

// Options that make the usual encoders of MP4 and WebM keep the scene's
// thin lines sharp at a speed fit for a desktop export.
AVDictionary* encoderOptions(const AVCodec* codec) {
    AVDictionary* options = nullptr;
    const std::string name = codec->name;
    if (name == "libx264") {
        av_dict_set(&options, "preset", "fast", 0);
        av_dict_set(&options, "crf", "18", 0);
    } else if (name == "libx265") {
        // The library prints to standard error itself, past FFmpeg's log.
        av_dict_set(&options, "x265-params", "log-level=error", 0);
    } else if (name == "libvpx-vp9" || name == "libvpx") {
        av_dict_set(&options, "deadline", "realtime", 0);
        av_dict_set(&options, "cpu-used", "8", 0);
        av_dict_set(&options, "crf", name == "libvpx" ? "8" : "24", 0);
        av_dict_set(&options, "b", name == "libvpx" ? "8M" : "0", 0);
    }
    return options;
}

// An encoder context set up for frames of the given size and rate; null when
// it cannot be opened. `globalHeader`: the container keeps the stream's
// headers once, not in every key frame (MP4, WebM).
AVCodecContext* openEncoder(const AVCodec* codec, int width, int height, int fps,
                            bool globalHeader = false) {
    const AVPixelFormat format = pixelFormatFor(codec);
    if (format == AV_PIX_FMT_NONE) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return nullptr;
    context->width = width;
    context->height = height;
    context->time_base = AVRational{1, fps};
    context->framerate = AVRational{fps, 1};
    context->pix_fmt = format;
    context->gop_size = 12;
    // Deliberately a single thread: frames come one at a time from the
    // renderer, and encoders that wait for several frames to fill their
    // threads would only delay the file.
    context->thread_count = 1;
    if (usesQuantiser(codec->id)) {
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = FF_QP2LAMBDA * 2;
    }
    if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = encoderOptions(codec);
    const int opened = avcodec_open2(context, codec, &options);
    av_dict_free(&options);
    if (opened < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    return context;
}

// Encoders that open but cannot be used here: Debian's SVT-AV1 library
// never returns from closing an encoder that was given no frame, which the
// probe below does to every encoder.
bool unusable(const std::string& name) {
    return name == "libsvtav1";
}

const AVCodec* findEncoder(VideoContainer container, const std::string& name) {
    if (unusable(name)) return nullptr;
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO) return nullptr;
    const AVOutputFormat* format = av_guess_format(infoOf(container).muxer, nullptr, nullptr);
    if (!format || avformat_query_codec(format, codec->id, FF_COMPLIANCE_NORMAL) != 1)
        return nullptr;
    return codec;
}

bool needsGlobalHeader(VideoContainer container) {
    const AVOutputFormat* format = av_guess_format(infoOf(container).muxer, nullptr, nullptr);
    return format && (format->flags & AVFMT_GLOBALHEADER);
}

// Whether the encoder opens and takes a black frame of this size and rate:
// some open at any size and refuse frames that do not suit them.
bool encodesOneFrame(const AVCodec* codec, int width, int height, int fps, bool globalHeader) {
    AVCodecContext* context = openEncoder(codec, width, height, fps, globalHeader);
    if (!context) return false;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    bool ok = frame && packet;
    if (ok) {
        frame->format = context->pix_fmt;
        frame->width = width;
        frame->height = height;
        ok = av_frame_get_buffer(frame, 0) >= 0;
    }
    if (ok) {
        ptrdiff_t lines[4];
        for (int i = 0; i < 4; ++i) lines[i] = frame->linesize[i];
        av_image_fill_black(frame->data, lines, context->pix_fmt, context->color_range, width,
                            height);
        frame->pts = 0;
        ok = avcodec_send_frame(context, frame) >= 0 && avcodec_send_frame(context, nullptr) >= 0;
    }
    while (ok) {
        const int got = avcodec_receive_packet(context, packet);
        if (got == AVERROR_EOF) break;
        ok = got >= 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return ok;
}

// The libraries report progress and statistics on standard error; only
// their errors belong there.
void quietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

}  // namespace

VideoContainer containerOf(const std::string& path) {
    for (const ContainerInfo& c : containers())
        if (endsWithIgnoringCase(path, c.extension)) return c.container;
    return VideoContainer::Avi;
}

const char* extensionOf(VideoContainer container) {
    return infoOf(container).extension;
}

std::string withVideoExtension(const std::string& chosen, VideoContainer container) {
    for (const ContainerInfo& c : containers())
        if (chosen.ends_with(c.extension)) return chosen;
    return chosen + extensionOf(container);
}

const std::vector<VideoEncoder>& videoEncoders(VideoContainer container, int width, int height,
                                               int fps) {
    static std::mutex lock;
    static std::map<std::tuple<VideoContainer, int, int, int>, std::vector<VideoEncoder>> cache;
    std::lock_guard<std::mutex> guard(lock);
    quietLibraries();
    auto found = cache.find({container, width, height, fps});
    if (found != cache.end()) return found->second;

    std::vector<VideoEncoder> list;
    // Encoders that cannot start here complain on the library's log; the
    // probe is quiet, only its result counts.
    const int level = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);
    const bool globalHeader = needsGlobalHeader(container);
    void* iterator = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&iterator)) {
        if (!av_codec_is_encoder(codec) || codec->type != AVMEDIA_TYPE_VIDEO) continue;
        if (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) continue;
        if (findEncoder(container, codec->name) != codec) continue;
        if (width <= 0 || height <= 0 || fps <= 0) continue;
        if (!encodesOneFrame(codec, width, height, fps, globalHeader)) continue;
        list.push_back({codec->name, codec->long_name ? codec->long_name : codec->name});
    }
    av_log_set_level(level);
    const std::vector<const char*>& preferred = infoOf(container).preferred;
    auto rank = [&](const VideoEncoder& e) {
        for (std::size_t i = 0; i < preferred.size(); ++i)
            if (e.name == preferred[i]) return i;
        return preferred.size();
    };
    std::sort(list.begin(), list.end(), [&](const VideoEncoder& a, const VideoEncoder& b) {
        const std::size_t ra = rank(a), rb = rank(b);
        if (ra != rb) return ra < rb;
        return a.name < b.name;
    });
    return cache.emplace(std::tuple{container, width, height, fps}, std::move(list)).first->second;
}

namespace {

// The container's usual encoder that works here: only those are tried, not
// every encoder the library has (some of which keep memory after closing).
std::string usualEncoder(VideoContainer container, int width, int height, int fps) {
    quietLibraries();
    const int level = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);
    std::string found;
    for (const char* name : infoOf(container).preferred) {
        const AVCodec* codec = findEncoder(container, name);
        if (codec && encodesOneFrame(codec, width, height, fps, needsGlobalHeader(container))) {
            found = name;
            break;
        }
    }
    av_log_set_level(level);
    return found;
}

}  // namespace

struct AviWriter::Codec {
    AVFormatContext* format = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;

    ~Codec() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        sws_freeContext(scaler);
        avcodec_free_context(&encoder);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

AviWriter::AviWriter(std::string file, int width, int height, int fps, std::string codec)
    : file_name(std::move(file)),
      width_(width),
      height_(height),
      frames_per_second(fps),
      codec_(std::move(codec)),
      container_(containerOf(file_name)) {}

AviWriter::~AviWriter() {
    abandon();
}

void AviWriter::abandon() {
    state_.reset();
    if (!temp_name_.empty()) {
        ::unlink(temp_name_.c_str());
        forgetTemporary(temp_name_);
        temp_name_.clear();
    }
}

bool AviWriter::open(std::string& error) {
    const VideoTexts& texts = textsFor(container_);
    quietLibraries();
    abandon();
    frame_number = 0;
    if (width_ < kSizeStep || height_ < kSizeStep || width_ % kSizeStep || height_ % kSizeStep) {
        error = exportmsg::kAviTooSmall;
        return false;
    }
    if (codec_.empty()) codec_ = usualEncoder(container_, width_, height_, frames_per_second);
    const AVCodec* codec = findEncoder(container_, codec_);
    if (!codec) {
        error = texts.noEncoder;
        return false;
    }

    // The video goes to a file of its own next to the target and takes the
    // target's name only when complete.
    const int fd = createTemporaryNextTo(file_name, temp_name_);
    if (fd < 0) {
        const int reason = errno;
        temp_name_.clear();
        error = withName(texts.cannotCreate.c_str(), file_name) + " " + std::strerror(reason);
        return false;
    }
    ::close(fd);

    state_ = std::make_unique<Codec>();
    Codec& s = *state_;
    if (avformat_alloc_output_context2(&s.format, nullptr, infoOf(container_).muxer,
                                       temp_name_.c_str()) < 0 ||
        !s.format) {
        error = withName(texts.cannotCreate.c_str(), file_name);
        abandon();
        return false;
    }
    s.stream = avformat_new_stream(s.format, nullptr);
    if (!s.stream) {
        error = texts.streamFailed;
        abandon();
        return false;
    }
    s.stream->time_base = AVRational{1, frames_per_second};

    s.encoder =
        openEncoder(codec, width_, height_, frames_per_second, needsGlobalHeader(container_));
    if (!s.encoder) {
        error = texts.noEncoder;
        abandon();
        return false;
    }
    if (avcodec_parameters_from_context(s.stream->codecpar, s.encoder) < 0) {
        error = texts.streamFailed;
        abandon();
        return false;
    }
    s.stream->avg_frame_rate = AVRational{frames_per_second, 1};

    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.frame || !s.packet) {
        error = texts.outOfMemory;
        abandon();
        return false;
    }
    s.frame->format = s.encoder->pix_fmt;
    s.frame->width = width_;
    s.frame->height = height_;
    if (av_frame_get_buffer(s.frame, 0) < 0) {
        error = texts.outOfMemory;
        abandon();
        return false;
    }
    s.scaler = sws_getContext(width_, height_, AV_PIX_FMT_BGR24, width_, height_,
                              s.encoder->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!s.scaler) {
        error = texts.noEncoder;
        abandon();
        return false;
    }

    int result = avio_open(&s.format->pb, temp_name_.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        error = withName(texts.cannotCreate.c_str(), file_name) + " " + avError(result);
        abandon();
        return false;
    }
    result = avformat_write_header(s.format, nullptr);
    if (result < 0) {
        error = texts.streamFailed + " " + avError(result);
        abandon();
        return false;
    }
    return true;
}

bool AviWriter::drain(bool flushing, std::string& error) {
    const VideoTexts& texts = textsFor(container_);
    Codec& s = *state_;
    for (;;) {
        const int got = avcodec_receive_packet(s.encoder, s.packet);
        if (got == AVERROR(EAGAIN) && !flushing) return true;
        if (got == AVERROR_EOF) return true;
        if (got < 0) {
            error = texts.writeFailed + " " + avError(got);
            return false;
        }
        av_packet_rescale_ts(s.packet, s.encoder->time_base, s.stream->time_base);
        s.packet->stream_index = s.stream->index;
        const int written = av_interleaved_write_frame(s.format, s.packet);
        if (written < 0) {
            error = texts.writeFailed + " " + avError(written);
            return false;
        }
    }
}

bool AviWriter::writeFrame(const unsigned char* bgr, std::string& error) {
    const VideoTexts& texts = textsFor(container_);
    const int index = frame_number++;
    if (!state_ || !bgr) {
        error = texts.writeFailed;
        return false;
    }
    Codec& s = *state_;
    if (av_frame_make_writable(s.frame) < 0) {
        error = texts.writeMemory;
        return false;
    }
    // The rows come bottom first; reading them from the last with a negative
    // stride turns the picture upright.
    const int stride = width_ * 3;
    const uint8_t* source[1] = {bgr + static_cast<std::size_t>(height_ - 1) * stride};
    const int strides[1] = {-stride};
    sws_scale(s.scaler, source, strides, 0, height_, s.frame->data, s.frame->linesize);
    s.frame->pts = index;
    const int sent = avcodec_send_frame(s.encoder, s.frame);
    if (sent < 0) {
        error = texts.writeFailed + " " + avError(sent);
        return false;
    }
    return drain(false, error);
}

bool AviWriter::finish(std::string& error) {
    const VideoTexts& texts = textsFor(container_);
    if (!state_) {
        error = texts.finishFailed;
        return false;
    }
    Codec& s = *state_;
    bool ok = avcodec_send_frame(s.encoder, nullptr) >= 0 && drain(true, error);
    if (ok) {
        const int trailer = av_write_trailer(s.format);
        if (trailer < 0) {
            error = texts.finishFailed + " " + avError(trailer);
            ok = false;
        }
    }
    if (ok) {
        const int closed = avio_closep(&s.format->pb);
        if (closed < 0) {
            error = texts.finishFailed + " " + avError(closed);
            ok = false;
        }
    }
    if (ok && std::rename(temp_name_.c_str(), file_name.c_str()) != 0) {
        error = texts.finishFailed + " " + std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        if (error.empty()) error = texts.finishFailed;
        abandon();
        return false;
    }
    forgetTemporary(temp_name_);
    temp_name_.clear();
    state_.reset();
    return true;
}

}  // namespace kv
