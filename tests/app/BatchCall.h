// Runs the batch runner in the test's own process on a document given as
// text, as `korvalinth --batch - ARGS` would run it.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/BatchRunner.h"

namespace kv::test {

struct BatchResult {
    int status;
    std::string out;
    std::string err;
};

inline BatchResult batch(std::vector<std::string> args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    args.insert(args.begin(), {"--batch", "-"});
    const int status = runBatch(args, in, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace kv::test
