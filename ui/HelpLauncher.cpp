#include "ui/HelpLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "app/DataPaths.h"
#include "app/Version.h"
#include "ui/UiMessages.h"

namespace kv {

QString helpFilePath(const QString& programDir) {
    const QString path = shippedPath(programDir, QStringLiteral("help/help.htm"));
    return QFileInfo(path).isFile() ? path : QString();
}

QString installedHelpPath(const QString& programDir) {
    return QDir::cleanPath(programDir + '/' + QString::fromUtf8(kDataDirFromBinDir) +
                           QStringLiteral("/help/help.htm"));
}

namespace {

UrlOpener desktopOpener(const UrlOpener& open) {
    return open ? open : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void warn(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QString::fromUtf8(uimsg::kProgramName), text);
}

}  // namespace

bool openHelp(QWidget* parent, const QString& path, const QString& expected,
              const UrlOpener& open) {
    if (path.isEmpty()) {
        warn(parent, QString::fromUtf8(uimsg::kNoHelpFile).arg(expected));
        return false;
    }
    if (desktopOpener(open)(QUrl::fromLocalFile(path))) return true;
    warn(parent, QString::fromUtf8(uimsg::kNoBrowserForHelp).arg(path));
    return false;
}

bool openWebPage(QWidget* parent, const QString& url, const UrlOpener& open) {
    if (desktopOpener(open)(QUrl(url))) return true;
    warn(parent, QString::fromUtf8(uimsg::kNoBrowserForWeb).arg(url));
    return false;
}

}  // namespace kv
