// The last four documents opened or saved, newest first, kept in the
// program's settings for the "Soubor" menu.
#pragma once

#include <QStringList>

namespace kv {

class RecentFiles {
  public:
    static constexpr int kMaxEntries = 4;

    QStringList entries() const;
    // Puts `path` first (once), dropping the oldest beyond four.
    void add(const QString& path);
    void remove(const QString& path);

  private:
    void store(const QStringList& entries);
};

}  // namespace kv
