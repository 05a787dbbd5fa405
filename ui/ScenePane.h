// The scene pane: an OpenGL widget that draws the scene through the
// renderer, feeds it the keys, mouse drags and timer ticks, and saves what it
// shows as a PNG or JPEG picture.
#pragma once

#include <QBasicTimer>
#include <QOpenGLWidget>
#include <string>

#include "graphics/GlRenderer.h"
#include "graphics/SceneModel.h"

namespace kv {

struct AnimationSettings;

class ScenePane : public QOpenGLWidget, public SceneObserver {
    Q_OBJECT
  public:
    static constexpr int kSpinPeriodMs = 40;

    explicit ScenePane(SceneModel& scene, QWidget* parent = nullptr);
    ~ScenePane() override;

    SceneModel& scene() { return scene_; }

    // Renders the current view and saves it (PNG or JPEG by the name),
    // `scale` times the pane's size in device pixels: at 2 or 4 the view is
    // drawn again off the screen at that size, with lines and labels scaled
    // alike. False with the reason in `error`.
    bool saveSnapshot(const QString& path, std::string& error, bool& fatal, int scale = 1);
    // Records the animation as a video of the pane's size rounded down to
    // multiples of 4, with the timers stopped meanwhile; false with the
    // reason in `error`, and then no file is left.
    bool exportAnimation(const QString& path, const AnimationSettings& settings,
                         std::string& error);
    // The frame size a video of this pane has (device pixels, rounded).
    QSize videoSize() const;
    // Line antialiasing on or off, then a redraw.
    void setAntialias(bool on);
    // Removes every graph, as the Delete key and "Odstranit Vše" do.
    void removeAll();

    // SceneObserver
    void sceneChanged() override;
    void animationTimerRestarted(int periodMs) override;
    void graphReleasing(GraphObject& graph) override;

  signals:
    // The scene state shown by the menu marks changed.
    void stateChanged();
    void manualTransformRequested();

  protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void releaseContext();
    bool saveScaledSnapshot(const QString& path, std::string& error, bool& fatal, int scale);

    SceneModel& scene_;
    GlRenderer renderer_;
    QBasicTimer spinTimer_;
    QBasicTimer animationTimer_;
    bool contextChecked_ = false;
};

}  // namespace kv
