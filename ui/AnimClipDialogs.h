// The two parts of a plot command that the plot dialogs ask for separately:
// the animation ("Animace") and the clipping ranges ("Oříznout").
#pragma once

#include <QDialog>
#include <array>

#include "ui/DialogCommands.h"

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace kv {

class AnimDialog : public QDialog {
    Q_OBJECT
  public:
    enum Box { Variable, Lower, Upper, Frames, FrameTime };

    AnimDialog(const AnimationFields& fields, QWidget* parent = nullptr);
    QCheckBox* animateCheck() const { return animate_; }
    QLineEdit* box(int b) const { return boxes_[static_cast<std::size_t>(b)]; }
    AnimationFields fields() const;

  private:
    QCheckBox* animate_;
    std::array<QLineEdit*, 5> boxes_{};
};

class ClipDialog : public QDialog {
    Q_OBJECT
  public:
    ClipDialog(const ClipFields& fields, QWidget* parent = nullptr);
    QCheckBox* axisCheck(int axis) const { return checks_[static_cast<std::size_t>(axis)]; }
    QLineEdit* lowerBox(int axis) const { return lower_[static_cast<std::size_t>(axis)]; }
    QLineEdit* upperBox(int axis) const { return upper_[static_cast<std::size_t>(axis)]; }
    ClipFields fields() const;

  private:
    std::array<QCheckBox*, 3> checks_{};
    std::array<QLineEdit*, 3> lower_{};
    std::array<QLineEdit*, 3> upper_{};
};

// OK and "Zrušit" as every command dialog has them.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

}  // namespace kv
