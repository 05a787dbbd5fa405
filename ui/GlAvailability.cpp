#include "ui/GlAvailability.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <iostream>

#include "ui/StartupMessages.h"
#include "ui/UiMessages.h"

namespace kv {

bool displayReachable() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name)) return true;
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland")) return true;
    std::cerr << uimsg::kNoDisplay << std::endl;
    return false;
}

QString openGlProblem() {
    const QString platform = QGuiApplication::platformName();
    QOpenGLContext context;
    if (!context.create()) return QString::fromUtf8(uimsg::kGlNoContext).arg(platform);
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return QString::fromUtf8(uimsg::kGlNotCurrent).arg(platform);
    const QSurfaceFormat format = context.format();
    context.doneCurrent();
    // Display lists and glBegin exist neither in OpenGL ES nor in a core
    // profile (3.2 and later).
    const bool core =
        format.profile() == QSurfaceFormat::CoreProfile && format.version() >= qMakePair(3, 2);
    if (context.isOpenGLES() || core)
        return QString::fromUtf8(uimsg::kGlNoFixedFunction)
            .arg(platform,
                 context.isOpenGLES() ? QStringLiteral("OpenGL ES") : QStringLiteral("OpenGL"))
            .arg(format.majorVersion())
            .arg(format.minorVersion());
    return {};
}

bool openGlUsable() {
    const QString problem = openGlProblem();
    if (problem.isEmpty()) return true;
    const QString message = QString::fromUtf8(uimsg::kGlMissing).arg(problem);
    std::cerr << message.toStdString() << std::endl;
    // Platforms without a screen cannot show the box, and nobody could close it.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QString::fromUtf8(uimsg::kProgramName), message);
    return false;
}

}  // namespace kv
