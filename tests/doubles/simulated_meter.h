// The project's simulated meter (its90-meter-sim) started for a test on 127.0.0.1 at a free
// port, and stopped with the test. Fails the test loudly when it cannot be started.
#pragma once

#include <signal.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace its90::testing {

class SimulatedMeter {
public:
    enum class Link { Tcp, Pty };
    // `options`: the simulator's own (channels, furnace, faults); --port and --port-file are
    // added. Over a pty the simulator serves its standard input and output behind a
    // pseudo-terminal that socat makes (address(): serial://...).
    explicit SimulatedMeter(std::vector<std::string> options, Link link = Link::Tcp) {
        if (link == Link::Pty) {
            start_on_pty(std::move(options));
            return;
        }
        char folder_template[] = "/tmp/its90-sim-XXXXXX";
        if (mkdtemp(folder_template) == nullptr) throw std::runtime_error("no temporary folder for the simulator");
        folder_ = folder_template;
        const std::string port_file = folder_ + "/port";
        served_ = folder_ + "/served.csv";
        std::vector<std::string> args = {ITS90_METER_SIM, "--port", "0", "--port-file", port_file, "--served", served_};
        args.insert(args.end(), options.begin(), options.end());
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, 1);
            ::execv(argv[0], argv.data());
            _exit(127);
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < until) {
            std::ifstream file(port_file);
            if (file >> port_) return;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        throw std::runtime_error(std::string("the simulated meter ") + ITS90_METER_SIM + " did not start");
    }
    ~SimulatedMeter() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    SimulatedMeter(const SimulatedMeter&) = delete;
    SimulatedMeter& operator=(const SimulatedMeter&) = delete;

    int port() const { return port_; }
    std::string address() const {
        return tty_.empty() ? "tcp://127.0.0.1:" + std::to_string(port_) : "serial://" + tty_ + "?baud=115200";
    }
    // Every reading it answered: "N,CHANNEL,REPLY" a line.
    std::vector<std::string> served() const {
        std::vector<std::string> lines;
        std::ifstream file(served_);
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    const std::string& folder() const { return folder_; }

private:
    void start_on_pty(std::vector<std::string> options) {
        char folder_template[] = "/tmp/its90-sim-XXXXXX";
        if (mkdtemp(folder_template) == nullptr) throw std::runtime_error("no temporary folder for the simulator");
        folder_ = folder_template;
        served_ = folder_ + "/served.csv";
        tty_ = folder_ + "/tty";
        // socat's address syntax takes no colons or commas in EXEC: the command is a script.
        const std::string script = folder_ + "/meter.sh";
        {
            std::ofstream s(script);
            s << "#!/bin/sh\nexec '" << ITS90_METER_SIM << "' --stdio --served '" << served_ << "'";
            for (const std::string& o : options) s << " '" << o << "'";
            s << '\n';
        }
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        pid_ = fork();
        if (pid_ == 0) {
            const std::string pty = "pty,raw,echo=0,link=" + tty_;
            const std::string exec = "EXEC:" + script;
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, 2);
            ::execlp("socat", "socat", pty.c_str(), exec.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < until) {
            if (std::filesystem::exists(tty_)) return;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        throw std::runtime_error("socat did not make the simulated meter's pseudo-terminal (is socat installed?)");
    }

    std::string folder_;
    std::string tty_;
    std::string served_;
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace its90::testing
