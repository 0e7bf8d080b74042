// A real Form1 on the offscreen platform, with the message box replaced by a recorder.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <memory>

#include "form1.h"
#include "message_box.h"

namespace its90::ui::testing {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Moves the focus to a control as the Tab key would.
    void focus(QWidget* widget);
    // Types text key by key into a line edit that has the focus.
    void type(QLineEdit* edit, const QString& text);
    // Replaces the whole text at once, as pasting over a selection does.
    void paste(QLineEdit* edit, const QString& text);
    // Replaces the text of an input field as a user would (select all, type).
    void retype(QLineEdit* edit, const QString& text);
    // Selects sensor `index` the way a click does: focus on the press, selection on release.
    void click_sensor(int index);
    QString text(const QLineEdit* edit) const { return edit->text(); }
    QStringList take_messages();

    RecordingMessageBox box;
    std::unique_ptr<Form1> form;
};

// The window's messages, exactly as shown.
inline const QString kMsgS = QString::fromUtf8("TE输入温度值不在本程序计算范围-50到1768.1℃内!");
inline const QString kMsgR = QString::fromUtf8("输入温度值不在本程序计算范围-50到1768.1℃内!");

}  // namespace its90::ui::testing

// Readable QString values in assertion messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE
