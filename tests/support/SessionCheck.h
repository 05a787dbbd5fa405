// Runs a console session through the batch runner and compares what it
// prints with the session. A session is a list of lines: ">> command" lines,
// each followed by the output the console shows for it.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/BatchRunner.h"

namespace kv::test {

// Empty when the batch runner prints exactly the session; otherwise a report
// of the first differing lines (and of a failed run).
inline std::string checkSession(const std::vector<std::string>& session,
                                const std::vector<std::string>& options = {}) {
    std::string input;
    for (const std::string& line : session)
        if (line.rfind(">>", 0) == 0) input += line + "\n";
    std::vector<std::string> args{"--batch", "-"};
    args.insert(args.end(), options.begin(), options.end());
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runBatch(args, in, out, err);

    std::vector<std::string> printed;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) printed.push_back(line);

    std::string report;
    int failures = 0;
    const std::size_t n = std::max(session.size(), printed.size());
    for (std::size_t i = 0; i < n && failures < 20; ++i) {
        const std::string expected = i < session.size() ? session[i] : "<nothing>";
        const std::string actual = i < printed.size() ? printed[i] : "<nothing>";
        if (expected != actual) {
            report += "line " + std::to_string(i + 1) + "\n  expected: " + expected +
                      "\n  actual:   " + actual + "\n";
            ++failures;
        }
    }
    if (status != 0)
        report += "batch runner exited with " + std::to_string(status) + ": " + err.str();
    return report;
}

}  // namespace kv::test
