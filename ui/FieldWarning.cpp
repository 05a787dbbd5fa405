#include "ui/FieldWarning.h"

#include <QLineEdit>
#include <QMessageBox>

#include "ui/UiMessages.h"

namespace kv {

void warnAboutField(QWidget* dialog, QLineEdit* box, const QString& message) {
    QMessageBox::warning(dialog, QString::fromUtf8(uimsg::kProgramName), message);
    box->setFocus();
    box->selectAll();
}

}  // namespace kv
