// Keeps a widget test from waiting for ever on a dialog nobody answers.
//
// A modal dialog left open (a message box no answerer expected, a driver that
// missed its dialog) would block the test until the suite's time runs out and
// tell nothing. The watchdog notices a modal dialog that stays open for
// longer than a test ever needs, fails the running test naming the dialog and
// its text, and closes it so the suite goes on.
//
// It also catches a dialog closed before its event loop started: such a
// dialog is hidden but still marked modal while exec() waits for ever.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace kv {

class ModalWatchdog : public testing::EmptyTestEventListener {
  public:
    explicit ModalWatchdog(int limit_ms = 20000) : limit_ms_(limit_ms) {
        timer_.setInterval(250);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }

    void OnTestStart(const testing::TestInfo&) override {
        watched_ = nullptr;
        since_.restart();
    }

  private:
    // The dialog a test may be waiting on: the active modal one, or a hidden
    // one whose exec() is still running.
    static QDialog* waitedOn() {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) return d;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QDialog*>(w);
            if (d && !d->isVisible() && d->testAttribute(Qt::WA_ShowModal)) return d;
        }
        return nullptr;
    }

    void tick() {
        QDialog* d = waitedOn();
        if (d != watched_) {
            watched_ = d;
            since_.restart();
            return;
        }
        if (!d || since_.elapsed() < limit_ms_) return;
        QString what =
            QString::fromLatin1(d->metaObject()->className()) + " \"" + d->windowTitle() + '"';
        if (auto* box = qobject_cast<QMessageBox*>(d)) what += " saying \"" + box->text() + '"';
        ADD_FAILURE() << "a modal dialog waited unanswered for " << limit_ms_ / 1000
                      << " s and was closed: " << what.toStdString()
                      << (d->isVisible() ? "" : " (already hidden, its exec() never ended)");
        watched_ = nullptr;
        // done() hides the dialog and ends the event loop exec() runs; on a
        // dialog already hidden it does nothing, so that one is shown first.
        const int result = d->isVisible() ? int(QDialog::Rejected) : d->result();
        d->show();
        d->done(result);
    }

    int limit_ms_;
    QTimer timer_;
    QPointer<QDialog> watched_;
    QElapsedTimer since_;
};

}  // namespace kv
