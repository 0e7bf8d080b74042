// The bench commands: differential values, graduation tables, calibration and reference-
// junction compensation.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"
#include "tests/cli/run_cli.h"
#include "text/number_text.h"

namespace its90::cli {
namespace {

using testing::Outcome;
using testing::run_cli;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

TEST(Differential, AsTheWindowComputesIt) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
        int status;
    };
    const Case cases[] = {
        {{"seebeck", "K", "100"}, "41.37\n", kExitOk},
        {{"seebeck", "s", "0", "-49.5", "1767.6"}, "5.4\n3.97\n10.32\n", kExitOk},
        {{"seebeck", "T", "-100"}, "28.39\n", kExitOk},
        {{"seebeck", "B", "10", "0"}, "-0.13\n\n", kExitRejected},
        {{"seebeck", "S", "1768.1", "-50"}, "\n\n", kExitRejected},
        {{"pt100-slope", "0", "100", "849.5", "850"}, "0.39\n0.38\n0.29\n\n", kExitRejected},
        {{"seebeck", "K", "x"}, "\n", kExitUsage},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.out, c.out) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(o.status, c.status) << c.args[0] << " " << c.args[1];
    }
    EXPECT_NE(run_cli({"seebeck", "K", "1372"}).err.find("-269.5 … 1371.5 ℃"), std::string::npos);
}

TEST(Table, TextLayoutLikeThePublishedTables) {
    const Outcome o = run_cli({"table", "K", "--from", "-10", "--to", "10"});
    EXPECT_EQ(o.status, kExitOk);
    EXPECT_EQ(o.out,
              "ITS-90 type K thermocouple: EMF in mV, reference junction at 0 ℃\n"
              "\n"
              "    ℃        0       -1       -2       -3       -4       -5       -6       -7"
              "       -8       -9      -10\n"
              "   -10   -0.392\n"
              "     0    0.000   -0.039   -0.079   -0.118   -0.157   -0.197   -0.236   -0.275"
              "   -0.314   -0.353   -0.392\n"
              "\n"
              "    ℃        0        1        2        3        4        5        6        7"
              "        8        9       10\n"
              "     0    0.000    0.039    0.079    0.119    0.158    0.198    0.238    0.277"
              "    0.317    0.357    0.397\n"
              "    10    0.397\n");
}

TEST(Table, WholeRangeByDefaultWithRowsFromTheLowest) {
    const std::vector<std::string> k = lines(run_cli({"table", "K"}).out);
    ASSERT_GT(k.size(), 170u);
    EXPECT_EQ(k[3].substr(0, 15), "  -270   -6.458");
    EXPECT_EQ(k.back().substr(0, 15), "  1370   54.819");
    const std::vector<std::string> pt = lines(run_cli({"table", "pt100", "--from", "0", "--to", "0"}).out);
    EXPECT_EQ(pt.back(), "     0   100.00");
}

TEST(Table, CsvRowsEqualTheEmfCommand) {
    for (const char* type : {"S", "R", "B", "K", "N", "J", "E", "T"}) {
        const std::vector<std::string> rows = lines(run_cli({"table", type, "--format", "csv"}).out);
        ASSERT_EQ(rows[0], "t_C,emf_mV,seebeck_uV_per_C");
        std::string temperatures;
        std::vector<std::string> emfs;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const std::size_t comma = rows[i].find(',');
            temperatures += rows[i].substr(0, comma) + "\n";
            emfs.push_back(rows[i].substr(comma + 1, rows[i].find(',', comma + 1) - comma - 1));
        }
        EXPECT_EQ(lines(run_cli({"emf", type, "-"}, temperatures).out), emfs) << type;
    }
}

TEST(Table, CsvStepsAndReferenceJunction) {
    const Outcome o = run_cli({"table", "K", "--from", "0", "--to", "0.3", "--step", "0.1",
                               "--format", "csv", "--ref-junction", "25"});
    EXPECT_EQ(o.out,
              "t_C,emf_mV,seebeck_uV_per_C\n0,-1.00024,39.45\n0.1,-0.99629,39.46\n"
              "0.2,-0.99235,39.46\n0.3,-0.9884,39.47\n");
    const std::vector<std::string> pt =
        lines(run_cli({"table", "Pt100", "--from", "-200", "--to", "-199", "--format", "csv"}).out);
    EXPECT_EQ(pt, (std::vector<std::string>{"t_C,resistance_ohm,slope_ohm_per_C",
                                            "-200,18.52008,", "-199,18.9522323360517,0.43"}));
}

TEST(Table, Errors) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"table", "K", "--from", "-300"}, kExitRejected},
        {{"table", "K", "--from", "10", "--to", "0"}, kExitRejected},
        {{"table", "K", "--ref-junction", "2000"}, kExitRejected},
        {{"table", "K", "--step", "1"}, kExitUsage},
        {{"table", "K", "--format", "csv", "--step", "0"}, kExitUsage},
        {{"table", "K", "--format", "xml"}, kExitUsage},
        {{"table", "K", "--colour", "red"}, kExitUsage},
        {{"table", "Pt100", "--ref-junction", "20"}, kExitUsage},
        {{"table", "X"}, kExitUsage},
        {{"table"}, kExitUsage},
        {{"table", "K", "--from"}, kExitUsage},
        {{"table", "K", "--from", "abc"}, kExitUsage},
        {{"table", "K", "--format", "csv", "--step", "1e-9"}, kExitRejected},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, c.status) << c.args.back();
        EXPECT_EQ(o.out, "") << c.args.back();
        EXPECT_NE(o.err, "") << c.args.back();
    }
}

TEST(ReferenceJunction, RoundTripThroughTheInverseFunction) {
    for (const char* t : {"-150", "0", "25", "100", "500", "1000", "1370"}) {
        const Outcome emf = run_cli({"emf", "K", "--ref-junction", "25", t});
        ASSERT_EQ(emf.status, kExitOk) << t;
        const Outcome back = run_cli({"temp", "K", "--ref-junction=25", emf.out.substr(0, emf.out.size() - 1)});
        ASSERT_EQ(back.status, kExitOk) << t;
        // Within the published inverse function's error (type K: -0.05 ... 0.06 degC).
        EXPECT_NEAR(std::stod(back.out), std::stod(t), 0.06) << t;
    }
    EXPECT_EQ(run_cli({"emf", "K", "--ref-junction", "25", "25"}).out, "0\n");
    EXPECT_EQ(run_cli({"emf", "K", "--ref-junction", "0", "100"}).out, "4.09623\n");
    // 1372 degC lies beyond the inverse function's 54.886 mV once the junction EMF is added.
    EXPECT_EQ(run_cli({"temp", "K", "--ref-junction", "25", "53.88612"}).status, kExitRejected);
}

TEST(ReferenceJunction, RejectionsWhenTheJunctionOrTheSumLeavesTheRange) {
    Outcome o = run_cli({"emf", "K", "--ref-junction", "1400", "100"});
    EXPECT_EQ(o.status, kExitRejected);
    EXPECT_EQ(o.out, "");
    o = run_cli({"temp", "K", "--ref-junction", "100", "54", "1"});  // 54 + 4.1 > 54.886 mV
    EXPECT_EQ(o.status, kExitRejected);
    EXPECT_EQ(lines(o.out).size(), 2u);
    EXPECT_EQ(lines(o.out)[0], "");
    o = run_cli({"temp", "B", "--ref-junction", "20", "0.1"});  // 0.1 + 0.003 < 0.291 mV
    EXPECT_EQ(o.status, kExitRejected);
    EXPECT_NE(o.err.find("0.291"), std::string::npos);
    EXPECT_EQ(run_cli({"emf", "K", "--ref-junction", "abc", "1"}).status, kExitUsage);
}

TEST(Calibrate, ReproducesThePanelTexts) {
    const std::vector<std::string> zero = {" 2.32304", " 3.25936", " 4.23329", " 5.23869", " 6.27525",
                                           " 7.34498", " 8.44924", " 9.5871",  " 10.75654"};
    const std::vector<std::string> offset = {" 2.33304", " 3.26936", " 4.24329", " 5.24869", " 6.28525",
                                             " 7.35498", " 8.45924", " 9.5971",  " 10.76654"};
    struct Case {
        std::vector<std::string> args;
        const std::vector<std::string>* texts;
        double tolerance;
    };
    const Case cases[] = {
        {{"--zn", "3.44689", "--al", "5.86013", "--cu", "10.5748"}, &zero, 0},
        {{"--zn", "3.44689", "--sb", "5.5528", "--cu", "10.5748"}, &zero, 0},
        {{"--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848"}, &offset, 0},
        {{"--zn", "3.45689", "--sb", "5.5628", "--cu", "10.5848"}, &offset, 0.000001},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"calibrate"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome o = run_cli(args);
        ASSERT_EQ(o.status, kExitOk);
        const std::vector<std::string> out = lines(o.out);
        ASSERT_GE(out.size(), 9u);
        for (std::size_t r = 0; r < 9; ++r) {
            const std::string& line = out[out.size() - 9 + r];
            const std::string text = line.substr(line.find("℃") + 5, line.size() - line.find("℃") - 5 - 3);
            if (c.tolerance == 0) {
                EXPECT_EQ(text, (*c.texts)[r]) << c.args[2];
            } else {
                EXPECT_NEAR(text::Text_to_num(text), text::Text_to_num((*c.texts)[r]), c.tolerance);
            }
        }
    }
}

TEST(Calibrate, TemperaturesRangesAndErrors) {
    const auto with = testing::calibrate_reference;
    EXPECT_EQ(with({"--at", "100", "-50", "--format", "csv"}).out, "t_C,emf_mV\n100,0.64591\n-50,-0.23556\n");
    EXPECT_EQ(with({"--from", "1600", "--to", "1664.5", "--step", "32.25", "--format", "csv"}).out,
              "t_C,emf_mV\n1600,16.77684\n1632.25,17.15777\n1664.5,17.53596\n");
    EXPECT_EQ(with({"--at", "1664.6"}).status, kExitRejected);
    EXPECT_EQ(with({"--from", "-60", "--to", "0"}).status, kExitRejected);
    EXPECT_EQ(with({"--at", "ten"}).status, kExitUsage);
    EXPECT_EQ(with({"--from", "0"}).status, kExitUsage);
    EXPECT_EQ(with({"--sb", "5.5"}).status, kExitUsage);
    EXPECT_EQ(run_cli({"calibrate", "--zn", "1", "--al", "1"}).status, kExitUsage);
    for (const char* absurd : {"1e308", "-1e308"}) {
        const Outcome o = run_cli({"calibrate", "--zn", "1", "--al", "1", "--cu", absurd});
        EXPECT_EQ(o.status, kExitRejected) << absurd;
        EXPECT_EQ(o.out, "") << absurd;
    }
    // Finite coefficients whose values lie so near the double range that rounding them to
    // 5 places overflows: an error, not a crash.
    for (std::vector<std::string> more : {std::vector<std::string>{},
                                          {"--at", "1000"}, {"--from", "1000", "--to", "1001"}}) {
        std::vector<std::string> args = {"calibrate", "--zn", "1", "--al", "1", "--cu", "5e307"};
        args.insert(args.end(), more.begin(), more.end());
        EXPECT_EQ(run_cli(args).status, kExitRejected) << more.size();
    }
}

TEST(Help, EveryCommandHasAnExample) {
    for (const char* command : {"emf", "temp", "pt100", "seebeck", "pt100-slope", "table", "calibrate"}) {
        const Outcome o = run_cli({command, "--help"});
        EXPECT_EQ(o.status, kExitOk) << command;
        EXPECT_NE(o.out.find("Example"), std::string::npos) << command;
        EXPECT_NE(o.out.find(std::string("its90 ") + command), std::string::npos) << command;
    }
}

TEST(Calibrate, AcceptanceCheckAfterTheTable) {
    const Outcome text = run_cli({"calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu",
                                  "10.5848", "--check"});
    EXPECT_EQ(text.status, 0);  // the check informs; it is not a failure of the command
    const std::string check = text.out.substr(text.out.find("\nAcceptance check"));
    EXPECT_EQ(check,
              "\nAcceptance check, JJG 75-1995 (reference junction at 0 \u2103):\n"
              "copper       10.5848 mV  required 10.57500 \u00b1 0.015 mV  deviation 0.00980 mV  pass\n"
              "aluminium    5.87013 mV  required 5.86363 \u00b1 0.005 mV  deviation 0.00650 mV  fail\n"
              "zinc         3.45689 mV  required 3.44876 \u00b1 0.005 mV  deviation 0.00813 mV  fail\n"
              "overall: fail\n");
    const Outcome csv = run_cli({"calibrate", "--zn", "3.447", "--sb", "5.553", "--cu", "10.575",
                                 "--check", "--format", "csv"});
    EXPECT_NE(csv.out.find("\npoint,measured_mV,required_mV,allowance_mV,deviation_mV,verdict\n"
                           "copper,10.575,10.57500,0.015,0.00000,pass\n"
                           "antimony,5.553,5.55300,0.005,0.00000,pass\n"
                           "zinc,3.447,3.44700,0.005,0.00000,pass\n"
                           "overall,,,,,pass\n"),
              std::string::npos)
        << csv.out;
}

}  // namespace
}  // namespace its90::cli

namespace its90::cli::testing {
namespace {

// `its90 ipts68` as a technician types it from an old certificate: each value to 0.1 mK, a
// value without a published difference refused naming the span, the others still converted.
TEST(Ipts68, BothWaysAndWhatItRefuses) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {{"ipts68", "t90", "100", "961.93", "1064.43"}, 0, "99.9744\n961.7800\n1064.1801\n", ""},
        {{"ipts68", "t68", "0.01", "231.928"}, 0, "0.0100\n231.9685\n", ""},
        {{"ipts68", "diff", "419.527"}, 0, "-0.0525\n", ""},
        {{"ipts68", "t90", "630.5", "20"}, 1, "\n19.9950\n", "630.5: no published relation between 630.125 and 630.740 \u2103"},
        {{"ipts68", "t68", "-250"}, 1, "\n", "ITS-90 temperature outside -200 \u2026 1064.18 \u2103"},
        {{"ipts68", "t90", "x"}, 2, "\n", "x"},
        {{"ipts68", "t96", "1"}, 2, "", "unknown ipts68 command"},
        {{"ipts68", "t90"}, 2, "", "missing values"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, c.status) << c.args[1] << " " << o.err;
        EXPECT_EQ(o.out, c.out) << c.args[1];
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    }
}

}  // namespace
}  // namespace its90::cli::testing

namespace its90::cli::testing {
namespace {

using its90::cli::testing::Outcome;

// --unit K or F: a temperature typed or given converts with the scale's offset, a difference or
// a value per degree by the degree's size only, and each reads as the same figure in degC
// does; the commands whose records state degC refuse it.
TEST(Unit, TemperaturesDifferencesAndRanges) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> same_as;  // the same command in degC; empty: `out` given
        std::string out;
        int status = 0;
        std::string err;
    };
    const std::vector<std::string> zn = {"--rtpw", "25.319871", "--a", "-1.2134e-4", "--b", "-9.9190e-6"};
    const auto with = [](std::vector<std::string> a, const std::vector<std::string>& more) {
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const Case cases[] = {
        {{"emf", "K", "212", "--unit", "F"}, {"emf", "K", "100"}, ""},
        {{"--unit", "K", "emf", "K", "373.15"}, {"emf", "K", "100"}, ""},
        {{"emf", "K", "212", "--ref-junction", "32", "--unit=f"}, {"emf", "K", "100", "--ref-junction", "0"}, ""},
        {{"pt100", "373.15", "--unit", "K"}, {"pt100", "100"}, ""},
        {{"pt100", "--inverse", "138.5055", "--unit", "F"}, {}, "212\n"},
        {{"pt100", "--inverse", "138.5055", "--unit", "K"}, {}, "373.15\n"},
        {{"temp", "K", "4.09623", "--unit", "K"}, {}, "373.1188\n"},  // 99.9688 degC
        {{"seebeck", "K", "212", "--unit", "F"}, {}, "22.98\n"},      // 41.37 uV/degC per 1.8 degF
        {{"seebeck", "K", "373.15", "--unit", "K"}, {}, "41.37\n"},
        {{"ipts68", "diff", "212", "--unit", "F"}, {}, "-0.0462\n"},  // -0.0256 degC, no 32 added
        {{"ipts68", "t68", "373.1244", "--unit", "K"}, {}, "373.1500\n"},
        {with({"sprt", "resistance", "TPW-Zn"}, with(zn, {"505.078", "--unit", "K"})),
         with({"sprt", "resistance", "TPW-Zn"}, with(zn, {"231.928"})), ""},
        {{"cvd", "resistance", "--r0", "100", "--a", "3.9083e-3", "--b", "-5.775e-7", "--unit", "K", "1123.15"}, {},
         "390.481125\n"},  // the range's end in kelvins is its end
        {{"copper", "temp", "--r0", "50", "71.39995", "--unit", "F"}, {}, "212\n"},
        {{"emf", "K", "3000", "--unit", "K"}, {}, "\n", 1, "type K temperature outside 3.15 \u2026 1645.15 K"},
        {{"emf", "K", "3000", "--unit", "F"}, {}, "\n", 1, "type K temperature outside -454 \u2026 2501.6 \u2109"},
        {{"calibrate", "--zn", "3.44689", "--al", "5.86013", "--cu", "10.5748", "--unit", "F"}, {}, "", 2,
         "calibrate states its temperatures in \u2103"},
        {{"tolerance", "K", "212", "2012", "--unit", "F"}, {}, "2.7 4.5 -\n- 14.85 -\n"},  // 1.5, 2.5, 8.25 degC
        {{"check", "K", "--at", "212", "--emf", "4.062", "--unit", "F"}, {}, "-1.48914 1\n"},  // -0.8273 degC
        {{"table", "K", "--format", "csv", "--from", "273.15", "--to", "274.15", "--step", "0.5", "--unit", "K"}, {},
         "t_K,emf_mV,seebeck_uV_per_K\n273.15,0,39.45\n273.65,0.01973,39.47\n274.15,0.03947,39.5\n"},
        // Whole degF as in the published degF tables, referred to 32 degF: 212 degF is 100 degC's 4.096 mV.
        {{"table", "K", "--from", "210", "--to", "212", "--unit", "F"}, {},
         "ITS-90 type K thermocouple: EMF in mV, reference junction at 32 \u2109\n\n"
         "    \u2109        0        1        2        3        4        5        6        7        8        9       10\n"
         "   200                                                                                              4.050\n"
         "   210    4.050    4.073    4.096\n"},
        {{"table", "K", "--from", "0", "--to", "3000", "--unit", "F"}, {}, "", 1, "leaves the range -454 \u2026 2501.6 \u2109"},
        {{"fit", "line", "1:2", "2:3", "--unit", "K"}, {}, "", 2, "--unit goes with"},
        {with({"sprt", "fit", "TPW-Zn"}, {"--rtpw", "25.3", "--point", "505.08:47.9", "--point", "692.677:65", "--unit", "K"}),
         {}, "", 2, "505.08 K is no fixed point of the range"},
        {{"emf", "K", "100", "--unit", "R"}, {}, "", 2, "--unit is C, K or F, not 'R'"},
        {{"emf", "K", "100", "--unit"}, {}, "", 2, "--unit needs C, K or F"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, c.status) << c.args[0] << " " << o.err;
        EXPECT_EQ(o.out, c.same_as.empty() ? c.out : run_cli(c.same_as).out) << c.args[0] << " " << c.args[1];
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    }
    // The unit holds for its own command only.
    EXPECT_EQ(run_cli({"pt100", "--inverse", "138.5055"}).out, "100\n");
    // A fit's points and --at in the unit, the same coefficients; U, an uncertainty, in mK for
    // degC and K, 1.8 times as many m degF.
    const std::vector<std::string> in_c = {"sprt", "fit", "TPW-Zn", "--rtpw", "25.319871", "--point", "231.928:47.922451",
                                           "--point", "419.527:65.039218", "--u", "0.1", "--format", "csv", "--at"};
    const Outcome c = run_cli(with(in_c, {"100"}));
    const Outcome k = run_cli({"sprt", "fit", "TPW-Zn", "--rtpw", "25.319871", "--point", "505.078:47.922451", "--point",
                               "692.677:65.039218", "--u", "0.1", "--format", "csv", "--at", "373.15", "--unit", "K"});
    const Outcome f = run_cli({"sprt", "fit", "TPW-Zn", "--rtpw", "25.319871", "--point", "449.4704:47.922451", "--point",
                               "787.1486:65.039218", "--u", "0.1", "--format", "csv", "--at", "212", "--unit", "F"});
    ASSERT_EQ(c.status, 0) << c.err;
    ASSERT_EQ(k.status, 0) << k.err;
    ASSERT_EQ(f.status, 0) << f.err;
    const auto lines = [](const std::string& text) {
        std::vector<std::string> all;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) all.push_back(line);
        return all;
    };
    const auto lc = lines(c.out), lk = lines(k.out), lf = lines(f.out);
    ASSERT_EQ(lc.size(), 4u);
    ASSERT_EQ(lk.size(), 4u);
    ASSERT_EQ(lf.size(), 4u);
    EXPECT_EQ(lk[1], lc[1]);  // the coefficients
    EXPECT_EQ(lf[1], lc[1]);
    EXPECT_EQ(lc[2], "t90_C,U_k2_mK");
    EXPECT_EQ(lk[2], "t90_K,U_k2_mK");
    EXPECT_EQ(lf[2], "t90_F,U_k2_mF");
    const double u_c = std::stod(lc[3].substr(lc[3].find(',') + 1));
    EXPECT_EQ(lk[3], "373.15," + lc[3].substr(lc[3].find(',') + 1));
    EXPECT_EQ(lf[3].substr(0, 4), "212,");
    EXPECT_NEAR(std::stod(lf[3].substr(4)), 1.8 * u_c, 1e-12);
}

}  // namespace
}  // namespace its90::cli::testing
