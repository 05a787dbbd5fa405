#include "ui/RecoveryFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>

#include "doc/Document.h"

namespace kv {

namespace {

const QString kLockSuffix = QStringLiteral(".lock");

// A lock is stale only when the program that took it is gone, never by its
// age: a program may run for days without touching its lock.
std::unique_ptr<QLockFile> lockOf(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path + kLockSuffix);
    lock->setStaleLockTime(0);
    return lock;
}

}  // namespace

RecoveryFile::RecoveryFile(QString folder) : folder_(std::move(folder)) {
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                  QStringLiteral("/recovery");
    QDir().mkpath(folder_);
    // The process and the moment make the name unique across programs; the
    // counter, across windows of one program.
    static std::atomic<int> serial{0};
    path_ = QStringLiteral("%1/%2-%3-%4.kvl")
                .arg(folder_)
                .arg(QCoreApplication::applicationPid())
                .arg(QDateTime::currentMSecsSinceEpoch())
                .arg(serial++);
    lock_ = lockOf(path_);
    lock_->tryLock(0);
}

// A program that ends cleanly leaves nothing to recover.
RecoveryFile::~RecoveryFile() {
    remove();
}

bool RecoveryFile::write(const std::vector<std::string>& consoleLines, std::string& error) {
    DocumentSaveResult result = saveDocumentFile(path_.toStdString(), consoleLines);
    if (result.ok) return true;
    error = result.error;
    if (!result.detail.empty()) error += '\n' + result.detail;
    return false;
}

void RecoveryFile::remove() {
    QFile::remove(path_);
}

bool RecoveryFile::exists() const {
    return QFileInfo::exists(path_);
}

QStringList RecoveryFile::abandoned() const {
    QDir dir(folder_);
    QFileInfoList found = dir.entryInfoList({QStringLiteral("*.kvl")}, QDir::Files, QDir::Time);
    QStringList paths;
    for (const QFileInfo& info : found) {
        const QString path = info.absoluteFilePath();
        if (path == QFileInfo(path_).absoluteFilePath()) continue;
        // Taking the lock succeeds only when no living program holds it.
        auto lock = lockOf(path);
        if (!lock->tryLock(0)) continue;
        lock->unlock();
        paths.push_back(path);
    }
    return paths;
}

void RecoveryFile::discard(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + kLockSuffix);
}

}  // namespace kv
