// How a dialog refuses a box it cannot accept: a warning under the program's
// name, then the focus back in that box with its text selected, so the user
// corrects it at once. The dialog stays open.
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace kv {

void warnAboutField(QWidget* dialog, QLineEdit* box, const QString& message);

}  // namespace kv
