// The console: input and transcript in one text control. Command lines begin
// with the prompt ">> "; each result is written on the line below its command,
// as text or as a typeset picture. Enter executes the caret's line; F5
// recomputes the whole transcript.
#pragma once

#include <QStringList>
#include <QTextEdit>
#include <cstddef>
#include <string>
#include <vector>

namespace kv {

class CommandInterpreter;
class ConsoleHighlighter;
class SettingsStore;
struct CommandOutcome;

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

    ConsolePane(CommandInterpreter& ci, const SettingsStore& settings, QWidget* parent = nullptr);

    // Executes one line (-1: the caret's line) and writes its output.
    void executeLine(int line = -1);
    // Writes `command` on the last prompt (or a new one) and executes it.
    void submitCommand(const QString& command);
    // Recomputes every command line from the top.
    void rerunAll();

    // The console's lines, UTF-8, as the document stores them.
    std::vector<std::string> lines() const;
    // Empties the console, optionally leaving the ">> " prompt.
    void resetText(bool withPrompt);
    // Shows loaded document lines (not executed), replacing a lone prompt.
    void showLoadedLines(const std::vector<std::string>& lines);

  signals:
    // A command ran: the scene may have changed.
    void commandExecuted();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void insertOutput(class QTextCursor& cursor, const CommandOutcome& outcome);

    CommandInterpreter& ci_;
    const SettingsStore& settings_;
    ConsoleHighlighter* highlighter_;
};

}  // namespace kv
