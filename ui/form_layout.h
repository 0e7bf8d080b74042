// Every control of the window: container, position and size in twips (15 twips to the
// pixel), caption, font and tab index. One table drives creation, placement and tab order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form/controls.h"
#include "ui/system_colours.h"

namespace its90::ui {

struct FontSpec {
    const char* family;
    double points;
    bool bold;
};

inline constexpr FontSpec kWindowFont{"宋体", 14.25, false};

struct ControlSpec {
    form::Control id;
    form::Control parent;  // Form1 or a frame
    int left, top, width, height;  // twips, relative to the parent
    // Empty where another table holds it: the model's captions that change (Label1(11),
    // Label3, Lab_wfds) and the sensor buttons' (the sensor table).
    std::string caption;
    FontSpec font;
    int tab_index;  // -1: takes no part in the tab order
    bool border = true;  // of a frame: false draws none
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 6870;
inline constexpr int kClientHeightTwips = 7440;

const std::vector<ControlSpec>& form1_controls();

// One straight line drawn on the window, in twips, in a system colour (none: the text colour).
struct LineSpec {
    int x1, y1, x2, y2;
    std::optional<SystemColour> colour;
};

const std::vector<LineSpec>& form1_lines();

}  // namespace its90::ui
