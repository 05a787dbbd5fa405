// The watchdog that keeps widget tests from hanging on an unanswered dialog.
#include <gtest/gtest-spi.h>

#include <QDialog>
#include <QMessageBox>

#include "ModalWatchdog.h"

namespace kv {
namespace {

// A dialog that closes itself while it is being shown, before exec() has
// started its event loop: the loop then never ends by itself.
class ClosesTooEarly : public QDialog {
  protected:
    void showEvent(QShowEvent* e) override {
        QDialog::showEvent(e);
        done(QDialog::Accepted);
    }
};

TEST(ModalWatchdog, AMessageBoxNobodyAnswersIsClosedAndNamed) {
    ModalWatchdog watchdog(300);
    QMessageBox box(QMessageBox::Warning, "Korvalinth", "Nikdo neodpověděl", QMessageBox::Ok);
    EXPECT_NONFATAL_FAILURE(box.exec(), "saying \"Nikdo neodpověděl\"");
    EXPECT_FALSE(box.isVisible());
}

TEST(ModalWatchdog, AnExecThatNeverStartedItsLoopIsEnded) {
    ModalWatchdog watchdog(300);
    ClosesTooEarly dialog;
    int result = -1;
    EXPECT_NONFATAL_FAILURE(result = dialog.exec(), "its exec() never ended");
    EXPECT_EQ(result, QDialog::Accepted);
}

}  // namespace
}  // namespace kv
