// The settings dialog: the digit count and three switches.
#pragma once

#include <QDialog>

#include "doc/Settings.h"

class QCheckBox;
class QLineEdit;

namespace kv {

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    SettingsDialog(const Settings& current, QWidget* parent = nullptr);
    // The values accepted by OK.
    Settings settings() const { return result_; }
    QLineEdit* digitsEdit() const { return digits_; }

  public slots:
    void accept() override;

  private:
    QLineEdit* digits_;
    QCheckBox* querySave_;
    QCheckBox* formatOutput_;
    QCheckBox* showToolbar_;
    Settings result_;
};

}  // namespace kv
