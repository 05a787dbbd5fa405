#include "ui/PlotDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/AnimClipDialogs.h"
#include "ui/ColorButton.h"
#include "ui/FieldWarning.h"

namespace kv {

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

}  // namespace

PlotDialog::PlotDialog(PlotDialogKind kind, const SceneModel& scene, QWidget* parent)
    : QDialog(parent), kind_(kind), scene_(scene) {
    const PlotDialogShape& shape = plotDialogShape(kind);
    const PlotFields initial = initialPlotFields(kind);
    animation_ = initial.animation;
    clip_ = initial.clip;
    setWindowTitle(u(shape.title));

    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < shape.boxes.size(); ++i) {
        auto* edit = new QLineEdit(QString::fromStdString(initial.boxes[i]));
        edit->setMinimumWidth(260);
        boxes_.push_back(edit);
        form->addRow(u(shape.boxes[i].label), edit);
    }
    for (std::size_t i = 0; i < shape.colorLabels.size(); ++i) {
        auto* button = new ColorButton;
        button->setColor(initial.colors[i]);
        colors_.push_back(button);
        auto* row = new QHBoxLayout;
        row->addWidget(button);
        row->addStretch();
        form->addRow(u(shape.colorLabels[i]), row);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    if (shape.hasCheckDef) {
        checkDef_ = new QCheckBox(u("Testovat nespojitost"));
        checkDef_->setChecked(initial.checkDef);
        layout->addWidget(checkDef_);
    }
    if (shape.hasAxisChoice) {
        axisY_ = new QCheckBox(u("Otáčet kolem osy y (x = f(y))"));
        axisY_->setChecked(initial.aboutY);
        layout->addWidget(axisY_);
    }
    auto* extras = new QHBoxLayout;
    animationButton_ = new QPushButton(u("Animace"));
    animationButton_->setAutoDefault(false);
    connect(animationButton_, &QPushButton::clicked, this, &PlotDialog::editAnimation);
    extras->addWidget(animationButton_);
    if (shape.hasClip) {
        clipButton_ = new QPushButton(u("Oříznout"));
        clipButton_->setAutoDefault(false);
        connect(clipButton_, &QPushButton::clicked, this, &PlotDialog::editClip);
        extras->addWidget(clipButton_);
    }
    extras->addStretch();
    layout->addLayout(extras);
    layout->addWidget(okCancelButtons(this));
}

void PlotDialog::editAnimation() {
    AnimDialog d(animation_, this);
    if (d.exec() == QDialog::Accepted) animation_ = d.fields();
}

void PlotDialog::editClip() {
    ClipDialog d(clip_, this);
    if (d.exec() == QDialog::Accepted) clip_ = d.fields();
}

PlotFields PlotDialog::fields() const {
    PlotFields f;
    f.kind = kind_;
    for (QLineEdit* b : boxes_) f.boxes.push_back(b->text().toStdString());
    for (ColorButton* c : colors_) f.colors.push_back(c->color());
    f.checkDef = checkDef_ && checkDef_->isChecked();
    f.aboutY = axisY_ && axisY_->isChecked();
    f.animation = animation_;
    f.clip = clip_;
    return f;
}

void PlotDialog::accept() {
    const PlotFields f = fields();
    if (auto problem = checkPlotFields(f)) {
        warnAboutField(this, box(problem->box), u(problem->message));
        return;
    }
    command_ = composePlotCommand(f, nextFreeGraphId(scene_));
    QDialog::accept();
}

}  // namespace kv
