#include "ui/AnimationExportDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>

#include "export/AnimationExport.h"
#include "export/AviWriter.h"
#include "ui/AnimClipDialogs.h"
#include "ui/FieldWarning.h"
#include "ui/UiMessages.h"

namespace kv {

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

// A whole number, blanks around it allowed; false for anything else.
bool readWhole(const QString& text, int& value) {
    const std::string s = text.trimmed().toStdString();
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, value);
    return !s.empty() && ec == std::errc() && p == end;
}

}  // namespace

AnimSetDialog::AnimSetDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(u(uimsg::kAnimSetTitle));
    frames_ = new QLineEdit(QStringLiteral("12"));
    rate_ = new QLineEdit(QStringLiteral("6"));
    auto* form = new QFormLayout;
    form->addRow(u("Počet Snímků:"), frames_);
    form->addRow(u("FPS:"), rate_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

// The frame count first, then the rate; a value out of range is refused
// with the range in the message and the focus back in its box.
void AnimSetDialog::accept() {
    int frames = 0;
    int rate = 0;
    const bool framesRead = readWhole(frames_->text(), frames);
    if (!framesRead || !checkAnimationSettings(frames, 1).empty()) {
        warnAboutField(this, frames_, QString::fromStdString(checkAnimationSettings(0, 1)));
        return;
    }
    if (!readWhole(rate_->text(), rate) || !checkAnimationSettings(1, rate).empty()) {
        warnAboutField(this, rate_, QString::fromStdString(checkAnimationSettings(1, 0)));
        return;
    }
    framesValue_ = frames;
    rateValue_ = rate;
    QDialog::accept();
}

CompressorDialog::CompressorDialog(const std::vector<VideoEncoder>& encoders, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(u(uimsg::kCompressorTitle));
    list_ = new QListWidget;
    for (const VideoEncoder& e : encoders) {
        const QString name = QString::fromStdString(e.name);
        const QString text = e.name == "rawvideo" ? u(uimsg::kUncompressed)
                                                  : name + QStringLiteral(" – ") +
                                                        QString::fromStdString(e.description);
        list_->addItem(text);
        names_.push_back(e.name);
    }
    if (list_->count() > 0) list_->setCurrentRow(0);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u(uimsg::kCompressorLabel)));
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(460, 320);
}

std::string CompressorDialog::codec() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(names_.size())) return {};
    return names_[static_cast<std::size_t>(row)];
}

}  // namespace kv
