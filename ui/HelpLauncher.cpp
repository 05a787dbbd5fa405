#include "ui/HelpLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/UiMessages.h"

namespace kv {

QString helpFilePath(const QString& programDir) {
    const QDir appDir(programDir);
    for (const QString& relative :
         {QStringLiteral("help/help.htm"), QStringLiteral("../share/korvalinth/help/help.htm")}) {
        const QFileInfo file(appDir.filePath(relative));
        if (file.isFile()) return file.canonicalFilePath();
    }
    return {};
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
