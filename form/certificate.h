// A kept record's certificate: what the laboratory issues to its customer, made from the record
// as the book re-issues it (its results digit for digit), the laboratory's settings, the
// record's sign-off and its certificate number. The page and the Digital Calibration
// Certificate are both drawn from this one account.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "form/calibration_record.h"

namespace its90::form {

// A column of a results table that the DCC carries as a D-SI list of numbers.
struct CertificateQuantity {
    std::size_t column = 0;
    std::string name_zh;
    std::string name_en;
    std::string unit;                       // D-SI: "\\degreecelsius", "\\milli\\volt" ...
    std::optional<std::size_t> expanded{};  // the column holding its expanded uncertainty (k = 2)
    int expanded_shift = 0;                 // powers of ten from that column's unit to the quantity's
    std::optional<std::size_t> row{};       // one value alone: this row's cell (a coefficient)
};

struct CertificateTable {
    std::string title_zh;
    std::string title_en;
    Rows rows;  // its headings first
    std::vector<CertificateQuantity> quantities;
    std::optional<bool> pass{};  // the verdict on what it holds, where the regulation gives one
};

struct CertificateSignature {
    const char* role_zh;  // 检定员 / 核验员 / 批准人
    const char* role_en;  // what the DCC calls the role
    std::string name;     // empty until the step is taken
    std::string date;
};

struct Certificate {
    std::int64_t record = 0;
    book::Kind kind = book::Kind::FixedPoint;
    std::string title_zh;  // 检定证书 / 校准证书
    std::string title_en;
    std::optional<std::string> number;  // given on approval
    bool approved = false;
    std::string laboratory;
    std::string address;
    std::string accreditation;
    std::string customer;
    std::string item_zh;  // what was calibrated: "标准铂铑10-铂热电偶（S 型）"
    std::string item_en;
    std::string item_number;
    std::vector<std::pair<std::string, std::string>> working_items;  // a comparison's: number, type
    std::string regulation;  // the regulation or standard applied
    std::string method_zh;
    std::string method_en;
    std::string standard;  // the standard used: its number, certificate and uncertainty
    std::string ambient_temperature_C;    // as typed; empty when not
    std::string relative_humidity_percent;
    std::string performed;                // the record's date and time
    std::string program_version;
    std::vector<CertificateTable> results;
    std::string uncertainty_note;  // how U is stated
    std::string coverage_factor = "2";
    std::string conclusion;        // 合格 / 不合格 / the results speak
    std::optional<bool> pass{};
    std::array<CertificateSignature, 3> signatures{{{"检定员", "operator", {}, {}},
                                                    {"核验员", "checker", {}, {}},
                                                    {"批准人", "approver", {}, {}}}};
};

// The record's certificate, from the book that keeps it; nothing when its inputs no longer
// give its page. Reads the book (settings, sign-off, number): throws book::Failure.
std::optional<Certificate> certificate_of(const book::Book& book, const book::Record& record);

// The page's rows of particulars, label then value, in the order the page states them.
Rows certificate_particulars(const Certificate& certificate);

// The ambient conditions typed for a record: each left empty, or a number (',' taken as the
// decimal point, as in the windows' tables), the humidity 0 ... 100 % and the temperature
// -50 ... 100 degC. Why not, in words, or empty; the texts are given back with '.'.
std::string ambient_conditions_problem(std::string& temperature, std::string& humidity);

// Drawn across a page whose record is not approved.
inline constexpr const char* kNotApproved = "未批准";

}  // namespace its90::form
