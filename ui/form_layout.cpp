#include "ui/form_layout.h"

#include <cstdint>
#include <iterator>

namespace its90::ui {
namespace {

constexpr FontSpec kSong12{"宋体", 12, false};
constexpr FontSpec kSong10_5{"宋体", 10.5, false};
constexpr FontSpec kSong9{"宋体", 9, false};
constexpr FontSpec kLishu14Bold{"隶书", 14.25, true};
constexpr FontSpec kLishu15{"隶书", 15, false};

using form::Control;
using form::ControlKind;
using C = ControlKind;

constexpr Control kForm{C::Form1};
constexpr Control kFr90{C::Fr90};
constexpr Control kFrame1{C::Frame1};
constexpr Control kF1{C::F1};

std::vector<ControlSpec> build_controls() {
    std::vector<ControlSpec> c = {
        // Conversion panel.
        {{C::Fr90}, kForm, 225, 4560, 6390, 2535, "90国际温标", kLishu14Bold, -1},
        {{C::Frame1}, kFr90, 360, 255, 5610, 1230, "", kWindowFont, 51},
        {{C::Label2}, kFrame1, 105, 240, 735, 255, "型号：", kSong12, 52},
        {{C::Op_S, 0}, kFrame1, 840, 240, 495, 285, "", kWindowFont, 55},
        {{C::Op_S, 2}, kFrame1, 2040, 240, 495, 285, "", kWindowFont, 54},
        {{C::Op_S, 4}, kFrame1, 3240, 240, 495, 285, "", kWindowFont, 59},
        {{C::Op_S, 6}, kFrame1, 4680, 240, 495, 285, "", kWindowFont, 61},
        {{C::Op_S, 7}, kFrame1, 840, 540, 495, 285, "", kWindowFont, 63},
        {{C::Op_S, 1}, kFrame1, 2040, 540, 495, 285, "", kWindowFont, 53},
        {{C::Op_S, 3}, kFrame1, 3240, 540, 495, 285, "", kWindowFont, 62},
        {{C::Op_S, 5}, kFrame1, 4680, 540, 495, 285, "", kWindowFont, 60},
        {{C::Op_S, 8}, kFrame1, 840, 840, 930, 285, "", kSong10_5, 64},
        {{C::Txt_T90}, kFr90, 360, 1545, 1860, 405, "", kSong12, 49},
        {{C::Labzn, 12}, kFr90, 2265, 1620, 255, 255, "℃", kSong12, 48},
        {{C::Txt_E90}, kFr90, 2805, 1560, 2775, 405, "", kSong12, 50},
        {{C::Label1, 11}, kFr90, 5715, 1620, 255, 255, "", kSong12, 47},
        {{C::Lab_wfds}, kFr90, 375, 2160, 2295, 255, "", kSong12, 57},
        {{C::Text1}, kFr90, 2805, 2040, 2295, 405, "", kSong12, 56},
        {{C::Label3}, kFr90, 5220, 2160, 780, 255, "", kSong12, 58},
        // Calibration panel.
        {{C::Label4}, kForm, 180, 960, 375, 1515, "热电偶分度", kLishu14Bold, 65},
        {{C::Lab1, 0}, kForm, 780, 270, 2790, 375, "检定点电势值(S偶):", kLishu15, 5},
        {{C::Lab1, 1}, kForm, 3990, 255, 2175, 375, "整百度电势值：", kLishu15, 37},
        {{C::Labzn, 0}, kForm, 1110, 975, 495, 255, "锌点", kSong12, 6},
        {{C::T1, 0}, kForm, 1710, 930, 1095, 375, "", kSong12, 1},
        {{C::Label1, 0}, kForm, 2910, 975, 375, 255, "mV", kSong12, 7},
        // F1 only groups Op1 and Op2: a border around two option buttons with no caption would be
        // an empty stub below them.
        {{C::F1}, kForm, 825, 1440, 855, 975, "", kSong9, 0, false},
        {{C::Op1}, kF1, 0, 120, 855, 375, "铝点", kSong12, 11},
        {{C::Op2}, kF1, 0, 405, 855, 375, "锑点", kSong12, 12},
        {{C::T1, 1}, kForm, 1695, 1695, 1095, 375, "", kSong12, 2},
        {{C::Label1, 1}, kForm, 2910, 1740, 375, 255, "mV", kSong12, 8},
        {{C::Labzn, 2}, kForm, 1110, 2520, 495, 255, "铜点", kSong12, 10},
        {{C::T1, 2}, kForm, 1710, 2475, 1095, 375, "", kSong12, 3},
        {{C::Label1, 2}, kForm, 2910, 2475, 375, 255, "mV", kSong12, 9},
        {{C::Lab1, 3}, kForm, 750, 3195, 1095, 255, "任一温度", kSong12, 39},
        {{C::T1, 12}, kForm, 690, 3570, 1080, 375, "", kSong12, 4},
        {{C::Labzn, 10}, kForm, 1815, 3615, 255, 255, "℃", kSong12, 38},
        {{C::Lab1, 4}, kForm, 2325, 3210, 855, 255, "电势值", kSong12, 42},
        {{C::T1, 13}, kForm, 2085, 3570, 1155, 375, "", kSong12, 40},
        {{C::Label1, 12}, kForm, 3285, 3630, 375, 255, "mV", kSong12, 41},
    };

    // The graduation table: row r for 300 + 100 r degC, heading, result box and unit.
    struct Row {
        std::int16_t heading, unit;
        int heading_tab, box_tab, unit_tab;
    };
    constexpr Row kRows[] = {{1, 3, 15, 13, 14},  {3, 4, 18, 16, 17},   {4, 5, 21, 19, 20},
                             {5, 6, 24, 22, 23},  {6, 7, 27, 25, 26},   {7, 8, 30, 28, 29},
                             {8, 9, 33, 31, 32},  {9, 10, 36, 34, 35},  {11, 13, 44, 43, 45}};
    static_assert(std::size(kRows) == form::kTableBoxes.size());
    for (std::size_t r = 0; r < std::size(kRows); ++r) {
        const Row& row = kRows[r];
        const int top = 615 + 360 * static_cast<int>(r);
        c.push_back({{C::Labzn, row.heading}, kForm, 3870, top + 45, 735, 255,
                     std::to_string(300 + 100 * r) + "℃", kSong12, row.heading_tab});
        c.push_back({form::controls::T1(form::kTableBoxes[r]), kForm, 4710, top,
                     r == 8 ? 1350 : 1335, 375, "", kSong12, row.box_tab});
        c.push_back({{C::Label1, row.unit}, kForm, 6150, top + 45, 375, 255, "mV", kSong12,
                     row.unit_tab});
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
        {240, 120, 6600, 120, {}},                    // Line1(0)
        {240, 135, 6615, 135, kWindowBackground},     // Line2(1)
        {240, 135, 240, 4305, {}},                    // Line3(2)
        {255, 135, 255, 4260, kCaptionText},          // Line3(3)
        {6600, 150, 6600, 4275, {}},                  // Line3(0)
        {6585, 105, 6585, 4275, kCaptionText},        // Line3(1)
        {240, 4275, 6585, 4275, {}},                  // Line1(2)
        {255, 4290, 6630, 4290, kWindowBackground},   // Line2(0)
        {0, 0, 6390, 0, {}},                          // Line1(1)
    };
    return lines;
}

}  // namespace its90::ui
