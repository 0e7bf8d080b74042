// The Windows system colours the window is drawn in, by their index, mapped to this
// desktop's palette where Qt has a matching role and to fixed colours where it has none; and
// text colours that can be read on them.
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

// The contrast ratio of two colours, 1 to 21, as WCAG 2 defines it.
double contrast_ratio(const QColor& a, const QColor& b);

// The least change of `text`'s lightness (darker on a light background, lighter on a dark
// one) that gives it a contrast of at least 4.5:1 against `background`.
QColor legible_on(const QColor& text, const QColor& background);

inline constexpr double kLegibleContrast = 4.5;

// Gives a control of the window its background and text colours in every state: the window's
// own on the window, frames, labels and option buttons, the window background on input
// boxes (the button face while disabled), and the output boxes' colours on the boxes the
// program writes. Every text colour is legible on its background.
void apply_system_colours(QWidget* widget, form::Control control);

}  // namespace its90::ui
