#include "form_layout.h"

namespace its90::ui {
namespace {

constexpr FontSpec kSong12{"宋体", 12, false};
constexpr FontSpec kSong10_5{"宋体", 10.5, false};
constexpr FontSpec kSong9{"宋体", 9, false};
constexpr FontSpec kLishu14Bold{"隶书", 14.25, true};
constexpr FontSpec kLishu15{"隶书", 15, false};

using K = ControlKind;

std::vector<ControlSpec> build_controls() {
    std::vector<ControlSpec> c = {
        // Conversion panel.
        {"Fr90", K::Frame, "Form1", 225, 4560, 6390, 2535, "90国际温标", kLishu14Bold, -1, ""},
        {"Frame1", K::Frame, "Fr90", 360, 255, 5610, 1230, "", kWindowFont, 51, ""},
        {"Label2", K::Label, "Frame1", 105, 240, 735, 255, "型号：", kSong12, 52, ""},
        {"Op_S(0)", K::OptionButton, "Frame1", 840, 240, 495, 285, "S", kWindowFont, 55, ""},
        {"Op_S(2)", K::OptionButton, "Frame1", 2040, 240, 495, 285, "K", kWindowFont, 54, ""},
        {"Op_S(4)", K::OptionButton, "Frame1", 3240, 240, 495, 285, "J", kWindowFont, 59, ""},
        {"Op_S(6)", K::OptionButton, "Frame1", 4680, 240, 495, 285, "T", kWindowFont, 61, ""},
        {"Op_S(7)", K::OptionButton, "Frame1", 840, 540, 495, 285, "R", kWindowFont, 63, ""},
        {"Op_S(1)", K::OptionButton, "Frame1", 2040, 540, 495, 285, "B", kWindowFont, 53, ""},
        {"Op_S(3)", K::OptionButton, "Frame1", 3240, 540, 495, 285, "N", kWindowFont, 62, ""},
        {"Op_S(5)", K::OptionButton, "Frame1", 4680, 540, 495, 285, "E", kWindowFont, 60, ""},
        {"Op_S(8)", K::OptionButton, "Frame1", 840, 840, 930, 285, "Pt100", kSong10_5, 64, ""},
        {"Txt_T90", K::TextBox, "Fr90", 360, 1545, 1860, 405, "", kSong12, 49,
         "在此输入温度值(-50到1768.1℃)并回车。"},
        {"Labzn(12)", K::Label, "Fr90", 2265, 1620, 255, 255, "℃", kSong12, 48, ""},
        {"Txt_E90", K::TextBox, "Fr90", 2805, 1560, 2775, 405, "", kSong12, 50,
         "在此输入电势值(-0.236到18.693mV)并回车。"},
        {"Label1(11)", K::Label, "Fr90", 5715, 1620, 255, 255, "mV", kSong12, 47, ""},
        {"Lab_wfds", K::Label, "Fr90", 375, 2160, 2295, 255, "微　 分　 电 　势:", kSong12, 57, ""},
        {"Text1", K::TextBox, "Fr90", 2805, 2040, 2295, 405, "", kSong12, 56, ""},
        {"Label3", K::Label, "Fr90", 5220, 2160, 780, 255, "μV/℃", kSong12, 58, ""},
        // Calibration panel.
        {"Label4", K::Label, "Form1", 180, 960, 375, 1515, "热电偶分度", kLishu14Bold, 65, ""},
        {"Lab1(0)", K::Label, "Form1", 780, 270, 2790, 375, "检定点电势值(S偶):", kLishu15, 5, ""},
        {"Lab1(1)", K::Label, "Form1", 3990, 255, 2175, 375, "整百度电势值：", kLishu15, 37, ""},
        {"Labzn(0)", K::Label, "Form1", 1110, 975, 495, 255, "锌点", kSong12, 6, ""},
        {"T1(0)", K::TextBox, "Form1", 1710, 930, 1095, 375, "", kSong12, 1, ""},
        {"Label1(0)", K::Label, "Form1", 2910, 975, 375, 255, "mV", kSong12, 7, ""},
        {"F1", K::Frame, "Form1", 825, 1440, 855, 975, "", kSong9, 0, ""},
        {"Op1", K::OptionButton, "F1", 0, 120, 855, 375, "铝点", kSong12, 11, ""},
        {"Op2", K::OptionButton, "F1", 0, 405, 855, 375, "锑点", kSong12, 12, ""},
        {"T1(1)", K::TextBox, "Form1", 1695, 1695, 1095, 375, "", kSong12, 2, ""},
        {"Label1(1)", K::Label, "Form1", 2910, 1740, 375, 255, "mV", kSong12, 8, ""},
        {"Labzn(2)", K::Label, "Form1", 1110, 2520, 495, 255, "铜点", kSong12, 10, ""},
        {"T1(2)", K::TextBox, "Form1", 1710, 2475, 1095, 375, "", kSong12, 3, ""},
        {"Label1(2)", K::Label, "Form1", 2910, 2475, 375, 255, "mV", kSong12, 9, ""},
        {"Lab1(3)", K::Label, "Form1", 750, 3195, 1095, 255, "任一温度", kSong12, 39, ""},
        {"T1(12)", K::TextBox, "Form1", 690, 3570, 1080, 375, "", kSong12, 4,
         "在此输入温度值(-50到1664.5℃)并回车。"},
        {"Labzn(10)", K::Label, "Form1", 1815, 3615, 255, 255, "℃", kSong12, 38, ""},
        {"Lab1(4)", K::Label, "Form1", 2325, 3210, 855, 255, "电势值", kSong12, 42, ""},
        {"T1(13)", K::TextBox, "Form1", 2085, 3570, 1155, 375, "", kSong12, 40, ""},
        {"Label1(12)", K::Label, "Form1", 3285, 3630, 375, 255, "mV", kSong12, 41, ""},
    };

    // The graduation table: row r for 300 + 100 r degC, heading, result box and unit.
    struct Row {
        int heading, box, unit, heading_tab, box_tab, unit_tab;
    };
    constexpr Row kRows[] = {{1, 3, 3, 15, 13, 14},   {3, 4, 4, 18, 16, 17},  {4, 5, 5, 21, 19, 20},
                             {5, 6, 6, 24, 22, 23},   {6, 7, 7, 27, 25, 26},  {7, 8, 8, 30, 28, 29},
                             {8, 9, 9, 33, 31, 32},   {9, 10, 10, 36, 34, 35}, {11, 14, 13, 44, 43, 45}};
    for (int r = 0; r < 9; ++r) {
        const Row& row = kRows[r];
        c.push_back({"Labzn(" + std::to_string(row.heading) + ")", K::Label, "Form1", 3870,
                     660 + 360 * r, 735, 255, std::to_string(300 + 100 * r) + "℃", kSong12,
                     row.heading_tab, ""});
        c.push_back({"T1(" + std::to_string(row.box) + ")", K::TextBox, "Form1", 4710,
                     615 + 360 * r, r == 8 ? 1350 : 1335, 375, "", kSong12, row.box_tab, ""});
        c.push_back({"Label1(" + std::to_string(row.unit) + ")", K::Label, "Form1", 6150,
                     660 + 360 * r, 375, 255, "mV", kSong12, row.unit_tab, ""});
    }
    return c;
}

}  // namespace

const std::vector<ControlSpec>& form1_controls() {
    static const std::vector<ControlSpec> controls = build_controls();
    return controls;
}

const std::vector<LineSpec>& form1_lines() {
    static const std::vector<LineSpec> lines = {
        {"Line1(0)", 240, 120, 6600, 120, -1},
        {"Line2(1)", 240, 135, 6615, 135, 5},
        {"Line3(2)", 240, 135, 240, 4305, -1},
        {"Line3(3)", 255, 135, 255, 4260, 9},
        {"Line3(0)", 6600, 150, 6600, 4275, -1},
        {"Line3(1)", 6585, 105, 6585, 4275, 9},
        {"Line1(2)", 240, 4275, 6585, 4275, -1},
        {"Line2(0)", 255, 4290, 6630, 4290, 5},
        {"Line1(1)", 0, 0, 6390, 0, -1},
    };
    return lines;
}

}  // namespace its90::ui
