// The program's icons: the desktop theme's where it has one, the program's
// own drawings (SVG in the resources) where it has none.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kv {

// The icon the desktop theme has under the freedesktop name themeName
// (nullptr: no such name exists for this action), else the program's own
// drawing ":/icons/<fallback>.svg" (nullptr: none, the entry is then bare
// where the theme lacks the name).
QIcon themedIcon(const char* themeName, const char* fallback);

// The program's icon, for its windows; the desktop entry installs the same
// drawing.
QIcon programIcon();

// The program's picture for the about box: a lit wave surface over a tile,
// size x size pixels.
QPixmap aboutPicture(int size);

}  // namespace kv
