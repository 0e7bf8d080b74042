// `its90 sprt`, `its90 cvd` and `its90 copper` as a technician types them: the published figures, the
// exact forms of the commands, the CSV of the fits, and what they refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/run_cli.h"

namespace its90::cli::testing {
namespace {

TEST(Sprt, TheCommandsGiveThePublishedFigures) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<std::string> zn = {"--rtpw", "25.319871", "--a", "-1.2134e-4", "--b", "-9.9190e-6"};
    const auto with = [](std::vector<std::string> a, const std::vector<std::string>& more) {
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const Case cases[] = {
        {{"sprt", "wr", "-189.3442", "961.78"}, "0.2158597520\n4.2864205276\n"},
        {{"sprt", "tr", "1.89279768"}, "231.927999803\n"},
        {{"sprt", "dev", "Ar-TPW", "--a", "-1.2579994e-4", "--b", "1.0678395e-5", "0.21585975"},
         "0.000111482214536647\n"},
        {with({"sprt", "temp", "TPW-Zn"}, with(zn, {"47.922451", "65.039218"})), "231.928006666\n419.52701117\n"},
        {with({"sprt", "resistance", "TPW-Zn"}, with(zn, {"0.01"})), "25.319871\n"},
        {{"cvd", "resistance", "--r0", "100", "--a", "3.9083e-3", "--b", "-5.775e-7", "--c", "-4.183e-12",
          "-200", "100", "850"},
         "18.52008\n138.5055\n390.481125\n"},
        {{"cvd", "temp", "--r0", "1000", "--a", "3.9083e-3", "--b", "-5.775e-7", "1385.055"}, "100\n"},
        // JJG 229-2010's Cu50 at -50, 0, 50, 100 and 150 degC (its table: 39.24, 50.00, 60.70,
        // 71.40, 82.13 ohm) and W(100) = 1.4280 of Cu100, both ways.
        {{"copper", "resistance", "--r0", "50", "-50", "0", "50", "100", "150"},
         "39.24315625\n50\n60.70351875\n71.39995\n82.13553125\n"},
        {{"copper", "temp", "--r0", "100", "142.7999", "78.4863125"}, "100\n-50\n"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, 0) << c.args[1] << o.err;
        EXPECT_EQ(o.out, c.out) << c.args[1];
    }
}

// Copper refuses an R0 the regulation has not, and values beyond -50 ... 150 degC.
TEST(Copper, WhatItRefuses) {
    EXPECT_EQ(run_cli({"copper", "resistance", "--r0", "53", "10"}).status, 2);
    EXPECT_EQ(run_cli({"copper", "resistance", "10"}).status, 2);
    const Outcome beyond = run_cli({"copper", "resistance", "--r0", "100", "150.01", "20"});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_EQ(beyond.out, "\n108.5704344\n");
    EXPECT_NE(beyond.err.find("-50"), std::string::npos) << beyond.err;
    EXPECT_EQ(run_cli({"copper", "temp", "--r0", "50", "82.14"}).status, 1);
}

// The certificate's resistances give back its coefficients, to the digits it states them with.
TEST(Sprt, FitTheCertificateBack) {
    const Outcome o = run_cli({"sprt", "fit", "TPW-Zn", "--rtpw", "25.319871", "--point", "231.928:47.922451",
                               "--point", "419.527:65.039218", "--format", "csv"});
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string row = o.out.substr(o.out.find('\n') + 1);
    EXPECT_EQ(o.out.substr(0, o.out.find('\n')), "a,b,c,d");
    EXPECT_NEAR(std::stod(row.substr(0, row.find(','))), -1.2134e-4, 5e-8);
    EXPECT_NEAR(std::stod(row.substr(row.find(',') + 1)), -9.9190e-6, 5e-9);
    EXPECT_EQ(row.substr(row.size() - 3), ",,\n");
}

TEST(Cvd, FitTheIecValuesBackAsCsv) {
    const Outcome o = run_cli({"cvd", "fit", "-100:60.25584", "0:100", "100:138.5055", "400:247.092",
                               "--format", "csv"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.substr(0, o.out.find('\n')), "r0_ohm,A,B,C,alpha,delta,beta");
    const std::string row = o.out.substr(o.out.find('\n') + 1);
    std::vector<double> v;
    std::size_t at = 0;
    while (at < row.size()) {
        const std::size_t comma = row.find_first_of(",\n", at);
        v.push_back(std::stod(row.substr(at, comma - at)));
        at = comma + 1;
    }
    ASSERT_EQ(v.size(), 7u);
    EXPECT_NEAR(v[0], 100, 1e-9);
    EXPECT_NEAR(v[1], 3.9083e-3, 1e-15);
    EXPECT_NEAR(v[2], -5.775e-7, 1e-17);
    EXPECT_NEAR(v[3], -4.183e-12, 1e-20);
    EXPECT_NEAR(v[4], 0.00385055, 1e-12);
    // Each point: residual, deviation from the curve of the same R0 and the class met.
    const Outcome text = run_cli({"cvd", "fit", "-100:60.27", "0:100.02", "100:138.53", "200:175.89"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("R0 = 100.02"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("100  138.53  0.000  0.00000  -0.0084  AA"), std::string::npos) << text.out;
}

// What independent checks found: each command and what it must print.
TEST(ResistanceThermometers, TheDefectsFoundByIndependentChecks) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;  // the whole of it, or a part for a longer one ("…" first)
        const char* err;  // a part of it
    };
    const Case cases[] = {
        {{"sprt", "temp", "TPW-Ag", "--rtpw", "25.72336", "--a", "-0.00016462789", "--b", "-8.4598339e-06", "--c",
          "1.8898584e-06", "--d", "2e-05", "--w-al", "3.3755951040271865", "110.24702477808242"},
         0, "961.78\n", ""},
        {{"sprt", "temp", "TPW-Ag", "--rtpw", "25.72336", "--a", "-0.00016462789", "--b", "-8.4598339e-06", "--c",
          "1.8898584e-06", "--d", "2e-05", "--w-al", "3.3755951040271865", "110.2471"},
         1, "\n", "outside the range TPW-Ag: 25.722334 \u2026 110.247025 \u03a9"},
        {{"sprt", "tr", "4.28642053"}, 0, "961.78\n", ""},
        {{"sprt", "tr", "1"}, 0, "0.01\n", ""},
        {{"sprt", "wr", "0.0099999", "0.01", "0.0100001"}, 0, "0.9999999996\n1.0000000000\n1.0000000004\n", ""},
        {{"sprt", "wr", "961.7800001"}, 1, "\n", "SPRT temperature outside"},
        {{"calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848", "--u-zn", "0.5", "--u-al", "0.6", "--u-cu",
          "0.8", "--u-common", "0.3", "--at", "-50"},
         0, "…   -50 \u2103  -0.22556 mV  u = 4.14 \u03bcV, U = 8.27 \u03bcV (no U in \u2103: no differential value below -49.5 \u2103)\n", ""},
        {{"calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848", "--u-zn", "0.5", "--u-al", "0.6", "--u-cu",
          "0.8", "--u-common", "0.3", "--at", "-50", "--format", "csv"},
         0, "…\n-50,-0.22556,4.13557813717159,8.27115627434318,\n", ""},
        {{"sprt", "fit", "TPW-Zn", "--rtpw", "25.319871", "--point", "231.928:47.922451", "--point", "419.527:65.039218"},
         0, "…ITS-90 criteria:\n  W(Ga) = 1.11812442 >= 1.11807: met\n", ""},
        {{"sprt", "temp", "TPW-Zn", "--rtpw", "25.319871", "--a", "-6e-4", "--b", "-9.9190e-6", "47.922451"}, 0,
         "232.043097088\n", "fail ITS-90's criteria for an SPRT\n  W(Ga) = 1.11806791, not >= 1.11807: not met"},
        {{"cvd", "fit", "0:100.02", "100:138.53", "200:175.89", "400:247.07"}, 0,
         "…fitted from 0 to 400 \u2103: beyond, the equation is extrapolated (no point below 0 \u2103: no C, which the equation needs there)\n",
         ""},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        const std::string expected = c.out;
        EXPECT_EQ(o.status, c.status) << c.args[1] << o.err;
        if (expected.rfind("…", 0) == 0) {
            EXPECT_NE(o.out.find(expected.substr(std::string("…").size())), std::string::npos) << o.out;
        } else {
            EXPECT_EQ(o.out, expected) << c.args[1];
        }
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    }
}

TEST(ResistanceThermometers, RefuseWhatTheyCannotUse) {
    struct Case {
        std::vector<std::string> args;
        const char* named;
    };
    const Case cases[] = {
        {{"sprt", "fit", "TPW-Zn", "--rtpw", "25.3", "--point", "231.93:47.9", "--point", "419.527:65"},
         "231.93 \u2103 is no fixed point"},
        {{"sprt", "fit", "TPW-Zn", "--rtpw", "25.3", "--point", "231.928:47.9"}, "needs a point at 419.527"},
        {{"sprt", "fit", "TPW-Zn", "--rtpw", "-1", "--point", "231.928:47.9", "--point", "419.527:65"},
         "rising curve"},
        {{"sprt", "temp", "TPW-Zn", "--rtpw", "25.3", "--a", "-1e-4", "--b", "-1e-5", "--c", "1", "50"},
         "has no coefficient c"},
        {{"sprt", "temp", "Zn", "--rtpw", "25.3", "--a", "-1e-4", "50"}, "unknown range 'Zn'"},
        {{"sprt", "temp", "TPW-In", "--rtpw", "25.3", "--a", "1.5", "50"}, "rising curve"},
        {{"cvd", "fit", "0:100", "100:138.5"}, "fewer points than the 3 unknowns"},
        {{"cvd", "fit", "0:100", "0:100.1", "100:138.5", "200:175"}, "two points at 0"},
        {{"cvd", "temp", "--r0", "-100", "--a", "3.9e-3", "--b", "-5.8e-7", "100"}, "rising curve"},
        {{"cvd", "fit", "0:100", "x", "100:138.5"}, "T:R"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, 2) << c.named << o.err;
        EXPECT_EQ(o.out, "") << c.named;
        EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
    }
    // Values outside a range give an empty line and status 1.
    const Outcome o = run_cli({"sprt", "temp", "TPW-Zn", "--rtpw", "25.319871", "--a", "-1.2134e-4", "--b",
                               "-9.9190e-6", "70", "47.922451"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "\n231.928006666\n");
}

}  // namespace
}  // namespace its90::cli::testing
