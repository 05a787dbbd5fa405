#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "ui/AboutDialog.h"
#include "ui/HelpLauncher.h"
#include "ui/MainWindow.h"
#include "ui/ModalAnswerer.h"

namespace kv {
namespace {

void writeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html></html>");
}

TEST(HelpFilePath, FindsTheManualBesideOrInstalledAndNothingElse) {
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    QDir().mkpath(bin);
    EXPECT_EQ(helpFilePath(bin), QString());

    writeFile(root.filePath("share/korvalinth/help/help.htm"));
    EXPECT_EQ(helpFilePath(bin),
              QFileInfo(root.filePath("share/korvalinth/help/help.htm")).canonicalFilePath());

    // A manual beside the program wins over the installed one.
    writeFile(bin + "/help/help.htm");
    EXPECT_EQ(helpFilePath(bin), QFileInfo(bin + "/help/help.htm").canonicalFilePath());
}

TEST(OpenHelp, HandsTheFileToTheBrowserOrSaysWhereTheManualIs) {
    struct Row {
        bool haveFile;
        bool browserStarts;
        bool opened;
        int browserCalls;
    };
    for (const Row row :
         {Row{true, true, true, 1}, Row{true, false, false, 1}, Row{false, true, false, 0}}) {
        QTemporaryDir dir;
        const QString file = dir.filePath("help.htm");
        if (row.haveFile) writeFile(file);
        int calls = 0;
        QUrl asked;
        ModalAnswerer answerer(QMessageBox::Ok);
        const bool opened = openHelp(nullptr, row.haveFile ? file : QString(), "/usr/share/h.htm",
                                     [&](const QUrl& url) {
                                         ++calls;
                                         asked = url;
                                         return row.browserStarts;
                                     });
        EXPECT_EQ(opened, row.opened);
        EXPECT_EQ(calls, row.browserCalls);
        if (calls) {
            EXPECT_EQ(asked, QUrl::fromLocalFile(file));
        }
        const char* message =
            row.haveFile
                ? "Není k dispozici žádný webový prohlížeč.\nNápovědu naleznete v souboru '%1'."
                : "Soubor nápovědy nebyl nalezen.\nPatří do '/usr/share/h.htm'.";
        EXPECT_EQ(answerer.texts,
                  row.opened ? QStringList() : QStringList{QString::fromUtf8(message).arg(file)});
    }
}

TEST(AboutDialog, ShowsTitleVersionAndBuildDate) {
    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("O Programu Korvalinth"));
    const auto* version = about.findChild<QLabel*>("version");
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(QRegularExpression(R"(^Verze \d+\.\d+ \[ Sestaveno \d\d/\d\d/\d{4} \]$)")
                    .match(version->text())
                    .hasMatch())
        << version->text().toStdString();
    const auto labels = about.findChildren<QLabel*>();
    const bool hasPicture = std::any_of(labels.begin(), labels.end(), [](const QLabel* l) {
        return !l->pixmap().isNull() && l->pixmap().width() >= 64;
    });
    EXPECT_TRUE(hasPicture);
    ASSERT_NE(about.findChild<QLineEdit*>("web"), nullptr);
    ASSERT_NE(about.findChild<QLineEdit*>("mail"), nullptr);
    EXPECT_TRUE(about.findChild<QLabel*>("invitation")
                    ->text()
                    .startsWith(QString::fromUtf8("Jakékoliv připomínky")));
}

TEST(HelpMenu, OffersTheAboutBoxAndTheManual) {
    MainWindow w;
    ASSERT_NE(w.action(57664), nullptr);
    ASSERT_NE(w.action(249), nullptr);
    EXPECT_TRUE(w.action(57664)->isEnabled());
    EXPECT_TRUE(w.action(249)->isEnabled());
    // Without a configured project page the web entry is there, disabled.
    ASSERT_NE(w.action(261), nullptr);
    EXPECT_EQ(w.action(261)->text(), "Korvalinth Web");
    EXPECT_FALSE(w.action(261)->isEnabled());
}

}  // namespace
}  // namespace kv
