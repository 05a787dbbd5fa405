// A button that shows a colour and opens the system colour chooser on it.
// The chooser's sixteen custom colours belong to the process, so a colour
// kept in one dialog is offered in every other for the rest of the run.
#pragma once

#include <QPushButton>

#include "ui/DialogCommands.h"

namespace kv {

class ColorButton : public QPushButton {
    Q_OBJECT
  public:
    explicit ColorButton(QWidget* parent = nullptr);

    Rgb color() const { return color_; }
    void setColor(Rgb color);

  public slots:
    // Opens the chooser on the current colour; Cancel leaves it unchanged.
    void chooseColor();

  private:
    Rgb color_;
};

}  // namespace kv
