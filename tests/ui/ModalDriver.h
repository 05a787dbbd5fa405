// Acts on the next modal dialog of type D once it is shown: the test sets
// its fields and closes it, as a user would. It waits until the dialog has
// been visible for one whole tick, so that exec() has had the time to start
// its event loop and a close ends it.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace kv {

// The active modal dialog of type D once it has been visible for one whole
// tick of a polling timer (`seen` remembers it between ticks), else null.
template <class D>
D* readyModal(QPointer<D>& seen) {
    auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
    const bool ready = d && d->isVisible() && d == seen;
    seen = d && d->isVisible() ? d : nullptr;
    return ready ? d : nullptr;
}

template <class D>
class ModalDriver {
  public:
    explicit ModalDriver(std::function<void(D*)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (D* d = readyModal(seen_)) {
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
    QPointer<D> seen_;
    QTimer timer_;
};

}  // namespace kv
