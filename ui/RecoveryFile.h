// The recovery file: a copy of the console's unsaved command lines in the
// user's data folder, so that a crash or a killed program loses at most the
// last half minute of typing.
//
// Each running program owns one file, "recovery/<pid>-<time>.kvl", and holds
// a lock file beside it for as long as it runs. A file whose lock no living
// program holds (or that has no lock) was left by a program that did not end
// cleanly: that is what the next start offers to restore.
#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class RecoveryFile {
  public:
    // The folder is `folder`, or "recovery" in the user's data folder.
    explicit RecoveryFile(QString folder = {});
    // Removes this program's file and releases its lock.
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Writes the command lines among `consoleLines` atomically in the
    // document format. False, with `error` set, when they cannot be written.
    bool write(const std::vector<std::string>& consoleLines, std::string& error);
    // Removes this program's file (nothing to recover any more).
    void remove();
    // True while this program's file exists.
    bool exists() const;
    QString path() const { return path_; }

    // Files left by programs that did not end cleanly, newest first.
    QStringList abandoned() const;
    // Removes such a file and its lock once it was restored or declined.
    static void discard(const QString& path);

  private:
    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace kv
