// A real window on the offscreen platform, with the message box replaced by a recorder and
// '.' as the decimal separator whatever the machine's locale.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <memory>

#include "form/controls.h"
#include "tests/doubles/recording_message_box.h"
#include "ui/main_window.h"

namespace its90::ui::testing {

// Points ITS90_BOOK at a new, empty book of the run's own and returns its path.
QString fresh_book();

using namespace form::controls;
using form::Control;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QLineEdit* box(Control c) const { return form->text_box(c); }
    QRadioButton* button(Control c) const { return form->option_button(c); }
    // Moves the focus to a control as the Tab key would.
    void focus(QWidget* widget);
    // Types text key by key into a line edit that has the focus.
    void type(QLineEdit* edit, const QString& text);
    // Replaces the text of an input field as a user would (select all, type).
    void retype(QLineEdit* edit, const QString& text);
    // A click on an option button: the focus on the press, the selection on the release.
    void click(QRadioButton* button);

    form::RecordingMessageBox messages;
    std::unique_ptr<MainWindow> form;
};

}  // namespace its90::ui::testing

// Readable QString values in assertion messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE
