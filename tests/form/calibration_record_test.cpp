// The calibration record: from the panel's boxes, with the window's texts, as rows, TSV and
// CSV (read back by Python's csv module as a spreadsheet would).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "form/calibration_record.h"
#include "tests/form/form_fixture.h"
#include "text/number_text.h"

namespace its90::form::testing {
namespace {

class Record : public FormTest {
protected:
    void calibrate(const char* zinc, const char* middle, const char* copper, bool aluminium = true) {
        focus(aluminium ? Op1 : Op2);
        form.select_middle_point(aluminium ? MiddlePoint::Aluminium : MiddlePoint::Antimony);
        retype(T1(0), zinc);
        retype(T1(1), middle);
        retype(T1(2), copper);
    }
    // The model's record, as the window issues it.
    std::optional<CalibrationRecord> record(Identification id = {}) {
        std::optional<CalibrationRecord> r = form.record();
        if (r) {
            r->identification = std::move(id);
            r->date_time = "2026-12-08 10:00";
        }
        return r;
    }
};

TEST_F(Record, NoneUntilTheThreeEmfsGiveATable) {
    EXPECT_FALSE(record());
    retype(T1(0), "3.44689");
    retype(T1(1), "5.86013");
    EXPECT_FALSE(record());
    retype(T1(2), "10.5748");
    EXPECT_TRUE(record());
    retype(T1(1), "");
    EXPECT_FALSE(record());
}

TEST_F(Record, TheTableAsTheWindowShowsItForEachExampleSet) {
    struct Case {
        const char* zinc;
        const char* middle;
        const char* copper;
        bool aluminium;
        bool pass;
    };
    const Case cases[] = {
        {"3.44689", "5.86013", "10.5748", true, true},    // zero deviations, aluminium
        {"3.44689", "5.5528", "10.5748", false, true},    // zero deviations, antimony
        {"3.45689", "5.87013", "10.5848", true, false},   // 0.01 mV above the reference
        {"3.45689", "5.5628", "10.5848", false, false},   // the same with antimony
        {"3.447", "5.553", "10.575", false, true},        // JJG 75-1995's nominal values
    };
    for (const Case& c : cases) {
        calibrate(c.zinc, c.middle, c.copper, c.aluminium);
        const std::optional<CalibrationRecord> r = record();
        ASSERT_TRUE(r) << c.zinc;
        for (std::size_t i = 0; i < kTableBoxes.size(); ++i) {
            EXPECT_EQ(r->table[i], text(T1(kTableBoxes[i]))) << c.zinc << " row " << i;
        }
        EXPECT_EQ(r->calibration.middle,
                  c.aluminium ? MiddlePoint::Aluminium : MiddlePoint::Antimony);
        EXPECT_EQ(r->check.pass, c.pass) << c.zinc;
        EXPECT_FALSE(r->any_temperature);
    }
}

TEST_F(Record, TheAnyTemperatureValueWhenTheWindowShowsOne) {
    calibrate("3.45689", "5.87013", "10.5848");
    retype(T1(12), "1000");
    const std::optional<CalibrationRecord> r = record();
    ASSERT_TRUE(r && r->any_temperature);
    EXPECT_EQ(r->any_temperature->first, "1000");
    EXPECT_EQ(r->any_temperature->second, text(T1(13)));
}

TEST_F(Record, RowsTsvAndTheOneDegreeTable) {
    calibrate("3.45689", "5.87013", "10.5848");
    Identification id{"S-0421", "张三", "", false};
    const std::string tsv = to_tsv(*record(id));
    EXPECT_NE(tsv.find("编号\tS-0421\n"), std::string::npos);
    EXPECT_NE(tsv.find("300\t2.33304\n"), std::string::npos);
    EXPECT_NE(tsv.find("1100\t10.76654\n"), std::string::npos);
    EXPECT_NE(tsv.find("总结论\t不合格\n"), std::string::npos);
    EXPECT_NE(tsv.find("铝点\t5.87013\t5.86363\t±0.005\t0.00650\t不合格\n"), std::string::npos);
    EXPECT_EQ(tsv.find("1 ℃ 分度表"), std::string::npos);
    id.one_degree_table = true;
    id.notes = "a\ttab";
    const std::string with_table = to_tsv(*record(id));
    EXPECT_NE(with_table.find("备注\ta tab\n"), std::string::npos);  // a cell stays one cell
    EXPECT_NE(with_table.find("\n300\t2.333\n"), std::string::npos);
    EXPECT_NE(with_table.find("\n1100\t10.767\n"), std::string::npos);
    const std::string tail = with_table.substr(with_table.find("1 ℃ 分度表"));
    // Its heading, the column heading, 300 ... 1100 degC.
    EXPECT_EQ(std::count(tail.begin(), tail.end(), '\n'), 1 + 1 + 801);
}

TEST_F(Record, CsvReadsBackInPythonAsTheWindowShowedIt) {
    if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    calibrate("3.45689", "5.5628", "10.5848", false);  // the long antimony values
    const std::optional<CalibrationRecord> r =
        record({"S-0421", "张三", "line one, \"quoted\"\nline two", true});
    ASSERT_TRUE(r);
    const std::string path = ::testing::TempDir() + "record.csv";
    std::ofstream(path, std::ios::binary) << to_csv(*r);
    std::string command = std::string("python3 ") + ITS90_CHECK_RECORD_CSV + " " + path;
    for (int box : kTableBoxes) command += " '" + text(T1(box)) + "'";
    for (const std::string& x : coefficient_texts(r->calibration)) command += " " + x;  // as the record states them
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// A cell is quoted when any one of a comma, a double quote or a line break is in it, so that
// it reads back as one cell.
TEST_F(Record, CsvQuotesACellForEachCharacterThatNeedsIt) {
    calibrate("3.44689", "5.86013", "10.5748");
    struct Case {
        const char* number;
        const char* written;
    };
    const Case cases[] = {
        {"S-0421, lot 7", "\"S-0421, lot 7\""},
        {",", "\",\""},
        {"\"", "\"\"\"\""},
        {"12\"", "\"12\"\"\""},
        {"a\nb", "\"a\nb\""},
        {"a\rb", "\"a\rb\""},
        {"S-0421 lot 7", "S-0421 lot 7"},
    };
    for (const Case& c : cases) {
        const std::string csv = to_csv(*record({c.number, "", "", false}));
        EXPECT_NE(csv.find(std::string("\r\n编号,") + c.written + "\r\n"), std::string::npos)
            << c.number;
    }
}

// The record's numbers: deviations to the EMFs' 5 decimals, A, B and C to the resolution
// those carry, with no noise of the arithmetic: three equal deviations are a constant.
TEST_F(Record, DeviationsAndCoefficientsWithoutNoiseDigits) {
    calibrate("3.45689", "5.87013", "10.5848");
    const std::string tsv = to_tsv(*record());
    for (const char* line : {"锌点\t419.527\t3.45689\t0.01000\n", "铝点\t660.323\t5.87013\t0.01000\n",
                             "铜点\t1084.62\t10.5848\t0.01000\n", "A\t0.01000\tmV\n", "B\t0\tmV/℃\n",
                             "C\t0\tmV/℃²\n"}) {
        EXPECT_NE(tsv.find(line), std::string::npos) << line << tsv.substr(0, 600);
    }
    EXPECT_EQ(coefficients_text(record()->calibration), "A = 0.01000 mV，B = 0 mV/℃，C = 0 mV/℃²");
}

// The record follows the panel: its EMFs, its middle point and its temperature; EMFs that
// give no table give no record, with the reason, and never end the program.
TEST_F(Record, FollowsThePanelAndSaysWhyThereIsNone) {
    EXPECT_STREQ(form.record_unavailable_reason(), kRecordNeedsEmfs);
    calibrate("3.44689", "5.86013", "10.5748");
    EXPECT_STREQ(form.record_unavailable_reason(), "");
    // An aluminium EMF taken for antimony's is 30 degC from anything a type S gives there.
    form.select_middle_point(MiddlePoint::Antimony);
    EXPECT_FALSE(form.record());
    EXPECT_NE(std::string(form.record_unavailable_reason()).find("锑点电势 5.86013 mV 偏离 S 型分度表 +"), std::string::npos)
        << form.record_unavailable_reason();
    retype(T1(1), "5.5528");
    ASSERT_TRUE(form.record());
    EXPECT_EQ(form.record()->calibration.middle, MiddlePoint::Antimony);
    for (const char* absurd : {"1e303", "-1e303", "1e308", "1e400"}) {
        for (Control box : {T1(0), T1(1), T1(2)}) {
            calibrate("3.44689", "5.86013", "10.5748");
            retype(box, absurd);
            EXPECT_FALSE(form.record()) << absurd;
            EXPECT_STREQ(form.record_unavailable_reason(), kRecordBeyondRange) << absurd;
        }
    }
}

}  // namespace
}  // namespace its90::form::testing
