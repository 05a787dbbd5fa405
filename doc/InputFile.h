// Reading a whole input file (a document to open, the batch runner's input)
// with bounded memory and without hanging on things that are not files.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace kv {

// The largest input read: far above any document typed by hand, low enough
// that reading and running it stays within a modest amount of memory.
inline constexpr std::size_t kMaxInputFileSize = std::size_t{64} << 20;

struct InputFileResult {
    bool ok = false;
    std::string bytes;   // the whole content when ok
    std::string reason;  // Czech reason when !ok
};

// Reads a regular file or a pipe. Refuses folders, character and block
// devices and anything longer than `limit` bytes (checked before reading when
// the size is known, and while reading for pipes and files that grow).
InputFileResult readInputFile(const std::string& path, std::size_t limit = kMaxInputFileSize);

// The same bound for a stream (standard input): refused once it holds more
// than `limit` bytes, so an endless source such as /dev/zero stops.
InputFileResult readInputStream(std::istream& in, std::size_t limit = kMaxInputFileSize);

}  // namespace kv
