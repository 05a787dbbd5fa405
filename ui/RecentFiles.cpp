#include "ui/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace kv {

namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString key(int i) {
    return QStringLiteral("File%1").arg(i + 1);
}

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

QStringList RecentFiles::entries() const {
    QSettings settings(QStringLiteral("Korvalinth"), QStringLiteral("Korvalinth"));
    settings.beginGroup(kGroup);
    QStringList list;
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = settings.value(key(i)).toString();
        if (!path.isEmpty() && !list.contains(path)) list << path;
    }
    return list;
}

void RecentFiles::add(const QString& path) {
    QStringList list = entries();
    list.removeAll(absolute(path));
    list.prepend(absolute(path));
    store(list);
}

void RecentFiles::remove(const QString& path) {
    QStringList list = entries();
    list.removeAll(path);
    list.removeAll(absolute(path));
    store(list);
}

void RecentFiles::store(const QStringList& list) {
    QSettings settings(QStringLiteral("Korvalinth"), QStringLiteral("Korvalinth"));
    settings.beginGroup(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < list.size())
            settings.setValue(key(i), list[i]);
        else
            settings.remove(key(i));
    }
}

}  // namespace kv
