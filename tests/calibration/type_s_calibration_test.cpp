// The calibration arithmetic and one run of the panel, from the texts of its boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "number_text.h"
#include "type_s_calibration.h"

namespace its90::calibration {
namespace {

const std::vector<std::string> kZeroTable = {" 2.32304", " 3.25936", " 4.23329", " 5.23869",
                                             " 6.27525", " 7.34498", " 8.44924", " 9.5871",
                                             " 10.75654"};
const std::vector<std::string> kOffsetTable = {" 2.33304", " 3.26936", " 4.24329", " 5.24869",
                                               " 6.28525", " 7.35498", " 8.45924", " 9.5971",
                                               " 10.76654"};

// The reference EMFs at the fixed points, so that all deviations are zero.
PanelState reference_inputs(MiddlePoint middle, std::int16_t foc_flag) {
    return {"3.44689", middle == MiddlePoint::Aluminium ? "5.86013" : "5.5528", "10.5748", "",
            middle, foc_flag};
}

std::string offset(const std::string& text, double by) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.5f", ui::Text_to_num(text) + by);
    return buffer;
}

PanelState offset_inputs(MiddlePoint middle, std::int16_t foc_flag, double by) {
    PanelState s = reference_inputs(middle, foc_flag);
    s.zinc = offset(s.zinc, by);
    s.middle = offset(s.middle, by);
    s.copper = offset(s.copper, by);
    return s;
}

std::vector<std::string> table_texts(const PanelRun& run) {
    std::vector<std::string> texts;
    for (std::size_t r = 0; r < run.writes.size(); ++r) {
        EXPECT_EQ(run.writes[r].box, kTableBoxes[r]);
        texts.push_back(run.writes[r].text);
    }
    return texts;
}

std::string t13(const PanelRun& run) {
    EXPECT_EQ(run.writes.size(), 1u);
    EXPECT_EQ(run.writes.empty() ? -1 : run.writes[0].box, 13);
    return run.writes.empty() ? "<none>" : run.writes[0].text;
}

double six_digits(double x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.5e", x);
    return std::strtod(buffer, nullptr);
}

TEST(Weights, AreTheLagrangeCoefficientsToSixDigits) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        const double t[3] = {419.527, middle == MiddlePoint::Aluminium ? 660.323 : 630.63, 1084.62};
        const WeightSet& w = weights(middle);
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3, k = (i + 2) % 3;
            const double p = (t[i] - t[j]) * (t[i] - t[k]);
            const auto weight_of = [i](const std::array<Term, 3>& terms) {
                for (const Term& term : terms) {
                    if (term.deviation == i) return term.weight;
                }
                return std::nan("");
            };
            EXPECT_EQ(weight_of(w.a), six_digits(t[j] * t[k] / p)) << i;
            EXPECT_EQ(weight_of(w.b), six_digits(-(t[j] + t[k]) / p)) << i;
            EXPECT_EQ(weight_of(w.c), six_digits(1e6 / p)) << i;
        }
    }
}

TEST(Table, ZeroDeviationsGiveTheReferenceTableWithEitherSet) {
    EXPECT_EQ(table_texts(run_panel(reference_inputs(MiddlePoint::Aluminium, 4))), kZeroTable);
    EXPECT_EQ(table_texts(run_panel(reference_inputs(MiddlePoint::Antimony, 4))), kZeroTable);
}

TEST(Table, UniformOffsetShiftsEveryRow) {
    EXPECT_EQ(table_texts(run_panel(offset_inputs(MiddlePoint::Aluminium, 4, 0.01))), kOffsetTable);
    const std::vector<std::string> antimony =
        table_texts(run_panel(offset_inputs(MiddlePoint::Antimony, 4, 0.01)));
    ASSERT_EQ(antimony.size(), kOffsetTable.size());
    for (std::size_t r = 0; r < antimony.size(); ++r) {
        EXPECT_NEAR(ui::Text_to_num(antimony[r]), ui::Text_to_num(kOffsetTable[r]), 0.000001) << r;
        EXPECT_EQ(antimony[r][0], ' ');
    }
    // The antimony table is not rounded: it shows more than 5 decimal places.
    EXPECT_GT(antimony[0].size(), kOffsetTable[0].size());
}

TEST(TemperatureMode, ValuesAndBounds) {
    struct Case {
        MiddlePoint middle;
        const char* temperature;
        const char* expected;  // nullptr: rejected with the range message
    };
    const Case cases[] = {
        {MiddlePoint::Aluminium, "100", " .64591"}, {MiddlePoint::Antimony, "100", " .64591"},
        {MiddlePoint::Aluminium, "-50", "-.23556"}, {MiddlePoint::Antimony, "-50", "-.23556"},
        {MiddlePoint::Aluminium, "1664.5", " 17.53596"},
        {MiddlePoint::Aluminium, "-", " 0"},        // a lone minus reads as 0 degC
        {MiddlePoint::Aluminium, "-50.001", nullptr}, {MiddlePoint::Aluminium, "1664.6", nullptr},
        {MiddlePoint::Antimony, "-50.001", nullptr},  {MiddlePoint::Antimony, "1e400", nullptr},
    };
    for (const Case& c : cases) {
        PanelState s = reference_inputs(c.middle, 3);
        s.temperature = c.temperature;
        const PanelRun run = run_panel(s);
        if (c.expected == nullptr) {
            EXPECT_EQ(run.message, kTemperatureRangeMessage) << c.temperature;
            // With either middle point the stale EMF of another temperature is removed.
            EXPECT_EQ(t13(run), "") << c.temperature;
        } else {
            EXPECT_EQ(run.message, "") << c.temperature;
            EXPECT_EQ(t13(run), c.expected) << c.temperature;
        }
    }
}

TEST(TemperatureMode, CurvePassesThroughTheFixedPoints) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        PanelState s{"3.46123", middle == MiddlePoint::Aluminium ? "5.83911" : "5.5701", "10.6012",
                     "", middle, 3};
        const std::string middle_t = middle == MiddlePoint::Aluminium ? "660.323" : "630.63";
        const std::pair<std::string, std::string> points[] = {
            {"419.527", s.zinc}, {middle_t, s.middle}, {"1084.62", s.copper}};
        for (const auto& [temperature, emf] : points) {
            s.temperature = temperature;
            EXPECT_EQ(ui::Text_to_num(t13(run_panel(s))), ui::Text_to_num(emf)) << temperature;
        }
    }
}

TEST(TemperatureMode, LoneMinusShowsARoundedToFivePlaces) {
    PanelState s = offset_inputs(MiddlePoint::Aluminium, 3, 0.01);
    s.temperature = "-";
    EXPECT_EQ(t13(run_panel(s)), " .01");
}

TEST(Gate, NothingRunsWithoutAllThreeEmfsOrOutsideTheTwoModes) {
    PanelState s = reference_inputs(MiddlePoint::Aluminium, 4);
    s.middle = "";
    EXPECT_TRUE(run_panel(s).writes.empty());
    s = reference_inputs(MiddlePoint::Aluminium, 4);
    s.zinc = " ";  // blanks are not empty: it reads as 0
    EXPECT_EQ(run_panel(s).writes.size(), 9u);
    for (std::int16_t flag : {0, 1, 2}) {
        const PanelRun run = run_panel(reference_inputs(MiddlePoint::Aluminium, flag));
        EXPECT_TRUE(run.writes.empty() && run.message.empty()) << flag;
    }
    s = reference_inputs(MiddlePoint::Aluminium, 3);  // temperature box empty
    const PanelRun run = run_panel(s);
    EXPECT_TRUE(run.writes.empty() && run.message.empty());
}

TEST(Overflow, AbsurdEmfsGiveOneMessageAndEmptyResults) {
    for (const char* absurd : {"1e308", "1e400", "-1e400"}) {
        for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
            PanelState s = reference_inputs(middle, 4);
            s.copper = absurd;
            PanelRun run = run_panel(s);
            EXPECT_EQ(run.message, kOverflowMessage) << absurd;
            ASSERT_EQ(run.writes.size(), 9u) << absurd;
            for (const PanelWrite& w : run.writes) EXPECT_EQ(w.text, "") << absurd;

            s.foc_flag = 3;
            s.temperature = "1000";
            run = run_panel(s);
            EXPECT_EQ(run.message, kOverflowMessage) << absurd;
            EXPECT_EQ(t13(run), "") << absurd;
        }
    }
}

}  // namespace
}  // namespace its90::calibration
