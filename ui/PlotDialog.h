// The dialogs of the "Grafika" menu: explicit and parametric curve, explicit
// surface, implicit curve, implicit surface and surface of revolution. OK
// checks the boxes in order and composes the plot command with the scene's
// next free graph id; the "Animace" and "Oříznout" buttons open the dialogs
// that add those parts.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/DialogCommands.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace kv {

class ColorButton;
class SceneModel;

class PlotDialog : public QDialog {
    Q_OBJECT
  public:
    PlotDialog(PlotDialogKind kind, const SceneModel& scene, QWidget* parent = nullptr);

    QLineEdit* box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    ColorButton* colorButton(int i) const { return colors_[static_cast<std::size_t>(i)]; }
    // "Testovat nespojitost"; nullptr where the command has no such option.
    QCheckBox* checkDefBox() const { return checkDef_; }
    // "Otáčet kolem osy y" of the surface of revolution; nullptr in the others.
    QCheckBox* axisYBox() const { return axisY_; }
    QPushButton* animationButton() const { return animationButton_; }
    // nullptr where the command has no clipping.
    QPushButton* clipButton() const { return clipButton_; }

    PlotFields fields() const;
    // The command composed by a successful OK.
    const std::string& command() const { return command_; }

  public slots:
    void accept() override;
    void editAnimation();
    void editClip();

  private:
    PlotDialogKind kind_;
    const SceneModel& scene_;
    std::vector<QLineEdit*> boxes_;
    std::vector<ColorButton*> colors_;
    QCheckBox* checkDef_ = nullptr;
    QCheckBox* axisY_ = nullptr;
    QPushButton* animationButton_ = nullptr;
    QPushButton* clipButton_ = nullptr;
    AnimationFields animation_;
    ClipFields clip_;
    std::string command_;
};

}  // namespace kv
