#include "form/dcc.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlschemas.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <regex>

#include "form/dcc_schemas.h"
#include "text/strict_number.h"

namespace its90::form {

namespace {

// The schemas are read from the program itself under this scheme, never from disk or the
// network: dcc.xsd imports SI_Format.xsd by a relative name, which resolves beside it.
constexpr std::string_view kScheme = "its90-dcc:///";

struct Reading {
    std::string_view text;
    std::size_t at = 0;
};

const DccSchema* schema_named(std::string_view uri) {
    if (uri.substr(0, kScheme.size()) != kScheme) return nullptr;
    uri.remove_prefix(kScheme.size());
    for (const DccSchema& s : kDccSchemas) {
        if (s.name == uri) return &s;
    }
    return nullptr;
}

int matches(const char* uri) { return uri != nullptr && schema_named(uri) != nullptr ? 1 : 0; }
void* open_schema(const char* uri) { return new Reading{schema_named(uri)->text}; }
int read_schema(void* context, char* buffer, int length) {
    auto* r = static_cast<Reading*>(context);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), r->text.size() - r->at);
    std::memcpy(buffer, r->text.data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}
int close_schema(void* context) {
    delete static_cast<Reading*>(context);
    return 0;
}

// The first fault libxml2 reports, with the element it is about.
struct Faults {
    std::string first;
};
void note_fault(void* context, xmlError* error) {
    auto* faults = static_cast<Faults*>(context);
    if (!faults->first.empty() || error == nullptr) return;
    std::string message = error->message != nullptr ? error->message : "";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    const auto* node = static_cast<const xmlNode*>(error->node);
    std::string where;
    if (node != nullptr && node->type == XML_ELEMENT_NODE) {
        where = std::string(node->ns != nullptr && node->ns->prefix != nullptr ? reinterpret_cast<const char*>(node->ns->prefix)
                                                                                 : "") +
                (node->ns != nullptr && node->ns->prefix != nullptr ? ":" : "") + reinterpret_cast<const char*>(node->name);
        faults->first = "元素 " + where + "（第 " + std::to_string(error->line) + " 行）：" + message;
    } else {
        faults->first = "第 " + std::to_string(error->line) + " 行：" + message;
    }
}

// The schema, compiled once for the program's life.
xmlSchemaPtr compiled_schema() {
    static xmlSchemaPtr schema = [] {
        xmlRegisterInputCallbacks(matches, open_schema, read_schema, close_schema);
        const std::string uri = std::string(kScheme) + "dcc.xsd";
        const DccSchema* dcc = schema_named(uri);
        xmlDocPtr doc = xmlReadMemory(dcc->text.data(), static_cast<int>(dcc->text.size()), uri.c_str(), nullptr,
                                      XML_PARSE_NONET);
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewDocParserCtxt(doc);
        xmlSchemaPtr compiled = xmlSchemaParse(parser);
        xmlSchemaFreeParserCtxt(parser);
        // The compiled schema keeps what it needs; the document it came from may go.
        xmlFreeDoc(doc);
        return compiled;
    }();
    return schema;
}

std::mutex& validation_lock() {
    static std::mutex lock;
    return lock;
}

std::string validate(xmlDocPtr doc) {
    const std::lock_guard guard(validation_lock());
    xmlSchemaPtr schema = compiled_schema();
    if (schema == nullptr) return "程序内置的 DCC 模式无法读取";
    Faults faults;
    xmlSchemaValidCtxtPtr context = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(context, note_fault, &faults);
    const int result = xmlSchemaValidateDoc(context, doc);
    xmlSchemaFreeValidCtxt(context);
    if (result == 0) return {};
    return faults.first.empty() ? "文档不符合 DCC 模式" : faults.first;
}

// A decimal number as D-SI writes one, and nothing else: no NaN, no infinity, no word.
bool is_dsi_decimal(const std::string& text) {
    static const std::regex decimal(R"([-+]?((\d*\.\d+)|(\d+\.\d*)|(\d+\.?))([Ee][-+]?\d+)?)");
    return std::regex_match(text, decimal);
}

const xmlChar* x(const char* s) { return reinterpret_cast<const xmlChar*>(s); }
const xmlChar* x(const std::string& s) { return x(s.c_str()); }

class Writer {
public:
    Writer() : doc_(xmlNewDoc(x("1.0"))) {}
    ~Writer() { xmlFreeDoc(doc_); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    xmlNodePtr root() {
        xmlNodePtr r = xmlNewNode(nullptr, x("digitalCalibrationCertificate"));
        xmlDocSetRootElement(doc_, r);
        dcc_ = xmlNewNs(r, x("https://ptb.de/dcc"), x("dcc"));
        si_ = xmlNewNs(r, x("https://ptb.de/si"), x("si"));
        xmlNsPtr xsi = xmlNewNs(r, x("http://www.w3.org/2001/XMLSchema-instance"), x("xsi"));
        xmlSetNs(r, dcc_);
        xmlSetNsProp(r, xsi, x("schemaLocation"), x("https://ptb.de/dcc https://ptb.de/dcc/v3.1.2/dcc.xsd"));
        xmlSetProp(r, x("schemaVersion"), x("3.1.2"));
        return r;
    }
    // An element of the DCC's namespace; its text escaped as XML needs.
    xmlNodePtr el(xmlNodePtr parent, const char* name, const std::string* text = nullptr) {
        return xmlNewTextChild(parent, dcc_, x(name), text != nullptr ? x(*text) : nullptr);
    }
    xmlNodePtr el(xmlNodePtr parent, const char* name, const std::string& text) { return el(parent, name, &text); }
    xmlNodePtr si(xmlNodePtr parent, const char* name, const std::string& text = {}) {
        return xmlNewTextChild(parent, si_, x(name), text.empty() ? nullptr : x(text));
    }
    // A text in Chinese and English, each tagged with its language.
    xmlNodePtr text(xmlNodePtr parent, const char* name, const std::string& zh, const std::string& en) {
        xmlNodePtr n = el(parent, name);
        xmlSetProp(el(n, "content", zh), x("lang"), x("zh"));
        xmlSetProp(el(n, "content", en), x("lang"), x("en"));
        return n;
    }
    // A text in one language or a name, untagged.
    xmlNodePtr plain(xmlNodePtr parent, const char* name, const std::string& content) {
        xmlNodePtr n = el(parent, name);
        el(n, "content", content);
        return n;
    }
    xmlDocPtr doc() { return doc_; }
    std::string serialised() {
        xmlChar* buffer = nullptr;
        int size = 0;
        xmlDocDumpFormatMemoryEnc(doc_, &buffer, &size, "UTF-8", 1);
        std::string out(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
        xmlFree(buffer);
        return out;
    }

private:
    xmlDocPtr doc_;
    xmlNsPtr dcc_ = nullptr;
    xmlNsPtr si_ = nullptr;
};

std::string day_of(const std::string& date_time) { return date_time.substr(0, 10); }
std::string or_unrecorded(const std::string& s) { return s.empty() ? "未记录 / not recorded" : s; }

// A location the schema requires where the laboratory or the customer has none kept.
void location(Writer& w, xmlNodePtr contact, const std::string& address) {
    xmlNodePtr l = w.el(contact, "location");
    w.el(l, "countryCode", std::string("CN"));
    xmlNodePtr further = w.el(l, "further");
    w.el(further, "content", or_unrecorded(address));
}

// One column of a table as a D-SI list; the problem when a value is not a number.
std::string quantity(Writer& w, xmlNodePtr list, const CertificateTable& t, const CertificateQuantity& q,
                     const std::string& coverage) {
    std::string values, uncertainties, factors, probabilities;
    const std::size_t first = q.row.value_or(1), last = q.row ? *q.row + 1 : t.rows.size();
    for (std::size_t r = first; r < last; ++r) {
        const std::string value = q.column < t.rows[r].size() ? t.rows[r][q.column] : std::string();
        if (!is_dsi_decimal(value)) {
            return "“" + t.title_zh + "”的 " + q.name_zh + "（si:valueXMLList）第 " + std::to_string(r) + " 行不是数：“" +
                   value + "”；未写出 DCC";
        }
        values += (values.empty() ? "" : " ") + value;
        if (q.expanded) {
            const std::string stated = *q.expanded < t.rows[r].size() ? t.rows[r][*q.expanded] : std::string();
            const std::optional<std::string> shifted = is_dsi_decimal(stated) ? text::decimal_shifted(stated, q.expanded_shift)
                                                                               : std::nullopt;
            if (!shifted) {
                return "“" + t.title_zh + "”的 " + q.name_zh + " 的扩展不确定度（si:uncertaintyXMLList）第 " +
                       std::to_string(r) + " 行不是数：“" + stated + "”；未写出 DCC";
            }
            uncertainties += (uncertainties.empty() ? "" : " ") + *shifted;
            factors += (factors.empty() ? "" : " ") + coverage;
            probabilities += (probabilities.empty() ? "" : " ") + std::string("0.95");
        }
    }
    xmlNodePtr quantity = w.el(list, "quantity");
    w.text(quantity, "name", q.name_zh, q.name_en);
    xmlNodePtr real = w.si(quantity, "realListXMLList");
    w.si(real, "valueXMLList", values);
    std::string units;
    for (std::size_t r = first; r < last; ++r) units += (units.empty() ? "" : " ") + q.unit;
    w.si(real, "unitXMLList", units);
    if (q.expanded) {
        xmlNodePtr u = w.si(real, "expandedUncXMLList");
        w.si(u, "uncertaintyXMLList", uncertainties);
        w.si(u, "coverageFactorXMLList", factors);
        w.si(u, "coverageProbabilityXMLList", probabilities);
    }
    return {};
}

}  // namespace

std::string dcc_fault(std::string_view xml) {
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "certificate.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) return "不是 XML 文档";
    std::string fault = validate(doc);
    xmlFreeDoc(doc);
    return fault;
}

DccDocument dcc_of(const Certificate& c) {
    Writer w;
    xmlNodePtr root = w.root();
    xmlNodePtr admin = w.el(root, "administrativeData");
    xmlNodePtr software = w.el(w.el(admin, "dccSoftware"), "software");
    w.plain(software, "name", "ITS-90 温度传感器计算器 / ITS-90 temperature sensor calculator");
    w.el(software, "release", c.program_version.empty() ? std::string("unknown") : c.program_version);

    xmlNodePtr core = w.el(admin, "coreData");
    w.el(core, "countryCodeISO3166_1", std::string("CN"));
    w.el(core, "usedLangCodeISO639_1", std::string("zh"));
    w.el(core, "usedLangCodeISO639_1", std::string("en"));
    w.el(core, "mandatoryLangCodeISO639_1", std::string("zh"));
    // Before approval no number is given: the record's own id stands in, and says so.
    w.el(core, "uniqueIdentifier", c.number ? *c.number : "record-" + std::to_string(c.record) + "-not-approved");
    xmlNodePtr ids = w.el(core, "identifications");
    if (c.number) {
        xmlNodePtr id = w.el(ids, "identification");
        w.el(id, "issuer", std::string("calibrationLaboratory"));
        w.el(id, "value", *c.number);
        w.text(id, "name", "证书编号", "Certificate number");
    }
    xmlNodePtr record_id = w.el(ids, "identification");
    w.el(record_id, "issuer", std::string("calibrationLaboratory"));
    w.el(record_id, "value", std::to_string(c.record));
    w.text(record_id, "name", "记录号", "Record number");
    w.el(core, "beginPerformanceDate", day_of(c.performed));
    w.el(core, "endPerformanceDate", day_of(c.performed));
    w.el(core, "performanceLocation", std::string("laboratory"));

    xmlNodePtr items = w.el(admin, "items");
    const auto item = [&](const std::string& number, const std::string& zh, const std::string& en) {
        xmlNodePtr i = w.el(items, "item");
        w.text(i, "name", zh, en);
        w.plain(w.el(i, "manufacturer"), "name", "未记录 / not recorded");
        xmlNodePtr id = w.el(w.el(i, "identifications"), "identification");
        w.el(id, "issuer", std::string("customer"));
        w.el(id, "value", number.empty() ? std::string("—") : number);
        w.text(id, "name", "编号", "Number");
    };
    if (c.working_items.empty()) {
        item(c.item_number, c.item_zh, c.item_en);
    } else {
        for (const auto& [number, type] : c.working_items) {
            item(number, c.item_zh + "（" + type + " 型）", c.item_en + " (type " + type + ")");
        }
    }

    xmlNodePtr lab = w.el(w.el(admin, "calibrationLaboratory"), "contact");
    w.plain(lab, "name", or_unrecorded(c.laboratory));
    w.el(lab, "eMail", std::string());
    location(w, lab, c.address);

    xmlNodePtr people = w.el(admin, "respPersons");
    for (const CertificateSignature& s : c.signatures) {
        if (s.name.empty()) continue;
        xmlNodePtr p = w.el(people, "respPerson");
        w.plain(w.el(p, "person"), "name", s.name);
        xmlNodePtr description = w.el(p, "description");
        xmlSetProp(w.el(description, "content", std::string(s.role_zh) + " " + s.date), x("lang"), x("zh"));
        xmlSetProp(w.el(description, "content", std::string(s.role_en) + " " + s.date), x("lang"), x("en"));
        w.el(p, "role", std::string(s.role_en));
        if (std::strcmp(s.role_en, "approver") == 0) w.el(p, "mainSigner", std::string("true"));
    }
    if (people->children == nullptr) return {{}, "记录没有检定员，不能写出 DCC"};

    xmlNodePtr customer = w.el(admin, "customer");
    w.plain(customer, "name", or_unrecorded(c.customer));
    w.el(customer, "eMail", std::string());
    location(w, customer, {});

    xmlNodePtr statements = w.el(admin, "statements");
    xmlNodePtr conclusion = w.el(statements, "statement");
    w.el(conclusion, "norm", c.regulation);
    if (!c.accreditation.empty()) w.el(conclusion, "reference", c.accreditation);
    xmlNodePtr declaration = w.el(conclusion, "declaration");
    xmlSetProp(w.el(declaration, "content", "结论：" + c.conclusion), x("lang"), x("zh"));
    xmlSetProp(w.el(declaration, "content",
                    std::string("Conclusion: ") +
                        (c.pass ? (*c.pass ? "conforms to the regulation" : "does not conform to the regulation")
                                : "as the results state")),
               x("lang"), x("en"));
    if (c.pass) w.el(conclusion, "conformity", std::string(*c.pass ? "pass" : "fail"));
    if (!c.approved) {
        xmlNodePtr draft = w.el(statements, "statement");
        xmlNodePtr words = w.el(draft, "declaration");
        xmlSetProp(w.el(words, "content", std::string(kNotApproved) + "：本证书的记录尚未批准"), x("lang"), x("zh"));
        xmlSetProp(w.el(words, "content", std::string("Not approved: the record of this certificate is not approved yet")),
                   x("lang"), x("en"));
        w.el(draft, "valid", std::string("false"));
    }

    xmlNodePtr result = w.el(w.el(root, "measurementResults"), "measurementResult");
    w.text(result, "name", c.title_zh, c.title_en);
    xmlNodePtr method = w.el(w.el(result, "usedMethods"), "usedMethod");
    w.text(method, "name", c.method_zh, c.method_en);
    xmlNodePtr how = w.el(method, "description");
    xmlSetProp(w.el(how, "content", c.uncertainty_note), x("lang"), x("zh"));
    w.el(method, "norm", c.regulation);
    if (!c.standard.empty()) {
        xmlNodePtr standard = w.el(w.el(result, "measuringEquipments"), "measuringEquipment");
        xmlSetProp(standard, x("refType"), x("basic_normalUsed"));
        w.text(standard, "name", c.standard, "Standard used: " + c.standard);
    }
    if (!c.ambient_temperature_C.empty() || !c.relative_humidity_percent.empty()) {
        xmlNodePtr conditions = w.el(result, "influenceConditions");
        const auto condition = [&](const char* ref, const char* zh, const char* en, const std::string& value,
                                   const char* unit) -> std::string {
            if (value.empty()) return {};
            if (!is_dsi_decimal(value)) return std::string("环境条件“") + zh + "”不是数：“" + value + "”；未写出 DCC";
            xmlNodePtr n = w.el(conditions, "influenceCondition");
            xmlSetProp(n, x("refType"), x(ref));
            w.text(n, "name", zh, en);
            xmlNodePtr q = w.el(w.el(n, "data"), "quantity");
            xmlNodePtr real = w.si(q, "real");
            w.si(real, "value", value);
            w.si(real, "unit", unit);
            return {};
        };
        for (const std::string& problem :
             {condition("basic_temperature", "环境温度", "Ambient temperature", c.ambient_temperature_C, "\\degreecelsius"),
              condition("basic_humidityRelative", "相对湿度", "Relative humidity", c.relative_humidity_percent, "\\percent")}) {
            if (!problem.empty()) return {{}, problem};
        }
    }
    xmlNodePtr results = w.el(result, "results");
    for (const CertificateTable& t : c.results) {
        if (t.quantities.empty() || t.rows.size() < 2) continue;
        xmlNodePtr r = w.el(results, "result");
        w.text(r, "name", t.title_zh, t.title_en);
        xmlNodePtr list = w.el(w.el(r, "data"), "list");
        for (const CertificateQuantity& q : t.quantities) {
            if (std::string problem = quantity(w, list, t, q, c.coverage_factor); !problem.empty()) return {{}, problem};
        }
    }
    if (results->children == nullptr) return {{}, "记录没有可写入 DCC 的结果"};
    if (std::string fault = validate(w.doc()); !fault.empty()) return {{}, "DCC 不符合模式，未写出：" + fault};
    return {w.serialised(), {}};
}

}  // namespace its90::form
