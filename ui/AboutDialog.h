// The about box: the program's name, version and build date, and its picture.
#pragma once

#include <QDialog>

namespace kv {

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // "Verze … [ Sestaveno dd/mm/yyyy ]" for this build.
    static QString versionLine();
};

}  // namespace kv
