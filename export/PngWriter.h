// Lossless pictures: 8-bit RGB pixels written as a PNG file with libpng.
#pragma once

#include <string>

namespace kv {

// Writes `pixels` (8-bit RGB triples, rows top to bottom, no row padding) as
// a PNG file. On failure nothing is left at `path` (an existing file there
// stays as it was) and `error`, when given, says why.
bool writePng(const std::string& path, const unsigned char* pixels, int width, int height,
              std::string* error = nullptr);

}  // namespace kv
