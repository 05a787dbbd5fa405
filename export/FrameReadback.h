// Reading a drawn frame back from the current framebuffer. Pixels cannot be
// read from a multisampled framebuffer: the samples are resolved (averaged
// per pixel) into a plain framebuffer of the same size first, which lives
// only while the pixels are read. The drawing framebuffer stays as it was,
// so frame after frame can be drawn and read.
#pragma once

#include <vector>

namespace kv {

enum class PixelLayout {
    RgbTopRowFirst,     // as pictures are written
    BgrBottomRowFirst,  // as video frames are encoded
};

// The bottom-left width x height pixels of the current read framebuffer,
// three bytes a pixel, rows packed; the context must be current.
void readFrame(int width, int height, PixelLayout layout, std::vector<unsigned char>& pixels);

}  // namespace kv
