#include <gtest/gtest.h>

#include <QSettings>
#include <QTest>
#include <QTextBlock>

#include "lang/CommandInterpreter.h"
#include "ui/ConsolePane.h"
#include "ui/SettingsStore.h"

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

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
    EXPECT_EQ(text(), (QStringList{">> x=1 //start", "   1", ">> //only a note", ">> x+1", "   1+1",
                                   ">> "}));
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

// A result of hundreds of thousands of characters (the 31832 roots of a fast
// oscillation) is shown cut at a character boundary, with its length; a
// short one whole.
TEST_F(ConsolePaneTest, AVeryLongResultIsShownCutWithItsLength) {
    console.submitCommand("nsolve(sin(1000*x), x, [0..100], h=0.0001)");
    const QStringList lines = text();
    ASSERT_EQ(lines.size(), 3);
    const QString& out = lines[1];
    EXPECT_TRUE(out.startsWith("   [0, 0.00314159265359, 0.00628318530718"))
        << out.left(60).toStdString();
    const QString note = QString::fromUtf8(" … (zobrazeno prvních 100000 z ");
    const qsizetype at = out.lastIndexOf(note);
    ASSERT_EQ(at, 3 + 100000) << out.right(80).toStdString();
    EXPECT_TRUE(out.endsWith(QString::fromUtf8(" znaků výsledku)"))) << out.right(80).toStdString();
    // The stated length is the whole list's.
    const qlonglong whole = out.mid(at + note.size()).section(' ', 0, 0).toLongLong();
    EXPECT_GT(whole, 400000);

    console.submitCommand("1+2");
    EXPECT_EQ(text().mid(2), (QStringList{">> 1+2", "   1+2", ">> "}));
}

}  // namespace
}  // namespace kv
