#include "ui/MathDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/AnimClipDialogs.h"
#include "ui/FieldWarning.h"

namespace kv {

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

}  // namespace

MathDialog::MathDialog(MathDialogKind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    const MathDialogShape& shape = mathDialogShape(kind);
    const MathFields initial = initialMathFields(kind);
    setWindowTitle(u(shape.title));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    QFormLayout* numericForm = nullptr;
    for (std::size_t i = 0; i < shape.boxes.size(); ++i) {
        auto* edit = new QLineEdit(QString::fromStdString(initial.boxes[i]));
        edit->setMinimumWidth(260);
        boxes_.push_back(edit);
        if (!shape.boxes[i].numericOnly) {
            form->addRow(u(shape.boxes[i].label), edit);
            continue;
        }
        // The numeric solver's interval, step and precision sit together
        // under "Numericky", which switches them on.
        if (!numericForm) {
            numeric_ = new QCheckBox(u("Numericky"));
            layout->addWidget(numeric_);
            auto* group = new QGroupBox;
            numericForm = new QFormLayout(group);
            layout->addWidget(group);
            connect(numeric_, &QCheckBox::toggled, this, &MathDialog::updateEnabled);
        }
        numericForm->addRow(u(shape.boxes[i].label), edit);
    }
    if (kind == MathDialogKind::Limit) {
        auto* group = new QGroupBox(u("Směr"));
        auto* row = new QHBoxLayout(group);
        const char* names[3] = {"Obousměrná", "Zleva", "Zprava"};
        for (int d = 0; d < 3; ++d) {
            directions_[d] = new QRadioButton(u(names[d]));
            row->addWidget(directions_[d]);
        }
        row->addStretch();
        directionButton(initial.direction)->setChecked(true);
        layout->addWidget(group);
    }
    layout->addWidget(okCancelButtons(this));
    updateEnabled();
}

QRadioButton* MathDialog::directionButton(LimitDirection d) const {
    return directions_[static_cast<int>(d)];
}

void MathDialog::updateEnabled() {
    if (!numeric_) return;
    const auto& shapes = mathDialogShape(kind_).boxes;
    for (std::size_t i = 0; i < shapes.size(); ++i)
        if (shapes[i].numericOnly) boxes_[i]->setEnabled(numeric_->isChecked());
}

MathFields MathDialog::fields() const {
    MathFields f;
    f.kind = kind_;
    for (QLineEdit* b : boxes_) f.boxes.push_back(b->text().toStdString());
    f.numeric = numeric_ && numeric_->isChecked();
    for (int d = 0; d < 3; ++d)
        if (directions_[d] && directions_[d]->isChecked()) f.direction = LimitDirection(d);
    return f;
}

void MathDialog::accept() {
    const MathFields f = fields();
    if (auto problem = checkMathFields(f)) {
        warnAboutField(this, box(problem->box), u(problem->message));
        return;
    }
    command_ = composeMathCommand(f);
    QDialog::accept();
}

}  // namespace kv
