// The toolbar icons, drawn by the program: a symbol on a rounded tile.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace kv {

QIcon drawnIcon(const QString& symbol, const QColor& tile);

// The program's picture for the about box: a lit wave surface over a tile,
// size x size pixels.
QPixmap aboutPicture(int size);

}  // namespace kv
