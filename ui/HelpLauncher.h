// Opens the user manual (help/help.htm, shipped with the program) in the
// system's browser.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace kv {

// The manual of the program in `programDir`: help/help.htm beside it (the
// build tree) or share/korvalinth/help/help.htm of an installed program;
// empty when it is in neither place.
QString helpFilePath(const QString& programDir);

// Where the manual of the program in `programDir` belongs when installed.
QString installedHelpPath(const QString& programDir);

// Hands the manual `helpFile` to the browser through `open` (the desktop's URL
// handler by default). When there is no manual (`helpFile` empty) or no
// browser, tells the user where the manual lives (`expected` when there is
// none) and returns false.
using UrlOpener = std::function<bool(const QUrl&)>;
bool openHelp(QWidget* parent, const QString& helpFile, const QString& expected,
              const UrlOpener& open = {});

// Opens the project's web page `url` the same way; without a browser, names
// the address.
bool openWebPage(QWidget* parent, const QString& url, const UrlOpener& open = {});

}  // namespace kv
