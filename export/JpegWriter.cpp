#include "export/JpegWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "doc/TemporaryFile.h"
#include "export/ExportMessages.h"

namespace kv {

namespace {

// libjpeg's standard error manager with the fatal-error exit replaced: the
// library would end the process, here the message is kept and control jumps
// back to the compression, which gives up.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void fatalError(j_common_ptr cinfo) {
    auto* em = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, em->message);
    std::longjmp(em->jump, 1);
}

// Compresses the rows into an open file. Only plain C data lives in this
// frame, so the jump out of the library skips no destructor.
bool compress(std::FILE* file, const unsigned char* rows, int width, int height, int components,
              int quality, ErrorManager& em) {
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);  // destroy is safe even if create never ran
    cinfo.err = jpeg_std_error(&em.pub);
    em.pub.error_exit = fatalError;
    em.message[0] = '\0';
    if (setjmp(em.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);  // baseline-compatible tables
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

std::string cannotOpen(const std::string& path) {
    std::string text = exportmsg::kJpegCannotOpen;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    return text;
}

}  // namespace

bool writeJpeg(const std::string& path, const unsigned char* pixels, int width, int height,
               bool is_color, int quality, std::string* error, bool* fatal) {
    if (error) error->clear();
    if (fatal) *fatal = false;
    if (!pixels || width <= 0 || height <= 0) return false;

    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<unsigned char> grey;
    if (!is_color) {
        grey.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* p = pixels + 3 * i;
            grey[i] = static_cast<unsigned char>(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
        }
    }

    std::string tmp;
    const int fd = createTemporaryNextTo(path, tmp);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            ::close(fd);
            std::remove(tmp.c_str());
            forgetTemporary(tmp);
        }
        if (error) *error = cannotOpen(path);
        return false;
    }

    ErrorManager em;
    const bool compressed = compress(file, is_color ? pixels : grey.data(), width, height,
                                     is_color ? 3 : 1, quality, em);
    // A write error the library did not see shows up when the file is closed.
    const bool written = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    if (compressed && written && closed && std::rename(tmp.c_str(), path.c_str()) == 0) {
        forgetTemporary(tmp);
        return true;
    }

    std::remove(tmp.c_str());
    forgetTemporary(tmp);
    if (!compressed) {
        if (error) *error = em.message;
        if (fatal) *fatal = true;
    } else if (error) {
        *error = cannotOpen(path);
    }
    return false;
}

}  // namespace kv
