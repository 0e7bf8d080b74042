// The Windows system colours the window is drawn in, by their index, mapped to this
// desktop's palette where Qt has a matching role and to fixed colours where it has none.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace its90::ui {

enum SystemColour {
    kScrollBar = 0,
    kDesktop = 1,
    kWindowBackground = 5,
    kCaptionText = 9,
    kInactiveBorder = 11,
    kButtonFace = 15,
    kLight3D = 22,
};

QColor system_colour(SystemColour index, const QPalette& palette);

// Gives every control of the window its background and text colour.
void apply_system_colours(QWidget& form);

// Paints `widget`'s background (and, for a text box, its base) in a system colour.
void set_background(QWidget* widget, SystemColour index);

}  // namespace its90::ui
