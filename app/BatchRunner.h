// The batch runner: executes a document or a text of commands as Recompute
// does and prints the transcript to standard output.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kv {

// Runs `korvalinth --batch ...` with the arguments after the program name.
// Returns the exit status: 0 when the run completed (command errors are part
// of the transcript), non-zero for unusable arguments or unreadable input
// (2: arguments, 1: input, 3: export, 4: an internal error such as memory
// exhausted). Never throws.
int runBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err);

}  // namespace kv
