// `its90 temp --exact` and `its90 pt100 --inverse` against the forward functions: every
// temperature comes back from its unrounded EMF (or resistance) within 1e-6 degC wherever the
// Seebeck coefficient is at least 1 uV/degC, over each function's whole range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "core/exact_inverse.h"
#include "core/sensors.h"
#include "tests/cli/run_cli.h"

namespace its90::cli::testing {
namespace {

std::string exact(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", x);
    return buffer;
}

std::vector<double> lines_of(const std::string& out) {
    std::vector<double> values;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) values.push_back(line.empty() ? NAN : std::stod(line));
    return values;
}

TEST(ExactInverse, RoundTripsEveryTypeOverItsWholeRange) {
    for (Thermocouple type : kAllThermocouples) {
        // The whole published range, to 1768.1 degC itself for types S and R.
        const double low = record_of(type).emf.lowest;
        const double high = record_of(type).emf.highest();
        const auto e = [type](double t) { return emf_unrounded(type, t).value(); };
        std::vector<double> temperatures;
        std::string input;
        for (double t = low; t <= high; t += 0.37) {
            const double seebeck = e(std::min(t + 0.5, high)) - e(std::max(t - 0.5, low));
            if (seebeck < 0.001) continue;  // below 1 uV/degC (type B near 0, the lowest ends)
            temperatures.push_back(t);
            input += exact(e(t)) + "\n";
        }
        temperatures.push_back(high);
        input += exact(e(high)) + "\n";
        const Outcome o = run_cli({"temp", std::string(1, letter(type)), "--exact", "-"}, input);
        ASSERT_EQ(o.status, 0) << letter(type) << o.err;
        const std::vector<double> back = lines_of(o.out);
        ASSERT_EQ(back.size(), temperatures.size()) << letter(type);
        double worst = 0;
        for (std::size_t i = 0; i < back.size(); ++i) worst = std::max(worst, std::fabs(back[i] - temperatures[i]));
        EXPECT_LE(worst, 1e-6) << letter(type);
    }
}

TEST(ExactInverse, BeatsThePublishedInverseAndReachesWhereItDoesNot) {
    // The published type K inverse errs by 0.053 degC near 1371.9 degC.
    const double e = emf_unrounded(Thermocouple::K, 1371.9).value();
    const double published = std::stod(run_cli({"temp", "K", exact(e)}).out);
    EXPECT_GT(std::fabs(published - 1371.9), 0.05);
    EXPECT_NEAR(std::stod(run_cli({"temp", "K", "--exact", exact(e)}).out), 1371.9, 1e-6);
    // Below -200 degC, and type J from -8.095 to -8.059 mV.
    EXPECT_EQ(run_cli({"temp", "K", "-6"}).status, 1);
    EXPECT_NEAR(std::stod(run_cli({"temp", "K", "--exact", "-6"}).out), -207.4576, 0.0001);
    EXPECT_EQ(run_cli({"temp", "J", "--exact", "-8.07"}).status, 0);
    // With a reference junction: E(t) - E(TCJ) comes back as t.
    const double compensated = e - emf_unrounded(Thermocouple::K, 25).value();
    EXPECT_NEAR(std::stod(run_cli({"temp", "K", "--ref-junction", "25", "--exact", exact(compensated)}).out),
                1371.9, 1e-6);
}

TEST(ExactInverse, RejectsWhatHasNoOrTwoTemperatures) {
    struct Case {
        const char* type;
        const char* emf;
        const char* reason;
    };
    const Case cases[] = {
        {"B", "0", "two temperatures"},   {"B", "-0.002", "two temperatures"},
        {"B", "-0.003", "outside"},        {"K", "-6.46", "outside"},
        {"K", "54.887", "outside"},        {"S", "18.7", "outside"},
        // The bounds quoted with the digits they carry, and the temperatures they stand for.
        {"S", "18.7", "type S EMF outside -0.236 \u2026 18.694 mV (-50 \u2026 1768.1 \u2103)"},
        {"B", "0", "two temperatures between 0 and 42.13 \u2103 share this type B EMF"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli({"temp", c.type, "--exact", c.emf});
        EXPECT_EQ(o.status, 1) << c.type << " " << c.emf;
        EXPECT_EQ(o.out, "\n");
        EXPECT_NE(o.err.find(c.reason), std::string::npos) << o.err;
    }
    // Just above 0 mV type B has one temperature, above 42 degC.
    EXPECT_NEAR(std::stod(run_cli({"temp", "B", "--exact", "0.0001"}).out), 42.54, 0.01);
}

TEST(Pt100Inverse, RoundTripsAndEndsExactly) {
    std::string input;
    std::vector<double> temperatures;
    for (double t = -200; t <= 850; t += 0.83) {
        temperatures.push_back(t);
        input += exact(R_Pt100_unrounded(t).value()) + "\n";
    }
    const Outcome o = run_cli({"pt100", "--inverse", "-"}, input);
    ASSERT_EQ(o.status, 0) << o.err;
    const std::vector<double> back = lines_of(o.out);
    ASSERT_EQ(back.size(), temperatures.size());
    for (std::size_t i = 0; i < back.size(); ++i) EXPECT_NEAR(back[i], temperatures[i], 1e-6);
    EXPECT_EQ(run_cli({"pt100", "--inverse", "18.52008", "100", "138.5055", "390.481125"}).out,
              "-200\n0\n100\n850\n");
    EXPECT_EQ(run_cli({"pt100", "--inverse", "17"}).status, 1);
    EXPECT_NE(run_cli({"pt100", "--inverse", "17"}).err.find(
                  "Pt100 resistance outside 18.520 \u2026 390.481 \u03a9 (-200 \u2026 850 \u2103)"),
              std::string::npos);
    // The top of types S and R is 1768.1 degC itself: its unrounded EMF comes back.
    EXPECT_EQ(run_cli({"temp", "S", "--exact", "18.693541327"}).out, "1768.1\n");
    EXPECT_EQ(run_cli({"temp", "R", "--exact", exact(emf_unrounded(Thermocouple::R, 1768.1).value())}).out,
              "1768.1\n");
}

}  // namespace
}  // namespace its90::cli::testing
