// Answers modal message boxes in widget tests, remembering their texts.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include "ModalDriver.h"

namespace kv {

// Answers the next modal message boxes, remembering their texts.
class ModalAnswerer {
  public:
    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::No) : answer_(answer) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QMessageBox* box = readyModal(seen_)) {
                texts.push_back(box->text());
                // Clicked, so that the static helpers (question() …) return
                // the button; a box without it is only closed.
                if (QAbstractButton* b = box->button(answer_))
                    b->click();
                else
                    box->done(answer_);
            }
        });
        timer_.start();
    }
    QStringList texts;

  private:
    QMessageBox::StandardButton answer_;
    QPointer<QMessageBox> seen_;
    QTimer timer_;
};

}  // namespace kv
