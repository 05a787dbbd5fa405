#include "ui/ConsolePane.h"

#include <QSettings>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include "lang/CommandInterpreter.h"
#include "ui/SettingsStore.h"

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace kv {
namespace {

class ConsolePaneTest : public testing::Test {
protected:
    void SetUp() override { setFormatOutput(false); }
    void TearDown() override { setFormatOutput(true); }

    static void setFormatOutput(bool on) {
        QSettings("Korvalinth", "Korvalinth").setValue("UI/format_output", on ? 1 : 0);
    }

    QStringList text() const { return console.toPlainText().split('\n'); }

    void typeAtEnd(const QString& s) {
        console.moveCursor(QTextCursor::End);
        QTest::keyClicks(&console, s);
    }
    void pressEnter() { QTest::keyClick(&console, Qt::Key_Return); }
    void caretToLine(int line) {
        QTextCursor c(console.document()->findBlockByNumber(line));
        c.movePosition(QTextCursor::EndOfBlock);
        console.setTextCursor(c);
    }

    CommandInterpreter ci;
    SettingsStore store;
    ConsolePane console{ci, store};
};

TEST_F(ConsolePaneTest, EnterOnTheLastLineWritesResultAndPrompt) {
    EXPECT_EQ(text(), QStringList{">> "});
    typeAtEnd("1+1");
    pressEnter();
    EXPECT_EQ(text(), (QStringList{">> 1+1", "   1+1", ">> "}));
}

TEST_F(ConsolePaneTest, EnterAgainReplacesTheResult) {
    typeAtEnd("a=1");
    pressEnter();
    caretToLine(0);
    pressEnter();
    EXPECT_EQ(text(), (QStringList{">> a=1", "   1", ">> "}));
}

TEST_F(ConsolePaneTest, EditedCommandReplacesItsOldOutput) {
    typeAtEnd("2+3");
    pressEnter();
    typeAtEnd("ln(0)");
    pressEnter();
    caretToLine(0);
    QTest::keyClicks(&console, "*4");
    pressEnter();
    EXPECT_EQ(text(), (QStringList{">> 2+3*4", "   2+3*4", ">> ln(0)",
                                   "   Chyba: Funckce 'ln(x)' není definována v bodě 0!", ">> "}));
}

TEST_F(ConsolePaneTest, EnterOnAnOutputLineInsertsAPromptBelowIt) {
    typeAtEnd("7");
    pressEnter();
    caretToLine(1);
    pressEnter();
    EXPECT_EQ(text(), (QStringList{">> 7", "   7", ">> ", ">> "}));
}

TEST_F(ConsolePaneTest, CommandFollowedByCommandGetsItsOutputInserted) {
    console.setPlainText(">> 1\n>> 2");
    caretToLine(0);
    pressEnter();
    EXPECT_EQ(text(), (QStringList{">> 1", "   1", ">> 2"}));
}

TEST_F(ConsolePaneTest, RecomputeEchoesCommentsAndSkipsOutput) {
    console.setPlainText(">> x=1 //start\n   stale output\n>> //only a note\n>> \n>>x+1");
    console.rerunAll();
    EXPECT_EQ(text(), (QStringList{">> x=1 //start", "   1", ">> //only a note", ">> x+1",
                                   "   1+1", ">> "}));
}

TEST_F(ConsolePaneTest, SubmitOnABarePrompt) {
    console.submitCommand("2*3");
    EXPECT_EQ(text(), (QStringList{">> 2*3", "   2*3", ">> "}));
    console.setPlainText(">> 1\n   1");
    console.submitCommand("5");
    EXPECT_EQ(text(), (QStringList{">> 1", "   1", ">> 5", "   5", ">> "}));
}

TEST_F(ConsolePaneTest, TabInsertsATab) {
    typeAtEnd("x");
    QTest::keyClick(&console, Qt::Key_Tab);
    EXPECT_EQ(text().front(), ">> x\t");
}

TEST_F(ConsolePaneTest, FormattedOutputInsertsAPicture) {
    setFormatOutput(true);
    console.submitCommand("1/x");
    QStringList lines = text();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], QString("   ") + QChar(QChar::ObjectReplacementCharacter));
    setFormatOutput(false);
    console.submitCommand("1/x");
    EXPECT_EQ(text()[3], "   1/x");
}

TEST_F(ConsolePaneTest, ErrorsAreTextEvenWhenFormatted) {
    setFormatOutput(true);
    console.submitCommand("1/0");
    EXPECT_EQ(text()[1], QString::fromUtf8("   Chyba: Dělení nulou!"));
}

}  // namespace
}  // namespace kv
