#include "ui/HistorySearch.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include "ui/UiMessages.h"

namespace kv {

namespace {

// Up and Down in the search box move through the matches, so the hands stay
// on the keyboard.
class MatchKeys : public QObject {
  public:
    explicit MatchKeys(QListWidget* list) : QObject(list), list_(list) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                key == Qt::Key_PageDown) {
                QCoreApplication::sendEvent(list_, event);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QListWidget* list_;
};

}  // namespace

HistorySearch::HistorySearch(const QStringList& entries, QWidget* parent)
    : QDialog(parent), entries_(entries) {
    setWindowTitle(QString::fromUtf8(uimsg::kHistorySearchTitle));
    search_ = new QLineEdit;
    list_ = new QListWidget;
    list_->setMinimumWidth(420);
    list_->setUniformItemSizes(true);
    search_->installEventFilter(new MatchKeys(list_));

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QString::fromUtf8("Zrušit"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(search_, &QLineEdit::textChanged, this, &HistorySearch::refilter);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(uimsg::kHistorySearchLabel)));
    layout->addWidget(search_);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    refilter({});
    search_->setFocus();
}

void HistorySearch::refilter(const QString& text) {
    list_->clear();
    QSet<QString> seen;
    for (auto it = entries_.crbegin(); it != entries_.crend(); ++it) {
        if (!it->contains(text, Qt::CaseInsensitive) || seen.contains(*it)) continue;
        seen.insert(*it);
        list_->addItem(*it);
    }
    if (list_->count() > 0) list_->setCurrentRow(0);
}

QString HistorySearch::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

}  // namespace kv
