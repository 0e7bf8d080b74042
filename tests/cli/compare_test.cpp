// `its90 compare`: the regulation's worked example, every type at its usual points from a
// certificate and from a fixed-point calibration, a whole furnace run from a file, and the
// input it refuses (exit 2, nothing on standard output, the value named).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/run_cli.h"

namespace its90::cli::testing {
namespace {

std::vector<std::string> csv_cells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
    return cells;
}

// The result row of a CSV output (the line after the header).
std::vector<std::string> result_row(const Outcome& o, int row = 0) {
    std::istringstream in(o.out);
    std::string line;
    std::getline(in, line);
    for (int i = 0; i <= row; ++i) std::getline(in, line);
    return csv_cells(line);
}

double number(const std::string& text) { return std::stod(text); }

TEST(Compare, TheRegulationsWorkedExample) {
    const std::vector<std::string> args = {"compare", "K", "--at", "400", "--std", "3.26046",
                                           "--uut", "16.38544", "--cert", "3.2587"};
    const Outcome text = run_cli(args);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("\u0394e = -0.0195 mV, \u0394t = -0.46 \u2103, class 1"), std::string::npos)
        << text.out;
    std::vector<std::string> csv_args = args;
    csv_args.insert(csv_args.end(), {"--format", "csv"});
    const Outcome csv = run_cli(csv_args);
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "t_C,type,std_mean_mV,std_cert_mV,std_seebeck_uV_per_C,uut_mean_mV,uut_ref_mV,"
              "uut_seebeck_uV_per_C,delta_e_mV,delta_t_C,class");
    const std::vector<std::string> r = result_row(csv);
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[0], "400");
    EXPECT_EQ(r[1], "K");
    EXPECT_EQ(r[4], "9.57");      // S_std
    EXPECT_EQ(r[6], "16.39714");  // e_ref
    EXPECT_EQ(r[7], "42.24");     // S_uut
    // The published figures: de = -0.0194683 mV, dt = -0.46090 degC.
    EXPECT_NEAR(number(r[8]), -0.0194683, 5e-8);
    EXPECT_NEAR(number(r[9]), -0.46090, 5e-6);
    EXPECT_EQ(r[10], "1");
}

struct TypePoints {
    const char* type;
    std::vector<int> points;
};
const TypePoints kUsualPoints[] = {
    {"K", {400, 600, 800, 1000}}, {"N", {400, 600, 800, 1000}}, {"E", {300, 400, 600}},
    {"J", {300, 400, 600}},       {"T", {100, 200, 300}},       {"S", {600, 800, 1000}},
    {"R", {600, 800, 1000}},      {"B", {800, 1000, 1200}},
};

std::string first_line(const Outcome& o) { return o.out.substr(0, o.out.find('\n')); }

// The formula itself from the window's figures as its90 prints them: each working
// thermocouple reads 0.02 mV above its reference EMF, the standard 0.005 mV above its own.
TEST(Compare, EveryTypeAtItsUsualPointsMatchesTheFormula) {
    for (const TypePoints& tp : kUsualPoints) {
        for (int t : tp.points) {
            const std::string at = std::to_string(t);
            const double e_ref = number(first_line(run_cli({"emf", tp.type, at})));
            const double s_uut = number(first_line(run_cli({"seebeck", tp.type, at})));
            const double s_std = number(first_line(run_cli({"seebeck", "S", at})));
            const double e_cert = number(first_line(run_cli({"emf", "S", at}))) + 0.0012;
            const double e_std = e_cert + 0.005, e_uut = e_ref + 0.02;
            char std_text[40], uut_text[40], cert_text[40];
            std::snprintf(std_text, sizeof std_text, "%.17g", e_std);
            std::snprintf(uut_text, sizeof uut_text, "%.17g", e_uut);
            std::snprintf(cert_text, sizeof cert_text, "%.17g", e_cert);
            const Outcome o = run_cli({"compare", tp.type, "--at", at, "--std", std_text, "--uut",
                                       uut_text, "--cert", cert_text, "--format", "csv"});
            ASSERT_EQ(o.status, 0) << tp.type << " " << t << o.err;
            const std::vector<std::string> r = result_row(o);
            const double delta_e = e_uut + (e_cert - e_std) * s_uut / s_std - e_ref;
            EXPECT_EQ(number(r[8]), delta_e) << tp.type << " " << t;
            EXPECT_EQ(number(r[9]), delta_e / s_uut * 1000) << tp.type << " " << t;
        }
    }
}

// A standard calibrated at the fixed points 0.01 mV above the reference EMFs has its own EMF
// 0.01 mV above the reference at every point, to within the six-digit weights: the result is
// that of its certificate reading so.
TEST(Compare, FromTheFixedPointsAsFromTheCertificate) {
    const auto text = [](double x) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", x);
        return std::string(buffer);
    };
    for (bool aluminium : {true, false}) {
        for (const TypePoints& tp : kUsualPoints) {
            for (int t : tp.points) {
                const std::string at = std::to_string(t);
                const double e_s = number(first_line(run_cli({"emf", "S", at})));
                const double e_x = number(first_line(run_cli({"emf", tp.type, at})));
                const std::vector<std::string> common = {
                    "compare", tp.type, "--at", at, "--std", text(e_s + 0.012) + "," + text(e_s + 0.014),
                    "--uut", text(e_x - 0.03), "--format", "csv"};
                std::vector<std::string> by_cert = common;
                by_cert.insert(by_cert.end(), {"--cert", text(e_s + 0.01)});
                std::vector<std::string> by_points = common;
                by_points.insert(by_points.end(),
                                 {"--zn", "3.45689", aluminium ? "--al" : "--sb",
                                  aluminium ? "5.87013" : "5.5628", "--cu", "10.5848"});
                const Outcome a = run_cli(by_cert), b = run_cli(by_points);
                ASSERT_EQ(a.status, 0) << tp.type << " " << t << a.err;
                ASSERT_EQ(b.status, 0) << tp.type << " " << t << b.err;
                EXPECT_NEAR(number(result_row(b)[3]), e_s + 0.01, 1e-6) << tp.type << " " << t;
                EXPECT_NEAR(number(result_row(b)[9]), number(result_row(a)[9]), 1e-3) << tp.type;
            }
        }
    }
}

TEST(Compare, RefusesWhatItCannotCompareAndWritesNothing) {
    struct Case {
        std::vector<std::string> args;
        const char* named;  // in the message
    };
    const std::vector<std::string> fixed = {"--zn", "3.44689", "--al", "5.86013", "--cu", "10.5748"};
    const auto with = [](std::vector<std::string> a, const std::vector<std::string>& more) {
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const Case cases[] = {
        {{"compare", "T", "--at", "400", "--std", "3.26", "--uut", "20.8", "--cert", "3.26"},
         "type T is compared at points from -49.5 to 399.5"},
        {with({"compare", "B", "--at", "1700", "--std", "12", "--uut", "12"}, fixed),
         "-50 \u2026 1664.5 \u2103"},
        {{"compare", "K", "--at", "400", "--std", "3.26,x", "--uut", "16.4", "--cert", "3.26"}, "'x'"},
        {{"compare", "K", "--at", "400", "--std", "3.26", "--uut", "60", "--cert", "3.26"},
         "60 mV: type K EMF outside -5.891 \u2026 54.886 mV"},
        {{"compare", "K", "--at", "400", "--std", "19", "--uut", "16", "--cert", "3.26"},
         "19 mV: type S EMF outside"},
        {{"compare", "K", "--at", "400", "--std", "3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3",
          "--uut", "16", "--cert", "3.26"},
         "1 to 20 readings"},
        {{"compare", "K", "--at", "400", "--std", "3.26", "--uut", "16.4"}, "--cert"},
        {with({"compare", "K", "--at", "400", "--std", "3.26", "--uut", "16.4", "--cert", "3"}, fixed),
         "not both"},
        {{"compare", "X", "--at", "400", "--std", "3.26", "--uut", "16.4", "--cert", "3"}, "'X'"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, 2) << c.named;
        EXPECT_EQ(o.out, "") << c.named;
        EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
    }
}

TEST(Compare, AWholeFurnaceRunFromAFile) {
    const std::string run =
        "t_C,thermocouple,type,emf_mV\n"
        "# standard S-7, working K-01 and K-02\n"
        "400,standard,S,3.26046\n"
        "400,K-01,K,16.38544\n"
        "400,K-02,K,16.3712\n"
        "400,standard,S,3.26050\n"
        "400,certificate,S,3.2587\n"
        "\n"
        "600,standard,S,5.2401\n"
        "600,K-01,K,24.9012\n"
        "600,K-02,K,24.8801\n"
        "600,certificate,S,5.2395\n";
    const Outcome o = run_cli({"compare", "--batch", "-", "--format", "csv"}, run);
    ASSERT_EQ(o.status, 0) << o.err;
    std::istringstream lines(o.out);
    std::string header;
    std::getline(lines, header);
    EXPECT_EQ(header.substr(header.rfind(',') + 1), "number");
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(csv_cells(line));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0] + rows[0][11], "400K-01");
    EXPECT_EQ(rows[1][0] + rows[1][11], "400K-02");
    EXPECT_EQ(rows[3][0] + rows[3][11], "600K-02");
    // Each row is the single form's result for the same readings.
    const Outcome one = run_cli({"compare", "K", "--at", "400", "--std", "3.26046,3.26050", "--uut",
                                 "16.3712", "--cert", "3.2587", "--format", "csv"});
    const std::vector<std::string> single = result_row(one);
    EXPECT_EQ(std::vector<std::string>(rows[1].begin(), rows[1].begin() + 11), single);

    // A line that is not a reading is named with its number, and nothing is written.
    const Outcome bad = run_cli({"compare", "--batch", "-"}, "400,standard,S,3.26\n400,K-01,K\n");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("line 2"), std::string::npos) << bad.err;
    // A point without the standard's own EMF.
    EXPECT_NE(run_cli({"compare", "--batch", "-"}, "400,standard,S,3.26\n400,K-01,K,16.4\n")
                  .err.find("own EMF is missing"),
              std::string::npos);
    // With the fixed points instead of certificate rows.
    const Outcome fixed = run_cli({"compare", "--batch", "-", "--zn", "3.44689", "--sb", "5.5528",
                                   "--cu", "10.5748"},
                                  "400,standard,S,3.26\n400,K-01,K,16.4\n");
    EXPECT_EQ(fixed.status, 0) << fixed.err;
    EXPECT_NE(fixed.out.find("K-01, type K at 400 \u2103"), std::string::npos) << fixed.out;
}

}  // namespace
}  // namespace its90::cli::testing
