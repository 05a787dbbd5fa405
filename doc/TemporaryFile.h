// A fresh file next to the one a writer means to replace, so that a complete
// result can be renamed over the target (same folder, hence same file system:
// the rename is atomic) and a failed one removed without touching it.
//
// While a temporary file exists it is also removed if the process is ended by
// SIGINT, SIGTERM or SIGHUP, so an interrupted export or save leaves the
// target untouched and no half-written hidden file behind.
#pragma once

#include <string>

namespace kv {

// Creates a new, empty temporary file in the folder of `target` and opens it
// for writing. Returns its descriptor and the name in `tempPath`, or -1 with
// errno set when no file can be created there. The file is registered for
// removal on those signals until forgetTemporary is called.
int createTemporaryNextTo(const std::string& target, std::string& tempPath);

// Ends the registration once the temporary file was renamed or removed.
void forgetTemporary(const std::string& tempPath);

}  // namespace kv
