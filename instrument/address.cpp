#include "instrument/address.h"

#include <charconv>

namespace its90::instrument {

namespace {

// A whole decimal number from lowest to highest, all of the text.
bool whole_number(std::string_view text, int lowest, int highest, int& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= lowest && value <= highest;
}

}  // namespace

std::variant<MeterAddress, AddressFault> parse_address(std::string_view text) {
    MeterAddress a;
    a.text = std::string(text);
    constexpr std::string_view kTcp = "tcp://";
    constexpr std::string_view kSerial = "serial://";
    if (text.starts_with(kTcp)) {
        std::string_view rest = text.substr(kTcp.size());
        if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
        std::string_view host = rest;
        std::string_view port;
        if (rest.starts_with('[')) {  // [::1]:5025
            const std::size_t close = rest.find(']');
            if (close == std::string_view::npos) return AddressFault{AddressFault::Cause::NoHost, std::string(rest)};
            host = rest.substr(1, close - 1);
            std::string_view after = rest.substr(close + 1);
            if (!after.empty()) {
                if (after.front() != ':') return AddressFault{AddressFault::Cause::BadPort, std::string(after)};
                port = after.substr(1);
                if (port.empty()) return AddressFault{AddressFault::Cause::BadPort, std::string(after)};
            }
        } else if (const std::size_t colon = rest.rfind(':'); colon != std::string_view::npos) {
            host = rest.substr(0, colon);
            port = rest.substr(colon + 1);
            if (port.empty()) return AddressFault{AddressFault::Cause::BadPort, ""};
        }
        if (host.empty() || host.find_first_of("/?#@ ") != std::string_view::npos) {
            return AddressFault{AddressFault::Cause::NoHost, std::string(host)};
        }
        a.kind = MeterAddress::Kind::Tcp;
        a.host = std::string(host);
        if (!port.empty() && !whole_number(port, 1, 65535, a.port)) {
            return AddressFault{AddressFault::Cause::BadPort, std::string(port)};
        }
        return a;
    }
    if (text.starts_with(kSerial)) {
        std::string_view rest = text.substr(kSerial.size());
        const std::size_t question = rest.find('?');
        const std::string_view device = rest.substr(0, question);
        if (device.size() < 2 || device.front() != '/') return AddressFault{AddressFault::Cause::NoDevice, std::string(device)};
        a.kind = MeterAddress::Kind::Serial;
        a.device = std::string(device);
        if (question != std::string_view::npos) {
            std::string_view options = rest.substr(question + 1);
            while (!options.empty()) {
                const std::size_t amp = options.find('&');
                const std::string_view option = options.substr(0, amp);
                options = amp == std::string_view::npos ? std::string_view() : options.substr(amp + 1);
                if (!option.starts_with("baud=")) return AddressFault{AddressFault::Cause::UnknownOption, std::string(option)};
                if (!whole_number(option.substr(5), 50, 4'000'000, a.baud)) {
                    return AddressFault{AddressFault::Cause::BadBaud, std::string(option.substr(5))};
                }
            }
        }
        return a;
    }
    const std::size_t scheme = text.find("://");
    return AddressFault{AddressFault::Cause::UnknownScheme,
                        std::string(scheme == std::string_view::npos ? text : text.substr(0, scheme))};
}

}  // namespace its90::instrument
