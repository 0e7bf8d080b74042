// `its90 tolerance` and `its90 check` against the tolerance classes of IEC 60584-1 and
// IEC 60751:2008, at and beside the ends of every class.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/run_cli.h"

namespace its90::cli::testing {
namespace {

TEST(Tolerance, ClassesAtAndBesideTheirEnds) {
    struct Case {
        const char* type;
        const char* t;
        const char* line;
    };
    const Case cases[] = {
        {"T", "-40", "0.5 1 1"},          {"T", "350", "1.4 2.625 -"},   {"T", "350.1", "- - -"},
        {"T", "-200", "- - 3"},           {"T", "-200.1", "- - -"},      {"T", "40", "0.5 1 1"},
        {"E", "800", "3.2 6 -"},          {"E", "900", "- 6.75 -"},      {"E", "-41", "- - 2.5"},
        {"J", "750", "3 5.625 -"},        {"J", "751", "- - -"},         {"J", "-40", "1.5 2.5 -"},
        {"K", "1000", "4 7.5 -"},         {"K", "1200", "- 9 -"},        {"N", "-200", "- - 3"},
        {"K", "375", "1.5 2.8125 -"},     {"N", "100", "1.5 2.5 -"},
        {"R", "0", "1 1.5 -"},            {"S", "1100", "1 2.75 -"},     {"S", "1600", "2.5 4 -"},
        {"S", "1600.1", "- - -"},         {"R", "-1", "- - -"},
        {"B", "600", "- 1.5 4"},          {"B", "1700", "- 4.25 8.5"},   {"B", "599", "- - -"},
        {"Pt100", "-50", "0.185 0.25 0.55 1.1"}, {"Pt100", "250", "0.525 0.65 1.55 3.1"},
        {"Pt100", "-100", "- 0.35 0.8 1.6"},     {"Pt100", "450", "- 1.05 2.55 5.1"},
        {"Pt100", "600", "- - 3.3 6.6"},         {"Pt100", "-196", "- - 1.28 2.56"},
        {"Pt100", "601", "- - - -"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli({"tolerance", c.type, c.t});
        EXPECT_EQ(o.status, 0) << c.type << " " << c.t;
        EXPECT_EQ(o.out, std::string(c.line) + "\n") << c.type << " " << c.t;
    }
}

TEST(Tolerance, CsvHasAColumnPerClass) {
    EXPECT_EQ(run_cli({"tolerance", "J", "--format", "csv", "100", "-100"}).out,
              "t_C,class_1,class_2,class_3\n100,1.5,2.5,\n-100,,,\n");
    EXPECT_EQ(run_cli({"tolerance", "pt100", "--format", "csv", "500"}).out,
              "t_C,class_AA,class_A,class_B,class_C\n500,,,2.8,5.6\n");
    EXPECT_EQ(run_cli({"tolerance", "X", "1"}).status, 2);
    EXPECT_EQ(run_cli({"tolerance", "K"}).status, 2);
}

TEST(Check, DeviationAndTheTightestClassMet) {
    struct Case {
        std::vector<std::string> args;
        const char* line;
    };
    const Case cases[] = {
        {{"K", "--at", "100", "--emf", "4.062"}, "-0.8273 1"},
        {{"K", "--at", "100", "--emf", "4.2"}, "2.5096 none"},
        {{"K", "--at", "100", "--emf", "4.09623"}, "0.0000 1"},
        // Class 1 covers 1.5 degC at 100 degC: -1.5 itself is inside, -1.5001 is not.
        {{"K", "--at", "101.5", "--emf", "4.096230218723254"}, "-1.5000 1"},
        {{"K", "--at", "101.5001", "--emf", "4.096230218723254"}, "-1.5001 2"},
        {{"K", "--ref-junction", "25", "--at", "100", "--emf", "3.09599"}, "0.0001 1"},
        {{"B", "--at", "500", "--emf", "1.242"}, "0.0298 none"},  // no class below 600 degC
        {{"Pt100", "--at", "100", "--ohm", "138.6"}, "0.2492 AA"},
        {{"Pt100", "--at", "100", "--ohm", "138.5055"}, "0.0000 AA"},
        {{"Pt100", "--at", "0", "--ohm", "100.1"}, "0.2559 B"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome o = run_cli(args);
        EXPECT_EQ(o.status, 0) << c.line << o.err;
        EXPECT_EQ(o.out, std::string(c.line) + "\n");
    }
}

TEST(Check, PairsFromStandardInputOneLineEach) {
    const Outcome o = run_cli({"check", "K", "-"}, "100 4.062\n100 4.2\nx y\n100 99\n");
    EXPECT_EQ(o.out, "-0.8273 1\n2.5096 none\n\n\n");
    EXPECT_EQ(o.status, 2);  // a line that is not a pair of numbers
    EXPECT_EQ(run_cli({"check", "K", "--at", "100", "--ohm", "4"}).status, 2);
    EXPECT_EQ(run_cli({"check", "Pt100", "--at", "100", "--emf", "4"}).status, 2);
    EXPECT_EQ(run_cli({"check", "K", "--at", "100"}).status, 2);
}

// A temperature beyond the type's reference function has no deviation from it: refused naming
// the range (it once printed a 300-digit deviation, or ended the program at 1e308).
TEST(Check, ATemperatureBeyondTheRangeIsRefused) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string out;
    };
    const Case cases[] = {
        {{"check", "K", "--at", "1e308", "--emf", "1"}, "", "\n"},
        {{"check", "K", "--at", "1e300", "--emf", "1"}, "", "\n"},
        {{"check", "K", "--at", "1372.1", "--emf", "54.886"}, "", "\n"},
        {{"check", "Pt100", "--at", "-200.5", "--ohm", "18.5"}, "", "\n"},
        {{"check", "K", "-"}, "1e300 1\n100 4.062\n", "\n-0.8273 1\n"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args, c.input);
        EXPECT_EQ(o.status, 1) << c.args[3] << o.err;
        EXPECT_EQ(o.out, c.out);
        EXPECT_NE(o.err.find(c.args[1] == "Pt100" ? "Pt100 temperature outside -200 \u2026 850 \u2103"
                                                  : "type K temperature outside -270 \u2026 1372 \u2103"),
                  std::string::npos)
            << o.err;
    }
}

}  // namespace
}  // namespace its90::cli::testing
