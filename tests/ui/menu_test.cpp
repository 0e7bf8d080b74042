// The menu bar: its menus and entries with their shortcuts, the record's entries enabled as
// the panel allows (and why not, in their tool tips), 退出, 使用说明 and 关于; the client area
// below it as the layout gives it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextBlock>

#include "form/calibration_record.h"
#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"

namespace its90::ui::testing {
namespace {

class Menus : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form->set_prompts(&prompts);
    }
    QMenu* menu(const char* title) const {
        for (QAction* a : form->menu_bar()->actions()) {
            if (a->text() == QString::fromUtf8(title)) return a->menu();
        }
        return nullptr;
    }
    RecordingPrompts prompts;
};

TEST_F(Menus, FileToolsHelpWithTheirEntries) {
    QStringList titles;
    for (QAction* a : form->menu_bar()->actions()) {
        if (a->isVisible()) titles << a->text();
    }
    EXPECT_EQ(titles, (QStringList{QString::fromUtf8("文件(&F)"), QString::fromUtf8("工具(&T)"),
                                   QString::fromUtf8("帮助(&H)")}));
    const QList<QAction*> tools = menu("工具(&T)")->actions();
    ASSERT_EQ(tools.size(), 3);
    EXPECT_EQ(tools[0]->text(), QString::fromUtf8("比较法校准…"));
    EXPECT_EQ(tools[0]->shortcut().toString(), "Ctrl+K");
    EXPECT_EQ(tools[1]->text(), QString::fromUtf8("电阻温度计…"));
    EXPECT_EQ(tools[1]->shortcut().toString(), "Ctrl+R");
    EXPECT_EQ(tools[2]->text(), QString::fromUtf8("不确定度评定…"));

    struct Entry {
        const char* text;
        const char* shortcut;
    };
    const Entry file[] = {{"复制校准结果", "Ctrl+Shift+C"}, {"保存为 CSV…", "Ctrl+S"},
                          {"导出 PDF…", ""}, {"打印…", "Ctrl+P"}, {"", ""}, {"记录簿…", "Ctrl+B"},
                          {"", ""}, {"退出", "Ctrl+Q"}};
    const QList<QAction*> actions = menu("文件(&F)")->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(file)));
    for (std::size_t i = 0; i < std::size(file); ++i) {
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(file[i].text)) << i;
        EXPECT_EQ(actions[i]->shortcut().toString(), file[i].shortcut) << i;
        EXPECT_EQ(actions[i]->isSeparator(), *file[i].text == '\0') << i;
    }
    const QList<QAction*> help = menu("帮助(&H)")->actions();
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0]->text(), QString::fromUtf8("使用说明"));
    EXPECT_EQ(help[0]->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(help[1]->text(), QString::fromUtf8("关于"));
}

TEST_F(Menus, RecordEntriesFollowThePanelAndSayWhyNot) {
    const QList<QAction*> file = menu("文件(&F)")->actions();
    const auto check = [&](bool enabled, const char* reason) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(file[i]->isEnabled(), enabled) << i;
            if (!enabled) {
                EXPECT_EQ(file[i]->toolTip(), QString::fromUtf8(reason)) << i;
            }
        }
    };
    check(false, form::kRecordNeedsEmfs);
    retype(box(T1(0)), "3.45689");
    retype(box(T1(1)), "5.87013");
    check(false, form::kRecordNeedsEmfs);
    retype(box(T1(2)), "10.5848");
    check(true, "");
    // An absurd zinc EMF: no record, and the window goes on (it used to abort here).
    for (const char* absurd : {"1e303", "-1e303"}) {
        retype(box(T1(0)), absurd);
        check(false, form::kRecordBeyondRange);
        click(button(Op2));
        check(false, form::kRecordBeyondRange);
        click(button(Op1));
    }
    retype(box(T1(0)), "3.45689");
    check(true, "");
    EXPECT_TRUE(menu("文件(&F)")->toolTipsVisible());
}

TEST_F(Menus, QuitClosesTheWindow) {
    form->show();
    menu("文件(&F)")->actions().last()->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Menus, GuideAndAbout) {
    const QList<QAction*> help = menu("帮助(&H)")->actions();
    help[0]->trigger();
    auto* guide = form->findChild<QDialog*>("guide");
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    auto* browser = guide->findChild<QTextBrowser*>("guide_text");
    const QString text = browser->toPlainText();
    // Every line wraps within the window (the commands too), and lines keep their spacing.
    QApplication::processEvents();
    EXPECT_LE(browser->document()->idealWidth(), browser->viewport()->width());
    int spaced = 0;
    for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().lineHeightType() == QTextBlockFormat::ProportionalHeight && b.blockFormat().lineHeight() >= 140) ++spaced;
    }
    EXPECT_GT(spaced, 20);
    for (const char* part : {"90国际温标", "热电偶分度", "校准记录", "比较法校准", "its90 calibrate",
                             "its90 compare", "JJG 75-1995", "记录簿", "its90 book backup"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
    }
    guide->close();
    help[0]->trigger();  // the same window again
    EXPECT_EQ(form->findChildren<QDialog*>("guide").size(), 1);

    help[1]->trigger();
    ASSERT_EQ(prompts.abouts.size(), 1);
    // Every regulation a record cites.
    for (const char* part : {"版本 " ITS90_VERSION, "ITS-90", "IEC 60584-1", "IEC 60751", "JJG 75-1995", "JJG 351",
                             "JJG 141", "ILAC G8"}) {
        EXPECT_TRUE(prompts.abouts[0].contains(QString::fromUtf8(part))) << part;
    }
}

}  // namespace
}  // namespace its90::ui::testing
