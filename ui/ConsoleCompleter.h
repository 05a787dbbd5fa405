// Completion and call hints for the console. Typing two letters of a name (or
// Ctrl+Space at once) offers the built-in calls, the named constants, the user
// functions and the variables of the session that begin with them; Enter or
// Tab takes the chosen one. While the caret is inside the parentheses of a
// built-in call, a small window above the line shows how the call is written.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QCompleter;
class QKeyEvent;
class QLabel;
class QTextEdit;

namespace kv {

class CommandInterpreter;

// The name of the innermost call whose "(" is open before `pos` in `line`,
// or empty.
QString openCallBefore(const QString& line, int pos);

class ConsoleCompleter : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMinPrefix = 2;

    ConsoleCompleter(QTextEdit* console, CommandInterpreter& ci);

    // Called first with every key the console gets: true when the popup took
    // the key (the console must then do nothing with it).
    bool keyBefore(QKeyEvent* event);
    // Called after the console handled the key: opens, narrows or closes the
    // popup.
    void keyAfter(QKeyEvent* event);
    // Shows or hides the call hint for the caret's place.
    void updateHint();
    void hideAll();

    QCompleter* completer() const { return completer_; }
    QLabel* hint() const { return hint_; }
    // Every word offered, sorted without regard to case.
    QStringList words() const;

  private:
    QString prefixAtCaret() const;
    // Opens the popup with the words that begin with `prefix`, or closes it.
    void offer(const QString& prefix);
    void insertCompletion(const QString& word);

    QTextEdit* console_;
    CommandInterpreter& ci_;
    QCompleter* completer_;
    QLabel* hint_;
};

}  // namespace kv
