#include "ui/CommandHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace kv {

CommandHistory::CommandHistory(QString path) : path_(std::move(path)) {
    if (path_.isEmpty())
        path_ = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                QStringLiteral("/history.txt");
    load();
}

void CommandHistory::load() {
    entries_.clear();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return;
    // A damaged or foreign file gives at most its last kMaxEntries lines.
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (const QString& line : lines) {
        QString command = line;
        if (command.endsWith('\r')) command.chop(1);
        if (!command.trimmed().isEmpty()) entries_.append(command);
    }
    if (entries_.size() > kMaxEntries)
        entries_.erase(entries_.begin(), entries_.end() - kMaxEntries);
}

// Written whole through a temporary file, so a crash leaves the old history
// or the new one, never half of it. A history that cannot be written stays
// in memory for this run.
void CommandHistory::save() const {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(entries_.join('\n').toUtf8());
    file.write("\n");
    file.commit();
}

void CommandHistory::add(const QString& command) {
    stopBrowsing();
    if (command.trimmed().isEmpty() || command.contains('\n')) return;
    load();
    if (!entries_.isEmpty() && entries_.back() == command) return;
    entries_.append(command);
    if (entries_.size() > kMaxEntries) entries_.removeFirst();
    save();
}

std::optional<QString> CommandHistory::older(const QString& typed) {
    if (browsed_ + 1 >= entries_.size()) return std::nullopt;
    if (browsed_ < 0) typed_ = typed;
    ++browsed_;
    return entries_[entries_.size() - 1 - browsed_];
}

std::optional<QString> CommandHistory::newer() {
    if (browsed_ < 0) return std::nullopt;
    --browsed_;
    if (browsed_ < 0) return typed_;
    return entries_[entries_.size() - 1 - browsed_];
}

}  // namespace kv
