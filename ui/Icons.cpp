#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>

namespace kv {

QIcon drawnIcon(const QString& symbol, const QColor& tile) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(tile.darker(150));
        p.setBrush(tile);
        p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setBold(true);
        font.setPixelSize(symbol.size() > 2 ? size * 4 / 10 : size * 6 / 10);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, symbol);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace kv
