// The window's model driven by a byte stream decoded into focus moves, sensor and middle-point
// choices, keystrokes of any bytes (invalid UTF-8 and control characters too), long pastes,
// deletions and timer ticks, in any order. After every step: no crash or escaped exception,
// at most one message per user action, foc_flag one of 0 ... 4, and every box the program
// writes empty or a number in its own form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "form/controls.h"
#include "form/form1.h"
#include "tests/doubles/recording_message_box.h"
#include "text/number_text.h"

namespace {

using namespace its90::form;
using namespace its90::form::controls;

class Stream {
public:
    Stream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Up to `most` bytes of the stream as they are; when the stream runs out, what was taken
    // is repeated, so that a short input can still paste a long text.
    std::string bytes(std::size_t most) {
        std::string s;
        const std::size_t want = std::min<std::size_t>(most, (next() << 8 | next()) % (most + 1));
        while (s.size() < want && !empty()) s += static_cast<char>(next());
        while (!s.empty() && s.size() < want) s += s.substr(0, want - s.size());
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

const Control kFocusable[] = {Txt_T90, Txt_E90, Text1, T1(0),  T1(1),  T1(2),   T1(12),
                              T1(5),   T1(13),  Op1,   Op2,    Op_S(0), Op_S(1), Op_S(2),
                              Op_S(3), Op_S(4), Op_S(5), Op_S(6), Op_S(7), Op_S(8)};
// The boxes the user can type into; the others are read-only in the window.
const Control kInputs[] = {Txt_T90, Txt_E90, T1(0), T1(1), T1(2), T1(12)};

void check_output(const Form1& form, Control box, bool sign_form) {
    const std::string& text = form.text(box);
    if (text.empty()) return;
    const double v = its90::text::Text_to_num(text);
    const std::string again =
        sign_form ? its90::text::Num_to_text_sign(v) : its90::text::Num_to_text(v, ".");
    if (again != text) std::abort();
}

void check(const Form1& form) {
    if (form.foc_flag() < 0 || form.foc_flag() > 4) std::abort();
    check_output(form, Text1, false);
    for (int box = 3; box <= 14; ++box) {
        if (is_result_box(T1(box))) check_output(form, T1(box), true);
    }
    // A record, or the reason there is none; never both, never neither.
    if (form.record().has_value() != (*form.record_unavailable_reason() == '\0')) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RecordingMessageBox box;
    Form1 form(box, ".");
    form.Form_Load();
    Control focused = T1(0);
    form.got_focus(focused);
    const auto focus = [&](Control c) {
        if (c == focused) return;
        form.lost_focus(focused);
        focused = c;
        form.got_focus(c);
    };
    const auto input = [&](std::uint8_t pick) {
        for (Control c : kInputs) {
            if (c == focused) return c;
        }
        return kInputs[pick % std::size(kInputs)];
    };
    // One user action: at most one message box.
    const auto act = [&](auto&& action) {
        const std::size_t before = box.texts.size();
        action();
        if (box.texts.size() - before > 1) std::abort();
        check(form);
    };

    Stream in(data, size);
    for (int steps = 0; !in.empty() && steps < 256; ++steps) {
        switch (in.next() % 8) {
            case 0:
                act([&] { focus(kFocusable[in.next() % std::size(kFocusable)]); });
                break;
            case 1: {  // a click on a sensor button: focus on the press, selection on release
                const int sensor = in.next() % 9;
                act([&] { focus(Op_S(sensor)); });
                form.select_sensor(sensor);
                break;
            }
            case 2:
                form.select_middle_point(in.next() % 2 ? MiddlePoint::Aluminium : MiddlePoint::Antimony);
                check(form);
                break;
            case 3: {  // keystrokes, one edit each
                const Control box_typed = input(in.next());
                for (char c : in.bytes(64)) {
                    act([&] { form.edit(box_typed, form.text(box_typed) + c); });
                }
                break;
            }
            case 4: {  // a paste over the whole text, up to 64 KiB
                const Control box_pasted = input(in.next());
                const std::string text = in.bytes(65535);
                act([&] { form.edit(box_pasted, text); });
                break;
            }
            case 5: {  // backspace
                const Control box_edited = input(in.next());
                std::string text = form.text(box_edited);
                if (!text.empty()) text.pop_back();
                act([&] { form.edit(box_edited, text); });
                break;
            }
            case 6:
                form.Timer1_Timer();
                break;
            case 7: {
                const Control box_cleared = input(in.next());
                act([&] { form.edit(box_cleared, ""); });
                break;
            }
        }
    }
    return 0;
}
