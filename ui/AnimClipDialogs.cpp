#include "ui/AnimClipDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QLineEdit* e) {
    return e->text().toStdString();
}

}  // namespace

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(u("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(u("Zrušit"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

AnimDialog::AnimDialog(const AnimationFields& fields, QWidget* parent) : QDialog(parent) {
    setWindowTitle(u("Animace"));
    animate_ = new QCheckBox(u("Animovat"));
    const char* labels[5] = {"Proměnná:", "Od:", "Do:", "Počet snímků:", "Doba snímku (ms):"};
    const std::string* texts[5] = {&fields.variable, &fields.lower, &fields.upper, &fields.frames,
                                   &fields.frameTime};
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QLineEdit(q(*texts[i]));
        form->addRow(u(labels[i]), boxes_[i]);
    }
    auto enable = [this](bool on) {
        for (QLineEdit* b : boxes_) b->setEnabled(on);
    };
    connect(animate_, &QCheckBox::toggled, this, enable);
    animate_->setChecked(fields.enabled);
    enable(fields.enabled);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(animate_);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

AnimationFields AnimDialog::fields() const {
    AnimationFields f;
    f.enabled = animate_->isChecked();
    f.variable = s(boxes_[Variable]);
    f.lower = s(boxes_[Lower]);
    f.upper = s(boxes_[Upper]);
    f.frames = s(boxes_[Frames]);
    f.frameTime = s(boxes_[FrameTime]);
    return f;
}

ClipDialog::ClipDialog(const ClipFields& fields, QWidget* parent) : QDialog(parent) {
    setWindowTitle(u("Oříznout"));
    const char* names[3] = {"Oříznout x", "Oříznout y", "Oříznout z"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        const ClipAxis& axis = fields.axis[i];
        auto k = static_cast<std::size_t>(i);
        checks_[k] = new QCheckBox(u(names[i]));
        lower_[k] = new QLineEdit(q(axis.lower));
        upper_[k] = new QLineEdit(q(axis.upper));
        grid->addWidget(checks_[k], i, 0);
        grid->addWidget(new QLabel(u("od:")), i, 1);
        grid->addWidget(lower_[k], i, 2);
        grid->addWidget(new QLabel(u("do:")), i, 3);
        grid->addWidget(upper_[k], i, 4);
        auto enable = [this, k](bool on) {
            lower_[k]->setEnabled(on);
            upper_[k]->setEnabled(on);
        };
        connect(checks_[k], &QCheckBox::toggled, this, enable);
        checks_[k]->setChecked(axis.enabled);
        enable(axis.enabled);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(okCancelButtons(this));
}

ClipFields ClipDialog::fields() const {
    ClipFields f;
    for (std::size_t i = 0; i < 3; ++i) {
        f.axis[i].enabled = checks_[i]->isChecked();
        f.axis[i].lower = s(lower_[i]);
        f.axis[i].upper = s(upper_[i]);
    }
    return f;
}

}  // namespace kv
