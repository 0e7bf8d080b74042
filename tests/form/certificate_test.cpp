// A kept record's certificate and DCC: every kind of record gives a DCC that libxml2's own
// xmllint accepts against the schema, carrying the record's values digit for digit; a value
// that is not a number is never written; the names come from the sign-off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <unistd.h>

#include "form/certificate.h"
#include "form/dcc.h"
#include "text/strict_number.h"
#include "tests/form/kept_records.h"
#include "tests/form/sprt_example.h"

namespace its90::form {
namespace {

namespace fs = std::filesystem;

class Certificates : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("its90-certificate-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        book_ = std::make_unique<book::Book>((folder_ / "book.sqlite").string());
        book_->set_setting("laboratory_name", "省计量院温度室 & <热电偶>");
        book_->set_setting("laboratory_address", "杭州市某路 1 号");
        book_->set_setting("accreditation", "CNAS L0001");
        book_->add_person("王工", book::Role::Operator);
        book_->add_person("李核验", book::Role::Checker);
        book_->add_person("赵批准", book::Role::Approver);
    }
    void TearDown() override {
        book_.reset();
        // To look at the certificates drawn from these records: a copy of the book, kept.
        if (const char* keep = std::getenv("ITS90_CERTIFICATE_BOOK"); keep != nullptr && *keep != '\0') {
            fs::copy_file(folder_ / "book.sqlite", keep, fs::copy_options::overwrite_existing);
        }
        fs::remove_all(folder_);
    }
    std::int64_t keep_approved(book::Record r) {
        r.operator_name = "王工";
        const std::int64_t id = book_->keep(r);
        EXPECT_FALSE(book_->sign_off(id, book::SignOff::Step::Checked, "李核验"));
        EXPECT_FALSE(book_->sign_off(id, book::SignOff::Step::Approved, "赵批准"));
        return id;
    }
    // What xmllint says of the document against the project's copy of the schema.
    std::string xmllint(const std::string& xml) {
        const fs::path file = folder_ / "certificate.xml";
        std::ofstream(file, std::ios::binary) << xml;
        const std::string command = "xmllint --noout --schema '" + std::string(ITS90_DCC_SCHEMA) + "' '" +
                                    file.string() + "' > '" + (folder_ / "lint.txt").string() + "' 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream said(folder_ / "lint.txt");
        const std::string words((std::istreambuf_iterator<char>(said)), std::istreambuf_iterator<char>());
        return status == 0 ? std::string() : words.empty() ? "xmllint failed" : words;
    }
    fs::path folder_;
    std::unique_ptr<book::Book> book_;
};

// The values of the DCC's lists, in document order.
std::vector<std::string> dcc_lists(const std::string& xml, const char* element) {
    std::vector<std::string> out;
    const std::regex list(std::string("<si:") + element + ">([^<]*)</si:" + element + ">");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), list); it != std::sregex_iterator(); ++it) {
        out.push_back((*it)[1]);
    }
    return out;
}

// The same lists made from the certificate's tables: each quantity's column joined by spaces.
std::vector<std::string> table_lists(const Certificate& c, bool expanded) {
    std::vector<std::string> out;
    for (const CertificateTable& t : c.results) {
        for (const CertificateQuantity& q : t.quantities) {
            if (expanded && !q.expanded) continue;
            std::string joined;
            for (std::size_t r = q.row.value_or(1); r < (q.row ? *q.row + 1 : t.rows.size()); ++r) {
                const std::string cell = t.rows[r][expanded ? *q.expanded : q.column];
                joined += (joined.empty() ? "" : " ") +
                          (expanded ? *text::decimal_shifted(cell, q.expanded_shift) : cell);
            }
            out.push_back(joined);
        }
    }
    return out;
}

book::Record kept_sprt() {
    return book_record(certificate_example(), {"SPRT-5", "王工", "", false, {}, {}, "某企业", "水三相点瓶 TPW-3", "20.5", "45"},
                       "2026-12-09 12:00", sprt_rows(certificate_example()), "9.9");
}

book::Record kept_cvd() {
    CvdForm cvd = a_fitted_cvd();
    cvd.u_points.text = "2";
    cvd.edited();
    return book_record(cvd, {"PT-88", "王工", "", false}, "2026-12-09 12:30", cvd_rows(cvd), "9.9");
}

// Ne-TPW and e-H2-TPW fitted at their points, and a Cu100 page.
book::Record kept_low_sprt(const SprtForm& low = a_fitted_ne_tpw()) {
    return book_record(low, {"SPRT-9", "王工", "", false}, "2026-12-10 12:00", sprt_rows(low), "9.9");
}

book::Record kept_copper() {
    CopperForm cu;
    cu.set_r0(100);
    return book_record(cu, {"CU-7", "王工", "", false}, "2026-12-10 12:10", copper_rows(cu), "9.9");
}

book::Record kept_fixed_point() {
    const UncertaintyForm budget = a_budget();
    CalibrationRecord issued = calibration_with(&budget, nullptr);
    issued.identification.customer = "某电厂";
    issued.identification.ambient_temperature = "21.3";
    issued.identification.relative_humidity = "52";
    return book_record(issued, {{"3.45689", "5.5628", "10.5848"}, ""}, &budget, "9.9");
}

book::Record kept_comparison() {
    const UncertaintyForm budget = a_budget();
    ComparisonRecord issued{"2026-12-09 11:00", {"BJ-2026-77", "王工", "", false}, a_run(false), {}};
    issued.form.set_uncertainties(budget.comparison(), budget.fixed_points());
    issued.budget = budget_rows(budget);
    return book_record(issued, &budget, "9.9");
}

TEST_F(Certificates, EveryKindGivesAValidDccWithTheRecordsValuesDigitForDigit) {
    struct Case {
        const char* kind;
        book::Record record;
        const char* title;
        std::size_t lists;  // quantities the DCC carries
        const char* a_value;
        bool extrapolated;  // the conclusion names rows marked 外推
    };
    const Case cases[] = {
        {"fixed point", kept_fixed_point(), "检定证书", 5, "\\milli\\volt", false},
        {"comparison", kept_comparison(), "检定证书", 6, "400 600", false},
        {"SPRT", kept_sprt(), "校准证书", 6, "<si:valueXMLList>-9.919e-06</si:valueXMLList>", false},
        {"SPRT Ne-TPW", kept_low_sprt(), "校准证书", 9, "coefficient c3", false},
        {"SPRT e-H2-TPW", kept_low_sprt(a_fitted_eh2_tpw()), "校准证书", 11, "coefficient c5", false},
        {"CVD", kept_cvd(), "校准证书", 6, "\\degreecelsius\\tothe{-4}", true},
        {"Cu100", kept_copper(), "校准证书", 3, "JJG 229-2010", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::int64_t id = keep_approved(c.record);
        const std::optional<book::Record> kept = book_->find(id);
        ASSERT_TRUE(kept);
        const std::optional<Certificate> certificate = certificate_of(*book_, *kept);
        ASSERT_TRUE(certificate);
        EXPECT_EQ(certificate->title_zh, c.title);
        EXPECT_EQ(certificate->conclusion.find("外推") != std::string::npos, c.extrapolated);
        EXPECT_TRUE(certificate->approved);
        ASSERT_TRUE(certificate->number);
        EXPECT_EQ(certificate->signatures[1].name, "李核验");
        EXPECT_EQ(certificate->signatures[2].name, "赵批准");
        const DccDocument dcc = dcc_of(*certificate);
        ASSERT_TRUE(dcc.ok()) << dcc.problem;
        EXPECT_EQ(xmllint(dcc.xml), "");
        EXPECT_EQ(dcc_lists(dcc.xml, "valueXMLList"), table_lists(*certificate, false));
        EXPECT_EQ(dcc_lists(dcc.xml, "uncertaintyXMLList"), table_lists(*certificate, true));
        EXPECT_EQ(dcc_lists(dcc.xml, "valueXMLList").size(), c.lists);
        EXPECT_NE(dcc.xml.find(c.a_value), std::string::npos);
        EXPECT_NE(dcc.xml.find("<dcc:uniqueIdentifier>" + *certificate->number + "<"), std::string::npos);
        EXPECT_NE(dcc.xml.find("省计量院温度室 &amp; &lt;热电偶&gt;"), std::string::npos);
        EXPECT_NE(dcc.xml.find("lang=\"en\""), std::string::npos);
    }
}

TEST_F(Certificates, TheTablesAreTheRecordsOwn) {
    const std::int64_t fixed = keep_approved(kept_fixed_point());
    const Certificate c = *certificate_of(*book_, *book_->find(fixed));
    const std::optional<CalibrationRecord> page = recomputed_calibration(*book_->find(fixed));
    EXPECT_EQ(c.results.front().rows, graduation_rows(*page));
    EXPECT_EQ(c.coverage_factor, "2.2");
    EXPECT_EQ(c.ambient_temperature_C, "21.3");
    EXPECT_EQ(c.customer, "某电厂");
    // The standard's points come from the budget kept with the record.
    EXPECT_NE(c.standard.find("锑点"), std::string::npos);
    const std::int64_t sprt = keep_approved(kept_sprt());
    const Certificate s = *certificate_of(*book_, *book_->find(sprt));
    const Rows document = book::document_rows(book_->find(sprt)->document);
    const auto heading = std::find(document.begin(), document.end(), std::vector<std::string>{"t90/℃", "R/Ω", "W", "U(k=2)/mK"});
    ASSERT_NE(heading, document.end());
    ASSERT_EQ(s.results[1].rows.size(), s.results[1].rows.size());
    EXPECT_TRUE(std::equal(s.results[1].rows.begin(), s.results[1].rows.end(), heading));
    EXPECT_EQ(s.standard, "水三相点瓶 TPW-3");
    EXPECT_EQ(s.relative_humidity_percent, "45");
}

TEST_F(Certificates, AnUnapprovedRecordsCertificateSaysSoAndNamesOnlyWhoSignedOff) {
    book::Record r = kept_cvd();
    r.operator_name = "王工";
    const std::int64_t id = book_->keep(r);
    Certificate c = *certificate_of(*book_, *book_->find(id));
    EXPECT_FALSE(c.approved);
    EXPECT_FALSE(c.number);
    EXPECT_EQ(c.signatures[0].name, "王工");
    EXPECT_EQ(c.signatures[1].name, "");
    DccDocument dcc = dcc_of(c);
    ASSERT_TRUE(dcc.ok()) << dcc.problem;
    EXPECT_EQ(xmllint(dcc.xml), "");
    EXPECT_NE(dcc.xml.find("not-approved"), std::string::npos);
    EXPECT_NE(dcc.xml.find("<dcc:valid>false</dcc:valid>"), std::string::npos);
    // Checked, then refused: the refusal takes the check back.
    ASSERT_FALSE(book_->sign_off(id, book::SignOff::Step::Checked, "李核验"));
    EXPECT_EQ(certificate_of(*book_, *book_->find(id))->signatures[1].name, "李核验");
    ASSERT_FALSE(book_->sign_off(id, book::SignOff::Step::Refused, "赵批准", "R0 抄错"));
    EXPECT_EQ(certificate_of(*book_, *book_->find(id))->signatures[1].name, "");
}

TEST_F(Certificates, AValueThatIsNotANumberIsNeverWritten) {
    const std::int64_t id = keep_approved(kept_fixed_point());
    const Certificate good = *certificate_of(*book_, *book_->find(id));
    struct Case {
        const char* what;
        std::size_t row, column;
        const char* value;
        const char* named;
    };
    const Case cases[] = {
        {"NaN", 3, 1, "nan", "热电动势"},
        {"an empty cell", 1, 0, "", "温度"},
        {"a word", 2, 1, "超出范围", "热电动势"},
        {"infinity", 4, 1, "inf", "热电动势"},
        {"two numbers", 4, 1, "1 2", "热电动势"},
        {"an uncertainty", 5, 2, "—", "扩展不确定度"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Certificate bad = good;
        bad.results[0].rows[k.row][k.column] = k.value;
        const DccDocument dcc = dcc_of(bad);
        EXPECT_FALSE(dcc.ok());
        EXPECT_EQ(dcc.xml, "");
        EXPECT_NE(dcc.problem.find(k.named), std::string::npos) << dcc.problem;
        EXPECT_NE(dcc.problem.find("第 " + std::to_string(k.row) + " 行"), std::string::npos) << dcc.problem;
    }
    Certificate humid = good;
    humid.relative_humidity_percent = "湿";
    EXPECT_NE(dcc_of(humid).problem.find("相对湿度"), std::string::npos);
}

TEST_F(Certificates, AnInvalidDocumentIsRefusedNamingTheElement) {
    const std::int64_t id = keep_approved(kept_cvd());
    const std::string xml = dcc_of(*certificate_of(*book_, *book_->find(id))).xml;
    EXPECT_EQ(dcc_fault(xml), "");
    struct Case {
        const char* what;
        std::string from, to;
        const char* named;
    };
    const Case cases[] = {
        {"a date that is none", "<dcc:beginPerformanceDate>2026-12-09", "<dcc:beginPerformanceDate>2026-13-09",
         "beginPerformanceDate"},
        {"an element out of place", "<dcc:performanceLocation>", "<dcc:sequence/><dcc:performanceLocation>", "sequence"},
        {"a value that is no number", "<si:valueXMLList>", "<si:valueXMLList>NaN ", "valueXMLList"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string broken = xml;
        const std::size_t at = broken.find(c.from);
        ASSERT_NE(at, std::string::npos);
        broken.replace(at, c.from.size(), c.to);
        const std::string fault = dcc_fault(broken);
        EXPECT_NE(fault.find(c.named), std::string::npos) << fault;
        EXPECT_NE(xmllint(broken), "");
    }
    EXPECT_EQ(dcc_fault("<not xml"), "不是 XML 文档");
}

}  // namespace
}  // namespace its90::form

namespace its90::form {
namespace {

TEST(AmbientConditions, EachIsEmptyOrANumberInItsRange) {
    struct Case {
        const char* temperature;
        const char* humidity;
        const char* problem;  // part of it; "" for none
        const char* temperature_kept;
        const char* humidity_kept;
    };
    const Case cases[] = {
        {"", "", "", "", ""},
        {" 20,5 ", "45", "", "20.5", "45"},
        {"21.3", "", "", "21.3", ""},
        {"二十", "45", "环境温度“二十”不是数", "二十", "45"},
        {"20", "101", "相对湿度 101 不在 0 … 100 之内", "20", "101"},
        {"150", "45", "环境温度 150 不在", "150", "45"},
        {"nan", "", "不是数", "nan", ""},
        {"20", "4 5", "相对湿度“4 5”不是数", "20", "4 5"},
    };
    for (const Case& c : cases) {
        std::string t = c.temperature, h = c.humidity;
        const std::string problem = ambient_conditions_problem(t, h);
        if (*c.problem == '\0') EXPECT_EQ(problem, "") << c.temperature << " " << c.humidity;
        else EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_EQ(t, c.temperature_kept);
        EXPECT_EQ(h, c.humidity_kept);
    }
}

}  // namespace
}  // namespace its90::form
