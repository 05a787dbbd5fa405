// Colours the console: functions and commands blue, constants olive, the
// prompt light blue, "Chyba:" red, comments from "//" dark green, quoted text
// black. Words are compared without regard to case.
#pragma once

#include <QSyntaxHighlighter>

namespace kv {

class ConsoleHighlighter : public QSyntaxHighlighter {
  public:
    explicit ConsoleHighlighter(QTextDocument* document);

    // The keyword group of a word (0 functions, 1 constants, 3 error mark),
    // or -1. Exposed for tests.
    static int keywordGroup(const QString& word);

  protected:
    void highlightBlock(const QString& text) override;
};

}  // namespace kv
