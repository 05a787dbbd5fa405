#include "ui/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/FieldWarning.h"
#include "ui/UiMessages.h"

namespace kv {

SettingsDialog::SettingsDialog(const Settings& current, QWidget* parent)
    : QDialog(parent), result_(current) {
    setWindowTitle(QString::fromUtf8(uimsg::kSettingsTitle));
    digits_ = new QLineEdit(QString::number(current.ndigits));
    querySave_ = new QCheckBox(QString::fromUtf8(uimsg::kQuerySaveCheck));
    formatOutput_ = new QCheckBox(QString::fromUtf8(uimsg::kFormatOutputCheck));
    showToolbar_ = new QCheckBox(QString::fromUtf8(uimsg::kShowToolbarCheck));
    querySave_->setChecked(current.querySave);
    formatOutput_->setChecked(current.formatOutput);
    showToolbar_->setChecked(current.showGToolbar);

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(uimsg::kDigitsLabel), digits_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(querySave_);
    layout->addWidget(formatOutput_);
    layout->addWidget(showToolbar_);
    layout->addWidget(buttons);
}

void SettingsDialog::accept() {
    DigitsCheck check = checkDigitText(digits_->text().toStdString());
    if (!check.digits) {
        warnAboutField(this, digits_, QString::fromStdString(check.message));
        return;
    }
    result_.ndigits = *check.digits;
    result_.querySave = querySave_->isChecked();
    result_.formatOutput = formatOutput_->isChecked();
    result_.showGToolbar = showToolbar_->isChecked();
    QDialog::accept();
}

}  // namespace kv
