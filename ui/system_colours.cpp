#include "ui/system_colours.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace its90::ui {
namespace {

struct Mapping {
    SystemColour index;
    QPalette::ColorRole role;  // NoRole: the fixed colour below
    QColor fixed;
};

// Fixed colours are those of the Windows standard scheme for the roles Qt lacks. 3D light is
// Windows' #E3E3E3: lighter than the window, so that the output boxes do not look disabled,
// and unlike the white of the boxes that take input. (Qt's nearest role, Midlight, is darker
// than the button face and almost the window's grey.)
const Mapping kMappings[] = {
    {kScrollBar, QPalette::NoRole, QColor(0xC8, 0xC8, 0xC8)},
    {kDesktop, QPalette::NoRole, QColor(0x3A, 0x6E, 0xA5)},
    {kWindowBackground, QPalette::Base, {}},
    {kCaptionText, QPalette::NoRole, QColor(0xFF, 0xFF, 0xFF)},
    {kInactiveBorder, QPalette::NoRole, QColor(0xD4, 0xD0, 0xC8)},
    {kButtonFace, QPalette::Button, {}},
    {kLight3D, QPalette::NoRole, QColor(0xE3, 0xE3, 0xE3)},
};

constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                            QPalette::Disabled};

QColor colour(SystemColour index) { return system_colour(index, QApplication::palette()); }

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// A background for the enabled states and one for the disabled state; the text in the
// application's colour for each state (or `text` when given), made legible on it.
void set_colours(QPalette& p, SystemColour enabled, SystemColour disabled, QColor text = {}) {
    const QPalette& app = QApplication::palette();
    for (QPalette::ColorGroup group : kGroups) {
        const QColor background = colour(group == QPalette::Disabled ? disabled : enabled);
        p.setColor(group, QPalette::Window, background);
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::Button, background);
        const QColor wanted = text.isValid() && group != QPalette::Disabled
                                  ? text
                                  : app.color(group, QPalette::Text);
        const QColor shown = legible_on(wanted, background);
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
            p.setColor(group, role, shown);
        }
    }
}

}  // namespace

QColor system_colour(SystemColour index, const QPalette& palette) {
    for (const Mapping& m : kMappings) {
        if (m.index != index) continue;
        return m.role == QPalette::NoRole ? m.fixed : palette.color(QPalette::Active, m.role);
    }
    return palette.color(QPalette::Window);
}

double contrast_ratio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor legible_on(const QColor& text, const QColor& background) {
    const bool darken = luminance(background) > 0.18;  // where black reads better than white
    QColor c = text.toHsl();
    for (int step = 0; step < 256 && contrast_ratio(c, background) < kLegibleContrast; ++step) {
        const int lightness = c.lightness() + (darken ? -1 : 1);
        c.setHsl(c.hslHue(), c.hslSaturation(), std::clamp(lightness, 0, 255));
    }
    return c.toRgb();
}

void apply_system_colours(QWidget* widget, form::Control control) {
    using form::ControlKind;
    QPalette p = widget->palette();
    if (control.kind == ControlKind::Text1) {
        set_colours(p, kButtonFace, kButtonFace);
    } else if (form::is_result_box(control)) {
        set_colours(p, kLight3D, kLight3D, colour(kDesktop));
    } else if (form::is_text_box(control)) {
        set_colours(p, kWindowBackground, kButtonFace);
    } else if (control.kind == ControlKind::Label4) {
        set_colours(p, kInactiveBorder, kInactiveBorder);
    } else {
        set_colours(p, kScrollBar, kScrollBar);
    }
    widget->setPalette(p);
    // A frame paints only its border and caption, on the window's colour: one frame inside
    // another (Frame1 in Fr90) must not paint over the outer one's caption.
    if (qobject_cast<QLineEdit*>(widget) || form::is_frame(control)) return;
    // Option buttons fill with the button role unless told otherwise.
    if (qobject_cast<QRadioButton*>(widget)) widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

}  // namespace its90::ui
