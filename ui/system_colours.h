// The Windows system colours the window is drawn in, by their index, mapped to this
// desktop's palette where Qt has a matching role and to fixed colours where it has none.
#pragma once

#include <QColor>
#include <QPalette>

#include "form/controls.h"

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

// Gives a control of the window its background and text colours: the window's own on the
// window, frames, labels and option buttons, the window background on input boxes (the
// button face while disabled), and the output boxes' colours on the boxes the program writes.
void apply_system_colours(QWidget* widget, form::Control control);

}  // namespace its90::ui
