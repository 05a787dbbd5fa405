#include "app/BatchRunner.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/Transcript.h"

namespace kv {

namespace {

bool readAll(const std::string& path, std::istream& in, std::string& bytes) {
    if (path == "-") {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Text input: one command per line, an optional ">>" prompt, blank lines
// skipped. Every line becomes a command line of the transcript.
std::vector<std::string> textCommands(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream stream(bytes);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::size_t start = line.find_first_not_of(" \t");
        if (line.compare(start, 2, ">>") == 0)
            lines.push_back(line.substr(start));
        else
            lines.push_back(">> " + line);
    }
    return lines;
}

}  // namespace

int runBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err) {
    std::string path;
    int digits = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--batch" && i + 1 < args.size()) {
            path = args[++i];
        } else if (a == "--digits" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), digits);
            if (ec != std::errc() || p != v.data() + v.size() || digits < 0 || digits > 40) {
                err << "Neplatný počet číslic: " << v << "\n";
                return 2;
            }
        } else {
            err << "Neznámý argument: " << a << "\n";
            return 2;
        }
    }
    if (path.empty()) {
        err << "Chybí soubor pro --batch.\n";
        return 2;
    }
    std::string bytes;
    if (!readAll(path, in, bytes)) {
        err << "Soubor nelze otevřít! (" << path << ")\n";
        return 1;
    }
    std::vector<std::string> lines = textCommands(bytes);

    CommandInterpreter ci;
    if (digits >= 0) ci.workspace().ndigits = digits;
    auto transcript = rerunAll(ci, lines, [&] { err << msg::kInternalError << "\n"; });
    for (const std::string& line : transcript) out << line << "\n";
    out.flush();
    return 0;
}

}  // namespace kv
