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
        {{"calibrate", "--zn", "1", "--al", "1", "--cu", "1", "--at", "x\x1b"}, "",
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
    EXPECT_EQ(run_cli({"calibrate", "--zn", "-0.236", "--al", "18.693", "--cu", "10.5"}).status, 0);
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
}

}  // namespace
}  // namespace its90::cli::testing
