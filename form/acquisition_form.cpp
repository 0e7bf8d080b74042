#include "form/acquisition_form.h"

#include <cmath>

#include "calibration/type_s_calibration.h"
#include "core/sensors.h"
#include "form/book_records.h"
#include "instrument/profile.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::form {

namespace {

std::string minutes_seconds(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld", s / 60, s % 60);
    return text;
}

// A typed number within its bounds, or why not.
std::variant<double, std::string> typed(const std::string& text, const char* what, double lowest, double highest,
                                        bool whole, bool above_lowest) {
    const std::optional<double> v = text::parse_strict_number(text);
    const std::string bounds = text::general(lowest) + " … " + text::general(highest);
    if (!v || *v > highest || *v < lowest || (above_lowest && *v == lowest) || (whole && *v != std::floor(*v))) {
        return std::string(what) + "应为" + (whole ? "整数 " : (above_lowest ? "大于 " + text::general(lowest) + " 的数 " : "数 ")) +
               bounds + "，不是“" + text + "”";
    }
    return *v;
}

}  // namespace

std::variant<instrument::Plan, std::string> acquisition_plan(const ComparisonForm& f, const AcquisitionSettings& s) {
    instrument::Plan plan;
    plan.readings = f.readings();
    for (int p = 0; p < f.point_count(); ++p) {
        if (!f.temperature(p)) return "第 " + std::to_string(p + 1) + " 个检定点的温度还不能读取：" + f.point(p).temperature.problem;
        plan.points.push_back(*f.temperature(p));
    }
    if (plan.points.empty()) return std::string("没有检定点");
    for (std::size_t a = 0; a < plan.points.size(); ++a) {
        for (std::size_t b = a + 1; b < plan.points.size(); ++b) {
            if (plan.points[a] == plan.points[b]) return "检定点 " + text::general(plan.points[a]) + " ℃ 出现了两次";
        }
    }
    if (s.standard_channel.empty()) return std::string("标准热电偶的通道未填");
    if (instrument::has_control_character(s.standard_channel)) return std::string("标准热电偶的通道含有制表符等控制字符");
    plan.standard_channel = s.standard_channel;
    for (int i = 0; i < f.working_count(); ++i) {
        const WorkingThermocouple& w = f.working(i);
        const std::string name = w.number.empty() ? std::to_string(i + 1) + "#" : w.number;
        const std::string& channel = s.channels[static_cast<std::size_t>(i)];
        if (channel.empty()) return "被检热电偶 " + name + " 的通道未填";
        if (instrument::has_control_character(channel + name)) {
            return "被检热电偶 " + name + " 的编号或通道含有制表符等控制字符";
        }
        if (channel == plan.standard_channel) return "被检热电偶 " + name + " 与标准热电偶用了同一个通道 " + channel;
        for (const instrument::PlannedThermocouple& other : plan.working) {
            if (other.channel == channel) return "被检热电偶 " + other.number + " 与 " + name + " 用了同一个通道 " + channel;
            if (other.number == name) return "被检热电偶编号 " + name + " 出现了两次";
        }
        for (double t : plan.points) {
            if (!calibration::comparison_points(w.type).contains(t) ||
                !calibration::comparison_points(Thermocouple::S).contains(t)) {
                return "被检热电偶 " + name + "（" + std::string(1, letter(w.type)) + " 型）不能在 " + text::general(t) +
                       " ℃ 比较";
            }
        }
        plan.working.push_back({name, w.type, channel});
    }
    const auto count = typed(s.count, "稳定判据的读数个数", 2, 1000, true, false);
    const auto sd = typed(s.sd_uV, "标准偏差限值（μV）", 0, 1000, false, true);
    const auto drift = typed(s.drift_C_per_min, "漂移限值（℃/min）", 0, 100, false, true);
    const auto interval = typed(s.interval_s, "读数间隔（s）", 0, 3600, false, false);
    const auto timeout = typed(s.timeout_min, "每点限时（min）", 0, 7 * 24 * 60, false, true);
    for (const auto* v : {&count, &sd, &drift, &interval, &timeout}) {
        if (const auto* why = std::get_if<std::string>(v)) return *why;
    }
    plan.stability = {static_cast<int>(std::get<double>(count)), std::get<double>(sd), std::get<double>(drift)};
    plan.interval_s = std::get<double>(interval);
    plan.point_timeout_s = std::get<double>(timeout) * 60;
    return plan;
}

void follow_plan(const instrument::Plan& plan, ComparisonForm& f, AcquisitionSettings& s) {
    const int working = std::min(static_cast<int>(plan.working.size()), kMostWorking);
    f.set_working_count(std::max(working, 1));
    for (int i = 0; i < working; ++i) {
        const instrument::PlannedThermocouple& w = plan.working[static_cast<std::size_t>(i)];
        f.set_working_type(i, w.type);
        f.set_working_number(i, w.number);
        s.channels[static_cast<std::size_t>(i)] = w.channel;
    }
    s.standard_channel = plan.standard_channel;
    f.set_readings(plan.readings);
    const int points = std::min(static_cast<int>(plan.points.size()), kMostPoints);
    f.set_point_count(points);
    for (int p = 0; p < points; ++p) f.edit_temperature(p, text::general(plan.points[static_cast<std::size_t>(p)]));
    s.count = std::to_string(plan.stability.count);
    s.sd_uV = text::general(plan.stability.sd_uV);
    s.drift_C_per_min = text::general(plan.stability.drift_C_per_min);
    s.interval_s = text::general(plan.interval_s);
    s.timeout_min = text::general(plan.point_timeout_s / 60);
}

const char* phase_text(instrument::Phase phase) {
    using instrument::Phase;
    switch (phase) {
    case Phase::Connecting: return "连接中";
    case Phase::Heating: return "升温中";
    case Phase::Settling: return "等待稳定";
    case Phase::Taking: return "采集中";
    case Phase::Finished: return "完成";
    case Phase::Paused: return "已暂停";
    case Phase::Stopped: return "已停止";
    }
    return "";
}

std::string progress_text(const instrument::RunStatus& s, const instrument::Plan& plan) {
    std::string out = "检定点 " + std::to_string(std::min(s.points_done + 1, s.points)) + "/" + std::to_string(s.points);
    if (s.point >= 0 && s.point < static_cast<int>(plan.points.size())) {
        out += "（" + text::general(plan.points[static_cast<std::size_t>(s.point)]) + " ℃）";
    }
    out += "　读数 " + std::to_string(s.taken) + "/" + std::to_string(s.to_take);
    out += "　本点用时 " + minutes_seconds(s.point_seconds);
    out += "　预计剩余 " + (s.seconds_left ? minutes_seconds(*s.seconds_left) : std::string("—"));
    return out;
}

std::string stability_text(const instrument::RunStatus& s, const instrument::Plan& plan) {
    const instrument::Stability& st = s.stability;
    std::string out = "标准偏差 " + (st.readings >= 2 ? text::fixed(st.sd_uV, 2) : std::string("—")) + " μV（限 " +
                      text::general(plan.stability.sd_uV) + " μV）　漂移 " +
                      (st.readings >= 2 ? text::fixed(st.drift_C_per_min, 3) : std::string("—")) + " ℃/min（限 " +
                      text::general(plan.stability.drift_C_per_min) + " ℃/min）　读数 " + std::to_string(st.readings) +
                      "/" + std::to_string(plan.stability.count);
    if (s.standard_C) out += "　标准 " + text::fixed(*s.standard_C, 1) + " ℃";
    return out;
}

std::string meter_fault_text(const instrument::MeterFault& f) {
    using Cause = instrument::MeterFault::Cause;
    const std::string detail = f.detail.empty() ? "" : "（" + f.detail + "）";
    switch (f.cause) {
    case Cause::CannotConnect: return "无法连接仪表 " + f.meter + detail;
    case Cause::Timeout: return "仪表 " + f.meter + " 在限时内没有回答“" + f.command + "”";
    case Cause::Dropped: return "与仪表 " + f.meter + " 的连接在“" + f.command + "”时断开，重新连接未成功" + detail;
    case Cause::NotANumber: return "仪表 " + f.meter + " 对“" + f.command + "”的回答“" + f.reply + "”不是数字";
    case Cause::Overload: return "仪表 " + f.meter + " 对“" + f.command + "”的回答“" + f.reply + "”为过载，不是读数";
    case Cause::MeterError: return "仪表 " + f.meter + " 在“" + f.command + "”之后报告错误“" + f.reply + "”";
    case Cause::CannotLog: return "无法写入通信记录文件 " + f.detail;
    }
    return {};
}

std::string interruption_text(const instrument::Interruption& i) {
    using Kind = instrument::Interruption::Kind;
    if (i.kind == Kind::Meter) return meter_fault_text(i.meter);
    if (i.kind == Kind::Book) return book_problem_text(i.book) + "读数未能保存，采集已暂停。";
    const instrument::PointTimeout& t = i.timeout;
    const std::string where = text::general(t.point) + " ℃：";
    const std::string minutes = text::fixed(t.seconds / 60, 1);
    if (!t.standard_C || std::fabs(*t.standard_C - t.point) > calibration::kMostPlausibleDeviationC) {
        return where + "标准热电偶在 " + minutes + " min 内未到达检定点 ±" +
               text::general(calibration::kMostPlausibleDeviationC) + " ℃ 以内（最后 " +
               (t.standard_C ? text::fixed(*t.standard_C, 1) + " ℃" : std::string("无读数")) + "）";
    }
    std::string limits;
    if (!t.stability.enough) limits = "读数不足";
    if (!t.stability.sd_met) limits += std::string(limits.empty() ? "" : "；") + "标准偏差 " + text::fixed(t.stability.sd_uV, 2) + " μV 超过限值";
    if (!t.stability.drift_met) {
        limits += std::string(limits.empty() ? "" : "；") + "漂移 " + text::fixed(t.stability.drift_C_per_min, 3) + " ℃/min 超过限值";
    }
    return where + "炉温在 " + minutes + " min 内未稳定：" + limits;
}

std::string address_fault_text(const instrument::AddressFault& f, const std::string& address) {
    using Cause = instrument::AddressFault::Cause;
    switch (f.cause) {
    case Cause::UnknownScheme: return "“" + address + "”不是仪表地址：应为 tcp://主机:端口 或 serial:///dev/设备?baud=波特率";
    case Cause::NoHost: return "“" + address + "”中没有主机名";
    case Cause::BadPort: return "“" + address + "”中的端口“" + f.part + "”应为 1 … 65535 的整数";
    case Cause::NoDevice: return "“" + address + "”中没有设备：应为 serial:///dev/设备";
    case Cause::BadBaud: return "“" + address + "”中的波特率“" + f.part + "”应为 50 … 4000000 的整数";
    case Cause::UnknownOption: return "“" + address + "”：串口只接受 baud=波特率，不接受“" + f.part + "”";
    }
    return {};
}

std::string profile_fault_text(const instrument::ProfileFault& f, const std::string& name) {
    using Cause = instrument::ProfileFault::Cause;
    const std::string where = "仪表配置 " + name + " 第 " + std::to_string(f.line) + " 行：";
    switch (f.cause) {
    case Cause::NoEquals: return where + "“" + f.text + "”不是“键 = 值”";
    case Cause::UnknownKey: return where + "未知的键“" + f.text + "”";
    case Cause::Repeated: return where + "“" + f.text + "”给出了两次";
    case Cause::NoRead: return "仪表配置 " + name + "：read 为空";
    case Cause::BadUnit: return where + "单位应为 V 或 mV，不是“" + f.text + "”";
    case Cause::BadTimeout: return where + "timeout_ms 应为 1 … 600000 的整数，不是“" + f.text + "”";
    case Cause::CannotRead: return "无法读取仪表配置文件 " + f.text;
    case Cause::UnknownName: return "没有名为“" + f.text + "”的仪表配置";
    }
    return {};
}

}  // namespace its90::form
