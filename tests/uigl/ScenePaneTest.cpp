// Scene-pane tests: they need a real GL context, so they run under Xvfb.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "ui/ConsolePane.h"
#include "ui/MainWindow.h"
#include "ui/ScenePane.h"
#include "uigl/ShownWindow.h"

namespace kv {
namespace {

class ScenePaneTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::showQuietly(window, 800, 600));
        // The timers act only while the pane has the keyboard focus, which
        // needs an active window.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void showScene() {
        window.tabs()->setCurrentWidget(window.scenePane());
        QTest::qWait(200);
    }

    // Red pixels in the upper and lower half of a picture.
    static std::pair<int, int> redPixels(const QImage& img) {
        int upper = 0, lower = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                QColor c = img.pixelColor(x, y);
                if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                    (y < img.height() / 2 ? upper : lower)++;
            }
        return {upper, lower};
    }

    QTemporaryDir dir;
    MainWindow window;
};

TEST_F(ScenePaneTest, GraphsFromTheConsoleAppearAndSnapshotIsUpright) {
    window.console()->submitCommand("line_width(4)");
    window.console()->submitCommand("curve(2+sin(x)/4, [-3..3], color=[1, 0, 0], id=1)");
    window.console()->submitCommand("curve(-2+x/10, [-3..3], color=[0, 0, 1], id=2)");
    showScene();
    QString path = dir.filePath("scene.jpg");
    ASSERT_TRUE(window.exportSnapshot(path));
    QImage img(path);
    ASSERT_FALSE(img.isNull());
    const qreal dpr = window.scenePane()->devicePixelRatioF();
    EXPECT_EQ(img.width(), qRound(window.scenePane()->width() * dpr));
    EXPECT_EQ(img.height(), qRound(window.scenePane()->height() * dpr));
    auto [upper, lower] = redPixels(img);
    EXPECT_GT(upper, 50);
    EXPECT_LT(lower, upper / 10);

    // For print: a PNG of twice the size, drawn at that size with the same
    // view (the lines twice as wide, so about four times the red pixels).
    const QString big = dir.filePath("print.png");
    ASSERT_TRUE(window.exportSnapshot(big, 2));
    QImage twice(big);
    ASSERT_FALSE(twice.isNull());
    EXPECT_EQ(twice.size(), img.size() * 2);
    auto [bigUpper, bigLower] = redPixels(twice);
    EXPECT_GT(bigUpper, 3 * upper);
    EXPECT_LT(bigLower, bigUpper / 10);
    // The pane draws at its own size again afterwards.
    ASSERT_TRUE(window.exportSnapshot(path));
    EXPECT_EQ(QImage(path).size(), img.size());
}

TEST_F(ScenePaneTest, RemoveAllFromTheConsoleTabStaysThere) {
    window.console()->submitCommand("curve(sin(x), [0..6], color=[1, 0, 0], id=1)");
    showScene();
    window.tabs()->setCurrentWidget(window.console());
    window.removeAll();
    EXPECT_EQ(window.tabs()->currentWidget(), window.console());
    EXPECT_EQ(window.scenePane()->scene().graphCount(), 0);
    showScene();
    ASSERT_TRUE(window.exportSnapshot(dir.filePath("empty.jpg")));
    auto [upper, lower] = redPixels(QImage(dir.filePath("empty.jpg")));
    EXPECT_EQ(upper + lower, 0);
}

TEST_F(ScenePaneTest, KeysChangeTheSceneAndTheMenuMarksFollow) {
    window.console()->submitCommand("curve(sin(x), [0..6], id=1)");
    showScene();
    ScenePane* pane = window.scenePane();
    pane->setFocus();
    struct Row {
        Qt::Key key;
        int renderMode;
        int dragMode;
    } rows[] = {{Qt::Key_3, 1, 2},
                {Qt::Key_Q, 1, 0},
                {Qt::Key_4, 3, 0},
                {Qt::Key_R, 3, 3},
                {Qt::Key_1, 2, 3}};
    for (const Row& r : rows) {
        QTest::keyClick(pane, r.key);
        EXPECT_EQ(pane->scene().render_mode, r.renderMode);
        EXPECT_EQ(pane->scene().drag_mode, r.dragMode);
    }
    EXPECT_TRUE(window.action(171)->isChecked() == false);
    EXPECT_TRUE(window.action(177)->isChecked());
    EXPECT_TRUE(window.action(183)->isChecked());
    QTest::keyClick(pane, Qt::Key_B);
    EXPECT_FALSE(pane->scene().show_box);
    EXPECT_FALSE(window.action(184)->isChecked());
    QTest::keyClick(pane, Qt::Key_Delete);
    EXPECT_EQ(pane->scene().graphCount(), 0);
}

// Ctrl+A in the console selects its text and nothing else; on the scene it
// switches the lines' antialiasing.
TEST_F(ScenePaneTest, CtrlASelectsInTheConsoleAndTogglesAntialiasingOnTheScene) {
    showScene();  // the pane sets up its lines once it is first drawn
    const bool antialias = window.scenePane()->scene().antialias;
    EXPECT_EQ(window.action(232)->isChecked(), antialias);
    ConsolePane* console = window.console();
    window.tabs()->setCurrentWidget(console);
    console->submitCommand("1+1");
    console->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(console->textCursor().selectedText().size(), console->toPlainText().size());
    EXPECT_EQ(window.scenePane()->scene().antialias, antialias);

    showScene();
    window.scenePane()->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_NE(window.scenePane()->scene().antialias, antialias);
    EXPECT_EQ(window.action(232)->isChecked(), !antialias);
}

TEST_F(ScenePaneTest, LeftDragRotatesByDegreesPerPixel) {
    window.console()->submitCommand("curve(sin(x), [0..6], id=1)");
    showScene();
    ScenePane* pane = window.scenePane();
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Q);  // rotation about y by dx, about x by dy
    const float w = pane->width(), h = pane->height();
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(103, 104), QPointF(103, 104), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(pane, &move);
    EXPECT_NEAR(pane->scene().rotation.y, 3 * 360.0f / w, 1e-4);
    EXPECT_NEAR(pane->scene().rotation.x, 4 * 360.0f / h, 1e-4);
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(103, 104));
    EXPECT_FALSE(pane->scene().dragging);
}

void moveTo(QWidget* w, QPoint p, Qt::MouseButtons held) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton, held,
                     {});
    QApplication::sendEvent(w, &move);
}

TEST_F(ScenePaneTest, FlickLeavesTheSceneSpinningAtMostFourDegreesPerTick) {
    window.console()->submitCommand("curve(sin(x), [0..6], id=1)");
    showScene();
    ScenePane* pane = window.scenePane();
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Q);
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(100, 100));
    moveTo(pane, QPoint(400, 100), Qt::LeftButton);  // 300 pixels at once
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(400, 100));
    EXPECT_TRUE(pane->scene().spinning);
    EXPECT_FLOAT_EQ(pane->scene().spin.y, 4.0f);
    const float before = pane->scene().rotation.y;
    QTest::qWait(300);  // several 40 ms ticks with the focus
    const float turned = SceneModel::wrapAngle(pane->scene().rotation.y - before);
    EXPECT_GT(turned, 0.0f);
    EXPECT_LE(turned, 4.0f * 300 / 40 + 8.0f);
}

TEST_F(ScenePaneTest, SpaceAnimatesAndAHeldButtonFreezesTheFrames) {
    window.console()->submitCommand(
        "curve(sin(a*x), [0..6], anim=[a, 1..3], nframes=5, frame_time=20, id=1)");
    showScene();
    ScenePane* pane = window.scenePane();
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Space);
    EXPECT_TRUE(pane->scene().animating);
    EXPECT_TRUE(window.action(201)->isChecked());
    // Frames wrap after five, so look for a move while it runs.
    bool moved = false;
    for (int i = 0; i < 40 && !moved; ++i) {
        QTest::qWait(15);
        moved = pane->scene().frameIndices()[0] != 0;
    }
    EXPECT_TRUE(moved);

    QTest::mousePress(pane, Qt::RightButton, {}, QPoint(50, 50));
    const int held = pane->scene().frameIndices()[0];
    QTest::qWait(200);
    EXPECT_EQ(pane->scene().frameIndices()[0], held);
    QTest::mouseRelease(pane, Qt::RightButton, {}, QPoint(50, 50));

    QTest::keyClick(pane, Qt::Key_O);
    EXPECT_TRUE(pane->scene().bounce);
    EXPECT_TRUE(window.action(220)->isChecked());
    QTest::keyClick(pane, Qt::Key_Space);
    const int stopped = pane->scene().frameIndices()[0];
    QTest::qWait(200);
    EXPECT_EQ(pane->scene().frameIndices()[0], stopped);
    EXPECT_FALSE(window.action(201)->isChecked());
}

TEST_F(ScenePaneTest, WheelMovesTheSceneLikeARightDrag) {
    window.console()->submitCommand("curve(sin(x), [0..6], id=1)");
    showScene();
    ScenePane* pane = window.scenePane();
    const float z = pane->scene().translation.z;
    QWheelEvent wheel(QPointF(50, 50), QPointF(pane->mapToGlobal(QPoint(50, 50))), QPoint(),
                      QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane, &wheel);
    EXPECT_NE(pane->scene().translation.z, z);
    EXPECT_FALSE(pane->scene().spinning);
}

}  // namespace
}  // namespace kv
