#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/BatchRunner.h"
#include "lang/Messages.h"

#ifdef KV_WITH_UI
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSurfaceFormat>
#include <QTranslator>

#include "ui/MainWindow.h"
#endif

namespace {

int runProgram(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args)
        if (a == "--batch") return kv::runBatch(args, std::cin, std::cout, std::cerr);
#ifndef KV_WITH_UI
    std::cerr << "Použití: korvalinth --batch SOUBOR|- [--digits N]\n";
    return 2;
#else

    // The scene is drawn with fixed-function OpenGL: ask for a context that
    // keeps the deprecated functions, before the application object exists.
    QSurfaceFormat format;
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setOption(QSurfaceFormat::DeprecatedFunctions);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvalinth"));
    QApplication::setOrganizationName(QStringLiteral("Korvalinth"));

    // Message boxes and file dialogs speak Czech like the rest of the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    kv::MainWindow window;
    window.show();
    QStringList rest = QApplication::arguments().mid(1);
    if (!rest.isEmpty()) window.openDocument(rest.front());
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
