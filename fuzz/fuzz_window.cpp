// The Qt wiring of the window: a headless MainWindow driven through its widgets by a byte stream
// decoded into focus moves, clicks, keystrokes and pasted texts from a small alphabet. After
// every step: no crash or escaped exception, at most one message per edit, every output box
// empty or a number in its own form, and every widget showing its model's text. The model
// itself is fuzzed with arbitrary bytes by fuzz_form1.
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "tests/doubles/recording_message_box.h"
#include "text/number_text.h"
#include "ui/main_window.h"

namespace {

using its90::ui::MainWindow;
using namespace its90::form::controls;

// Characters that make numbers, near-numbers and the field reader's odd forms.
constexpr char kAlphabet[] = "0123456789.-+eEdD &HhOo,x\t9";

class Stream {
public:
    Stream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }
    QString text() {
        QString s;
        for (int n = next() % 12; n > 0 && !empty(); --n) {
            s += QChar(kAlphabet[next() % (sizeof kAlphabet - 1)]);
        }
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void check_output(const QLineEdit* box, bool sign_form) {
    const std::string text = box->text().toStdString();
    if (text.empty()) return;
    const double v = its90::text::Text_to_num(text);
    const std::string again =
        sign_form ? its90::text::Num_to_text_sign(v) : its90::text::Num_to_text(v, ".");
    if (again != text) std::abort();
}

void check_outputs(const MainWindow& form) {
    check_output(form.text_box(Text1), false);
    for (int box = 0; box < its90::form::kT1Size; ++box) {
        if (!its90::form::is_T1_member(box)) continue;
        if (its90::form::is_result_box(T1(box))) check_output(form.text_box(T1(box)), true);
        if (form.text_box(T1(box))->text().toStdString() != form.model().text(T1(box))) std::abort();
    }
    for (auto c : {Txt_T90, Txt_E90, Text1}) {
        if (form.text_box(c)->text().toStdString() != form.model().text(c)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Never destroyed: Qt's objects must not be torn down by the exit handlers after the
    // fuzzer's own, in whatever order those run.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    its90::form::RecordingMessageBox box;
    MainWindow form(box, ".");
    form.start();
    form.Timer1().stop();
    QApplication::setActiveWindow(&form);

    QWidget* const focusable[] = {
        form.text_box(Txt_T90), form.text_box(Txt_E90), form.text_box(T1(0)),
        form.text_box(T1(1)),   form.text_box(T1(2)),   form.text_box(T1(12)),
        form.option_button(Op1), form.option_button(Op2), form.text_box(Text1),
        form.text_box(T1(5)),   form.option_button(Op_S(0)), form.option_button(Op_S(1)),
        form.option_button(Op_S(2)), form.option_button(Op_S(3)), form.option_button(Op_S(4)),
        form.option_button(Op_S(5)), form.option_button(Op_S(6)), form.option_button(Op_S(7)),
        form.option_button(Op_S(8))};
    QLineEdit* const inputs[] = {form.text_box(Txt_T90), form.text_box(Txt_E90),
                                 form.text_box(T1(0)),   form.text_box(T1(1)),
                                 form.text_box(T1(2)),   form.text_box(T1(12))};
    const auto edit = [&](auto&& change) {
        const std::size_t before = box.texts.size();
        change();
        if (box.texts.size() - before > 1) std::abort();
        check_outputs(form);
    };

    Stream in(data, size);
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        switch (in.next() % 8) {
            case 0:
                focusable[in.next() % std::size(focusable)]->setFocus(Qt::TabFocusReason);
                break;
            case 1: {
                QRadioButton* b = form.option_button(Op_S(in.next() % 9));
                edit([&] {
                    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
                });
                break;
            }
            case 2:
                form.option_button(in.next() % 2 ? Op1 : Op2)->setChecked(true);
                break;
            case 3: {  // keystrokes into the focused field, one edit each
                const QString text = in.text();
                QWidget* target = QApplication::focusWidget();
                for (QChar c : text) {
                    if (target == nullptr) break;
                    edit([&] { QTest::keyClicks(target, QString(c)); });
                }
                break;
            }
            case 4: {  // a pasted text replacing a field's whole text
                QLineEdit* field = inputs[in.next() % std::size(inputs)];
                const QString text = in.text();
                edit([&] {
                    field->selectAll();
                    field->insert(text);
                });
                break;
            }
            case 5:
                if (QWidget* target = QApplication::focusWidget()) {
                    edit([&] { QTest::keyClick(target, Qt::Key_Backspace); });
                }
                break;
            case 6:
                form.model().Timer1_Timer();
                break;
            case 7: {
                QLineEdit* field = inputs[in.next() % std::size(inputs)];
                edit([&] { field->clear(); });
                break;
            }
        }
        check_outputs(form);
    }
    return 0;
}
