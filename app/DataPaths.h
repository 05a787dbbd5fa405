// Where the program finds the files it ships: its manual and its examples.
// They sit beside the executable in the build tree and in
// share/korvalinth/ of an installed tree; both are found from the folder of
// the running executable, so the program works wherever it was put.
#pragma once

#include <QString>

namespace kv {

// The folder of the running executable (from /proc/self/exe, so no
// application object is needed).
QString programDir();

// The file or folder `relative` (e.g. "help/help.htm") beside the program in
// `dir`, or else in the installed data folder; empty when it is in neither.
QString shippedPath(const QString& dir, const QString& relative);

}  // namespace kv
