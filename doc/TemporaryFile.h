// A fresh file next to the one a writer means to replace, so that a complete
// result can be renamed over the target (same folder, hence same file system:
// the rename is atomic) and a failed one removed without touching it.
#pragma once

#include <string>

namespace kv {

// Creates a new, empty temporary file in the folder of `target` and opens it
// for writing. Returns its descriptor and the name in `tempPath`, or -1 with
// errno set when no file can be created there.
int createTemporaryNextTo(const std::string& target, std::string& tempPath);

}  // namespace kv
