// The calculator's window without its toolkit: the texts of every field, the selections, the
// enabled state, prompts and units, `foc_flag`, `timer_coun` and the handlers, named after
// their control and event.
//
// `foc_flag` records which input field took the focus last (0 after load, 1 Txt_T90,
// 2 Txt_E90, 3 T1(12), 4 T1(2)); each change handler acts only under its own value, so a
// result written into another field is not converted back. Setting a field's text runs that
// field's change handler at once, nested, before the setting returns; a text set to what it
// already reads is no change and runs nothing. The view is told of every change through
// FormObserver, and range messages go through the MessageBox.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "calibration/type_s_calibration.h"
#include "core/its90.h"
#include "form/calibration_record.h"
#include "form/controls.h"
#include "form/message_box.h"

namespace its90::form {

// What the view mirrors: each call says what a control shows from now on.
class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void text_changed(Control box, const std::string& text) = 0;
    virtual void caption_changed(Control label, const std::string& caption) = 0;
    virtual void tool_tip_changed(Control box, const std::string& tool_tip) = 0;
    virtual void enabled_changed(Control box, bool enabled) = 0;
    virtual void title_changed(const std::string& title) = 0;
    // The calibration record became available, changed, or is no longer available.
    virtual void record_changed() {}
    // A box's reading note (and with it the status line) changed.
    virtual void reading_changed(Control /*box*/) {}
};

using calibration::MiddlePoint;

class Form1 {
public:
    // The scrolling title, 27 characters.
    static constexpr const char* kTitle = "　　　热电偶分度、90国际温标　Molvar V3.0";

    // `decimal_separator` is the user's, for the differential value.
    explicit Form1(MessageBox& message_box, std::string decimal_separator = ".");
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void set_observer(FormObserver* observer) { observer_ = observer; }

    // ---- What the window shows ----
    const std::string& text(Control box) const;
    // The captions the handlers change: Label1(11), Label3 and Lab_wfds; empty for others.
    const std::string& caption(Control label) const;
    // The hover prompts of Txt_T90, Txt_E90 and T1(12); empty for others.
    const std::string& tool_tip(Control box) const;
    bool enabled(Control box) const;
    int sensor() const { return sensor_; }
    MiddlePoint middle_point() const { return middle_point_; }
    std::int16_t foc_flag() const { return foc_flag_; }
    std::int16_t timer_coun() const { return timer_coun_; }
    // Where a box's text is read only in part ("3,26" as 3), what was read, in words; empty
    // while the whole text is a number (or the box is empty). The reading itself stays the
    // window's: the leading number, or 0.
    const std::string& reading_note(Control box) const;
    // The status line below the panels: the note of the box changed last that has one.
    const std::string& status() const;
    // Empty until the first tick of Timer1.
    const std::string& title() const { return title_; }

    // The record of the calibration panel, computed once for each change of its EMFs, its
    // middle point or its temperature; without identification and date. Nothing while the
    // panel gives no table, and then the reason, in words, in record_unavailable_reason().
    const std::optional<CalibrationRecord>& record() const { return record_; }
    const char* record_unavailable_reason() const { return record_reason_.c_str(); }

    // ---- What the user does ----
    // A text box's new text, typed, pasted or deleted, which the box shows already; runs its
    // change handler.
    void edit(Control box, std::string text);
    // A sensor button or Op1/Op2 becomes the selected one of its group. Selecting runs no
    // handler: the conversions read the selection when they run.
    void select_sensor(int index);
    void select_middle_point(MiddlePoint middle);
    // The focus moves between controls: runs the control's focus handler, if it has one.
    void got_focus(Control control);
    void lost_focus(Control control);

    // ---- Handlers ----
    void Form_Load();
    void Timer1_Timer();
    void Txt_T90_Change();
    void Txt_T90_GotFocus();
    void Txt_T90_LostFocus();
    void Txt_E90_Change();
    void Txt_E90_GotFocus();
    void Op_S_GotFocus(std::int16_t index);
    void T1_Change();
    void T1_GotFocus(std::int16_t index);
    void Op1_GotFocus();

private:
    struct Box {
        std::string text;
        std::string tool_tip;
        std::string reading_note;
    };
    const Box* find_box(Control control) const;
    Box* find_box(Control control);

    // Sets a text and runs the box's change handler, nested, if the text changed.
    void set_text(Control box, std::string text);
    // The same, telling the observer only when `announce` is set.
    void store_text(Control box, std::string text, bool announce);
    void note_reading(Control box);
    void set_caption(Control label, const char* caption);
    void set_tool_tip(Control box, const char* tool_tip);
    void set_emf_field_enabled(bool enabled);
    void show_message(std::string_view text);
    // The value of a reference function; a rejection shows `message` (if there is one).
    double call(ReferenceFunction f, float argument, const char* message);
    // A rejected EMF: its message, with no temperature of an earlier EMF behind it.
    void reject_emf(const char* message);
    // The calibration panel's results emptied, then the message.
    void panel_overflow(bool temperature_mode);
    void write_panel_box(int index, const std::string& text);
    void update_record();

    MessageBox& message_box_;
    const std::string decimal_separator_;
    FormObserver* observer_ = nullptr;

    Box txt_t90_, txt_e90_, text1_;
    std::array<Box, kT1Size> t1_;
    std::string unit_caption_, differential_unit_caption_, differential_caption_;
    bool emf_field_enabled_ = true;
    int sensor_ = 0;
    MiddlePoint middle_point_ = MiddlePoint::Aluminium;
    std::string title_;
    Control last_noted_ = controls::Txt_T90;

    std::int16_t foc_flag_ = 0;
    std::int16_t timer_coun_ = 0;
    // The calibration panel writes T1 boxes, whose change runs T1_Change again. Every run
    // starts from the input boxes, Op1 and foc_flag, which no run changes, so a nested run
    // would write the same texts and repeat the message: it ends at once.
    bool panel_writing_ = false;

    std::optional<CalibrationRecord> record_;
    std::string record_reason_ = kRecordNeedsEmfs;
};

}  // namespace its90::form
