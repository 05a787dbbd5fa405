// Runs one transcript file through the batch runner and compares what it
// prints with the file, line by line. A transcript is a console session:
// ">> command" lines, each followed by its output line. Lines beginning with
// '#' are notes; blank lines are skipped.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/BatchRunner.h"

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
    std::vector<std::string> expected;
    std::string input;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        expected.push_back(line);
        if (line.rfind(">>", 0) == 0) input += line + "\n";
    }
    std::vector<std::string> args{"--batch", "-"};
    for (int i = 2; i < argc; ++i) args.emplace_back(argv[i]);
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    int status = kv::runBatch(args, in, out, err);
    std::vector<std::string> actual;
    std::istringstream printed(out.str());
    while (std::getline(printed, line)) actual.push_back(line);

    int failures = 0;
    std::size_t n = std::max(expected.size(), actual.size());
    for (std::size_t i = 0; i < n && failures < 20; ++i) {
        const std::string e = i < expected.size() ? expected[i] : "<nothing>";
        const std::string a = i < actual.size() ? actual[i] : "<nothing>";
        if (e != a) {
            std::cout << argv[1] << ": line " << i + 1 << "\n  expected: " << e
                      << "\n  actual:   " << a << "\n";
            ++failures;
        }
    }
    if (status != 0) std::cout << "batch runner exited with " << status << ": " << err.str();
    std::cout << (failures == 0 && status == 0 ? "1 passed, 0 failed" : "0 passed, 1 failed")
              << "\n";
    return failures == 0 && status == 0 ? 0 : 1;
}
