// Ctrl+R in the console: a small window that searches the command history as
// the user types, newest match first. Enter takes the chosen command onto the
// prompt line; Escape leaves the line as it was.
#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;

namespace kv {

class HistorySearch : public QDialog {
    Q_OBJECT
  public:
    // `entries` oldest first, as the history keeps them.
    HistorySearch(const QStringList& entries, QWidget* parent = nullptr);

    QLineEdit* searchBox() const { return search_; }
    QListWidget* matches() const { return list_; }
    // The chosen command; empty when nothing matches.
    QString chosen() const;

  private:
    void refilter(const QString& text);

    QStringList entries_;
    QLineEdit* search_;
    QListWidget* list_;
};

}  // namespace kv
