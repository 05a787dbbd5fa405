// Acts on the next modal dialog of type D once it is shown: the test sets
// its fields and closes it, as a user would.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

namespace kv {

template <class D>
class ModalDriver {
  public:
    explicit ModalDriver(std::function<void(D*)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
                timer_.stop();
                acted = true;
                act_(d);
            }
        });
        timer_.start();
    }
    bool acted = false;

  private:
    std::function<void(D*)> act_;
    QTimer timer_;
};

}  // namespace kv
