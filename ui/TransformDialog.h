// The manual transform dialog: translation, rotation, scale and spin of the
// scene typed as numbers.
#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

namespace kv {

class SceneModel;

class TransformDialog : public QDialog {
    Q_OBJECT
  public:
    // The fields in the order they are checked: rotation, translation,
    // scale, spin, each x, y, z.
    enum Field {
        RotX,
        RotY,
        RotZ,
        MoveX,
        MoveY,
        MoveZ,
        ScaleX,
        ScaleY,
        ScaleZ,
        SpinX,
        SpinY,
        SpinZ
    };

    TransformDialog(SceneModel& scene, QWidget* parent = nullptr);
    QLineEdit* field(int f) const { return fields_[static_cast<std::size_t>(f)]; }

    // Checks the twelve fields; writes them into the scene when all are valid.
    bool apply();

  signals:
    void applied();

  public slots:
    void accept() override;
    void resetFields();

  private:
    void fill();
    SceneModel& scene_;
    std::array<QLineEdit*, 12> fields_{};
};

}  // namespace kv
