// "Exportovat > Animaci..." driven as a user drives it: the file dialog, the
// frame count and rate, the encoder, the closing message. Cancelling any
// dialog writes nothing. Needs a GL context, so it runs under Xvfb.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "export/AnimationExport.h"
#include "tests/support/VideoProbe.h"
#include "ui/AnimationExportDialogs.h"
#include "ui/ConsolePane.h"
#include "ui/MainWindow.h"
#include "ui/ModalAnswerer.h"
#include "ui/ModalDriver.h"
#include "ui/ScenePane.h"
#include "uigl/ShownWindow.h"

namespace kv {
namespace {

constexpr int kExportAnimation = 245;

class AnimationExportUi : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::haveVideoTools()) << "ffprobe and ffmpeg (package ffmpeg) are needed";
        ASSERT_TRUE(test::showQuietly(window, 640, 480));
        window.console()->submitCommand(
            "curve(sin(a*x), [0..6], anim=[a, 1..3], nframes=8, color=[1, 0, 0], id=1)");
        window.tabs()->setCurrentWidget(window.scenePane());
        QTest::qWait(200);
    }

    // The file dialog answered with `name` in the test folder, typed into
    // its name box as a user types it. (selectFile() leaves the box alone
    // once it has the focus, and the dialog then refuses to close.)
    ModalDriver<QFileDialog> chooseFile(const QString& name) {
        return ModalDriver<QFileDialog>([this, name](QFileDialog* d) {
            EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Exportovat Animaci..."));
            auto* box = d->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(box, nullptr);
            box->setText(dir.filePath(name));
            static_cast<QDialog*>(d)->accept();  // QFileDialog's own is protected
        });
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    MainWindow window;
};

TEST_F(AnimationExportUi, TheCommandWritesTheVideoWithTheValuesEntered) {
    auto file = chooseFile("movie");
    ModalDriver<AnimSetDialog> frames([](AnimSetDialog* d) {
        d->framesBox()->setText("5");
        d->rateBox()->setText("10");
        d->accept();
    });
    ModalDriver<CompressorDialog> compressor([](CompressorDialog* d) {
        EXPECT_EQ(d->codec(), "rawvideo");
        d->list()->setCurrentRow(d->list()->count() > 1 ? 1 : 0);
        d->accept();
    });
    ModalAnswerer answerer(QMessageBox::Ok);
    window.action(kExportAnimation)->trigger();
    EXPECT_TRUE(file.acted && frames.acted && compressor.acted);
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0], QString::fromUtf8("Animace vygenerována!"));

    // ".avi" was added to the name; nothing else is left in the folder.
    EXPECT_EQ(files(), QStringList{"movie.avi"});
    const QSize size = window.scenePane()->videoSize();
    const test::VideoInfo info = test::probeVideo(dir.filePath("movie.avi").toStdString());
    EXPECT_EQ(info.streams, 1);
    EXPECT_EQ(info.frames, 5);
    EXPECT_EQ(info.rate, "10/1");
    EXPECT_EQ(info.width, size.width());
    EXPECT_EQ(info.height, size.height());
    EXPECT_EQ(info.width % 4, 0);
    EXPECT_EQ(info.height % 4, 0);
    // The counters are back at the first frame.
    EXPECT_EQ(window.scenePane()->scene().frameIndices(), std::vector<int>{0});
}

TEST_F(AnimationExportUi, CancellingTheFileDialogWritesNothing) {
    ModalDriver<QFileDialog> file([](QFileDialog* d) { d->reject(); });
    ModalDriver<AnimSetDialog> frames([](AnimSetDialog* d) { d->accept(); });
    window.action(kExportAnimation)->trigger();
    EXPECT_TRUE(file.acted);
    EXPECT_FALSE(frames.acted);
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(AnimationExportUi, CancellingTheFrameDialogWritesNothing) {
    auto file = chooseFile("movie.avi");
    ModalDriver<AnimSetDialog> frames([](AnimSetDialog* d) { d->reject(); });
    ModalDriver<CompressorDialog> compressor([](CompressorDialog* d) { d->accept(); });
    window.action(kExportAnimation)->trigger();
    EXPECT_TRUE(frames.acted);
    EXPECT_FALSE(compressor.acted);
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(AnimationExportUi, CancellingTheCompressorWritesNothingAndSaysNothing) {
    auto file = chooseFile("movie.avi");
    ModalDriver<AnimSetDialog> frames([](AnimSetDialog* d) { d->accept(); });
    ModalDriver<CompressorDialog> compressor([](CompressorDialog* d) { d->reject(); });
    ModalAnswerer answerer(QMessageBox::Ok);
    window.action(kExportAnimation)->trigger();
    EXPECT_TRUE(compressor.acted);
    EXPECT_TRUE(answerer.texts.isEmpty());
    EXPECT_TRUE(files().isEmpty());
}

// A folder that cannot take the file: the message names it, nothing is
// left, and the scene goes on as before.
TEST_F(AnimationExportUi, AFileThatCannotBeCreatedIsReported) {
    ModalAnswerer answerer(QMessageBox::Ok);
    AnimationSettings settings;
    EXPECT_FALSE(window.exportAnimation("/nonexistent-folder/movie.avi", settings));
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_TRUE(answerer.texts[0].startsWith(
        "AVI Engine failed to initialize. Check filename /nonexistent-folder/movie.avi."))
        << answerer.texts[0].toStdString();
    EXPECT_EQ(window.scenePane()->scene().frameIndices(), std::vector<int>{0});
}

}  // namespace
}  // namespace kv
