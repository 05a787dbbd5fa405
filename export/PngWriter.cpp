#include "export/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "export/AtomicFile.h"
#include "export/ExportMessages.h"

namespace kv {

namespace {

struct PngError {
    char message[256] = {};
};

[[noreturn]] void fatalError(png_structp png, png_const_charp text) {
    auto* e = static_cast<PngError*>(png_get_error_ptr(png));
    std::strncpy(e->message, text ? text : "", sizeof e->message - 1);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Encodes the rows into an open file. Only plain C data lives in this
// frame, so the jump out of the library skips no destructor.
bool encode(std::FILE* file, const unsigned char* pixels, int width, int height, PngError& e) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e, fatalError, ignoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels + static_cast<std::size_t>(y) * stride));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, const unsigned char* pixels, int width, int height,
              std::string* error) {
    if (error) error->clear();
    if (!pixels || width <= 0 || height <= 0) return false;
    PngError e;
    const AtomicWrite result = writeAtomically(
        path, [&](std::FILE* file) { return encode(file, pixels, width, height, e); });
    if (result == AtomicWrite::Done) return true;
    if (error) {
        if (result == AtomicWrite::EncodeFailed && e.message[0])
            *error = e.message;
        else
            *error = std::string(exportmsg::kPictureCannotCreate) + path;
    }
    return false;
}

}  // namespace kv
