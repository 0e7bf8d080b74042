// The window's model driven as a user drives the window: focus moves, keystrokes, pastes and
// clicks, with the message box replaced by a recorder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "form/controls.h"
#include "form/form1.h"
#include "tests/doubles/recording_message_box.h"

namespace its90::form::testing {

using namespace controls;
using Messages = std::vector<std::string>;

class FormTest : public ::testing::Test {
protected:
    // Start-up: Form_Load, then the focus in T1(0).
    FormTest() {
        form.Form_Load();
        form.got_focus(T1(0));
    }

    // Moves the focus as the Tab key or a click does; nothing happens if it is there already.
    void focus(Control c) {
        if (c == focused_) return;
        form.lost_focus(focused_);
        focused_ = c;
        form.got_focus(c);
    }
    // Types text character by character at the end of a box's text.
    void type(Control c, std::string_view text) {
        for (std::size_t i = 0; i < text.size();) {
            std::size_t n = 1;
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
            form.edit(c, form.text(c) + std::string(text.substr(i, n)));
            i += n;
        }
    }
    // Replaces the whole text at once, as pasting over a selection does.
    void paste(Control c, std::string_view text) { form.edit(c, std::string(text)); }
    // Focuses a box, selects its text and types over it (or deletes it).
    void retype(Control c, std::string_view text) {
        focus(c);
        if (text.empty()) return paste(c, "");
        paste(c, text.substr(0, 1));
        type(c, text.substr(1));
    }
    // A click on a sensor button: the focus on the press, the selection on the release.
    void click_sensor(int index) {
        focus(Op_S(index));
        form.select_sensor(index);
    }
    std::string text(Control c) const { return form.text(c); }
    Messages take_messages() { return box.take(); }

    RecordingMessageBox box;
    Form1 form{box, "."};

private:
    Control focused_ = T1(0);
};

// The window's messages, exactly as shown.
inline const std::string kMsgS = "TE输入温度值不在本程序计算范围-50到1768.1℃内!";
inline const std::string kMsgR = "输入温度值不在本程序计算范围-50到1768.1℃内!";

}  // namespace its90::form::testing
