// The one way the window shows a range message: modally, with a single OK button. The window
// shows a real box; tests, fuzzing and benchmarks put one in that records the texts instead.
#pragma once

#include <string_view>

namespace its90::form {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows `text` (UTF-8) and returns once the user has closed the box.
    virtual void show_range_message(std::string_view text) = 0;
};

}  // namespace its90::form
