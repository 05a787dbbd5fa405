#include "app/DataPaths.h"

#include <QDir>
#include <QFileInfo>

#include "app/Version.h"

namespace kv {

QString programDir() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

QString shippedPath(const QString& dir, const QString& relative) {
    const QDir base(dir);
    for (const QString& candidate :
         {relative, QString::fromUtf8(kDataDirFromBinDir) + QLatin1Char('/') + relative}) {
        const QFileInfo file(base.filePath(candidate));
        if (file.exists()) return file.canonicalFilePath();
    }
    return {};
}

}  // namespace kv
