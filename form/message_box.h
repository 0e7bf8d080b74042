// The one way the window shows a range message: modally, with a single OK button. The window
// shows a real box; tests, fuzzing and benchmarks record the texts instead, so nothing blocks.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace its90::form {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows `text` (UTF-8) and returns once the user has closed the box.
    virtual void show_range_message(std::string_view text) = 0;
};

class RecordingMessageBox final : public MessageBox {
public:
    void show_range_message(std::string_view text) override { texts.emplace_back(text); }
    // The texts shown since the last call, which forgets them.
    std::vector<std::string> take() { return std::exchange(texts, {}); }

    std::vector<std::string> texts;
};

}  // namespace its90::form
