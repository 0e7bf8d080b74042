#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"
#include "tests/cli/run_cli.h"

namespace its90::cli {
namespace {

using testing::Outcome;
using testing::run_cli;

TEST(Cli, ConvertsArgumentsOneLineEach) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"emf", "K", "100"}, "4.09623\n"},
        {{"emf", "s", "-50", "1064.18"}, "-0.23556\n10.33421\n"},
        {{"emf", "K", "0"}, "0\n"},
        {{"emf", "K", "-0.0001"}, "0\n"},  // no "-0"
        {{"temp", "K", "4.096"}, "99.9633\n"},
        {{"temp", "j", "-8.059"}, "-208.1276\n"},
        {{"pt100", "100", "0", "-200"}, "138.5055\n100\n18.52008\n"},
        {{"emf", "R", " 1768.1 "}, "21.1027\n"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, kExitOk) << c.args[0];
        EXPECT_EQ(o.out, c.out) << c.args[0] << " " << c.args[2];
        EXPECT_EQ(o.err, "");
    }
}

TEST(Cli, RejectedValuesKeepLinesAlignedAndExitWithOne) {
    const Outcome o = run_cli({"emf", "K", "100", "2000", "1e39", "-100"});
    EXPECT_EQ(o.status, kExitRejected);
    EXPECT_EQ(o.out, "4.09623\n\n\n-3.55363\n");
    EXPECT_NE(o.err.find("2000: type K temperature outside -270 \u2026 1372 \u2103\n"), std::string::npos);
    EXPECT_NE(o.err.find("1e39: "), std::string::npos);
}

TEST(Cli, TypeBRejectionNamesItsRange) {
    const Outcome o = run_cli({"temp", "B", "0.1", "1"});
    EXPECT_EQ(o.status, kExitRejected);
    EXPECT_EQ(o.out, "\n449.5577\n");
    EXPECT_NE(o.err.find("0.291"), std::string::npos);
    EXPECT_NE(o.err.find("13.82"), std::string::npos);
}

TEST(Cli, NotANumberIsAnErrorWithExitTwo) {
    const Outcome o = run_cli({"emf", "K", "12abc", "", "nan", "inf", "1e400", "0x10", "100"});
    EXPECT_EQ(o.status, kExitUsage);
    EXPECT_EQ(o.out, "\n\n\n\n\n\n4.09623\n");
    EXPECT_NE(o.err.find("'12abc' is not a number"), std::string::npos);
}

TEST(Cli, WorstStatusWins) {
    EXPECT_EQ(run_cli({"emf", "K", "abc", "5000"}).status, kExitUsage);
    EXPECT_EQ(run_cli({"emf", "K", "5000", "abc"}).status, kExitUsage);
}

TEST(Cli, ReadsStandardInputForDash) {
    const Outcome o = run_cli({"emf", "K", "-", "500"}, "100\n\n2000\n-270\n");
    EXPECT_EQ(o.out, "4.09623\n\n\n-6.45774\n20.64429\n");
    EXPECT_EQ(o.status, kExitUsage);  // the empty line is not a number
    const Outcome crlf = run_cli({"pt100", "-"}, "0\r\n100\r\n");
    EXPECT_EQ(crlf.out, "100\n138.5055\n");
    EXPECT_EQ(crlf.status, kExitOk);
}

TEST(Cli, UsageAndHelp) {
    struct Case {
        std::vector<std::string> args;
        int status;
        bool usage_on_stdout;
    };
    const Case cases[] = {
        {{"--help"}, kExitOk, true},        {{"emf", "--help"}, kExitOk, true},
        {{"pt100", "-h"}, kExitOk, true},   {{}, kExitUsage, false},
        {{"volts", "K", "1"}, kExitUsage, false}, {{"emf", "X", "1"}, kExitUsage, false},
        {{"emf", "KK", "1"}, kExitUsage, false},  {{"emf", "K"}, kExitUsage, false},
        {{"pt100"}, kExitUsage, false},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, c.status);
        EXPECT_EQ(o.out.find("Usage: its90") != std::string::npos, c.usage_on_stdout);
        EXPECT_EQ(o.err.find("Usage: its90") != std::string::npos, !c.usage_on_stdout);
    }
}

}  // namespace
}  // namespace its90::cli
