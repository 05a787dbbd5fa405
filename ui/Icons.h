// The toolbar icons, drawn by the program: a symbol on a rounded tile.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace kv {

QIcon drawnIcon(const QString& symbol, const QColor& tile);

}  // namespace kv
