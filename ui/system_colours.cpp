#include "system_colours.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "form_layout.h"

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

void set_text_colour(QWidget* widget, SystemColour index) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Text, system_colour(index, QApplication::palette()));
    widget->setPalette(p);
}

bool is_output_box(const QString& name) {
    for (int box : kOutputBoxes) {
        if (name == QString("T1(%1)").arg(box)) return true;
    }
    return false;
}

}  // namespace

QColor system_colour(SystemColour index, const QPalette& palette) {
    for (const Mapping& m : kMappings) {
        if (m.index != index) continue;
        return m.role == QPalette::NoRole ? m.fixed : palette.color(QPalette::Active, m.role);
    }
    return palette.color(QPalette::Window);
}

void set_background(QWidget* widget, SystemColour index) {
    const QColor colour = system_colour(index, QApplication::palette());
    QPalette p = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, colour);
        p.setColor(group, QPalette::Base, colour);
    }
    widget->setPalette(p);
    if (!qobject_cast<QLineEdit*>(widget)) widget->setAutoFillBackground(true);
}

void apply_system_colours(QWidget& form) {
    set_background(&form, kScrollBar);
    for (QWidget* w : form.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (qobject_cast<QGroupBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            set_background(w, kScrollBar);
        } else if (qobject_cast<QLabel*>(w)) {
            set_background(w, name == "Label4" ? kInactiveBorder : kScrollBar);
        } else if (qobject_cast<QLineEdit*>(w)) {
            if (name == "Text1") {
                set_background(w, kButtonFace);
            } else if (is_output_box(name)) {
                set_background(w, kLight3D);
                set_text_colour(w, kDesktop);
            } else {
                set_background(w, kWindowBackground);
            }
        }
    }
}

}  // namespace its90::ui
