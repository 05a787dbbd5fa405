// The program's command line: the desktop start with an optional document,
// or one of the modes that never need a display (--help, --version, --batch).
// Read with QCommandLineParser before any application object exists, so a
// machine without a display can still ask for help or run a batch.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// How the program was asked to run. (Not lang/Transcript.h's CommandLine, a
// console line split into command and comment.)
struct Invocation {
    enum class Mode { Desktop, Batch, Help, Version, Error };
    Mode mode = Mode::Desktop;
    QString document;                    // Desktop: the document to open, or empty
    std::vector<std::string> batchArgs;  // Batch: the arguments for runBatch
    QString error;                       // Error: what is wrong, in Czech
};

// `arguments` as main() receives them, the program name first.
Invocation parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help; names the manual and the examples when `programDir`
// holds or installed them.
QString usageText(const QString& programDir);
QString versionText();

// Carries out the modes that need no display and returns their exit status;
// nothing when the desktop program is to start.
std::optional<int> runWithoutDisplay(const Invocation& line, const QString& programDir,
                                     std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace kv
