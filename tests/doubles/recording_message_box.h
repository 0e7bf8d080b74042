// A message box that records the texts it is given instead of showing them, so that tests,
// fuzzing and benchmarks never block on a modal box.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "form/message_box.h"

namespace its90::form {

class RecordingMessageBox final : public MessageBox {
public:
    void show_range_message(std::string_view text) override {
        texts.emplace_back(text);
        if (on_show) on_show();
    }
    // The texts shown since the last call, which forgets them.
    std::vector<std::string> take() { return std::exchange(texts, {}); }

    std::vector<std::string> texts;
    // Runs while the box would be up: what the window shows behind it.
    std::function<void()> on_show;
};

}  // namespace its90::form
