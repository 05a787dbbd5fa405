// The window's comforts: Return in the dialogs, the recent documents, a
// dropped document.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>

#include "doc/Document.h"
#include "graphics/SceneModel.h"
#include "support/RowNames.h"
#include "ui/AnimClipDialogs.h"
#include "ui/AnimationExportDialogs.h"
#include "ui/ConsolePane.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#include "ui/MathDialog.h"
#include "ui/ModalAnswerer.h"
#include "ui/PlotDialog.h"
#include "ui/SettingsDialog.h"
#include "ui/TransformDialog.h"

namespace kv {
namespace {

struct ReturnRow {
    const char* name;
    std::function<std::unique_ptr<QDialog>()> make;
};

class ReturnConfirms : public testing::TestWithParam<ReturnRow> {};

// Return in the first box of a filled dialog presses OK; Escape cancels.
TEST_P(ReturnConfirms, EachDialog) {
    for (auto [key, expected] :
         {std::pair{Qt::Key_Return, QDialog::Accepted}, std::pair{Qt::Key_Enter, QDialog::Accepted},
          std::pair{Qt::Key_Escape, QDialog::Rejected}}) {
        std::unique_ptr<QDialog> d = GetParam().make();
        d->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
        QWidget* focus = d->focusWidget() ? d->focusWidget() : d.get();

        QTest::keyClick(focus, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_FALSE(d->isVisible()) << key;
        EXPECT_EQ(d->result(), expected) << key;
    }
}

SceneModel scene;

INSTANTIATE_TEST_SUITE_P(
    Dialogs, ReturnConfirms,
    testing::Values(
        ReturnRow{"math",
                  [] {
                      auto d = std::make_unique<MathDialog>(MathDialogKind::Simplify);
                      d->box(0)->setText("x+x");
                      return std::unique_ptr<QDialog>(std::move(d));
                  }},
        ReturnRow{"plot",
                  [] {
                      auto d = std::make_unique<PlotDialog>(PlotDialogKind::ExplicitCurve, scene);
                      d->box(0)->setText("x");
                      d->box(1)->setText("0");
                      d->box(2)->setText("1");
                      return std::unique_ptr<QDialog>(std::move(d));
                  }},
        ReturnRow{"settings", [] { return std::unique_ptr<QDialog>(new SettingsDialog({})); }},
        ReturnRow{"transform", [] { return std::unique_ptr<QDialog>(new TransformDialog(scene)); }},
        ReturnRow{"animation", [] { return std::unique_ptr<QDialog>(new AnimSetDialog); }},
        ReturnRow{"anim", [] { return std::unique_ptr<QDialog>(new AnimDialog({})); }},
        ReturnRow{"clip", [] { return std::unique_ptr<QDialog>(new ClipDialog({})); }}),
    kv::test::rowNames(&ReturnRow::name));

class WindowComfortsTest : public testing::Test {
  protected:
    void SetUp() override {
        QSettings s("Korvalinth", "Korvalinth");
        s.setValue("UI/query_save", 0);
        s.remove("Recent File List");
    }
    QString document(const QString& name, const char* line) {
        const QString path = dir.filePath(name);
        std::vector<std::string> lines{line};
        EXPECT_TRUE(saveDocumentFile(path.toStdString(), lines).ok);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(WindowComfortsTest, RecentDocumentsKeepFourNewestFirst) {
    MainWindow w;
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths << document(QStringLiteral("d%1.kvl").arg(i), ">> 1");
        ASSERT_TRUE(i % 2 ? w.openDocument(paths.back()) : w.saveDocument(paths.back()));
    }
    ASSERT_TRUE(w.openDocument(paths[2]));  // again: moves to the top
    EXPECT_EQ(w.recentFiles(), (QStringList{paths[2], paths[4], paths[3], paths[1]}));
    EXPECT_TRUE(w.action(57600) != nullptr);

    QFile::remove(paths[4]);
    ModalAnswerer answerer(QMessageBox::Ok);
    EXPECT_FALSE(w.openRecent(paths[4]));
    EXPECT_EQ(answerer.texts, QStringList{QString::fromUtf8("Soubor nelze otevřít!")});
    EXPECT_EQ(w.recentFiles(), (QStringList{paths[2], paths[3], paths[1]}));
}

TEST_F(WindowComfortsTest, ADroppedDocumentOpens) {
    MainWindow w;
    const QString path = document("dropped.kvl", ">> 6*7");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dir.filePath("notes.txt")), QUrl::fromLocalFile(path)});
    for (QWidget* target : {static_cast<QWidget*>(&w), w.console()->viewport()}) {
        w.console()->resetText(true);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QTRY_COMPARE(w.console()->toPlainText(), QStringLiteral(">> 6*7\n"));
    }
}

// Pixels of an icon at 24 points that are not transparent, and its centre.
std::pair<int, QColor> iconPaint(const QIcon& icon) {
    const QImage img = icon.pixmap(24).toImage();
    int painted = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) painted += img.pixelColor(x, y).alpha() > 0;
    return {painted, img.pixelColor(img.width() / 2, img.height() / 2)};
}

// A theme that has only document-new gives New its picture; every other
// button shows the program's own drawing, and none is left blank.
TEST_F(WindowComfortsTest, ToolbarIconsComeFromTheThemeOrTheProgramsDrawings) {
    QTemporaryDir themes;
    ASSERT_TRUE(QDir(themes.path()).mkpath("kvtest/24x24"));
    QFile index(themes.filePath("kvtest/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=kvtest\nDirectories=24x24\n\n[24x24]\nSize=24\n");
    index.close();
    QImage magenta(24, 24, QImage::Format_ARGB32);
    magenta.fill(Qt::magenta);
    ASSERT_TRUE(magenta.save(themes.filePath("kvtest/24x24/document-new.png")));
    const QStringList paths = QIcon::themeSearchPaths();
    const QString name = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("kvtest");
    MainWindow w;

    int buttons = 0;
    for (const char* bar : {"mainToolBar", "sceneToolBar"})
        for (QAction* a : w.findChild<QToolBar*>(bar)->actions()) {
            if (a->isSeparator()) continue;
            ++buttons;
            const auto [painted, centre] = iconPaint(a->icon());
            EXPECT_GT(painted, 24 * 24 / 8) << a->toolTip().toStdString();
            EXPECT_EQ(centre == QColor(Qt::magenta), a == w.action(57600))
                << a->toolTip().toStdString();
        }
    EXPECT_EQ(buttons, 6 + 22);
    EXPECT_GT(iconPaint(programIcon()).first, 24 * 24 / 2);
    QIcon::setThemeName(name);
    QIcon::setThemeSearchPaths(paths);
}

}  // namespace
}  // namespace kv
