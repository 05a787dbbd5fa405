// The dialogs of the "Matematika" menu: simplification, evaluation,
// equations, limit, derivative, integration, GCD, LCM, substitution and
// Taylor polynomial. One window built from the dialog's table of boxes; OK
// checks the boxes in order and composes the command line.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/DialogCommands.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace kv {

class MathDialog : public QDialog {
    Q_OBJECT
  public:
    explicit MathDialog(MathDialogKind kind, QWidget* parent = nullptr);

    QLineEdit* box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    // The equation dialog's "Numericky"; nullptr in the others.
    QCheckBox* numericCheck() const { return numeric_; }
    // The limit dialog's direction buttons; nullptr in the others.
    QRadioButton* directionButton(LimitDirection d) const;

    MathFields fields() const;
    // The command composed by a successful OK.
    const std::string& command() const { return command_; }

  public slots:
    void accept() override;

  private:
    void updateEnabled();

    MathDialogKind kind_;
    std::vector<QLineEdit*> boxes_;
    QCheckBox* numeric_ = nullptr;
    QRadioButton* directions_[3] = {};
    std::string command_;
};

}  // namespace kv
