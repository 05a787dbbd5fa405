// The console: input and transcript in one text control. Command lines begin
// with the prompt ">> "; each result is written on the line below its command,
// as text or as a typeset picture. Enter executes the caret's line; F5
// recomputes the whole transcript.
#pragma once

#include <QStringList>
#include <QTextEdit>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QTextBlock;

namespace kv {

class CommandHistory;
class CommandInterpreter;
class ConsoleCompleter;
class ConsoleHighlighter;
class SettingsStore;
struct CommandOutcome;

// The first of the dropped files that is a document (.kvl), or empty.
QString droppedDocument(const class QMimeData* source);

class ConsolePane : public QTextEdit {
    Q_OBJECT
  public:
    // Results whose text form is longer than this are written as text: a
    // picture of them would be too wide to read and slow to build.
    static constexpr int kMaxTypesetText = 2000;
    // Results longer than this (bytes of their text form) are shown cut,
    // with a note of their length: the console lays a line out whole, and a
    // line of millions of characters (the roots of a fast oscillation) took
    // minutes and came out garbled.
    static constexpr std::size_t kMaxShownOutput = 100'000;

    // `historyFile` empty: the history file of the program's data folder.
    ConsolePane(CommandInterpreter& ci, const SettingsStore& settings, QWidget* parent = nullptr,
                const QString& historyFile = {});
    ~ConsolePane() override;

    // Executes one line (-1: the caret's line) and writes its output. A
    // command executed is added to the history unless `remember` is false.
    void executeLine(int line = -1, bool remember = true);
    // Writes `command` on the last prompt (or a new one) and executes it.
    void submitCommand(const QString& command, bool remember = true);
    // Recomputes every command line from the top.
    void rerunAll();

    // The console's lines, UTF-8, as the document stores them.
    std::vector<std::string> lines() const;
    // Empties the console, optionally leaving the ">> " prompt.
    void resetText(bool withPrompt);
    // Shows loaded document lines (not executed), replacing a lone prompt.
    void showLoadedLines(const std::vector<std::string>& lines);

    const CommandHistory& history() const { return *history_; }
    ConsoleCompleter& completer() const { return *completer_; }
    // Ctrl+R: searches the history and puts the chosen command on the
    // prompt line.
    void searchHistory();
    // The context menu at `pos` (viewport coordinates): the editor's own
    // entries, and above them, on a result line, "Kopírovat jako text" and
    // "Kopírovat jako LaTeX". The caller owns the menu.
    QMenu* createResultMenu(const QPoint& pos);

  signals:
    // A command ran: the scene may have changed.
    void commandExecuted();
    // A document file was dropped on the console.
    void documentDropped(const QString& path);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    void insertOutput(class QTextCursor& cursor, const CommandOutcome& outcome);
    // Ctrl+Up (older) and Ctrl+Down: the prompt line shows the history.
    void browseHistory(bool older);
    // The caret's prompt line, or else the last line when it is a prompt;
    // invalid when neither is.
    QTextBlock promptBlock() const;
    // Replaces the command of the caret's prompt line (or of the last line's
    // prompt) by `command`, the caret at its end.
    void setPromptCommand(const QString& command);
    // The view shows the left edge again, with the prompts.
    void scrollToLeftEdge();

    std::unique_ptr<CommandHistory> history_;
    ConsoleCompleter* completer_;
    // The text the history put on the prompt line; typing over it ends
    // browsing.
    QString browsedText_;

    CommandInterpreter& ci_;
    const SettingsStore& settings_;
    ConsoleHighlighter* highlighter_;
};

}  // namespace kv
