// 自动采集 without its toolkit: the meter's address and profile, each thermocouple's channel
// and the stability limits as typed, the plan they make with the comparison's points and
// thermocouples, and the words of a run's state.
#pragma once

#include <array>
#include <string>
#include <variant>

#include "form/comparison_form.h"
#include "instrument/meter.h"
#include "instrument/plan.h"
#include "instrument/run.h"

namespace its90::form {

struct AcquisitionSettings {
    std::string address = "tcp://127.0.0.1:5025";
    std::string profile = "generic";
    std::string standard_channel = "101";
    std::array<std::string, kMostWorking> channels{"102", "103", "104", "105", "106", "107"};
    std::string count = "10";         // the standard's readings looked at
    std::string sd_uV = "3";
    std::string drift_C_per_min = "0.1";
    std::string interval_s = "10";
    std::string timeout_min = "60";
};

// The plan of a run that fills `comparison`'s readings: its points in order, its working
// thermocouples with their channels, its readings per point; or why there is none, in words.
std::variant<instrument::Plan, std::string> acquisition_plan(const ComparisonForm& comparison,
                                                             const AcquisitionSettings& settings);

// The comparison set out for a run kept in the book, before it is taken up again: its points,
// thermocouples (numbers and types) and readings per point, and the channels into `settings`.
void follow_plan(const instrument::Plan& plan, ComparisonForm& comparison, AcquisitionSettings& settings);

// 连接中, 升温中, 等待稳定, 采集中, 完成, 已暂停, 已停止.
const char* phase_text(instrument::Phase phase);
// "检定点 2/3（400 ℃）　本点用时 03:25　预计剩余 12 min".
std::string progress_text(const instrument::RunStatus& status, const instrument::Plan& plan);
// "标准偏差 0.84 μV（限 3 μV）　漂移 0.012 ℃/min（限 0.1 ℃/min）　标准 399.8 ℃".
std::string stability_text(const instrument::RunStatus& status, const instrument::Plan& plan);
// Why a meter failed, a point did not settle or the book could not keep a reading.
std::string meter_fault_text(const instrument::MeterFault& fault);
std::string interruption_text(const instrument::Interruption& interruption);
std::string address_fault_text(const instrument::AddressFault& fault, const std::string& address);
std::string profile_fault_text(const instrument::ProfileFault& fault, const std::string& name);

}  // namespace its90::form
