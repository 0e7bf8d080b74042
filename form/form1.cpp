#include "form/form1.h"

#include <utility>
#include <vector>

#include "core/sensors.h"
#include "form/sensor_texts.h"
#include "text/number_text.h"

namespace its90::form {
namespace {

using namespace controls;
using text::Num_to_text;
using text::Num_to_text_sign;
using text::Text_to_num;

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string> characters(std::string_view utf8) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = 1;
        while (i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80) ++n;
        result.emplace_back(utf8.substr(i, n));
        i += n;
    }
    return result;
}

const std::string kNone;

// The boxes the user types into.
constexpr Control kInputBoxes[] = {Txt_T90, Txt_E90, T1(0), T1(1), T1(2), T1(12)};

}  // namespace

Form1::Form1(MessageBox& message_box, std::string decimal_separator)
    : message_box_(message_box), decimal_separator_(std::move(decimal_separator)) {
    // The window opens in the thermocouple state, before any sensor button has had the focus.
    const SensorTexts& thermocouple = kSensorTexts[0];
    unit_caption_ = thermocouple.output_unit;
    differential_unit_caption_ = thermocouple.differential_unit;
    differential_caption_ = thermocouple.differential_caption;
    txt_t90_.tool_tip = "在此输入温度值(-50到1768.1℃)并回车。";
    txt_e90_.tool_tip = "在此输入电势值(-0.236到18.693mV)并回车。";
    t1_[12].tool_tip = "在此输入温度值(-50到1664.5℃)并回车。";
}

// ---- State -------------------------------------------------------------------------------

const Form1::Box* Form1::find_box(Control c) const {
    switch (c.kind) {
        case ControlKind::Txt_T90: return &txt_t90_;
        case ControlKind::Txt_E90: return &txt_e90_;
        case ControlKind::Text1: return &text1_;
        case ControlKind::T1: return is_T1_member(c.index) ? &t1_[c.index] : nullptr;
        default: return nullptr;
    }
}

Form1::Box* Form1::find_box(Control c) {
    return const_cast<Box*>(std::as_const(*this).find_box(c));
}

const std::string& Form1::text(Control c) const {
    const Box* b = find_box(c);
    return b != nullptr ? b->text : kNone;
}

const std::string& Form1::tool_tip(Control c) const {
    const Box* b = find_box(c);
    return b != nullptr ? b->tool_tip : kNone;
}

const std::string& Form1::caption(Control c) const {
    if (c == Label1_11) return unit_caption_;
    if (c == Label3) return differential_unit_caption_;
    if (c == Lab_wfds) return differential_caption_;
    return kNone;
}

bool Form1::enabled(Control c) const { return c == Txt_E90 ? emf_field_enabled_ : true; }

const std::string& Form1::reading_note(Control c) const {
    const Box* b = find_box(c);
    return b != nullptr ? b->reading_note : kNone;
}

const std::string& Form1::status() const {
    if (!reading_note(last_noted_).empty()) return reading_note(last_noted_);
    for (Control c : kInputBoxes) {
        if (!reading_note(c).empty()) return reading_note(c);
    }
    return kNone;
}

void Form1::note_reading(Control c) {
    Box* b = find_box(c);
    if (b == nullptr || is_result_box(c)) return;
    const text::LeadingNumber n = text::read_leading_number(b->text);
    std::string note = n.whole           ? std::string()
                       : n.read.empty() ? std::string(kNothingRead)
                                        : kPartlyReadBefore + n.read + kPartlyReadAfter;
    const bool latest_changes = !note.empty() && !(last_noted_ == c);
    if (!note.empty()) last_noted_ = c;
    if (note == b->reading_note && !latest_changes) return;
    b->reading_note = std::move(note);
    if (observer_ != nullptr) observer_->reading_changed(c);
}

void Form1::set_text(Control c, std::string new_text) { store_text(c, std::move(new_text), true); }

void Form1::store_text(Control c, std::string new_text, bool announce) {
    Box* b = find_box(c);
    if (b == nullptr || b->text == new_text) return;
    b->text = std::move(new_text);
    if (announce && observer_ != nullptr) observer_->text_changed(c, b->text);
    note_reading(c);
    switch (c.kind) {
        case ControlKind::Txt_T90: Txt_T90_Change(); break;
        case ControlKind::Txt_E90: Txt_E90_Change(); break;
        case ControlKind::T1: T1_Change(); break;
        default: break;  // Text1 has no change handler
    }
}

void Form1::set_caption(Control c, const char* new_caption) {
    std::string& caption = c == Label1_11 ? unit_caption_
                           : c == Label3  ? differential_unit_caption_
                                          : differential_caption_;
    caption = new_caption;
    if (observer_ != nullptr) observer_->caption_changed(c, caption);
}

void Form1::set_tool_tip(Control c, const char* new_tool_tip) {
    Box* b = find_box(c);
    b->tool_tip = new_tool_tip;
    if (observer_ != nullptr) observer_->tool_tip_changed(c, b->tool_tip);
}

void Form1::set_emf_field_enabled(bool enabled) {
    emf_field_enabled_ = enabled;
    if (observer_ != nullptr) observer_->enabled_changed(Txt_E90, enabled);
}

void Form1::show_message(std::string_view text) { message_box_.show_range_message(text); }

double Form1::call(ReferenceFunction f, float argument, const char* message) {
    const Result r = f(argument);
    if (r.rejected() && message != nullptr) show_message(message);
    return r.value();
}

// ---- What the user does ------------------------------------------------------------------

// The box shows the user's text already: only what the handlers write is announced.
void Form1::edit(Control c, std::string new_text) {
    store_text(c, std::move(new_text), false);
    if (c.kind == ControlKind::T1) update_record();
}

void Form1::select_sensor(int index) {
    if (index >= 0 && index < kSensorCount) sensor_ = index;
}

void Form1::select_middle_point(MiddlePoint middle) {
    if (middle_point_ == middle) return;
    middle_point_ = middle;
    update_record();
}

void Form1::update_record() {
    record_.reset();
    record_reason_ = kRecordNeedsEmfs;
    const std::string& zinc = text(T1(0));
    const std::string& middle = text(T1(1));
    const std::string& copper = text(T1(2));
    if (!zinc.empty() && !middle.empty() && !copper.empty()) {
        CalibrationInputs inputs{{Text_to_num(zinc), Text_to_num(middle), Text_to_num(copper)},
                                 middle_point_, std::nullopt};
        // The EMF at the typed temperature, when the panel shows one for it.
        if (!text(T1(12)).empty() && !text(T1(kTemperatureResultBox)).empty()) {
            inputs.temperature = text(T1(12));
        }
        try {
            // The panel still shows the table these EMFs give; no record is issued of it.
            const auto fault = calibration::implausible_fixed_point_emfs(inputs.emfs, middle_point_);
            const Outcome<CalibrationRecord> r = calibration_record(inputs);
            if (r.ok() && fault) {
                record_reason_ = implausible_words(*fault, inputs.emfs, middle_point_);
            } else if (r.ok()) {
                record_ = *r;
                record_reason_ = "";
            } else {
                record_reason_ = kRecordBeyondRange;
            }
        } catch (const FloatingPointError&) {
            // No value of the record may end the program: an overflow means no record.
            record_reason_ = kRecordBeyondRange;
        }
    }
    if (observer_ != nullptr) observer_->record_changed();
}

void Form1::got_focus(Control c) {
    switch (c.kind) {
        case ControlKind::Txt_T90: Txt_T90_GotFocus(); break;
        case ControlKind::Txt_E90: Txt_E90_GotFocus(); break;
        case ControlKind::T1: T1_GotFocus(c.index); break;
        case ControlKind::Op_S: Op_S_GotFocus(c.index); break;
        case ControlKind::Op1: Op1_GotFocus(); break;
        default: break;
    }
}

void Form1::lost_focus(Control c) {
    if (c == Txt_T90) Txt_T90_LostFocus();
}

// ---- Form and focus handlers -------------------------------------------------------------

void Form1::Form_Load() {
    foc_flag_ = 0;
    timer_coun_ = 0;
}

void Form1::Timer1_Timer() {
    static const std::vector<std::string> title = characters(kTitle);
    const auto length = static_cast<std::int16_t>(title.size());
    timer_coun_ = static_cast<std::int16_t>(timer_coun_ + 1);
    if (timer_coun_ == length) timer_coun_ = 0;
    // The title from character timer_coun on, then its first timer_coun characters.
    title_.clear();
    for (std::int16_t i = 0; i < length; ++i) title_ += title[(timer_coun_ + i) % length];
    if (observer_ != nullptr) observer_->title_changed(title_);
}

void Form1::Txt_T90_GotFocus() {
    foc_flag_ = 1;
    set_text(Text1, "");
}

void Form1::Txt_T90_LostFocus() { set_text(Text1, ""); }

void Form1::Txt_E90_GotFocus() { foc_flag_ = 2; }

void Form1::T1_GotFocus(std::int16_t index) {
    if (index == 12) foc_flag_ = 3;
    if (index == 2) foc_flag_ = 4;
}

void Form1::Op1_GotFocus() { set_text(Text1, ""); }

// ---- Sensor selection --------------------------------------------------------------------

void Form1::Op_S_GotFocus(std::int16_t index) {
    set_text(Txt_T90, "");
    set_text(Txt_E90, "");
    set_text(Text1, "");
    if (index < 0 || index >= kSensorCount) return;
    const SensorTexts& s = kSensorTexts[index];
    if (window_sensor(index).has_inverse()) {
        set_emf_field_enabled(true);
        set_caption(Label1_11, s.output_unit);
        set_caption(Label3, s.differential_unit);
        set_caption(Lab_wfds, s.differential_caption);
        set_tool_tip(Txt_T90, s.temperature_prompt);
        set_tool_tip(Txt_E90, s.emf_prompt);
    } else {
        // A Pt100 has no EMF to type: its field shows the resistance, disabled, and keeps
        // its prompt.
        set_tool_tip(Txt_T90, s.temperature_prompt);
        set_emf_field_enabled(false);
        set_caption(Label1_11, s.output_unit);
        set_caption(Label3, s.differential_unit);
        set_caption(Lab_wfds, s.differential_caption);
    }
}

// ---- Conversions -------------------------------------------------------------------------

void Form1::Txt_T90_Change() {
    if (foc_flag_ != 1) return;
    const Sensor& s = window_sensor(sensor_);
    const SensorTexts& words = kSensorTexts[sensor_];

    // Text_to_num gives +-infinity for a number beyond the double range; like any number
    // beyond the single range it fails the range test, so nothing out of range is narrowed.
    const double v = Text_to_num(text(Txt_T90));
    if (!s.accepts_temperature(v)) {
        // Emptied before the box is shown: no result of an earlier temperature stands behind it.
        set_text(Txt_E90, "");
        set_text(Text1, "");
        show_message(words.temperature_message);
        return;
    }
    try {
        const double output = call(s.output, to_single(v), words.output_message);
        set_text(Txt_E90, Num_to_text_sign(output));
        const std::optional<double> d = differential_value(s, v);
        set_text(Text1, d ? Num_to_text(*d, decimal_separator_) : "");
    } catch (const FloatingPointError&) {
        // Unreachable for a temperature in range; never let it leave the handler.
        set_text(Txt_E90, "");
        set_text(Text1, "");
    }
}

// The temperature of an earlier EMF is emptied before the box is shown (Txt_T90's handler is
// idle under foc_flag 2); then the EMF is emptied, which converts again, nested, as 0 mV.
void Form1::reject_emf(const char* message) {
    set_text(Txt_T90, "");
    show_message(message);
    set_text(Txt_E90, "");
}

void Form1::Txt_E90_Change() {
    if (foc_flag_ != 2) return;
    const Sensor& s = window_sensor(sensor_);
    if (!s.has_inverse()) return;
    const SensorTexts& words = kSensorTexts[sensor_];

    const double v = Text_to_num(text(Txt_E90));
    if (!s.accepts_emf(v)) {
        reject_emf(words.emf_message);
        return;
    }
    try {
        const Result r = s.inverse(to_single(v));
        if (r.rejected() && (words.inverse_message != nullptr || v != 0.0)) {
            // An EMF the inverse function has no formula for is a rejected EMF: its message
            // (type B below 0.291 mV has none of its own, so the sensor's), then the field
            // is emptied, which converts 0 mV nested and shows " 0" beside it.
            reject_emf(words.inverse_message != nullptr ? words.inverse_message : words.emf_message);
            return;
        }
        set_text(Txt_T90, Num_to_text_sign(r.value()));
    } catch (const FloatingPointError&) {
        set_text(Txt_E90, "");
    }
}

// ---- Calibration panel -------------------------------------------------------------------

void Form1::write_panel_box(int index, const std::string& new_text) {
    panel_writing_ = true;
    set_text(T1(index), new_text);
    panel_writing_ = false;
}

void Form1::panel_overflow(bool temperature_mode) {
    if (temperature_mode) {
        write_panel_box(kTemperatureResultBox, "");
    } else {
        for (int index : kTableBoxes) write_panel_box(index, "");
    }
    show_message(kCalibrationOverflowMessage);
}

void Form1::T1_Change() {
    if (panel_writing_) return;
    if (text(T1(0)).empty() || text(T1(1)).empty() || text(T1(2)).empty()) return;
    if (foc_flag_ != 3 && foc_flag_ != 4) return;
    const bool temperature_mode = foc_flag_ == 3;

    // Every value is computed before anything is written, so absurd EMFs give one message
    // and no half-written table.
    const Outcome<calibration::Calibration> calibrated =
        calibration::calibrate(Text_to_num(text(T1(0))), Text_to_num(text(T1(1))),
                               Text_to_num(text(T1(2))), middle_point_);
    if (!calibrated.ok()) return panel_overflow(temperature_mode);

    if (temperature_mode) {
        const std::string& temperature = text(T1(12));
        const Outcome<double> v = calibration::emf_at(*calibrated, Text_to_num(temperature));
        if (!v.ok() && v.rejection().cause == Rejection::Cause::OutOfRange) {
            // With either middle point: no EMF of another temperature stays beside it.
            write_panel_box(kTemperatureResultBox, "");
            show_message(kCalibrationTemperatureMessage);
            return;
        }
        if (temperature.empty()) return;
        if (!v.ok()) return panel_overflow(temperature_mode);
        write_panel_box(kTemperatureResultBox, Num_to_text_sign(*v));
        return;
    }
    const Outcome<calibration::GraduationTable> table =
        calibration::graduation_table(*calibrated);
    if (!table.ok()) return panel_overflow(temperature_mode);
    for (std::size_t r = 0; r < table->size(); ++r) {
        write_panel_box(kTableBoxes[r], Num_to_text_sign((*table)[r]));
    }
}

}  // namespace its90::form
