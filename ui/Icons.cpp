#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QString>
#include <QSvgRenderer>
#include <cmath>

namespace kv {

namespace {

// An SVG drawn at the sizes toolbars and menus ask for, doubled for screens
// with two device pixels per point; QIcon scales between them.
QIcon svgIcon(const QString& path) {
    QSvgRenderer renderer(path);
    QIcon icon;
    if (!renderer.isValid()) return icon;
    for (int size : {16, 22, 24, 32, 44, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace

QIcon themedIcon(const char* themeName, const char* fallback) {
    QIcon own;
    if (fallback != nullptr)
        own = svgIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(fallback)));
    if (themeName == nullptr) return own;
    return QIcon::fromTheme(QLatin1String(themeName), own);
}

QIcon programIcon() {
    return svgIcon(QStringLiteral(":/icons/korvalinth.svg"));
}

QPixmap aboutPicture(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(29, 63, 140));
    p.setBrush(QColor(240, 244, 252));
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 8.0, size / 8.0);

    // z = sin(x)·cos(y) on [-3, 3]², seen obliquely; quads painted back to
    // front, shaded by their height so the waves read as relief.
    const int n = 14;
    auto project = [&](double x, double y) {
        const double z = std::sin(x) * std::cos(y);
        const double u = 0.5 + (x - 0.6 * y) / 11.0;
        const double v = 0.62 + (0.35 * y + 0.15 * x) / 11.0 - z * 0.13;
        return QPointF(u * size, v * size);
    };
    auto at = [&](int i) { return -3.0 + 6.0 * i / n; };
    for (int j = n - 1; j >= 0; --j) {
        for (int i = 0; i < n; ++i) {
            const double x0 = at(i), x1 = at(i + 1), y0 = at(j), y1 = at(j + 1);
            QPolygonF quad;
            quad << project(x0, y0) << project(x1, y0) << project(x1, y1) << project(x0, y1);
            const double z = std::sin((x0 + x1) / 2) * std::cos((y0 + y1) / 2);
            const int red = 150 + static_cast<int>(100 * (z + 1) / 2);
            p.setBrush(QColor(red, 60, 50));
            p.setPen(QPen(QColor(40, 20, 20), size / 160.0));
            p.drawPolygon(quad);
        }
    }
    // A blue curve above the surface, as in the program's first example.
    QPolygonF curve;
    for (int k = 0; k <= 60; ++k) {
        const double t = -3.0 + 6.0 * k / 60;
        curve << QPointF((0.5 + t / 7.5) * size, (0.2 - 0.08 * std::sin(2 * t)) * size);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(29, 63, 200), size / 40.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPolyline(curve);
    p.end();
    return pm;
}

}  // namespace kv
