// Whether the scene pane can draw at all: it needs an OpenGL context with the
// fixed-function pipeline. Asked once at start-up, before the main window
// builds the scene pane, because a QOpenGLWidget without a context takes the
// program down.
#pragma once

#include <QString>

namespace kv {

// Before the application object: false, with a message on standard error,
// when no platform was chosen and there is no display to connect to (Qt would
// abort the program).
bool displayReachable();

// Empty when a context of the default surface format can be created and made
// current and keeps the fixed-function calls; otherwise what is missing, in
// Czech. Needs the application object.
QString openGlProblem();

// Checks as openGlProblem() does; when OpenGL is missing, prints the message
// to standard error, shows it in a message box where the platform can show
// one, and returns false.
bool openGlUsable();

}  // namespace kv
