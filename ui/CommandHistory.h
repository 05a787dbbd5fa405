// The commands run in the console, newest last, kept across program starts
// in a file of the data folder. Ctrl+Up and Ctrl+Down browse it on the prompt
// line; Ctrl+R searches it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kv {

class CommandHistory {
  public:
    static constexpr int kMaxEntries = 1000;

    // `path` empty: history.txt in the program's data folder.
    explicit CommandHistory(QString path = {});

    const QString& path() const { return path_; }
    // Oldest first.
    const QStringList& entries() const { return entries_; }

    // Records a command that was run: blank commands and a repeat of the
    // newest entry are not kept. The file is read again first, so that two
    // programs running at once lose none of each other's commands. Ends any
    // browsing.
    void add(const QString& command);

    // One step back (older) or forward (newer) from what is shown. The first
    // step back remembers `typed`, which comes back after the newest entry.
    // Nothing when there is no further entry that way.
    std::optional<QString> older(const QString& typed);
    std::optional<QString> newer();
    void stopBrowsing() { browsed_ = -1; }
    bool browsing() const { return browsed_ >= 0; }

  private:
    void load();
    void save() const;

    QString path_;
    QStringList entries_;
    int browsed_ = -1;  // steps back from the newest entry; -1: not browsing
    QString typed_;
};

}  // namespace kv
