#include "ui/system_colours.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

namespace its90::ui {
namespace {

struct Mapping {
    SystemColour index;
    QPalette::ColorRole role;  // NoRole: the fixed colour below
    QColor fixed;
};

// Fixed colours are those of the Windows standard scheme for the roles Qt lacks.
const Mapping kMappings[] = {
    {kScrollBar, QPalette::NoRole, QColor(0xC8, 0xC8, 0xC8)},
    {kDesktop, QPalette::NoRole, QColor(0x3A, 0x6E, 0xA5)},
    {kWindowBackground, QPalette::Base, {}},
    {kCaptionText, QPalette::NoRole, QColor(0xFF, 0xFF, 0xFF)},
    {kInactiveBorder, QPalette::NoRole, QColor(0xD4, 0xD0, 0xC8)},
    {kButtonFace, QPalette::Button, {}},
    {kLight3D, QPalette::Midlight, {}},
};

QColor colour(SystemColour index) { return system_colour(index, QApplication::palette()); }

// The background of every state, and a separate one while disabled.
void set_background(QPalette& p, SystemColour enabled, SystemColour disabled) {
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor c = colour(group == QPalette::Disabled ? disabled : enabled);
        p.setColor(group, QPalette::Window, c);
        p.setColor(group, QPalette::Base, c);
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

void apply_system_colours(QWidget* widget, form::Control control) {
    using form::ControlKind;
    QPalette p = widget->palette();
    if (control.kind == ControlKind::Text1) {
        set_background(p, kButtonFace, kButtonFace);
    } else if (form::is_result_box(control)) {
        set_background(p, kLight3D, kLight3D);
        p.setColor(QPalette::Text, colour(kDesktop));
    } else if (form::is_text_box(control)) {
        set_background(p, kWindowBackground, kButtonFace);
    } else if (control.kind == ControlKind::Label4) {
        set_background(p, kInactiveBorder, kInactiveBorder);
    } else {
        set_background(p, kScrollBar, kScrollBar);
    }
    widget->setPalette(p);
    if (!qobject_cast<QLineEdit*>(widget)) widget->setAutoFillBackground(true);
}

}  // namespace its90::ui
