#include "ui/ScenePane.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QTimer>
#include <QWheelEvent>

#include "export/AnimationExport.h"
#include "export/AviWriter.h"
#include "export/Snapshot.h"
#include "ui/UiMessages.h"

namespace kv {

ScenePane::ScenePane(SceneModel& scene, QWidget* parent) : QOpenGLWidget(parent), scene_(scene) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 64);
    scene_.setObserver(this);
}

ScenePane::~ScenePane() {
    scene_.setObserver(nullptr);
    releaseContext();
}

void ScenePane::releaseContext() {
    if (!renderer_.initialized() || !context()) return;
    makeCurrent();
    renderer_.releaseContext(scene_);
    doneCurrent();
}

// A pane whose context could not be made stays blank and says so once.
void ScenePane::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    if (contextChecked_) return;
    contextChecked_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!isValid())
            QMessageBox::warning(this, QString::fromUtf8(uimsg::kProgramName),
                                 QString::fromUtf8(uimsg::kNoGlContext));
    });
}

// The context is made when the pane is first shown, which may be after graphs
// were added and framed: the view starts as the scene has it (zero rotation,
// solid model with wire mesh, no spin from construction on) and only line
// antialiasing is switched on here.
void ScenePane::initializeGL() {
    renderer_.setDevicePixelRatio(devicePixelRatioF());
    renderer_.initialize();
    renderer_.setAntialias(true);
    scene_.antialias = true;
    emit stateChanged();  // the menu and toolbar marks show it at once
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { releaseContext(); });
    spinTimer_.start(kSpinPeriodMs, this);
    if (scene_.animationPeriod() > 0) animationTimer_.start(scene_.animationPeriod(), this);
}

void ScenePane::resizeGL(int w, int h) {
    // The pane draws at the full device resolution; a move to a screen of
    // another pixel ratio resizes it.
    const qreal dpr = devicePixelRatioF();
    renderer_.setDevicePixelRatio(dpr);
    renderer_.resize(static_cast<int>(w * dpr), static_cast<int>(h * dpr));
}

void ScenePane::paintGL() {
    renderer_.renderFrame(scene_);
}

void ScenePane::sceneChanged() {
    update();
    emit stateChanged();
}

void ScenePane::animationTimerRestarted(int periodMs) {
    if (periodMs > 0) animationTimer_.start(periodMs, this);
}

void ScenePane::graphReleasing(GraphObject& graph) {
    if (!renderer_.initialized() || !context()) return;
    makeCurrent();
    renderer_.releaseGraph(graph);
    doneCurrent();
}

void ScenePane::setAntialias(bool on) {
    scene_.antialias = on;
    renderer_.setAntialias(on);
    sceneChanged();
}

void ScenePane::removeAll() {
    scene_.clearGraphs();
    sceneChanged();
}

void ScenePane::timerEvent(QTimerEvent* event) {
    const bool focused = hasFocus();
    if (event->timerId() == spinTimer_.timerId()) {
        if (scene_.spinTick(focused)) update();
    } else if (event->timerId() == animationTimer_.timerId()) {
        if (scene_.animationTick(focused)) update();
    } else {
        QOpenGLWidget::timerEvent(event);
    }
}

void ScenePane::keyPressEvent(QKeyEvent* event) {
    auto drag = [&](SceneModel::DragMode mode) { scene_.drag_mode = mode; };
    auto render = [&](SceneModel::RenderMode mode) { scene_.render_mode = mode; };
    switch (event->key()) {
        case Qt::Key_Q:
            drag(SceneModel::RotateXY);
            break;
        case Qt::Key_W:
            drag(SceneModel::RotateYZ);
            break;
        case Qt::Key_E:
            drag(SceneModel::RotateXZ);
            break;
        case Qt::Key_R:
            drag(SceneModel::MoveXY);
            break;
        case Qt::Key_T:
            drag(SceneModel::ScaleX);
            break;
        case Qt::Key_Z:
            drag(SceneModel::ScaleY);
            break;
        case Qt::Key_U:
            drag(SceneModel::ScaleZ);
            break;
        case Qt::Key_1:
            render(SceneModel::SolidWireModel);
            break;
        case Qt::Key_2:
            render(SceneModel::SolidModel);
            break;
        case Qt::Key_3:
            render(SceneModel::WireModel);
            break;
        case Qt::Key_4:
            render(SceneModel::HiddenLineModel);
            break;
        case Qt::Key_B:
            scene_.show_box = !scene_.show_box;
            break;
        case Qt::Key_C:
            scene_.show_axes = !scene_.show_axes;
            break;
        case Qt::Key_L:
            scene_.show_labels = !scene_.show_labels;
            break;
        case Qt::Key_Space:
            scene_.animating = !scene_.animating;
            break;
        case Qt::Key_O:
            scene_.bounce = !scene_.bounce;
            break;
        case Qt::Key_A:
            scene_.stepFrames(1);
            break;
        case Qt::Key_S:
            scene_.stepFrames(-1);
            break;
        case Qt::Key_X:
            scene_.resetView();
            break;
        case Qt::Key_M:
            emit manualTransformRequested();
            break;
        case Qt::Key_Delete:
            scene_.clearGraphs();
            break;
        default:
            QOpenGLWidget::keyPressEvent(event);
            return;
    }
    sceneChanged();
}

void ScenePane::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) scene_.leftButtonDown(p.x(), p.y());
    if (event->button() == Qt::RightButton) scene_.rightButtonDown(p.x(), p.y());
    setFocus();
}

void ScenePane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) scene_.leftButtonUp();
    if (event->button() == Qt::RightButton) scene_.rightButtonUp();
}

void ScenePane::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (scene_.mouseMove(p.x(), p.y(), width(), height())) update();
}

// The wheel moves the scene towards or away from the viewer, as a right drag
// of one pixel per eighth of a notch does.
void ScenePane::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 8;
    if (steps == 0) return;
    scene_.rightButtonDown(0, 0);
    scene_.mouseMove(0, -steps, width(), height());
    scene_.rightButtonUp();
    scene_.spinning = false;
    update();
}

QSize ScenePane::videoSize() const {
    const qreal dpr = devicePixelRatioF();
    return {AviWriter::roundedSize(static_cast<int>(width() * dpr)),
            AviWriter::roundedSize(static_cast<int>(height() * dpr))};
}

bool ScenePane::exportAnimation(const QString& path, const AnimationSettings& settings,
                                std::string& error) {
    if (!isValid() || !renderer_.initialized()) {
        error = uimsg::kNoGlContext;
        return false;
    }
    // No timer may move the scene between the recorded steps.
    spinTimer_.stop();
    animationTimer_.stop();
    makeCurrent();
    const qreal dpr = devicePixelRatioF();
    const bool ok =
        recordAnimation(scene_, renderer_, static_cast<int>(width() * dpr),
                        static_cast<int>(height() * dpr), path.toStdString(), settings, error);
    doneCurrent();
    spinTimer_.start(kSpinPeriodMs, this);
    if (scene_.graphCount() > 0 && scene_.animationPeriod() > 0)
        animationTimer_.start(scene_.animationPeriod(), this);
    sceneChanged();
    return ok;
}

bool ScenePane::saveSnapshot(const QString& path, std::string& error, bool& fatal, int scale) {
    fatal = false;
    if (!isValid() || !renderer_.initialized()) {
        error = uimsg::kNoGlContext;
        return false;
    }
    if (scale > 1) return saveScaledSnapshot(path, error, fatal, scale);
    QImage image = grabFramebuffer().convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) {
        error = uimsg::kNoGlContext;
        return false;
    }
    // Rows of a QImage are padded to 4 bytes; the writer takes them packed.
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<std::size_t>(image.width()) * image.height() * 3);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        pixels.insert(pixels.end(), row, row + image.width() * 3);
    }
    return writePicture(path.toStdString(), pixels.data(), image.width(), image.height(), &error,
                        &fatal);
}

// The pane's own context draws the view once more into a multisampled
// framebuffer of the larger size: the graphs' display lists belong to this
// context, and the same renderer keeps the view exactly.
bool ScenePane::saveScaledSnapshot(const QString& path, std::string& error, bool& fatal,
                                   int scale) {
    const qreal dpr = devicePixelRatioF();
    const int w = static_cast<int>(width() * dpr) * scale;
    const int h = static_cast<int>(height() * dpr) * scale;
    makeCurrent();
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    format.setSamples(4);
    std::vector<unsigned char> pixels;
    {
        QOpenGLFramebufferObject target(w, h, format);
        if (!target.isValid() || !target.bind()) {
            doneCurrent();
            error = uimsg::kSnapshotTooLarge;
            return false;
        }
        renderer_.setDevicePixelRatio(dpr * scale);
        renderer_.resize(w, h);
        const bool drawn = renderer_.renderFrame(scene_);
        if (drawn) pixels = readPixelsTopDown(w, h);
        target.release();
        renderer_.setDevicePixelRatio(dpr);
        renderer_.resize(static_cast<int>(width() * dpr), static_cast<int>(height() * dpr));
    }
    doneCurrent();
    update();
    if (pixels.empty()) {
        error = uimsg::kSnapshotTooLarge;
        return false;
    }
    return writePicture(path.toStdString(), pixels.data(), w, h, &error, &fatal);
}

}  // namespace kv
