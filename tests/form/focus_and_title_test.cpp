// The focus protocol that keeps the change handlers from feeding each other, and the title.
#include "tests/form/form_fixture.h"

namespace its90::form::testing {
namespace {

class FocusProtocol : public FormTest {};

TEST_F(FocusProtocol, StartsAtZeroWithEveryFieldEmpty) {
    EXPECT_EQ(form.foc_flag(), 0);
    EXPECT_EQ(form.timer_coun(), 0);
    for (Control c : {Txt_T90, Txt_E90, Text1}) EXPECT_EQ(text(c), "");
    for (int i = 0; i < kT1Size; ++i) EXPECT_EQ(text(T1(i)), "");
    EXPECT_FALSE(is_T1_member(11));
}

TEST_F(FocusProtocol, EachFieldSetsItsFlagAndTheTemperatureFieldEmptiesTheDifferential) {
    struct Case {
        Control control;
        int flag_before;  // set by focusing this field first
        int flag_after;
        bool empties_text1;
    };
    const Control kBy[] = {T1(0), Txt_T90, Txt_E90, T1(12), T1(2)};
    const Case cases[] = {
        {Txt_T90, 0, 1, true}, {Txt_E90, 3, 2, false}, {T1(12), 2, 3, false},
        {T1(2), 3, 4, false},  {T1(0), 4, 4, false},   {T1(1), 2, 2, false},
        {T1(5), 3, 3, false},  {Op1, 2, 2, true},      {Op2, 2, 2, false},
        {Text1, 3, 3, false},  {Op_S(3), 4, 4, true},  // a sensor button resets the panel
    };
    for (const Case& c : cases) {
        focus(Op2);
        form.Form_Load();
        focus(kBy[c.flag_before]);
        ASSERT_EQ(form.foc_flag(), c.flag_before);
        paste(Text1, "5.4");
        focus(c.control);
        EXPECT_EQ(form.foc_flag(), c.flag_after) << name(c.control);
        EXPECT_EQ(text(Text1).empty(), c.empties_text1) << name(c.control);
    }
}

TEST_F(FocusProtocol, LeavingTheTemperatureFieldEmptiesTheDifferential) {
    focus(Txt_T90);
    type(Txt_T90, "100");
    EXPECT_EQ(text(Text1), "7.33");
    focus(Txt_E90);
    EXPECT_EQ(text(Text1), "");
    EXPECT_EQ(text(Txt_T90), "100");
    EXPECT_EQ(text(Txt_E90), " .64591");
    EXPECT_EQ(form.foc_flag(), 2);
}

class Title : public FormTest {};

TEST_F(Title, ScrollsOneCharacterPerTickAndWraps) {
    const std::string title = Form1::kTitle;
    const std::string first = "　";  // an ideographic space, three bytes
    EXPECT_EQ(form.title(), "");
    form.Timer1_Timer();
    EXPECT_EQ(form.title(), title.substr(first.size()) + first);
    EXPECT_EQ(form.timer_coun(), 1);
    for (int i = 2; i <= 27; ++i) form.Timer1_Timer();
    EXPECT_EQ(form.title(), title);
    EXPECT_EQ(form.timer_coun(), 0);
    form.Timer1_Timer();
    EXPECT_EQ(form.title(), title.substr(first.size()) + first);
    // Six ticks later the title starts at "分".
    for (int i = 0; i < 5; ++i) form.Timer1_Timer();
    EXPECT_EQ(form.title().rfind("分度、90国际温标", 0), 0u);
}

}  // namespace
}  // namespace its90::form::testing
