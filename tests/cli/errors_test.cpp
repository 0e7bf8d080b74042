// Errors that cannot harm a terminal, that do not flood it, and no half-written output.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>

#include "tests/cli/run_cli.h"

namespace its90::cli::testing {
namespace {

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Errors, QuoteAUsersWordShortAndEscaped) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        const char* quoted;  // as the message shows the word
    };
    const std::string long_word(10'000'000, '7');
    const Case cases[] = {
        {{"emf", "K", "-"}, "a\x1b[31mred\n", "'a\\x1b[31mred' is not a number"},
        {{"emf", "K", "-"}, std::string("nul\0here\r\n", 10), "'nul\\x00here\\x0d' is not a number"},
        {{"emf", "K", "-"}, "\xff\xfe\xc3\n", "'\\xff\\xfe\\xc3' is not a number"},
        {{"emf", "K", "-"}, "\xc2\x9b" "31m\n", "'\\xc2\\x9b31m' is not a number"},  // C1 CSI
        {{"emf", "K", "-"}, "温度℃\n", "'温度℃' is not a number"},
        {{"emf", "K", long_word}, "",
         "'7777777777777777777777777777777777777777…' lies beyond the range of numbers"},
        {{"emf", "\x1b]0;title\x07"}, "", "unknown thermocouple type '\\x1b]0;title\\x07'"},
        {{"calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848", "--at", "x\x1b"}, "",
         "--at takes numbers, not 'x\\x1b'"},
        {{"\x1b[2J"}, "", "unknown command '\\x1b[2J'"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args, c.input);
        EXPECT_NE(o.err.find(c.quoted), std::string::npos) << o.err.substr(0, 200);
        EXPECT_EQ(o.err.find('\x1b'), std::string::npos);
        EXPECT_LT(o.err.size(), 4000u);
    }
}

TEST(Errors, AfterTwentyMessagesTheRestAreCounted) {
    std::string zeros;
    for (int i = 0; i < 100'000; ++i) zeros += "0\n";
    const Outcome o = run_cli({"temp", "B", "-"}, zeros);
    EXPECT_EQ(o.out, std::string(100'000, '\n'));  // still one line per value
    EXPECT_EQ(count(o.err, "\n"), 21u);
    EXPECT_NE(o.err.find("99980 more rejected values"), std::string::npos);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(run_cli({"emf", "K", "1", "2000"}).err.find("more rejected"), std::string::npos);
}

TEST(Errors, AFailingCalibrationWritesNothing) {
    for (const std::vector<std::string>& more :
         {std::vector<std::string>{"--at", "100", "2000"}, {"--from", "0", "--to", "2000"},
          {"--from", "0", "--to", "1000", "--step", "0.00001"}}) {
        const Outcome o = calibrate_reference(more);
        EXPECT_EQ(o.status, 1) << more.back();
        EXPECT_EQ(o.out, "") << more.back();
    }
    // Each fixed point's EMF is a type S EMF, or the message names the point.
    struct Case {
        std::vector<std::string> emfs;
        const char* point;
    };
    const Case cases[] = {
        {{"--zn", "1e300", "--al", "5.8", "--cu", "10.5"}, "zinc"},
        {{"--zn", "3.4", "--al", "-0.3", "--cu", "10.5"}, "aluminium"},
        {{"--zn", "3.4", "--sb", "-1e300", "--cu", "10.5"}, "antimony"},
        {{"--zn", "3.4", "--al", "5.8", "--cu", "18.7"}, "copper"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"calibrate"};
        args.insert(args.end(), c.emfs.begin(), c.emfs.end());
        const Outcome o = run_cli(args);
        EXPECT_EQ(o.status, 1) << c.point;
        EXPECT_EQ(o.out, "") << c.point;
        EXPECT_NE(o.err.find(std::string("the ") + c.point + " point's EMF"), std::string::npos) << o.err;
    }
    // The ends of the range pass the range check; no type S thermocouple gives them together.
    const Outcome ends = run_cli({"calibrate", "--zn", "-0.236", "--al", "18.693", "--cu", "10.5"});
    EXPECT_EQ(ends.status, 1);
    EXPECT_NE(ends.err.find("out of order"), std::string::npos) << ends.err;
}

// EMFs inside the type S range that no type S thermocouple gives at the fixed points (points
// swapped, a digit lost) or as a standard's own EMF at a comparison point: refused, naming
// the point, before anything is printed; a real thermocouple's are not.
TEST(Errors, EmfsNoTypeSThermocoupleGivesAreRefused) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* words;
    };
    const std::vector<std::string> point = {"compare", "K", "--at", "400", "--std", "3.26046", "--uut", "16.38544"};
    const auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> a = point;
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const Case cases[] = {
        {{"calibrate", "--zn", "10.5848", "--al", "5.87013", "--cu", "3.45689"}, 1,
         "the aluminium point's EMF 5.87013 mV is not above the zinc point's 10.5848 mV"},
        {{"calibrate", "--zn", "3.45689", "--al", "3.45689", "--cu", "10.5848"}, 1, "out of order"},
        {{"calibrate", "--zn", "3.45689", "--sb", "5.5628", "--cu", "1.05848"}, 1, "out of order"},
        {{"calibrate", "--zn", "3.34689", "--al", "5.87013", "--cu", "10.5848"}, 1, "the zinc point's EMF 3.34689 mV lies -10.4 ℃"},
        {{"calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "11.5848"}, 1, "the copper point's EMF"},
        {{"calibrate", "--zn", "3.45689", "--al", "5.97013", "--cu", "10.5848"}, 1, "the aluminium point's EMF"},
        {with({"--zn", "10.5848", "--al", "5.87013", "--cu", "3.45689"}), 2, "out of order"},
        {with({"--cert", "1e300"}), 2, "the standard's own EMF 1e+300 mV"},
        {with({"--cert", "-3.2587"}), 2, "the standard's own EMF -3.2587 mV lies -681 ℃"},
        {with({"--cert", "0"}), 2, "lies -341 ℃ from type S's reference EMF at 400 ℃"},
        {with({"--cert", "32.587"}), 2, "the standard's own EMF"},
        {with({"--cert", "3.2587"}), 0, ""},
        {{"calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848"}, 0, ""},
        {{"calibrate", "--zn", "3.44689", "--sb", "5.5628", "--cu", "10.5748"}, 0, ""},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, c.status) << c.args[1] << " " << c.args.back() << ": " << o.err.substr(0, 300);
        if (c.status == 0) continue;
        EXPECT_EQ(o.out, "") << c.args.back();
        EXPECT_NE(o.err.find(c.words), std::string::npos) << o.err.substr(0, 300);
    }
}

// Uncertainties each a finite number whose squares overflow give no "inf" anywhere: the run
// is refused as beyond the computable range (status 1), nothing on standard output; a folder
// given as a file is named as one.
TEST(Errors, UncertaintiesBeyondTheComputableRangeAndFoldersAreRefused) {
    const char* folder = "/tmp";
    const std::vector<std::string> fixed = {"--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848"};
    const std::vector<std::string> point = {"compare", "K", "--at", "400", "--std", "3.26046", "--uut", "16.38544"};
    const auto join = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<std::string> huge = {"--u-zn", "1e308", "--u-al", "1e308", "--u-cu", "1e308"};
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* words;
    };
    const Case cases[] = {
        {join(join({"calibrate"}, fixed), join(huge, {"--at", "1000"})), 1, "beyond the computable range"},
        {join(join({"calibrate"}, fixed), huge), 1, "beyond the computable range"},
        {join(join({"calibrate"}, fixed), join(huge, {"--from", "300", "--to", "310"})), 1, "beyond the computable range"},
        {join(join({"calibrate"}, fixed), {"--u-zn", "1e300", "--u-al", "1", "--u-cu", "1", "--k", "1e10", "--at", "1000"}), 1,
         "beyond the computable range"},
        {join(join(point, fixed), huge), 1, "beyond the computable range"},
        {join(point, {"--cert", "3.2587", "--u-cert", "1e300", "--k", "1e10"}), 1, "beyond the computable range"},
        {join(point, {"--cert", "3.2587", "--budget", folder}), 1, "'/tmp' is a folder, not a file"},
        {{"compare", "--batch", folder, "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848"}, 1,
         "'/tmp' is a folder, not a file"},
        {join(join({"calibrate"}, fixed), {"--budget", folder}), 1, "'/tmp' is a folder, not a file"},
        {{"compare", "--batch", "/tmp/no-such-run.csv"}, 1, "there is no file '/tmp/no-such-run.csv'"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args);
        EXPECT_EQ(o.status, c.status) << o.err.substr(0, 300);
        EXPECT_EQ(o.out, "") << o.out.substr(0, 300);
        EXPECT_NE(o.err.find(c.words), std::string::npos) << o.err.substr(0, 300);
        EXPECT_EQ(o.err.find("inf"), std::string::npos) << o.err.substr(0, 300);
    }
    // Large but computable: stated with a power of ten, no digit a double does not carry.
    const Outcome large = run_cli(join(join({"calibrate"}, fixed), {"--u-zn", "1e150", "--u-al", "1", "--u-cu", "1", "--at", "1000"}));
    EXPECT_EQ(large.status, 0) << large.err;
    EXPECT_NE(large.out.find("u = 1.80e+149 μV"), std::string::npos) << large.out;
}

// A standard output that takes nothing.
class FullDevice : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Errors, AFailedWriteOrReadIsAnError) {
    FullDevice full;
    std::ostream out(&full);
    std::istringstream in("100\n");
    std::ostringstream err;
    EXPECT_EQ(run({"emf", "K", "100"}, in, out, err), kExitIo);
    EXPECT_NE(err.str().find("cannot write standard output"), std::string::npos);

    std::istringstream unreadable("100\n");
    unreadable.setstate(std::ios::badbit);
    std::ostringstream out2, err2;
    EXPECT_EQ(run({"emf", "K", "-"}, unreadable, out2, err2), kExitIo);
    EXPECT_NE(err2.str().find("cannot read standard input"), std::string::npos);
}

// Standard input in lines of at most 1000 characters: a longer line is one rejected value,
// reported once, and the next line is read as usual; the check command reads the same way.
TEST(Errors, AnOverlongLineIsReportedOnceAndReadingGoesOn) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string out;
    };
    const std::string long_line(5000, '1');
    const Case cases[] = {
        {{"emf", "K", "-"}, long_line + "\n100\n", "\n4.09623\n"},
        {{"emf", "K", "-"}, "100\n" + long_line, "4.09623\n\n"},  // at the end, no line feed
        {{"emf", "K", "-"}, std::string(1000, ' ') + "\n100\n", "\n4.09623\n"},  // 1000: a line
        {{"emf", "K", "-"}, std::string(1001, ' ') + "\n100\n", "\n4.09623\n"},
        {{"check", "K", "-"}, long_line + "\n100 4.062\n", "\n-0.8273 1\n"},
    };
    for (const Case& c : cases) {
        const Outcome o = run_cli(c.args, c.input);
        EXPECT_EQ(o.out, c.out) << c.input.size();
        EXPECT_EQ(o.status, kExitUsage) << c.input.size();
        EXPECT_EQ(count(o.err, "\n"), 1u) << o.err;
    }
    EXPECT_NE(run_cli({"emf", "K", "-"}, long_line).err.find("more than 1000 characters"),
              std::string::npos);
}

// A number too small for a double is refused like one too large, never read as 0.
TEST(Errors, NumbersBeyondTheDoubleRangeAreRefused) {
    for (const char* word : {"1e400", "-1e400", "1e-400", "-1e-400", "0.1e-330"}) {
        const Outcome o = run_cli({"emf", "K", word});
        EXPECT_EQ(o.status, kExitUsage) << word;
        EXPECT_EQ(o.out, "\n") << word;
        EXPECT_NE(o.err.find("lies beyond the range of numbers"), std::string::npos) << o.err;
    }
    EXPECT_NE(run_cli({"emf", "K", "--ref-junction", "1e-400", "100"}).err.find("beyond the range"),
              std::string::npos);
    EXPECT_EQ(run_cli({"check", "K", "-"}, "1e-400 4\n").status, kExitUsage);
    // Subnormal numbers are numbers: 1e-310 reads as itself.
    EXPECT_EQ(run_cli({"emf", "K", "1e-310"}).out, "0\n");
    // A decimal comma is no number here (the window reads "3,26" as 3, the comparison as 3.26).
    for (const std::vector<std::string>& args : {std::vector<std::string>{"temp", "K", "3,26"},
                                                 {"compare", "K", "--at", "400", "--std", "3.26046", "--uut", "16.38544", "--cert", "3,2587"}}) {
        EXPECT_EQ(run_cli(args).status, kExitUsage) << args[0];
    }
}

}  // namespace
}  // namespace its90::cli::testing
