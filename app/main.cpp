#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/CliMessages.h"
#include "app/CommandLine.h"
#include "app/DataPaths.h"
#include "lang/Messages.h"

#ifdef KV_WITH_UI
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSurfaceFormat>
#include <QTranslator>

#include "ui/GlAvailability.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#endif

namespace {

int runProgram(int argc, char** argv) {
    // --help, --version, --batch and a wrong command line need no display.
    const kv::Invocation line = kv::parseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (auto status = kv::runWithoutDisplay(line, kv::programDir(), std::cin, std::cout, std::cerr))
        return *status;
#ifndef KV_WITH_UI
    std::cerr << kv::climsg::kNoBatchInThisBuild << "\n";
    return 2;
#else

    // The scene is drawn with fixed-function OpenGL: ask for a context that
    // keeps the deprecated functions, before the application object exists.
    QSurfaceFormat format;
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setOption(QSurfaceFormat::DeprecatedFunctions);
    format.setDepthBufferSize(24);
    // Lines are antialiased by multisampling where the driver offers it.
    format.setSamples(4);
    QSurfaceFormat::setDefaultFormat(format);

    if (!kv::displayReachable()) return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvalinth"));
    QApplication::setOrganizationName(QStringLiteral("Korvalinth"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.korvalinth.Korvalinth"));
    // Every window and dialog shows it where the desktop has no entry to ask.
    QApplication::setWindowIcon(kv::programIcon());

    // Message boxes and file dialogs speak Czech like the rest of the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Without an OpenGL context the scene pane cannot exist: say why and stop.
    if (!kv::openGlUsable()) return 1;

    kv::MainWindow window;
    window.show();
    // Work a crashed or killed program left is offered when no document was
    // asked for; with one, it waits for a later start.
    if (!line.document.isEmpty())
        window.openDocument(line.document);
    else
        window.offerRecovery();
    return QApplication::exec();
#endif
}

}  // namespace

// Whatever escapes the program is reported with a non-zero status instead of
// an abort.
int main(int argc, char** argv) {
    try {
        return runProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << kv::msg::kInternalError << " " << kv::msg::kOutOfMemory << "\n";
    } catch (const std::exception& e) {
        std::cerr << kv::msg::kInternalError << " (" << e.what() << ")\n";
    } catch (...) {
        std::cerr << kv::msg::kInternalError << "\n";
    }
    return 4;
}
