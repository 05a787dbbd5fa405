// The console's comforts: the history on the prompt line, completion and
// call hints, the copy commands of a result's menu, the view after a long
// line.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "graphics/GraphDefinitionReader.h"
#include "lang/CommandInterpreter.h"
#include "ui/CommandHistory.h"
#include "ui/ConsoleCompleter.h"
#include "ui/ConsolePane.h"
#include "ui/SettingsStore.h"

namespace kv {
namespace {

class ConsoleComfortsTest : public testing::Test {
  protected:
    QString lastLine() const { return console->document()->lastBlock().text(); }
    QString line(int n) const { return console->document()->findBlockByNumber(n).text(); }
    void run(const QString& command) {
        console->moveCursor(QTextCursor::End);
        QTest::keyClicks(console.get(), command);
        QTest::keyClick(console.get(), Qt::Key_Return);
    }
    void ctrl(Qt::Key key) { QTest::keyClick(console.get(), key, Qt::ControlModifier); }
    QString historyFile() const { return dir.filePath(QStringLiteral("history.txt")); }

    QTemporaryDir dir;
    CommandInterpreter ci;
    SettingsStore store;
    std::unique_ptr<ConsolePane> console =
        std::make_unique<ConsolePane>(ci, store, nullptr, historyFile());
};

TEST_F(ConsoleComfortsTest, CtrlUpRecallsAndRerunsAcrossStarts) {
    QSettings("Korvalinth", "Korvalinth").setValue("UI/format_output", 0);
    run("1+2");
    run("x=5");
    run("x=5");  // a repeat is kept once
    QTest::keyClicks(console.get(), "ab");
    ctrl(Qt::Key_Up);
    EXPECT_EQ(lastLine(), ">> x=5");
    ctrl(Qt::Key_Up);
    ctrl(Qt::Key_Up);  // nothing older
    EXPECT_EQ(lastLine(), ">> 1+2");
    ctrl(Qt::Key_Down);
    ctrl(Qt::Key_Down);
    EXPECT_EQ(lastLine(), ">> ab") << "the typed text comes back after the newest";
    ctrl(Qt::Key_Up);
    QTest::keyClick(console.get(), Qt::Key_Return);
    EXPECT_EQ(console->document()->lastBlock().previous().text(), "   5");
    QSettings("Korvalinth", "Korvalinth").setValue("UI/format_output", 1);

    // A second start reads what the first wrote.
    ConsolePane next(ci, store, nullptr, historyFile());
    next.moveCursor(QTextCursor::End);
    QTest::keyClick(&next, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(next.document()->lastBlock().text(), ">> x=5");
    EXPECT_EQ(next.history().entries(), (QStringList{"1+2", "x=5"}));
}

TEST_F(ConsoleComfortsTest, HistoryKeepsTheNewestThousand) {
    QFile file(historyFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < CommandHistory::kMaxEntries + 5; ++i)
        file.write(QByteArray::number(i) + "\r\n");
    file.close();
    CommandHistory history(historyFile());
    EXPECT_EQ(history.entries().size(), CommandHistory::kMaxEntries);
    history.add("last");
    const QStringList kept = CommandHistory(historyFile()).entries();
    ASSERT_EQ(kept.size(), CommandHistory::kMaxEntries);
    EXPECT_EQ(kept.front(), "6");
    EXPECT_EQ(kept.back(), "last");
}

TEST_F(ConsoleComfortsTest, CompletionThenTheCallHint) {
    console->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(console.get()));
    console->moveCursor(QTextCursor::End);
    QTest::keyClicks(console.get(), "ns");
    QCompleter* completer = console->completer().completer();
    ASSERT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(completer->currentCompletion(), "nsolve");
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_EQ(lastLine(), ">> nsolve");
    QTest::keyClicks(console.get(), "(");
    QLabel* hint = console->completer().hint();
    ASSERT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().startsWith(
        QString::fromUtf8("nsolve(rovnice, proměnná, [a..b], h=krok, epsilon=přesnost)")));
    QTest::keyClicks(console.get(), "x^2=2, x, [0..2]");
    EXPECT_TRUE(hint->isVisible()) << "still inside the call";
    QTest::keyClicks(console.get(), ")");
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(openCallBefore(">> f(sin(x), [1..", 17), "f");
    EXPECT_EQ(openCallBefore(">> 2*(x+", 8), "");
}

// The angle of a surface of revolution is a variable of the program's own,
// which no command line can spell: completion does not offer it.
TEST_F(ConsoleComfortsTest, CompletionLeavesOutTheProgramsOwnVariables) {
    ci.workspace().variableIndex("a1");
    ci.workspace().variableIndex(kRotationAngle);
    const QStringList words = console->completer().words();
    EXPECT_TRUE(words.contains("a1"));
    EXPECT_FALSE(words.contains(QString::fromUtf8(kRotationAngle)));
}

TEST_F(ConsoleComfortsTest, ResultMenuCopiesTextAndLatex) {
    run("sqrt(x^2+1)/(x-1)");
    run("1/0");
    auto copy = [&](int lineNumber, const char* entry) {
        QTextCursor c(console->document()->findBlockByNumber(lineNumber));
        std::unique_ptr<QMenu> menu(console->createResultMenu(console->cursorRect(c).center()));
        for (QAction* a : menu->actions())
            if (a->text() == QString::fromUtf8(entry)) {
                if (!a->isEnabled()) return QStringLiteral("(disabled)");
                a->trigger();
                return QApplication::clipboard()->text();
            }
        return QStringLiteral("(none)");
    };
    EXPECT_EQ(copy(1, "Kopírovat jako LaTeX"), "\\frac{\\sqrt{x^{2}+1}}{x-1}");
    EXPECT_EQ(copy(1, "Kopírovat jako text"), "sqrt(x^2+1)/(x-1)");
    EXPECT_EQ(copy(3, "Kopírovat jako LaTeX"), "(disabled)") << line(3).toStdString();
    EXPECT_TRUE(copy(3, "Kopírovat jako text").startsWith("Chyba: "));
    EXPECT_EQ(copy(0, "Kopírovat jako text"), "(none)") << "a command line has no result";

    console->selectAll();
    console->textCursor().removeSelectedText();
    console->undo();
    EXPECT_EQ(copy(1, "Kopírovat jako LaTeX"), "\\frac{\\sqrt{x^{2}+1}}{x-1}") << "after undo";
}

TEST_F(ConsoleComfortsTest, TheViewReturnsToTheLeftEdgeAfterALongLine) {
    console->resize(300, 200);
    console->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(console.get()));
    run(QStringLiteral("1+").repeated(200) + "1");
    EXPECT_GT(console->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(console->horizontalScrollBar()->value(), 0);
}

}  // namespace
}  // namespace kv
