#include "instrument/meter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "instrument/run.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::instrument {

namespace {

// SCPI meters answer 9.9E37 for an overload, -9.9E37 below the range.
constexpr double kOverload = 9.0e37;
// No reply of a meter is this long: a link that sends more without a line end is sending
// something else.
constexpr qsizetype kLongestReply = 64 * 1024;

bool error_query_says_none(std::string_view reply) {
    if (reply.starts_with('+')) reply.remove_prefix(1);
    return reply.starts_with('0') && (reply.size() == 1 || reply[1] == ',' || reply[1] == ' ');
}

}  // namespace

struct Meter::Link {
    std::unique_ptr<QTcpSocket> tcp;
    std::unique_ptr<QSerialPort> serial;
    QByteArray buffer;

    QIODevice& device() { return tcp ? static_cast<QIODevice&>(*tcp) : static_cast<QIODevice&>(*serial); }
    std::string error_text() const {
        return (tcp ? tcp->errorString() : serial->errorString()).toStdString();
    }
    // Whether a wait that came back empty means the link is gone rather than slow.
    bool dropped() const {
        if (tcp) return tcp->state() != QAbstractSocket::ConnectedState || tcp->error() == QAbstractSocket::RemoteHostClosedError;
        return serial->error() != QSerialPort::NoError && serial->error() != QSerialPort::TimeoutError;
    }
};

Meter::Meter(MeterAddress address, Profile profile, MeterOptions options)
    : address_(std::move(address)), profile_(std::move(profile)), options_(std::move(options)) {
    if (!options_.log_path.empty()) {
        std::ofstream probe(options_.log_path, std::ios::app);
        if (!probe) throw MeterFailure({MeterFault::Cause::CannotLog, address_.text, "", "", options_.log_path});
    }
}

Meter::~Meter() = default;

const MeterAddress& Meter::address() const { return address_; }
const Profile& Meter::profile() const { return profile_; }
int Meter::reconnections() const { return reconnections_; }

void Meter::disconnect() { link_.reset(); }

void Meter::log(char direction, std::string_view text) {
    if (options_.log_path.empty()) return;
    std::ofstream file(options_.log_path, std::ios::app);
    file << local_time_ms() << ' ' << direction << ' ' << text << '\n';
    file.flush();
    if (!file) throw MeterFailure({MeterFault::Cause::CannotLog, address_.text, "", "", options_.log_path});
}

void Meter::ensure_connected() {
    if (link_) return;
    auto link = std::make_unique<Link>();
    if (address_.kind == MeterAddress::Kind::Tcp) {
        link->tcp = std::make_unique<QTcpSocket>();
        link->tcp->connectToHost(QString::fromStdString(address_.host), static_cast<quint16>(address_.port));
        if (!link->tcp->waitForConnected(profile_.timeout_ms)) {
            const std::string why = link->error_text();
            log('!', "cannot connect: " + why);
            throw MeterFailure({MeterFault::Cause::CannotConnect, address_.text, "", "", why});
        }
        link->tcp->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    } else {
        link->serial = std::make_unique<QSerialPort>();
        link->serial->setPortName(QString::fromStdString(address_.device));
        if (!link->serial->open(QIODevice::ReadWrite)) {
            const std::string why = link->error_text();
            log('!', "cannot open: " + why);
            throw MeterFailure({MeterFault::Cause::CannotConnect, address_.text, "", "", why});
        }
        link->serial->setBaudRate(address_.baud);
        link->serial->setDataBits(QSerialPort::Data8);
        link->serial->setParity(QSerialPort::NoParity);
        link->serial->setStopBits(QSerialPort::OneStop);
        link->serial->setFlowControl(QSerialPort::NoFlowControl);
        link->serial->clear();
    }
    link_ = std::move(link);
    log('=', "connected");
    for (const std::string& command : profile_.setup) send(command);
}

void Meter::send(const std::string& command) {
    log('>', command);
    QIODevice& device = link_->device();
    const QByteArray line = QByteArray::fromStdString(command + "\n");
    if (device.write(line) != line.size() || (link_->tcp && !link_->tcp->waitForBytesWritten(profile_.timeout_ms)) ||
        (link_->serial && !link_->serial->waitForBytesWritten(profile_.timeout_ms))) {
        const std::string why = link_->error_text();
        link_.reset();
        throw MeterFailure({MeterFault::Cause::Dropped, address_.text, command, "", why});
    }
}

std::string Meter::query(const std::string& command) {
    send(command);
    QElapsedTimer waited;
    waited.start();
    Link& link = *link_;
    while (true) {
        if (const qsizetype end = link.buffer.indexOf('\n'); end >= 0) {
            std::string reply = link.buffer.left(end).toStdString();
            link.buffer.remove(0, end + 1);
            while (!reply.empty() && (reply.back() == '\r' || reply.back() == ' ')) reply.pop_back();
            log('<', reply);
            return reply;
        }
        if (link.buffer.size() > kLongestReply) {
            const std::string start = link.buffer.left(40).toStdString();
            link_.reset();
            throw MeterFailure({MeterFault::Cause::NotANumber, address_.text, command, start + "...", "no line end"});
        }
        const qint64 left = profile_.timeout_ms - waited.elapsed();
        if (left <= 0) {
            log('!', "no reply in " + std::to_string(profile_.timeout_ms) + " ms");
            // A late reply would be taken for the next one's: the link starts afresh.
            const std::string partial = link.buffer.toStdString();
            link_.reset();
            throw MeterFailure({MeterFault::Cause::Timeout, address_.text, command, partial, ""});
        }
        const bool ready = link.device().waitForReadyRead(static_cast<int>(left));
        link.buffer += link.device().readAll();
        if (!ready && link.buffer.indexOf('\n') < 0 && link.dropped()) {
            const std::string why = link.error_text();
            log('!', "dropped: " + why);
            link_.reset();
            throw MeterFailure({MeterFault::Cause::Dropped, address_.text, command, "", why});
        }
    }
}

template <class Step>
auto Meter::with_reconnection(Step step) {
    for (int attempt = 0;; ++attempt) {
        try {
            const bool reconnecting = !link_ && connected_once_;
            ensure_connected();
            if (reconnecting) ++reconnections_;
            connected_once_ = true;
            return step();
        } catch (const MeterFailure& f) {
            const MeterFault::Cause cause = f.fault().cause;
            const bool link_lost = cause == MeterFault::Cause::Dropped ||
                                   (cause == MeterFault::Cause::CannotConnect && connected_once_);
            if (!link_lost) throw;
            if (attempt >= options_.reconnect_attempts) {
                MeterFault fault = f.fault();
                fault.cause = MeterFault::Cause::Dropped;
                throw MeterFailure(fault);
            }
            link_.reset();
            std::this_thread::sleep_for(std::chrono::milliseconds(options_.reconnect_pause_ms * (attempt + 1)));
        }
    }
}

std::string Meter::identify() {
    return with_reconnection([&] {
        identity_ = profile_.identify.empty() ? std::string() : query(profile_.identify);
        return identity_;
    });
}

MeterReading Meter::read(std::string_view channel) {
    return with_reconnection([&] {
        const std::string select = with_argument(profile_.select, channel);
        if (!select.empty()) send(select);
        const std::string read = with_argument(profile_.read, channel);
        // What the reading was asked by: an error may come of either command.
        const std::string command = select.empty() ? read : select + "; " + read;
        MeterReading r;
        r.reply = query(read);
        if (!profile_.error.empty()) {
            const std::string error = query(profile_.error);
            if (!error_query_says_none(error)) {
                throw MeterFailure({MeterFault::Cause::MeterError, address_.text, command, error, r.reply});
            }
        }
        const std::optional<std::string> mV = text::decimal_shifted(r.reply, profile_.unit_to_mV_places);
        const std::optional<double> value = mV ? text::parse_strict_number(*mV) : std::nullopt;
        if (!value) throw MeterFailure({MeterFault::Cause::NotANumber, address_.text, command, r.reply, ""});
        if (std::fabs(*value) >= kOverload) throw MeterFailure({MeterFault::Cause::Overload, address_.text, command, r.reply, ""});
        r.emf_text = *mV;
        r.emf_mV = *value;
        return r;
    });
}

bool Meter::set_point(double temperature) {
    if (profile_.set_point.empty()) return false;
    const std::string text = text::round_trip(temperature);
    with_reconnection([&] {
        send(with_argument(profile_.set_point, text));
        if (!profile_.error.empty()) {
            const std::string error = query(profile_.error);
            if (!error_query_says_none(error)) {
                throw MeterFailure({MeterFault::Cause::MeterError, address_.text, with_argument(profile_.set_point, text), error, ""});
            }
        }
        return 0;
    });
    return true;
}

}  // namespace its90::instrument
