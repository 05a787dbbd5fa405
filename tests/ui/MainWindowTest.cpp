#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include "ui/ConsolePane.h"
#include "ui/SettingsDialog.h"
#include "ui/ModalAnswerer.h"

namespace kv {
namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        QSettings s("Korvalinth", "Korvalinth");
        s.setValue("UI/query_save", 0);
        s.setValue("UI/format_output", 0);
        s.setValue("UI/show_gtoolbar", 1);
    }
    QTemporaryDir dir;
};

TEST_F(MainWindowTest, EmptyConsoleSavesTheHeaderOnly) {
    MainWindow w;
    QString path = dir.filePath("empty.kvl");
    w.console()->setPlainText("");
    ASSERT_TRUE(w.saveDocument(path));
    EXPECT_EQ(readFile(path), QByteArray("#KORVALINTH15FILEFORMAT#\0", 25));
}

TEST_F(MainWindowTest, SavesCommandLinesOnlyWithoutIndentation) {
    MainWindow w;
    QString path = dir.filePath("doc.kvl");
    w.console()->setPlainText(">> abc\n   abc\n \t>> x=1 //c\nnot a command");
    ASSERT_TRUE(w.saveDocument(path));
    QByteArray expected("#KORVALINTH15FILEFORMAT#\0", 25);
    expected += QByteArray("   7\0>> abc\0", 12);
    expected += QByteArray("  11\0>> x=1 //c\0", 16);
    EXPECT_EQ(readFile(path), expected);
}

TEST_F(MainWindowTest, OpenShowsTheLinesWithoutRunningThem) {
    MainWindow w;
    QString path = dir.filePath("doc.kvl");
    w.console()->setPlainText(">> 1+1\n>> f(x)=x");
    ASSERT_TRUE(w.saveDocument(path));
    MainWindow other;
    ASSERT_TRUE(other.openDocument(path));
    EXPECT_EQ(other.console()->toPlainText(), ">> 1+1\n>> f(x)=x\n");
}

TEST_F(MainWindowTest, OpenRejectsAWrongHeader) {
    QString path = dir.filePath("bad.kvl");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("#KORVALINTH15FILEFORMAT!\0   2\0x\0", 32));
    f.close();
    MainWindow w;
    ModalAnswerer answerer;
    EXPECT_FALSE(w.openDocument(path));
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0].toStdString(), "Neplatný formát souboru!");
}

TEST_F(MainWindowTest, FailedSaveIsReportedAndTheOldFileSurvives) {
    MainWindow w;
    QString path = dir.filePath("keep.kvl");
    w.console()->setPlainText(">> old");
    ASSERT_TRUE(w.saveDocument(path));
    QByteArray old = readFile(path);
    w.console()->setPlainText(">> new \u2192 arrow");  // not in code page 1250
    ModalAnswerer answerer;
    EXPECT_FALSE(w.saveDocument(path));
    EXPECT_EQ(readFile(path), old);
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_TRUE(answerer.texts[0].startsWith(QString::fromUtf8("Soubor nelze uložit!")));
}

TEST_F(MainWindowTest, SaveIntoAFolderThatCannotHoldFilesIsReported) {
    MainWindow w;
    QString blocker = dir.filePath("plainfile");
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ModalAnswerer answerer;
    EXPECT_FALSE(w.saveDocument(blocker + "/doc.kvl"));
    EXPECT_EQ(answerer.texts.size(), 1);
}

TEST_F(MainWindowTest, SceneToolBarFollowsTheTabAndTheSetting) {
    MainWindow w;
    w.show();
    EXPECT_TRUE(w.sceneToolBar()->isHidden());
    w.tabs()->setCurrentIndex(1);
    EXPECT_FALSE(w.sceneToolBar()->isHidden());
    w.tabs()->setCurrentIndex(0);
    EXPECT_TRUE(w.sceneToolBar()->isHidden());
}

TEST_F(MainWindowTest, SceneToolBarNeverShownWhenSwitchedOff) {
    QSettings("Korvalinth", "Korvalinth").setValue("UI/show_gtoolbar", 0);
    MainWindow w;
    w.show();
    w.tabs()->setCurrentIndex(1);
    EXPECT_TRUE(w.sceneToolBar()->isHidden());
}

TEST_F(MainWindowTest, NewClearsUserFunctionsAndLeavesAPrompt) {
    MainWindow w;
    w.console()->submitCommand("f(x)=x^2");
    w.newDocument();
    EXPECT_EQ(w.console()->toPlainText(), ">> ");
    w.console()->submitCommand("f(2)");
    EXPECT_EQ(w.console()->toPlainText(), ">> f(2)\n   f*2\n>> ");
}

TEST_F(MainWindowTest, ApplicationShortcuts) {
    MainWindow w;
    struct Row {
        int id;
        QKeySequence key;
    } rows[] = {{57600, QKeySequence(Qt::CTRL | Qt::Key_N)},
                {57601, QKeySequence(Qt::CTRL | Qt::Key_O)},
                {247, QKeySequence(Qt::CTRL | Qt::Key_S)},
                {134, QKeySequence(Qt::CTRL | Qt::Key_E)},
                {232, QKeySequence(Qt::CTRL | Qt::Key_A)},
                {239, QKeySequence(Qt::Key_F5)}};
    for (const Row& r : rows) {
        ASSERT_NE(w.action(r.id), nullptr) << r.id;
        EXPECT_EQ(w.action(r.id)->shortcut(), r.key) << r.id;
    }
    // Scene keys are the scene pane's, not window-wide shortcuts.
    EXPECT_TRUE(w.action(171)->shortcut().isEmpty());
}

TEST(SettingsDialogTest, RefusesBadDigitsAndKeepsFocusThere) {
    Settings current;
    SettingsDialog dialog(current);
    dialog.show();
    struct Row {
        const char* text;
        const char* message;
    } rows[] = {{"16", "Zadejte číslo od 0 do 15!"}, {"5x", "Zadejte číslo od 1 do 15!"}};
    for (const Row& r : rows) {
        dialog.digitsEdit()->setText(r.text);
        ModalAnswerer answerer;
        dialog.accept();
        ASSERT_EQ(answerer.texts.size(), 1);
        EXPECT_EQ(answerer.texts[0].toStdString(), r.message);
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_TRUE(dialog.isVisible());
    }
    dialog.digitsEdit()->setText("7.9");
    dialog.accept();
    EXPECT_EQ(dialog.settings().ndigits, 7);
}

}  // namespace
}  // namespace kv
