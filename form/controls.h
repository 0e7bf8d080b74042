// The window's controls by kind and control-array index: "T1(12)" is {T1, 12}, "Txt_T90" is
// {Txt_T90}. The model addresses its fields by these ids; the view keeps its widgets by them
// and gives each widget the control's name as its object name.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace its90::form {

enum class ControlKind : std::uint8_t {
    Form1, Fr90, Frame1, F1,                              // the window and its frames
    Label2, Label3, Label4, Lab_wfds, Label1, Labzn, Lab1,  // labels
    Op_S, Op1, Op2,                                       // option buttons
    Txt_T90, Txt_E90, Text1, T1,                          // text boxes
};

struct Control {
    ControlKind kind;
    std::int16_t index = -1;  // the member of a control array; -1 for a single control

    friend constexpr bool operator==(Control, Control) = default;
};

// "T1(12)", "Txt_T90".
std::string name(Control control);

constexpr bool is_text_box(Control c) { return c.kind >= ControlKind::Txt_T90; }
constexpr bool is_option_button(Control c) {
    return c.kind == ControlKind::Op_S || c.kind == ControlKind::Op1 || c.kind == ControlKind::Op2;
}
constexpr bool is_label(Control c) {
    return c.kind >= ControlKind::Label2 && c.kind <= ControlKind::Lab1;
}
constexpr bool is_frame(Control c) { return c.kind >= ControlKind::Fr90 && c.kind <= ControlKind::F1; }

namespace controls {
inline constexpr Control Window{ControlKind::Form1};
inline constexpr Control Txt_T90{ControlKind::Txt_T90};
inline constexpr Control Txt_E90{ControlKind::Txt_E90};
inline constexpr Control Text1{ControlKind::Text1};
inline constexpr Control Op1{ControlKind::Op1};
inline constexpr Control Op2{ControlKind::Op2};
inline constexpr Control Label3{ControlKind::Label3};
inline constexpr Control Lab_wfds{ControlKind::Lab_wfds};
inline constexpr Control Label1_11{ControlKind::Label1, 11};  // unit of Txt_E90
constexpr Control T1(int index) { return {ControlKind::T1, static_cast<std::int16_t>(index)}; }
constexpr Control Op_S(int index) { return {ControlKind::Op_S, static_cast<std::int16_t>(index)}; }
}  // namespace controls

// The members of the T1 array: 0 to 10 and 12 to 14 (there is no T1(11)).
inline constexpr int kT1Size = 15;
constexpr bool is_T1_member(int index) { return index >= 0 && index < kT1Size && index != 11; }

// The T1 boxes of the graduation table, 300 to 1100 degC.
inline constexpr std::array<int, 9> kTableBoxes = {3, 4, 5, 6, 7, 8, 9, 10, 14};
// The T1 box of the EMF at the temperature in T1(12).
inline constexpr int kTemperatureResultBox = 13;

// Boxes the program writes and the user only reads: the differential value and the
// calibration's results.
constexpr bool is_result_box(Control c) {
    if (c.kind == ControlKind::Text1) return true;
    if (c.kind != ControlKind::T1) return false;
    return (c.index >= 3 && c.index <= 10) || c.index == 13 || c.index == 14;
}

}  // namespace its90::form
