// The dialogs of the animation export: the frame count and rate with their
// checks, and the list of encoders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstdio>
#include <string>

#include "export/AviWriter.h"
#include "support/RowNames.h"
#include "ui/AnimationExportDialogs.h"
#include "ui/ModalAnswerer.h"

namespace kv {
namespace {

using kv::test::rowNames;

TEST(AnimSetDialogTest, OpensWithTwelveFramesAtSixPerSecond) {
    AnimSetDialog d;
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Nastavení Animace"));
    EXPECT_EQ(d.framesBox()->text(), "12");
    EXPECT_EQ(d.rateBox()->text(), "6");
}

struct SettingsRow {
    const char* frames;
    const char* rate;
    bool accepted;
    int box;              // 0 frames, 1 rate: where the focus goes on refusal
    const char* message;  // on refusal
};

class AnimSetDialogRows : public testing::TestWithParam<SettingsRow> {};

TEST_P(AnimSetDialogRows, AcceptsWholeNumbersInRangeAndRefusesTheRest) {
    const SettingsRow& row = GetParam();
    AnimSetDialog d;
    d.framesBox()->setText(QString::fromUtf8(row.frames));
    d.rateBox()->setText(QString::fromUtf8(row.rate));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    ModalAnswerer answerer(QMessageBox::Ok);
    d.accept();
    if (row.accepted) {
        EXPECT_TRUE(answerer.texts.isEmpty());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.frames(), QString::fromUtf8(row.frames).trimmed().toInt());
        EXPECT_EQ(d.framesPerSecond(), QString::fromUtf8(row.rate).trimmed().toInt());
        return;
    }
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0].toStdString(), row.message);
    EXPECT_EQ(d.focusWidget(), row.box == 0 ? d.framesBox() : d.rateBox());
    EXPECT_TRUE(d.isVisible());
}

const char* const kFramesMessage = "Počet snímků musí být celé číslo od 1 do 10000!";
const char* const kRateMessage = "FPS musí být celé číslo od 1 do 100!";

INSTANTIATE_TEST_SUITE_P(Rows, AnimSetDialogRows,
                         testing::Values(SettingsRow{"12", "6", true, 0, ""},
                                         SettingsRow{" 240 ", "25", true, 0, ""},
                                         SettingsRow{"10000", "100", true, 0, ""},
                                         SettingsRow{"", "6", false, 0, kFramesMessage},
                                         SettingsRow{"0", "6", false, 0, kFramesMessage},
                                         SettingsRow{"10001", "6", false, 0, kFramesMessage},
                                         SettingsRow{"1.5", "6", false, 0, kFramesMessage},
                                         SettingsRow{"abc", "0", false, 0, kFramesMessage},
                                         SettingsRow{"12", "0", false, 1, kRateMessage},
                                         SettingsRow{"12", "101", false, 1, kRateMessage},
                                         SettingsRow{"12", "", false, 1, kRateMessage}),
                         rowNames(&SettingsRow::frames));

TEST(CompressorDialogTest, UncompressedComesFirstAndIsChosen) {
    const std::vector<VideoEncoder>& encoders = aviEncoders(320, 240, 6);
    ASSERT_FALSE(encoders.empty());
    EXPECT_EQ(encoders.front().name, "rawvideo");
    CompressorDialog d(encoders);
    ASSERT_EQ(d.list()->count(), static_cast<int>(encoders.size()));
    EXPECT_EQ(d.codec(), "rawvideo");
    d.list()->setCurrentRow(d.list()->count() - 1);
    EXPECT_EQ(d.codec(), encoders.back().name);
}

// Only encoders that open at the export's size and rate are offered: every
// one listed records a frame, and one that cannot take the rate is missing.
TEST(CompressorDialogTest, EveryListedEncoderOpens) {
    const std::vector<VideoEncoder>& encoders = aviEncoders(64, 48, 6);
    bool mjpeg = false;
    for (const VideoEncoder& e : encoders) {
        mjpeg = mjpeg || e.name == "mjpeg";
        EXPECT_NE(e.name, "mpeg1video") << "MPEG-1 has no rate of 6 per second";
        const std::string path =
            "/tmp/kv_encoder_probe_" + std::to_string(::getpid()) + "_" + e.name + ".avi";
        AviWriter writer(path, 64, 48, 6, e.name);
        std::string error;
        ASSERT_TRUE(writer.open(error)) << e.name << ": " << error;
        const std::vector<unsigned char> frame(64 * 48 * 3, 128);
        EXPECT_TRUE(writer.writeFrame(frame.data(), error)) << e.name << ": " << error;
        EXPECT_TRUE(writer.finish(error)) << e.name << ": " << error;
        std::remove(path.c_str());
    }
    EXPECT_TRUE(mjpeg);
}

}  // namespace
}  // namespace kv
