#include "ui/HelpLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "app/DataPaths.h"
#include "ui/UiMessages.h"

namespace kv {

QString helpFilePath(const QString& programDir) {
    const QString path = shippedPath(programDir, QStringLiteral("help/help.htm"));
    return QFileInfo(path).isFile() ? path : QString();
}

bool openHelp(QWidget* parent, const QString& path, const UrlOpener& open) {
    const UrlOpener opener =
        open ? open : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    if (!path.isEmpty() && opener(QUrl::fromLocalFile(path))) return true;
    QMessageBox::warning(parent, QString::fromUtf8(uimsg::kProgramName),
                         QString::fromUtf8(uimsg::kNoBrowserForHelp));
    return false;
}

}  // namespace kv
