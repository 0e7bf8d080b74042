#include "form/controls.h"

namespace its90::form {

std::string name(Control control) {
    static constexpr const char* kNames[] = {
        "Form1", "Fr90", "Frame1", "F1", "Label2", "Label3", "Label4", "Lab_wfds", "Label1",
        "Labzn", "Lab1", "Op_S", "Op1", "Op2", "Txt_T90", "Txt_E90", "Text1", "T1"};
    std::string text = kNames[static_cast<int>(control.kind)];
    if (control.index >= 0) text += "(" + std::to_string(control.index) + ")";
    return text;
}

}  // namespace its90::form
