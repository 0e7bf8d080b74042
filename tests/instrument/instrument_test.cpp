// The instruments' layer: addresses and profiles as a technician writes them, the stability
// gate on readings whose figures are known in closed form, plan files and their faults, and a
// meter and whole runs against the project's simulated meter on 127.0.0.1, faults included.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <variant>

#include "book/book.h"
#include "core/its90.h"
#include "calibration/comparison.h"
#include "instrument/address.h"
#include "instrument/meter.h"
#include "instrument/plan.h"
#include "instrument/profile.h"
#include "instrument/run.h"
#include "instrument/stability.h"
#include "tests/doubles/simulated_meter.h"

namespace its90::instrument {
namespace {

using its90::testing::SimulatedMeter;

// ---- Addresses --------------------------------------------------------------------------

TEST(MeterAddresses, ReadAsATechnicianWritesThem) {
    struct Case {
        const char* text;
        MeterAddress::Kind kind;
        const char* host_or_device;
        int port_or_baud;
    };
    const Case cases[] = {
        {"tcp://127.0.0.1:5025", MeterAddress::Kind::Tcp, "127.0.0.1", 5025},
        {"tcp://meter.lab", MeterAddress::Kind::Tcp, "meter.lab", 5025},
        {"tcp://meter.lab:6000/", MeterAddress::Kind::Tcp, "meter.lab", 6000},
        {"tcp://[::1]:6001", MeterAddress::Kind::Tcp, "::1", 6001},
        {"serial:///dev/ttyUSB0?baud=115200", MeterAddress::Kind::Serial, "/dev/ttyUSB0", 115200},
        {"serial:///dev/ttyS0", MeterAddress::Kind::Serial, "/dev/ttyS0", 9600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = parse_address(c.text);
        ASSERT_TRUE(std::holds_alternative<MeterAddress>(parsed));
        const MeterAddress& a = std::get<MeterAddress>(parsed);
        EXPECT_EQ(a.kind, c.kind);
        if (c.kind == MeterAddress::Kind::Tcp) {
            EXPECT_EQ(a.host, c.host_or_device);
            EXPECT_EQ(a.port, c.port_or_baud);
        } else {
            EXPECT_EQ(a.device, c.host_or_device);
            EXPECT_EQ(a.baud, c.port_or_baud);
        }
    }
}

TEST(MeterAddresses, RefusedNamingTheWrongPart) {
    using Cause = AddressFault::Cause;
    const std::pair<const char*, Cause> cases[] = {
        {"192.168.0.2:5025", Cause::UnknownScheme}, {"http://meter", Cause::UnknownScheme},
        {"tcp://:5025", Cause::NoHost},             {"tcp://", Cause::NoHost},
        {"tcp://host:0", Cause::BadPort},           {"tcp://host:65536", Cause::BadPort},
        {"tcp://host:50x", Cause::BadPort},         {"tcp://host:", Cause::BadPort},
        {"serial://ttyUSB0", Cause::NoDevice},      {"serial:///dev/x?baud=fast", Cause::BadBaud},
        {"serial:///dev/x?baud=10", Cause::BadBaud}, {"serial:///dev/x?parity=even", Cause::UnknownOption},
    };
    for (const auto& [text, cause] : cases) {
        SCOPED_TRACE(text);
        const auto parsed = parse_address(text);
        ASSERT_TRUE(std::holds_alternative<AddressFault>(parsed));
        EXPECT_EQ(std::get<AddressFault>(parsed).cause, cause);
    }
}

// ---- Profiles ---------------------------------------------------------------------------

TEST(MeterProfiles, EveryShippedOneReadsAndTheGenericOneIsTheScpiDefault) {
    ASSERT_FALSE(shipped_profile_names().empty());
    EXPECT_EQ(shipped_profile_names().front(), "generic");
    for (const std::string& name : shipped_profile_names()) {
        SCOPED_TRACE(name);
        const auto p = find_profile(name);
        ASSERT_TRUE(std::holds_alternative<Profile>(p));
        EXPECT_EQ(std::get<Profile>(p).name, name);
    }
    const Profile generic = std::get<Profile>(find_profile("generic"));
    EXPECT_EQ(generic.identify, "*IDN?");
    EXPECT_EQ(with_argument(generic.select, "101"), "ROUT:CLOS (@101)");
    EXPECT_EQ(generic.read, "MEAS:VOLT:DC?");
    EXPECT_EQ(generic.error, "SYST:ERR?");
    EXPECT_EQ(generic.unit_to_mV_places, 3);
    EXPECT_TRUE(generic.set_point.empty());  // a furnace is set by hand unless a profile says how
    EXPECT_EQ(std::get<Profile>(find_profile("simulator")).set_point, "SOUR:TEMP %1");
}

TEST(MeterProfiles, AFileOfOnesOwnAndItsFaultsByLine) {
    const std::string path = ::testing::TempDir() + "/readout.profile";
    std::ofstream(path) << "# a readout in mV\nsetup = *RST\nsetup = *CLS\nselect =\nread = MEAS:EMF? %1\nunit = mV\n"
                           "timeout_ms = 250\n";
    const auto p = find_profile(path);
    ASSERT_TRUE(std::holds_alternative<Profile>(p));
    const Profile& profile = std::get<Profile>(p);
    EXPECT_EQ(profile.name, "readout");
    EXPECT_EQ(profile.setup, (std::vector<std::string>{"*RST", "*CLS"}));
    EXPECT_TRUE(profile.select.empty());
    EXPECT_EQ(with_argument(profile.read, "3"), "MEAS:EMF? 3");
    EXPECT_EQ(profile.unit_to_mV_places, 0);
    EXPECT_EQ(profile.timeout_ms, 250);

    using Cause = ProfileFault::Cause;
    const struct {
        const char* text;
        Cause cause;
        int line;
    } faults[] = {
        {"read MEAS:VOLT:DC?", Cause::NoEquals, 1},
        {"# ok\nspeed = 9600", Cause::UnknownKey, 2},
        {"read = A\nread = B", Cause::Repeated, 2},
        {"read =", Cause::NoRead, 0},
        {"unit = A", Cause::BadUnit, 1},
        {"timeout_ms = 0", Cause::BadTimeout, 1},
        {"timeout_ms = 1.5", Cause::BadTimeout, 1},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.text);
        const auto parsed = parse_profile(f.text, "mine");
        ASSERT_TRUE(std::holds_alternative<ProfileFault>(parsed));
        EXPECT_EQ(std::get<ProfileFault>(parsed).cause, f.cause);
        EXPECT_EQ(std::get<ProfileFault>(parsed).line, f.line);
    }
    EXPECT_EQ(std::get<ProfileFault>(find_profile("no-such-meter")).cause, Cause::UnknownName);
    EXPECT_EQ(std::get<ProfileFault>(find_profile("/no/such/file.profile")).cause, Cause::CannotRead);
}

// ---- The stability gate -----------------------------------------------------------------

TEST(StabilityGate, FiguresKnownInClosedForm) {
    // Ten readings 10 s apart. On a straight line e = 10 mV + b t the drift is b itself and the
    // standard deviation b times that of the times, sqrt(8250 / 9) s.
    const double b = 1e-4;  // mV/s: 6 uV/min, 0.6 degC/min at 10 uV/degC
    std::vector<StabilityReading> line, flat, settled_after_a_jump;
    for (int i = 0; i < 10; ++i) {
        line.push_back({10.0 * i, 10 + b * 10 * i});
        flat.push_back({10.0 * i, 10});
    }
    for (int i = 0; i < 5; ++i) settled_after_a_jump.push_back({10.0 * i, 2 + 0.5 * i});
    for (int i = 5; i < 15; ++i) settled_after_a_jump.push_back({10.0 * i, 10});
    const std::vector<StabilityReading> few(flat.begin(), flat.begin() + 9);
    const struct {
        const char* name;
        std::vector<StabilityReading> readings;
        StabilityLimits limits;
        double sd_uV, drift;
        bool enough, sd_met, drift_met;
    } cases[] = {
        {"a line, within both limits", line, {10, 3.1, 0.61}, b * std::sqrt(8250.0 / 9) * 1000, 0.6, true, true, true},
        {"a line, sd above", line, {10, 3.0, 0.61}, b * std::sqrt(8250.0 / 9) * 1000, 0.6, true, false, true},
        {"a line, drift above", line, {10, 3.1, 0.59}, b * std::sqrt(8250.0 / 9) * 1000, 0.6, true, true, false},
        {"flat", flat, {10, 0.001, 0.001}, 0, 0, true, true, true},
        {"too few yet", few, {10, 3, 0.1}, 0, 0, false, true, true},
        {"only the last ten looked at", settled_after_a_jump, {10, 0.001, 0.001}, 0, 0, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Stability s = stability_of(c.readings, 10, c.limits);
        EXPECT_NEAR(s.sd_uV, c.sd_uV, 1e-9);
        EXPECT_NEAR(s.drift_C_per_min, c.drift, 1e-9);
        EXPECT_EQ(s.enough, c.enough);
        EXPECT_EQ(s.sd_met, c.sd_met);
        EXPECT_EQ(s.drift_met, c.drift_met);
        EXPECT_EQ(s.stable(), c.enough && c.sd_met && c.drift_met);
    }
    // Falling is drift too.
    std::vector<StabilityReading> falling;
    for (int i = 0; i < 10; ++i) falling.push_back({10.0 * i, 10 - b * 10 * i});
    EXPECT_NEAR(stability_of(falling, 10, {}).drift_C_per_min, 0.6, 1e-9);
}

// ---- Plans ------------------------------------------------------------------------------

constexpr const char* kPlanCsv =
    "t_C,thermocouple,type,channel\n"
    "300,standard,S,101\n300,K1,K,102\n300,K2,K,103\n"
    "# the second point\n"
    "400,standard,S,101\n400,K1,K,102\n400,K2,K,103\n";

TEST(Plans, AFileGivesPointsAndChannelsAndTheBookReadsItBack) {
    Plan settings;
    settings.readings = 4;
    const auto parsed = plan_from_csv(kPlanCsv, settings, 32, 32);
    ASSERT_TRUE(std::holds_alternative<Plan>(parsed));
    const Plan& plan = std::get<Plan>(parsed);
    EXPECT_EQ(plan.points, (std::vector<double>{300, 400}));
    EXPECT_EQ(plan.standard_channel, "101");
    EXPECT_EQ(plan.working, (std::vector<PlannedThermocouple>{{"K1", Thermocouple::K, "102"}, {"K2", Thermocouple::K, "103"}}));
    EXPECT_EQ(plan.per_point(), 12);
    // A round: the standard, then each working thermocouple.
    EXPECT_EQ(plan.who(0), -1);
    EXPECT_EQ(plan.who(2), 1);
    EXPECT_EQ(plan.who(3), -1);
    EXPECT_EQ(plan_from_text(plan_text(plan)), plan);
    // Whatever a number holds comes back from the book's text.
    Plan odd = plan;
    odd.working[0].number = "K\\1\tof\nline";
    EXPECT_EQ(plan_from_text(plan_text(odd)), odd);
}

TEST(Plans, FaultsNameTheLineAndTheThermocouple) {
    using Cause = PlanFault::Cause;
    const std::string head = "t_C,thermocouple,type,channel\n";
    const struct {
        std::string csv;
        Cause cause;
        int line;
    } cases[] = {
        {head + "300,standard,S\n", Cause::NotFourCells, 2},
        {head + "3OO,standard,S,101\n", Cause::NotANumber, 2},
        {head + "300,standard,X,101\n", Cause::UnknownType, 2},
        {head + "300,standard,K,101\n", Cause::StandardNotS, 2},
        {head + "300,,K,102\n", Cause::NoNumber, 2},
        {head + "300,K1,K,\n", Cause::NoChannel, 2},
        {head + "300,standard,S,101\n300,K1,K,102\n400,K1,N,102\n", Cause::TwoTypes, 4},
        {head + "300,standard,S,101\n300,K1,K,102\n400,K1,K,103\n", Cause::TwoChannels, 4},
        {head + "300,standard,S,101\n300,K1,K,101\n", Cause::TwoChannels, 3},
        {head + "300,standard,S,101\n300,K1,K,102\n400,K1,K,102\n", Cause::NoStandard, 0},
        {head + "300,standard,S,101\n300,K1,K,102\n400,standard,S,101\n", Cause::Missing, 3},
        {head + "300,standard,S,101\n", Cause::NoWorking, 0},
        {head + "500,standard,S,101\n500,T1,T,102\n", Cause::NotComparable, 3},
        {head + "300,standard,S,101\n300,K1,K,102\n300,K2,K,103\n", Cause::TooMany, 4},
        {head + "300,standard,S,1\t01\n", Cause::ControlCharacter, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.csv);
        const auto parsed = plan_from_csv(c.csv, Plan{}, 32, 1);
        ASSERT_TRUE(std::holds_alternative<PlanFault>(parsed));
        EXPECT_EQ(std::get<PlanFault>(parsed).cause, c.cause);
        EXPECT_EQ(std::get<PlanFault>(parsed).line, c.line);
    }
}

// ---- A meter over a socket --------------------------------------------------------------

Profile profile(const char* name, int timeout_ms = 2000) {
    Profile p = std::get<Profile>(find_profile(name));
    p.timeout_ms = timeout_ms;
    return p;
}

MeterAddress address_of(const SimulatedMeter& sim) { return std::get<MeterAddress>(parse_address(sim.address())); }

TEST(MeterOverTcp, IdentifiesAndReadsWithEveryExchangeLogged) {
    SimulatedMeter sim({"--noise", "0"});
    const std::string log = sim.folder() + "/exchanges.log";
    Meter meter(address_of(sim), profile("generic"), {log});
    EXPECT_EQ(meter.identify(), "ITS90,Simulated meter its90-meter-sim,0,1.0");
    // The furnace starts at 20 degC: type S gives 0.113 mV there (NIST Monograph 175).
    const MeterReading r = meter.read("101");
    EXPECT_NEAR(r.emf_mV, 0.113, 0.0005);
    ASSERT_EQ(sim.served().size(), 1U);
    EXPECT_EQ(sim.served()[0], "1,101," + r.reply);
    std::ifstream file(log);
    const std::string logged((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const std::string& line : std::vector<std::string>{"> *IDN?", "> ROUT:CLOS (@101)", "> MEAS:VOLT:DC?", "< " + r.reply, "> SYST:ERR?"}) {
        EXPECT_NE(logged.find(line), std::string::npos) << line;
    }
}

TEST(MeterOverTcp, EachFaultIsNamedAndNoReadingInvented) {
    using Cause = MeterFault::Cause;
    const struct {
        const char* name;
        std::vector<std::string> options;
        const char* channel;
        int timeout_ms;
        Cause cause;
        const char* reply;
    } cases[] = {
        {"garbage", {"--garbage-at", "1"}, "101", 2000, Cause::NotANumber, "#?OVLD-garbage"},
        {"an SCPI error", {"--error-at", "1"}, "101", 2000, Cause::MeterError, "-230,\"Data corrupt or stale\""},
        {"no such channel", {}, "999", 2000, Cause::MeterError, "-222,\"Data out of range\""},
        {"too slow", {"--slow-ms", "600"}, "101", 150, Cause::Timeout, ""},
        {"an overload", {"--channel", "101=T", "--start", "1000"}, "101", 2000, Cause::Overload, "+9.90000000E+37"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedMeter sim(c.options);
        Meter meter(address_of(sim), profile("generic", c.timeout_ms));
        try {
            meter.read(c.channel);
            ADD_FAILURE() << "a reading was given";
        } catch (const MeterFailure& f) {
            EXPECT_EQ(f.fault().cause, c.cause);
            EXPECT_EQ(f.fault().meter, sim.address());
            EXPECT_NE(f.fault().command.find("MEAS:VOLT:DC?"), std::string::npos);
            EXPECT_EQ(f.fault().reply, c.reply);
        }
    }
    // Nobody listening.
    int port = 0;
    {
        SimulatedMeter gone({});
        port = gone.port();
    }
    Meter nobody(std::get<MeterAddress>(parse_address("tcp://127.0.0.1:" + std::to_string(port))), profile("generic"));
    try {
        nobody.read("101");
        ADD_FAILURE() << "a reading was given";
    } catch (const MeterFailure& f) {
        EXPECT_EQ(f.fault().cause, Cause::CannotConnect);
    }
}

TEST(MeterOverTcp, ADroppedLinkIsOpenedAgainAndTheReadingAskedAnew) {
    SimulatedMeter sim({"--drop-at", "2"});
    Meter meter(address_of(sim), profile("generic"), {"", 3, 20});
    meter.read("101");
    const MeterReading second = meter.read("102");  // the simulator closes the link instead of answering
    EXPECT_EQ(meter.reconnections(), 1);
    const std::vector<std::string> served = sim.served();
    ASSERT_EQ(served.size(), 2U);  // the dropped one was never answered
    EXPECT_EQ(served[1], "3,102," + second.reply);
}

// ---- Runs ---------------------------------------------------------------------------------

class Runs : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = ::testing::TempDir() + "/its90-runs-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        const auto parsed = plan_from_csv(kPlanCsv, settings(), 32, 32);
        plan = std::get<Plan>(parsed);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    static Plan settings() {
        Plan p;
        p.readings = 3;
        p.interval_s = 0.01;
        p.point_timeout_s = 30;
        p.stability = {10, 1.0, 5.0};
        return p;
    }
    // A furnace whose time constant is a tenth of a second on the real clock; K1 reads 0.5 degC
    // high, K2 0.3 degC low; the noise (0.05 uV) small enough that three readings give each offset
    // to 0.03 degC.
    static std::vector<std::string> furnace(std::vector<std::string> more = {}) {
        std::vector<std::string> o = {"--channel", "101=S", "--channel", "102=K:0.5", "--channel", "103=K:-0.3",
                                      "--tau", "60", "--time-scale", "600", "--noise", "0.05"};
        o.insert(o.end(), more.begin(), more.end());
        return o;
    }
    std::string book_path() const { return folder_ + "/book.sqlite"; }
    // Each working thermocouple's dt at each point from the run's readings, as typed ones give.
    std::vector<double> deltas(const instrument::Run& run) const {
        std::vector<double> out;
        for (std::size_t p = 0; p < run.plan().points.size(); ++p) {
            std::vector<std::vector<double>> columns(1 + run.plan().working.size());
            for (const TakenReading& r : run.readings()) {
                if (r.point == static_cast<int>(p)) columns[static_cast<std::size_t>(r.who + 1)].push_back(r.reading.emf_mV);
            }
            const double t = run.plan().points[p];
            for (std::size_t w = 0; w < run.plan().working.size(); ++w) {
                const auto result = calibration::compare({t, Thermocouple::K, columns[0], columns[w + 1],
                                                          *emf_unrounded(Thermocouple::S, t)});
                out.push_back(result.ok() ? result->delta_t : 99);
            }
        }
        return out;
    }
    Plan plan;

private:
    std::string folder_;
};

void expect_deltas(const std::vector<double>& dt) {
    ASSERT_EQ(dt.size(), 4U);
    for (std::size_t i = 0; i < dt.size(); ++i) EXPECT_NEAR(dt[i], i % 2 == 0 ? 0.5 : -0.3, 0.03) << i;
}

TEST_F(Runs, AWholeRunIsKeptReadingByReadingAndGivesEachOffset) {
    SimulatedMeter sim(furnace());
    Meter meter(address_of(sim), profile("simulator"));
    book::Book book(book_path());
    instrument::Run run(meter, plan, &book, nullptr, "test");
    ASSERT_EQ(run.go(), Phase::Finished);
    ASSERT_EQ(run.readings().size(), 2U * 3 * 3);
    for (std::size_t i = 0; i < run.readings().size(); ++i) {
        const TakenReading& r = run.readings()[i];
        EXPECT_EQ(r.point, static_cast<int>(i / 9));
        EXPECT_EQ(r.who, static_cast<int>(i % 3) - 1);  // standard, K1, K2, standard ...
        EXPECT_EQ(r.index, static_cast<int>(i % 9 / 3));
    }
    expect_deltas(deltas(run));
    // The book holds every reading as it came, and the run as ended.
    std::vector<std::string> kept;
    for (const book::KeptReading& k : book.run_readings(run.id())) {
        if (!k.for_stability) kept.push_back(k.emf_mV);
    }
    ASSERT_EQ(kept.size(), run.readings().size());
    for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(kept[i], run.readings()[i].reading.emf_text);
    EXPECT_TRUE(book.runs(true).empty());
    ASSERT_EQ(book.runs().size(), 1U);
    EXPECT_TRUE(book.runs()[0].complete);
    EXPECT_EQ(book.runs()[0].identity, "ITS90,Simulated meter its90-meter-sim,0,1.0");
    // The readings the simulator served, in order, include every one used.
    const std::vector<std::string> served = sim.served();
    std::size_t at = 0;
    for (const TakenReading& r : run.readings()) {
        while (at < served.size() && served[at].substr(served[at].rfind(',') + 1) != r.reading.reply) ++at;
        ASSERT_LT(at, served.size()) << r.reading.reply;
        ++at;
    }
}

TEST_F(Runs, ALinkDroppedInAPointReconnectsAndThePointStaysInOrder) {
    SimulatedMeter sim(furnace({"--drop-at", "40"}));
    Meter meter(address_of(sim), profile("simulator"), {"", 3, 20});
    instrument::Run run(meter, plan, nullptr, nullptr, "test");
    ASSERT_EQ(run.go(), Phase::Finished);
    EXPECT_GE(meter.reconnections(), 1);
    ASSERT_EQ(run.readings().size(), 18U);
    for (std::size_t i = 0; i < run.readings().size(); ++i) EXPECT_EQ(run.readings()[i].who, static_cast<int>(i % 3) - 1);
    expect_deltas(deltas(run));
}

TEST_F(Runs, AFurnaceThatNeverSettlesTimesOutNamingTheLimit) {
    SimulatedMeter sim(furnace({"--wander", "0.5"}));
    Meter meter(address_of(sim), profile("simulator"));
    plan.point_timeout_s = 1.5;
    instrument::Run run(meter, plan, nullptr, nullptr, "test");
    ASSERT_EQ(run.go(), Phase::Paused);
    ASSERT_TRUE(run.status().interruption);
    const Interruption& why = *run.status().interruption;
    EXPECT_EQ(why.kind, Interruption::Kind::Timeout);
    EXPECT_EQ(why.timeout.point, 300);
    EXPECT_GE(why.timeout.seconds, 1.5);
    EXPECT_FALSE(why.timeout.stability.drift_met && why.timeout.stability.sd_met);
    EXPECT_TRUE(run.readings().empty());
}

TEST_F(Runs, AMeterFaultPausesAndTheRunGoesOnFromTheBookWithNothingLost) {
    SimulatedMeter sim(furnace());
    std::int64_t id = 0;
    std::vector<TakenReading> before;
    {
        // Paused by the technician after five readings of the first point.
        struct PauseAfterFive : RunObserver {
            instrument::Run* run = nullptr;
            int taken = 0;
            void arrived(const TakenReading& r) override {
                if (!r.for_stability && ++taken == 5) run->pause();
            }
        } pause_after_five;
        Meter meter(address_of(sim), profile("simulator"));
        book::Book book(book_path());
        instrument::Run run(meter, plan, &book, &pause_after_five, "test");
        pause_after_five.run = &run;
        ASSERT_EQ(run.go(), Phase::Paused);
        id = run.id();
        before = run.readings();
        ASSERT_EQ(before.size(), 5U);
    }
    // Another process, later: the run taken up from the book alone.
    Meter meter(address_of(sim), profile("simulator"));
    book::Book book(book_path());
    ASSERT_EQ(book.runs(true).size(), 1U);
    instrument::Run run(meter, book, id, nullptr);
    ASSERT_EQ(run.readings().size(), 5U);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(run.readings()[i].reading.emf_text, before[i].reading.emf_text);
        EXPECT_EQ(run.readings()[i].who, before[i].who);
        EXPECT_EQ(run.readings()[i].index, before[i].index);
    }
    ASSERT_EQ(run.go(), Phase::Finished);
    ASSERT_EQ(run.readings().size(), 18U);
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(run.readings()[i].reading.emf_text, before[i].reading.emf_text);
    for (std::size_t i = 0; i < run.readings().size(); ++i) EXPECT_EQ(run.readings()[i].who, static_cast<int>(i % 3) - 1);
    expect_deltas(deltas(run));
    EXPECT_TRUE(book.runs(true).empty());
}

}  // namespace
}  // namespace its90::instrument

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);  // Qt's sockets are used as the programs use them
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
