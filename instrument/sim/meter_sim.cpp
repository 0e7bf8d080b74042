// its90-meter-sim: a meter to try the program without instruments, and to test it with. It
// answers the generic profile's SCPI commands on 127.0.0.1 (never beyond the loopback) or on
// its standard input and output (behind a pseudo-terminal made by socat), with channels whose
// EMF follows a furnace: a set point approached with a time constant, plus noise, through
// each channel's reference function. On demand it drops the link, answers slowly, answers
// garbage or reports an SCPI error.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/its90.h"
#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace {

using its90::Thermocouple;

constexpr const char* kUsage =
    "Usage: its90-meter-sim [--port N | --stdio] [--port-file FILE] [--served FILE]\n"
    "                       [--channel CH=TYPE[:OFFSET_C]]... [--start C] [--tau S] [--noise UV]\n"
    "                       [--time-scale X] [--wander C] [--seed N] [--idn TEXT]\n"
    "                       [--drop-at N]... [--garbage-at N]... [--error-at N]... [--slow-ms MS]\n"
    "\n"
    "A simulated scanning voltmeter for its90 and its window. It serves the generic profile\n"
    "(*IDN?, *CLS, ROUT:CLOS (@CH), MEAS:VOLT:DC?, SYST:ERR?) and a furnace set point\n"
    "(SOUR:TEMP T, SOUR:TEMP?) on 127.0.0.1:N (N = 0: a free port, written as 'port N' on\n"
    "standard output and to --port-file), or on standard input and output (--stdio). Each\n"
    "channel reads the EMF of its type (default 101=S 102=K 103=K 104=K) at the furnace's\n"
    "temperature plus its offset, in volts, with Gaussian noise of --noise uV (default 0.3).\n"
    "The furnace starts at --start (20 C) and approaches each set point with the time constant\n"
    "--tau seconds (60), on a clock --time-scale times the real one (1); --wander C adds a\n"
    "swing of that amplitude with a period of 120 s, so that it never settles.\n"
    "Faults, counted over the readings (MEAS:VOLT:DC? queries) from 1: --drop-at N closes the\n"
    "link instead of answering the N-th, --garbage-at N answers it with no number, --error-at N\n"
    "answers it but queues an SCPI error; --slow-ms delays every answer. --served FILE appends\n"
    "'N,CHANNEL,REPLY' for every reading answered.\n";

struct Channel {
    Thermocouple type;
    double offset_C;
};

struct Settings {
    int port = 0;
    bool stdio = false;
    std::string port_file;
    std::string served;
    std::map<std::string, Channel> channels;
    double start_C = 20;
    double tau_s = 60;
    double noise_uV = 0.3;
    double time_scale = 1;
    double wander_C = 0;
    unsigned long seed = 1;
    std::string idn = "ITS90,Simulated meter its90-meter-sim,0,1.0";
    std::set<long> drop_at, garbage_at, error_at;
    int slow_ms = 0;
};

class Furnace {
public:
    explicit Furnace(const Settings& s) : s_(s), from_(s.start_C), set_(s.start_C), random_(s.seed) {
        set_at_ = clock();
    }
    void set(double t) {
        from_ = temperature();
        set_ = t;
        set_at_ = clock();
    }
    double set_point() const { return set_; }
    double temperature() const {
        const double since = clock() - set_at_;
        double t = set_ + (from_ - set_) * std::exp(-since / s_.tau_s);
        if (s_.wander_C > 0) t += s_.wander_C * std::sin(2 * M_PI * clock() / 120);
        return t;
    }
    // The channel's EMF in mV, noise included; nothing where its type has no EMF.
    std::optional<double> emf(const Channel& c) {
        const its90::Result e = its90::emf_unrounded(c.type, temperature() + c.offset_C);
        if (!e.ok()) return std::nullopt;
        return *e + noise_(random_) * s_.noise_uV / 1000;
    }

private:
    double clock() const {
        using namespace std::chrono;
        return duration<double>(steady_clock::now() - start_).count() * s_.time_scale;
    }
    const Settings& s_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    double from_;
    double set_;
    double set_at_ = 0;
    std::mt19937_64 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
};

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\t')) s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

// The channel in "(@101)".
std::optional<std::string> channel_list(const std::string& s) {
    const std::size_t at = s.find("(@");
    const std::size_t close = s.find(')', at);
    if (at == std::string::npos || close == std::string::npos) return std::nullopt;
    return trimmed(s.substr(at + 2, close - at - 2));
}

class Meter {
public:
    explicit Meter(const Settings& s) : s_(s), furnace_(s) {
        if (!s.served.empty()) served_.open(s.served, std::ios::app);
    }
    // The answer to one line, if it asks one; `drop` when the link is to be closed instead.
    std::optional<std::string> answer(const std::string& line, bool& drop) {
        const std::string command = upper(trimmed(line));
        if (command.empty()) return std::nullopt;
        if (command == "*IDN?") return s_.idn;
        if (command == "*CLS") {
            errors_.clear();
            return std::nullopt;
        }
        if (command == "*RST") return std::nullopt;
        if (command == "SYST:ERR?" || command == "SYSTEM:ERROR?" || command == "SYST:ERR:NEXT?") {
            if (errors_.empty()) return std::string("+0,\"No error\"");
            std::string e = errors_.front();
            errors_.pop_front();
            return e;
        }
        if (command.starts_with("ROUT:CLOS")) {
            const std::optional<std::string> ch = channel_list(command);
            if (!ch || !s_.channels.count(*ch)) {
                errors_.push_back("-222,\"Data out of range\"");
            } else {
                selected_ = *ch;
            }
            return std::nullopt;
        }
        if (command.starts_with("SOUR:TEMP?")) return its90::text::round_trip(furnace_.set_point());
        if (command.starts_with("SOUR:TEMP")) {
            const std::optional<double> t = its90::text::parse_strict_number(trimmed(command.substr(9)));
            if (!t) errors_.push_back("-104,\"Data type error\"");
            else furnace_.set(*t);
            return std::nullopt;
        }
        if (command.starts_with("MEAS:VOLT:DC?") || command == "READ?") {
            const long n = ++readings_;
            if (s_.drop_at.count(n)) {
                drop = true;
                return std::nullopt;
            }
            std::string channel = selected_;
            if (const std::optional<std::string> ch = channel_list(command)) channel = *ch;
            std::string reply;
            if (s_.garbage_at.count(n)) {
                reply = "#?OVLD-garbage";
            } else if (!s_.channels.count(channel)) {
                errors_.push_back("-221,\"Settings conflict\"");
                reply = "+9.90000000E+37";
            } else if (const std::optional<double> e = furnace_.emf(s_.channels.at(channel))) {
                char text[40];
                std::snprintf(text, sizeof text, "%+.6E", *e / 1000);
                reply = text;
            } else {
                reply = "+9.90000000E+37";
            }
            if (s_.error_at.count(n)) errors_.push_back("-230,\"Data corrupt or stale\"");
            if (served_) {
                served_ << n << ',' << channel << ',' << reply << '\n';
                served_.flush();
            }
            return reply;
        }
        errors_.push_back("-113,\"Undefined header\"");
        return std::nullopt;
    }

private:
    const Settings& s_;
    Furnace furnace_;
    std::deque<std::string> errors_;
    std::string selected_;
    long readings_ = 0;
    std::ofstream served_;
};

// Serves one link, line by line, until it closes; false when the link is to be dropped.
template <class Read, class Write>
bool serve(Meter& meter, const Settings& s, Read read, Write write) {
    std::string pending;
    char buffer[4096];
    while (true) {
        const long n = read(buffer, sizeof buffer);
        if (n <= 0) return true;
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            bool drop = false;
            const std::optional<std::string> reply = meter.answer(line, drop);
            if (drop) return false;
            if (reply) {
                if (s.slow_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(s.slow_ms));
                write(*reply + "\n");
            }
        }
    }
}

bool channel_option(const std::string& v, Settings& s) {
    const std::size_t equals = v.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    const std::string type = v.substr(equals + 1, 1);
    const std::optional<Thermocouple> t = type.size() == 1 ? its90::thermocouple_from_letter(type[0]) : std::nullopt;
    if (!t) return false;
    double offset = 0;
    if (v.size() > equals + 2) {
        if (v[equals + 2] != ':') return false;
        const std::optional<double> o = its90::text::parse_strict_number(v.substr(equals + 3));
        if (!o) return false;
        offset = *o;
    }
    s.channels[v.substr(0, equals)] = {*t, offset};
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto number = [&](std::size_t& i, double& out) {
        if (i + 1 >= args.size()) return false;
        const std::optional<double> v = its90::text::parse_strict_number(args[++i]);
        if (!v) return false;
        out = *v;
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        double v = 0;
        bool ok = true;
        if (a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--stdio") {
            s.stdio = true;
        } else if (a == "--port" && (ok = number(i, v))) {
            s.port = static_cast<int>(v);
            ok = v >= 0 && v <= 65535 && v == std::floor(v);
        } else if ((a == "--port-file" || a == "--served" || a == "--idn" || a == "--channel") && i + 1 < args.size()) {
            const std::string& value = args[++i];
            if (a == "--port-file") s.port_file = value;
            else if (a == "--served") s.served = value;
            else if (a == "--idn") s.idn = value;
            else ok = channel_option(value, s);
        } else if (a == "--start" && (ok = number(i, v))) {
            s.start_C = v;
        } else if (a == "--tau" && (ok = number(i, v))) {
            s.tau_s = v;
            ok = v > 0;
        } else if (a == "--noise" && (ok = number(i, v))) {
            s.noise_uV = v;
            ok = v >= 0;
        } else if (a == "--time-scale" && (ok = number(i, v))) {
            s.time_scale = v;
            ok = v > 0;
        } else if (a == "--wander" && (ok = number(i, v))) {
            s.wander_C = v;
        } else if (a == "--seed" && (ok = number(i, v))) {
            s.seed = static_cast<unsigned long>(v);
        } else if (a == "--slow-ms" && (ok = number(i, v))) {
            s.slow_ms = static_cast<int>(v);
        } else if ((a == "--drop-at" || a == "--garbage-at" || a == "--error-at") && (ok = number(i, v))) {
            (a == "--drop-at" ? s.drop_at : a == "--garbage-at" ? s.garbage_at : s.error_at).insert(static_cast<long>(v));
        } else {
            ok = false;
        }
        if (!ok) {
            std::cerr << "its90-meter-sim: cannot use '" << a << "'\n" << kUsage;
            return 2;
        }
    }
    if (s.channels.empty()) {
        s.channels = {{"101", {Thermocouple::S, 0}}, {"102", {Thermocouple::K, 0}},
                      {"103", {Thermocouple::K, 0}}, {"104", {Thermocouple::K, 0}}};
    }
    signal(SIGPIPE, SIG_IGN);
    Meter meter(s);

    if (s.stdio) {
        serve(meter, s, [](char* b, std::size_t n) { return static_cast<long>(::read(0, b, n)); },
              [](const std::string& text) { return ::write(1, text.data(), text.size()); });
        return 0;
    }

    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never beyond this machine
    address.sin_port = htons(static_cast<uint16_t>(s.port));
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 4) != 0) {
        std::cerr << "its90-meter-sim: cannot listen on 127.0.0.1:" << s.port << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
    if (!s.port_file.empty()) {
        const std::string temporary = s.port_file + ".new";
        std::ofstream(temporary) << port << '\n';
        std::rename(temporary.c_str(), s.port_file.c_str());
    }
    std::cout << "port " << port << std::endl;
    while (true) {
        const int link = ::accept(listener, nullptr, nullptr);
        if (link < 0) continue;
        ::setsockopt(link, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        serve(meter, s, [&](char* b, std::size_t n) { return static_cast<long>(::recv(link, b, n, 0)); },
              [&](const std::string& text) { return ::send(link, text.data(), text.size(), MSG_NOSIGNAL); });
        ::close(link);
    }
}
