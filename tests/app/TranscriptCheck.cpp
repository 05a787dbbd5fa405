// Runs one transcript file through the batch runner and compares what it
// prints with the file, line by line. A transcript is a console session:
// ">> command" lines, each followed by its output line. Lines beginning with
// '#' are notes; blank lines are skipped.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "support/SessionCheck.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: kv_transcript_check FILE [batch options]\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 2;
    }
    std::vector<std::string> session;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        session.push_back(line);
    }
    const std::string report =
        kv::test::checkSession(session, std::vector<std::string>(argv + 2, argv + argc));
    if (!report.empty()) std::cout << argv[1] << ":\n" << report;
    std::cout << (report.empty() ? "1 passed, 0 failed" : "0 passed, 1 failed") << "\n";
    return report.empty() ? 0 : 1;
}
