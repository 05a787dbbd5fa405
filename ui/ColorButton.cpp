#include "ui/ColorButton.h"

#include <QColorDialog>
#include <QPixmap>

namespace kv {

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
    // Enter in a dialog's box means OK, never "choose a colour".
    setAutoDefault(false);
    setIconSize(QSize(40, 14));
    setColor({});
    connect(this, &QPushButton::clicked, this, &ColorButton::chooseColor);
}

void ColorButton::setColor(Rgb color) {
    color_ = color;
    QPixmap swatch(iconSize());
    swatch.fill(QColor(color.r, color.g, color.b));
    setIcon(QIcon(swatch));
}

void ColorButton::chooseColor() {
    // Qt's own chooser: its custom colours are shared by every instance,
    // which a platform dialog does not promise.
    QColor chosen = QColorDialog::getColor(QColor(color_.r, color_.g, color_.b), this, QString(),
                                           QColorDialog::DontUseNativeDialog);
    if (chosen.isValid()) setColor({chosen.red(), chosen.green(), chosen.blue()});
}

}  // namespace kv
