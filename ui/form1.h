// The calculator's one window: the type S calibration panel above, the conversion panel below.
// Handlers carry the names of their control and event; `foc_flag` records which input field
// took the focus last (0 after load, 1 Txt_T90, 2 Txt_E90, 3 T1(12), 4 T1(2)) and each change
// handler acts only under its own value, so a result written into another field is not
// converted back.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string_view>

#include "its90.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace its90::ui {

class MessageBox;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(MessageBox& message_box, QWidget* parent = nullptr);

    // The scrolling title, 27 characters.
    static const QString kTitle;

    // Start-up as the program does it: Form_Load, shown centred, focus in T1(0), timer on.
    void start();

    // Handlers.
    void Form_Load();
    void Timer1_Timer();
    void Txt_T90_Change();
    void Txt_T90_GotFocus();
    void Txt_T90_LostFocus();
    void Txt_E90_Change();
    void Txt_E90_GotFocus();
    void Op_S_GotFocus(std::int16_t index);
    void T1_Change(std::int16_t index);
    void T1_GotFocus(std::int16_t index);
    void Op1_GotFocus();

    std::int16_t foc_flag = 0;
    std::int16_t timer_coun = 0;

    // Controls the handlers address (null where an array has no member).
    QLineEdit* Txt_T90 = nullptr;
    QLineEdit* Txt_E90 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QRadioButton*, 9> Op_S{};
    std::array<QLineEdit*, 15> T1{};
    QRadioButton* Op1 = nullptr;
    QRadioButton* Op2 = nullptr;
    QLabel* Label1_11 = nullptr;  // unit of Txt_E90
    QLabel* Label3 = nullptr;     // unit of the differential value
    QLabel* Lab_wfds = nullptr;   // caption in front of Text1
    QTimer Timer1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void create_controls();
    void set_tab_order();
    void show_message(std::string_view text);
    // The value of a reference function; a rejection shows its message (if it has one).
    double call(ReferenceFunction f, float argument);
    int selected_sensor() const;
    template <typename Row, std::size_t N>
    const Row* selected_row(const Row (&table)[N]) const;
    void set_emf_field_enabled(bool enabled);

    MessageBox& message_box_;
    bool calibration_running_ = false;
};

}  // namespace its90::ui
