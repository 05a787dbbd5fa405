// Compression of 8-bit RGB pictures into JPEG files with libjpeg.
#pragma once

#include <string>

namespace kv {

// Writes `pixels` (8-bit RGB triples, rows top to bottom, no row padding) as
// a baseline JPEG file of the given quality (0..100). With `is_color` false
// the picture is stored as one grey channel. Returns true on success.
//
// On failure nothing is left at `path` (an existing file there stays as it
// was: the picture goes to a temporary file in the same folder, which is
// renamed over `path` only once it is complete). When `error` is given it
// receives the reason: the library's own message for a fatal error of the
// compressor, the "Can't open" text when the file cannot be created.
// `fatal`, when given, tells whether the failure was a fatal error of the
// library (which the desktop program shows in a "JPEG Fatal Error" box).
bool writeJpeg(const std::string& path, const unsigned char* pixels, int width, int height,
               bool is_color, int quality, std::string* error = nullptr, bool* fatal = nullptr);

}  // namespace kv
