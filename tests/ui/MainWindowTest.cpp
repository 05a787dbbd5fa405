#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <vector>

#include "ui/ConsolePane.h"
#include "ui/MainWindow.h"
#include "ui/ModalAnswerer.h"
#include "ui/RecoveryFile.h"
#include "ui/SettingsDialog.h"

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

// Acts on the next modal dialogs in turn, one step each, once each has been
// shown for a whole tick.
class ModalSteps {
  public:
    explicit ModalSteps(std::vector<std::function<void(QDialog*)>> steps)
        : steps_(std::move(steps)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (done < steps_.size())
                if (QDialog* d = readyModal(seen_); d && d != last_) {
                    last_ = d;
                    steps_[done++](d);
                }
        });
        timer_.start();
    }
    std::size_t done = 0;

  private:
    std::vector<std::function<void(QDialog*)>> steps_;
    QPointer<QDialog> seen_;
    QPointer<QDialog> last_;  // the dialog acted on last, until it closes
    QTimer timer_;
};

// Closing, New and Open ask whether to save; Zrušit, Escape, a cancelled
// Save and a failed Save all keep the window and the console as they were.
TEST_F(MainWindowTest, SaveQuestionCanBeCancelled) {
    QSettings("Korvalinth", "Korvalinth").setValue("UI/query_save", 1);
    const QString other = dir.filePath("other.kvl");
    {
        MainWindow w;
        w.console()->setPlainText(">> 2+2");
        ASSERT_TRUE(w.saveDocument(other));
    }
    auto press = [](QMessageBox::StandardButton b) {
        return [b](QDialog* d) { static_cast<QMessageBox*>(d)->button(b)->click(); };
    };
    auto escape = [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); };
    auto cancelFileDialog = [](QDialog* d) { d->reject(); };
    auto saveInto = [this](QDialog* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(files, nullptr);
        // Typed into the name box: selectFile() leaves a focused box alone.
        auto* box = files->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(box, nullptr);
        box->setText(dir.filePath("new.kvl"));
        static_cast<QDialog*>(files)->accept();  // QFileDialog's own is protected
    };
    struct Row {
        const char* name;
        std::vector<std::function<void(QDialog*)>> steps;
    } rows[] = {
        {"Zrušit", {press(QMessageBox::Cancel)}},
        {"Escape", {escape}},
        {"Save cancelled", {press(QMessageBox::Yes), cancelFileDialog}},
        // The console holds a character code page 1250 has not: Save fails.
        {"Save failed", {press(QMessageBox::Yes), saveInto, press(QMessageBox::Ok)}},
    };
    const QString text = QString::fromUtf8(">> 1+1 //\u2192\n");
    for (const Row& row : rows) {
        for (int what = 0; what < 3; ++what) {
            // Not shown: the scene pane's GL widget cannot draw offscreen.
            // close() returns false when the window refuses to close.
            MainWindow w;
            w.console()->submitCommand("f(x)=x^2");
            w.console()->setPlainText(text);
            ModalSteps steps(row.steps);
            const bool went = what == 0   ? w.close()
                              : what == 1 ? w.newDocument()
                                          : w.askAndOpenDocument(other);
            EXPECT_FALSE(went) << row.name << " " << what;
            EXPECT_EQ(steps.done, row.steps.size()) << row.name << " " << what;
            EXPECT_EQ(w.console()->toPlainText(), text) << row.name << " " << what;
            w.console()->submitCommand("f(3)");
            EXPECT_TRUE(w.console()->toPlainText().endsWith("   3^2\n>> ")) << row.name;
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("new.kvl")));
    // Ne goes on without saving.
    MainWindow w;
    w.console()->setPlainText(text);
    ModalSteps no({press(QMessageBox::No)});
    EXPECT_TRUE(w.askAndOpenDocument(other));
    EXPECT_EQ(w.console()->toPlainText(), ">> 2+2\n");
}

// Unsaved lines reach the recovery file after each executed line; a Save
// or a clean end removes it. What a program that did not end cleanly left is
// offered at the next start and loaded without running; a program running
// at the same time keeps its own file and is never offered another's.
TEST_F(MainWindowTest, RecoveryFileKeepsUnsavedWork) {
    QString crashed;
    QString folder;
    {
        MainWindow w;
        const QString own = w.recoveryFile().path();
        folder = QFileInfo(own).absolutePath();
        crashed = folder + "/crashed.kvl";
        EXPECT_FALSE(w.recoveryFile().exists());
        w.console()->submitCommand("a=2");
        QCoreApplication::processEvents();
        EXPECT_TRUE(readFile(own).contains(">> a=2"));
        ASSERT_TRUE(w.saveDocument(dir.filePath("saved.kvl")));
        EXPECT_FALSE(w.recoveryFile().exists());
        w.console()->submitCommand("b=3");
        w.console()->insertPlainText("b+1");  // typed, not run: the timer's part
        w.autosave();
        // What a killed program leaves: the file without a living lock.
        ASSERT_TRUE(QFile::copy(own, crashed));
        ASSERT_TRUE(QFile::copy(own, folder + "/older.kvl"));
        QFile older(folder + "/older.kvl");
        ASSERT_TRUE(older.open(QIODevice::ReadWrite));
        older.setFileTime(QDateTime::currentDateTime().addDays(-1),
                          QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(QDir(folder).entryList({"*.kvl"}), QStringList({"crashed.kvl", "older.kvl"}));

    MainWindow running;
    running.console()->submitCommand("c=1");
    QCoreApplication::processEvents();
    ASSERT_TRUE(running.recoveryFile().exists());

    MainWindow w;
    {
        ModalAnswerer yes(QMessageBox::Yes);
        ASSERT_TRUE(w.offerRecovery());  // the newest first
        EXPECT_EQ(yes.texts.size(), 1);
    }
    EXPECT_EQ(w.console()->toPlainText(), ">> a=2\n>> b=3\n>> b+1\n");
    EXPECT_FALSE(QFile::exists(crashed));
    EXPECT_TRUE(w.recoveryFile().exists());
    {
        ModalAnswerer no(QMessageBox::No);
        EXPECT_FALSE(w.offerRecovery());  // declined: gone for good
        EXPECT_EQ(no.texts.size(), 1);
        EXPECT_FALSE(w.offerRecovery());  // the running program's is not offered
        EXPECT_EQ(no.texts.size(), 1);
    }
    EXPECT_FALSE(QFile::exists(folder + "/older.kvl"));
    EXPECT_TRUE(running.recoveryFile().exists());
}

TEST_F(MainWindowTest, ApplicationShortcuts) {
    MainWindow w;
    struct Row {
        int id;
        QKeySequence key;
    } rows[] = {
        {57600, QKeySequence(Qt::CTRL | Qt::Key_N)}, {57601, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {247, QKeySequence(Qt::CTRL | Qt::Key_S)},   {134, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {232, QKeySequence(Qt::CTRL | Qt::Key_A)},   {239, QKeySequence(Qt::Key_F5)}};
    for (const Row& r : rows) {
        ASSERT_NE(w.action(r.id), nullptr) << r.id;
        EXPECT_EQ(w.action(r.id)->shortcut(), r.key) << r.id;
    }
    // Scene keys are the scene pane's, not window-wide shortcuts; the menu
    // names them beside the entry.
    EXPECT_TRUE(w.action(171)->shortcut().isEmpty());
    for (auto [id, key] : {std::pair{201, "Mezerník"}, {220, "O"}, {222, "A"}, {223, "S"}})
        EXPECT_TRUE(w.action(id)->text().endsWith(QString::fromUtf8("\t") + QString::fromUtf8(key)))
            << id;
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
