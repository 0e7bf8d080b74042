// Every control of the window: kind, container, position and size in twips (15 twips to the
// pixel), caption, font and tab index. One table drives creation, placement and tab order.
#pragma once

#include <string>
#include <vector>

namespace its90::ui {

enum class ControlKind { Frame, Label, TextBox, OptionButton };

struct FontSpec {
    const char* family;  // nullptr: the window font
    double points;
    bool bold;
};

inline constexpr FontSpec kWindowFont{"宋体", 14.25, false};

struct ControlSpec {
    std::string name;    // objectName; array members carry their index: "T1(12)"
    ControlKind kind;
    std::string parent;  // "Form1" or the name of a frame
    int left, top, width, height;  // twips, relative to the parent
    std::string caption;
    FontSpec font;
    int tab_index;  // -1: takes no part in the tab order
    std::string tool_tip;
};

// The T1 boxes that show results: the graduation table and the EMF at a typed temperature.
inline constexpr int kOutputBoxes[] = {3, 4, 5, 6, 7, 8, 9, 10, 13, 14};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 6870;
inline constexpr int kClientHeightTwips = 7440;

const std::vector<ControlSpec>& form1_controls();

// One straight line drawn on the window, in twips, in a system colour (-1: the default).
struct LineSpec {
    const char* name;
    int x1, y1, x2, y2;
    int colour;
};

const std::vector<LineSpec>& form1_lines();

}  // namespace its90::ui
