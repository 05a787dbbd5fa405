// Reads a JPEG file back for the tests: size, channels and pixels.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace kv::test {

struct DecodedJpeg {
    bool ok = false;
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<unsigned char> pixels;  // rows top first
    bool progressive = false;

    const unsigned char* at(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * components;
    }
};

inline DecodedJpeg decodeJpeg(const std::string& path) {
    DecodedJpeg out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    out.progressive = cinfo.progressive_mode;
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.components = cinfo.output_components;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * out.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() +
                       static_cast<std::size_t>(cinfo.output_scanline) * out.width * out.components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    out.ok = true;
    return out;
}

}  // namespace kv::test
