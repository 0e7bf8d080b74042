#include "book/book.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <thread>
#include <utility>

#include "book/store.h"

namespace its90::book {

namespace {

constexpr std::array<std::pair<Kind, std::string_view>, 3> kKindNames = {{
    {Kind::FixedPoint, "fixed-point"},
    {Kind::Comparison, "comparison"},
    {Kind::Resistance, "resistance"},
}};

// A record's or a budget's named inputs, in order, into their table (`inputs` or
// `budget_inputs`, whose first column names their owner): one statement for them all, as a
// server answers each statement over the network.
void insert_fields(store::Connection& db, const std::string& table, std::int64_t owner, const std::vector<Field>& fields) {
    constexpr std::size_t kPerStatement = 200;  // well within either store's limit on values
    for (std::size_t from = 0; from < fields.size(); from += kPerStatement) {
        const std::size_t to = std::min(fields.size(), from + kPerStatement);
        std::string sql = "INSERT INTO " + table + " VALUES ";
        std::vector<store::Value> values;
        values.reserve((to - from) * 4);
        for (std::size_t i = from; i < to; ++i) {
            sql += i == from ? "(?, ?, ?, ?)" : ", (?, ?, ?, ?)";
            values.emplace_back(owner);
            values.emplace_back(static_cast<std::int64_t>(i));
            values.emplace_back(fields[i].name);
            values.emplace_back(fields[i].value);
        }
        db.exec(sql, values);
    }
}

// Reads the named inputs of each of `owners` (records or budgets) from their table, in order.
template <class Owner>
void read_fields(store::Connection& db, const std::string& table, const std::string& owner_column,
                 std::vector<Owner>& owners) {
    const std::string sql = "SELECT name, value FROM " + table + " WHERE " + owner_column + " = ? ORDER BY position";
    for (Owner& o : owners) {
        db.query(sql, {o.id}, [&](const store::Row& r) { o.inputs.push_back({r.text(0), r.text(1)}); });
    }
}

// A record's state: its last sign-off step, or kept without one.
#define ITS90_STATE_OF_RECORD                                                                  \
    "coalesce((SELECT step FROM sign_offs WHERE sign_offs.record_id = records.id ORDER BY id " \
    "DESC LIMIT 1), 'kept')"

constexpr std::array<std::pair<State, std::string_view>, 4> kStateNames = {{
    {State::Kept, "kept"}, {State::Checked, "checked"}, {State::Approved, "approved"}, {State::Refused, "refused"},
}};
constexpr std::array<std::pair<Role, std::string_view>, 3> kRoleNames = {{
    {Role::Operator, "operator"}, {Role::Checker, "checker"}, {Role::Approver, "approver"},
}};

template <class Enum, std::size_t N>
std::string_view name_of(const std::array<std::pair<Enum, std::string_view>, N>& names, Enum e) {
    for (const auto& [k, name] : names) {
        if (k == e) return name;
    }
    return {};
}

template <class Enum, std::size_t N>
std::optional<Enum> from_name(const std::array<std::pair<Enum, std::string_view>, N>& names, std::string_view n) {
    for (const auto& [k, name] : names) {
        if (name == n) return k;
    }
    return std::nullopt;
}


bool blank(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// Lower case as both stores' lower() make it: ASCII letters only.
std::string ascii_lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

}  // namespace

namespace store {

std::optional<std::string> Connection::text(const std::string& sql, const std::vector<Value>& values) {
    std::optional<std::string> first;
    query(sql, values, [&](const Row& r) {
        if (!first && !r.null(0)) first = r.text(0);
    });
    return first;
}

std::optional<std::int64_t> Connection::integer(const std::string& sql, const std::vector<Value>& values) {
    std::optional<std::int64_t> first;
    query(sql, values, [&](const Row& r) {
        if (!first && !r.null(0)) first = r.integer(0);
    });
    return first;
}

Opened open(const std::string& location, Book::Access access) {
    if (is_server(location)) return {open_postgresql(location, access), false};
    return open_sqlite(location, access);
}

}  // namespace store

std::string_view kind_name(Kind kind) {
    for (const auto& [k, name] : kKindNames) {
        if (k == kind) return name;
    }
    return {};
}

std::string_view state_name(State state) { return name_of(kStateNames, state); }
std::optional<State> state_from_name(std::string_view name) { return from_name(kStateNames, name); }
std::string_view role_name(Role role) { return name_of(kRoleNames, role); }
std::optional<Role> role_from_name(std::string_view name) { return from_name(kRoleNames, name); }

std::string certificate_text(std::string_view pattern, int year, int sequence) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.substr(i).starts_with("{year}")) {
            out += std::to_string(year);
            i += 5;
        } else if (pattern.substr(i).starts_with("{number")) {
            const std::size_t close = pattern.find('}', i);
            int width = 0;
            if (close != std::string_view::npos && pattern[i + 7] == ':') {
                for (std::size_t k = i + 8; k < close && pattern[k] >= '0' && pattern[k] <= '9'; ++k) {
                    width = width * 10 + (pattern[k] - '0');
                }
            }
            std::string n = std::to_string(sequence);
            if (static_cast<int>(n.size()) < width) n.insert(0, static_cast<std::size_t>(width) - n.size(), '0');
            out += n;
            i = close == std::string_view::npos ? pattern.size() : close;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::optional<Kind> kind_from_name(std::string_view name) {
    for (const auto& [k, n] : kKindNames) {
        if (n == name) return k;
    }
    return std::nullopt;
}

std::optional<std::string> Record::input(std::string_view name) const {
    for (const Field& f : inputs) {
        if (f.name == name) return f.value;
    }
    return std::nullopt;
}

Failure::Failure(Problem problem) : problem_(std::move(problem)) {
    what_ = problem_.path + ": " + problem_.detail;
}

// A transaction that met other writers (SQLite answers "busy" at once in a few places: a new
// book being set up by two programs, a log being recovered after a writer was killed) is tried
// again, a little later each time, for as long as a writer would wait.
template <class Step>
auto Book::retrying(Step step) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (int attempt = 1;; ++attempt) {
        try {
            return step();
        } catch (const Failure& f) {
            if (!db_->transient(f) || std::chrono::steady_clock::now() > until) throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(5 * attempt, 100)));
        } catch (const std::exception& e) {
            throw Failure({Problem::Cause::Failed, path_, e.what()});
        }
    }
}

Book::Book(std::string path, Access access) : path_(std::move(path)) {
    store::Opened opened = store::open(path_, access);
    db_ = std::move(opened.connection);
    path_ = db_->location();
    emptied_ = opened.emptied;
    const int version = db_->schema_version();
    // No version of the program writes a negative one: a file some other program made.
    if (version < 0) {
        throw Failure({Problem::Cause::NotABook, path_, "schema version " + std::to_string(version) + " is no book's"});
    }
    if (version > kSchemaVersion) {
        throw Failure({Problem::Cause::NewerVersion, path_,
                       "written by a later version of the program (schema " + std::to_string(version) + ")", version});
    }
    if (access == Access::ReadOnly) {
        if (version == 0) throw Failure({Problem::Cause::NotABook, path_, "an empty file: no book has been set up in it"});
        if (version < kSchemaVersion) {
            throw Failure({Problem::Cause::ReadOnly, path_, "an earlier schema that cannot be brought up to date read-only",
                           version});
        }
        return;
    }
    retrying([&] { migrate(); });
}

Book::~Book() = default;

bool Book::on_server() const { return store::is_server(path_); }

std::string Book::identity() const { return db_->text("SELECT name FROM book_identity").value_or(""); }

std::unique_ptr<Book> Book::to_read(const std::string& path) {
    try {
        return std::make_unique<Book>(path, Access::ReadOnly);
    } catch (const Failure& f) {
        const bool earlier = f.problem().cause == Problem::Cause::ReadOnly && f.problem().version > 0;
        if (!earlier) throw;
        try {
            Book(path, Access::ReadWrite);  // brought up to date, and closed
        } catch (const Failure&) {
            throw f;
        }
    }
    return std::make_unique<Book>(path, Access::ReadOnly);
}

void Book::migrate() {
    if (db_->schema_version() == kSchemaVersion) return;
    // Another process may bring the same book up to date at the same moment: the version is
    // read again once the write lock is held.
    store::WriteTransaction transaction(*db_);
    const int version = db_->schema_version();
    if (version < 0 || version > kSchemaVersion) {  // changed by another program since it was opened
        throw Failure({Problem::Cause::NotABook, path_, "schema version " + std::to_string(version) + " is no book's"});
    }
    if (version == kSchemaVersion) return;
    started_ = version == 0;
    for (int v = version + 1; v <= kSchemaVersion; ++v) db_->script(db_->migration(v));
    db_->finish_migration(kSchemaVersion);
    transaction.commit();
    if (version >= 1 && version < 5) store::compact_sqlite(*db_);
}

std::int64_t Book::keep(const Record& record) {
    return retrying([&] { return keep_once(record); });
}

std::int64_t Book::keep_once(const Record& record) {
    // A correction names its reason (ISO/IEC 17025 7.5.2): refused before anything is kept.
    if (record.replaces && blank(record.reason)) {
        throw Failure({Problem::Cause::NoReason, path_,
                       "a correction of record " + std::to_string(*record.replaces) + " needs its reason"});
    }
    store::WriteTransaction transaction(*db_);
    if (record.replaces) {
        std::optional<std::pair<std::string, std::string>> replaced;
        std::int64_t replacing = 0;
        db_->query("SELECT kind, number, (SELECT count(*) FROM records AS later "
                   "WHERE later.replaces = records.id) FROM records WHERE id = ?",
                   {*record.replaces}, [&](const store::Row& r) {
                       replaced.emplace(r.text(0), r.text(1));
                       replacing = r.integer(2);
                   });
        if (!replaced) {
            throw Failure({Problem::Cause::NoSuchRecord, path_, "no record " + std::to_string(*record.replaces) + " to replace",
                           static_cast<int>(*record.replaces)});
        }
        if (replaced->first != kind_name(record.kind) || replaced->second != record.number) {
            throw Failure({Problem::Cause::Failed, path_,
                           "record " + std::to_string(*record.replaces) + " is of another kind or number"});
        }
        if (replacing > 0) {
            throw Failure({Problem::Cause::Failed, path_, "record " + std::to_string(*record.replaces) + " is replaced already"});
        }
    }
    // The same record issued again the same day (saved, then printed) is kept once.
    for (const Record& same : select(
             "kind = ? AND number = ? AND type = ? AND operator = ? AND notes = ? AND "
             "substr(date, 1, 10) = substr(?, 1, 10) AND " +
                 // "+": found by its number, not by scanning every record that replaces none.
                 std::string(record.replaces ? "+replaces = " + std::to_string(*record.replaces) : "+replaces IS NULL") +
                 " AND NOT EXISTS (SELECT 1 FROM records AS later WHERE later.replaces = records.id)",
             {std::string(kind_name(record.kind)), record.number, record.type, record.operator_name, record.notes,
              record.date},
             "records.id")) {
        if (same.inputs == record.inputs) return same.id;
    }
    const std::int64_t id = insert_record(record);
    transaction.commit();
    return id;
}

std::int64_t Book::insert_record(const Record& record, std::optional<std::int64_t> as) {
    const std::optional<std::int64_t> id = db_->integer(
        std::string(as ? "INSERT INTO records (id, " : "INSERT INTO records (") +
            "kind, number, type, operator, notes, date, program_version, replaces) VALUES (" + (as ? "?, " : "") +
            "?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
        [&] {
            std::vector<Value> values;
            if (as) values.emplace_back(*as);
            for (Value v : std::vector<Value>{std::string(kind_name(record.kind)), record.number, record.type,
                                              record.operator_name, record.notes, record.date, record.program_version,
                                              record.replaces ? Value(*record.replaces) : Value(nullptr)}) {
                values.push_back(std::move(v));
            }
            return values;
        }());
    db_->exec("INSERT INTO documents VALUES (?, ?)", {*id, record.document});
    insert_fields(*db_, "inputs", *id, record.inputs);
    if (record.replaces) db_->exec("INSERT INTO correction_reasons VALUES (?, ?)", {*id, record.reason});
    return *id;
}

void Book::add_person(const std::string& name, Role role) {
    retrying([&] {
        db_->exec("INSERT INTO people VALUES (?, ?, ?) ON CONFLICT DO NOTHING",
                  {name, std::string(role_name(role)), now_text()});
    });
}

std::vector<Person> Book::people() const {
    std::vector<Person> out;
    db_->query("SELECT name, role FROM people ORDER BY name, "
               "CASE role WHEN 'operator' THEN 0 WHEN 'checker' THEN 1 ELSE 2 END",
               {}, [&](const store::Row& r) {
                   const std::string name = r.text(0);
                   if (out.empty() || out.back().name != name) out.push_back({name, {}});
                   if (const std::optional<Role> role = role_from_name(r.text(1))) out.back().roles.push_back(*role);
               });
    return out;
}

std::optional<SignOffRefusal> Book::sign_off(std::int64_t record, SignOff::Step step, const std::string& person,
                                             const std::string& comment) {
    using Step = SignOff::Step;
    return retrying([&]() -> std::optional<SignOffRefusal> {
        store::WriteTransaction transaction(*db_);
        std::optional<std::string> operator_name;
        std::int64_t replacing = 0;
        State state = State::Kept;
        db_->query(std::string("SELECT operator, (SELECT count(*) FROM records AS later WHERE "
                               "later.replaces = records.id), ") +
                       ITS90_STATE_OF_RECORD + " FROM records WHERE id = ?",
                   {record}, [&](const store::Row& r) {
                       operator_name = r.text(0);
                       replacing = r.integer(1);
                       state = state_from_name(r.text(2)).value_or(State::Kept);
                   });
        if (!operator_name) return SignOffRefusal::NoSuchRecord;
        if (replacing > 0) return SignOffRefusal::Replaced;
        bool known = false, checker = false, approver = false;
        db_->query("SELECT role FROM people WHERE name = ?", {person}, [&](const store::Row& r) {
            known = true;
            const std::optional<Role> role = role_from_name(r.text(0));
            checker = checker || role == Role::Checker;
            approver = approver || role == Role::Approver;
        });
        if (!known) return SignOffRefusal::NoSuchPerson;
        if ((step == Step::Checked && !checker) || (step == Step::Approved && !approver) ||
            (step == Step::Refused && !checker && !approver)) {
            return SignOffRefusal::LacksRole;
        }
        if (person == *operator_name) return SignOffRefusal::IsTheOperator;
        if (state == State::Approved) return SignOffRefusal::AlreadyApproved;
        if (state == State::Refused) return SignOffRefusal::AlreadyRefused;
        if (step == Step::Checked && state == State::Checked) return SignOffRefusal::AlreadyChecked;
        if (step == Step::Approved && state != State::Checked) return SignOffRefusal::NotChecked;
        if (step == Step::Refused && blank(comment)) return SignOffRefusal::NoReason;
        const std::string date = now_text();
        db_->exec("INSERT INTO sign_offs (record_id, step, person, date, comment) VALUES (?, ?, ?, ?, ?)",
                  {record, std::string(step == Step::Checked ? "checked" : step == Step::Approved ? "approved" : "refused"),
                   person, date, comment});
        if (step == Step::Approved) {
            // Numbered in the order of approval, by year, under the write lock: no gap, no twin.
            const int year = std::stoi(date.substr(0, 4));
            const std::int64_t sequence =
                db_->integer("SELECT coalesce(max(sequence), 0) + 1 FROM certificates WHERE year = ?", {std::int64_t{year}})
                    .value_or(1);
            const std::string pattern = db_->text("SELECT value FROM settings WHERE name = 'certificate_pattern'")
                                            .value_or(kDefaultCertificatePattern);
            db_->exec("INSERT INTO certificates VALUES (?, ?, ?, ?)",
                      {record, std::int64_t{year}, sequence, certificate_text(pattern, year, static_cast<int>(sequence))});
        }
        transaction.commit();
        return std::nullopt;
    });
}

std::vector<SignOff> Book::sign_offs(std::int64_t record) const {
    std::vector<SignOff> out;
    db_->query("SELECT step, person, date, comment FROM sign_offs WHERE record_id = ? ORDER BY id", {record},
               [&](const store::Row& r) {
                   const std::string step = r.text(0);
                   out.push_back({step == "checked"    ? SignOff::Step::Checked
                                  : step == "approved" ? SignOff::Step::Approved
                                                       : SignOff::Step::Refused,
                                  r.text(1), r.text(2), r.text(3)});
               });
    return out;
}

std::optional<std::string> Book::certificate_number(std::int64_t record) const {
    return db_->text("SELECT number FROM certificates WHERE record_id = ?", {record});
}

void Book::set_setting(const std::string& name, const std::string& value) {
    retrying([&] {
        db_->exec("INSERT INTO settings VALUES (?, ?) ON CONFLICT (name) DO UPDATE SET value = excluded.value", {name, value});
    });
}

std::optional<std::string> Book::setting(const std::string& name) const {
    return db_->text("SELECT value FROM settings WHERE name = ?", {name});
}

std::int64_t Book::keep_budget(const KeptBudget& budget) {
    return retrying([&] {
        store::WriteTransaction transaction(*db_);
        const std::int64_t id = *db_->integer(
            "INSERT INTO budgets (laboratory, name, date, program_version) VALUES (?, ?, ?, ?) RETURNING id",
            {budget.laboratory, budget.name, budget.date, budget.program_version});
        insert_fields(*db_, "budget_inputs", id, budget.inputs);
        transaction.commit();
        return id;
    });
}

std::vector<KeptBudget> Book::budgets() const {
    std::vector<KeptBudget> kept;
    db_->query("SELECT id, laboratory, name, date, program_version FROM budgets AS b WHERE NOT EXISTS "
               "(SELECT 1 FROM budgets AS later WHERE later.laboratory = b.laboratory AND "
               "later.name = b.name AND later.id > b.id) ORDER BY id DESC",
               {}, [&](const store::Row& r) {
                   kept.push_back({r.integer(0), r.text(1), r.text(2), r.text(3), r.text(4), {}});
               });
    read_fields(*db_, "budget_inputs", "budget_id", kept);
    return kept;
}

std::int64_t Book::start_run(const KeptRun& run) {
    return retrying([&] {
        return *db_->integer("INSERT INTO runs (started, meter, profile, identity, plan, program_version) "
                             "VALUES (?, ?, ?, ?, ?, ?) RETURNING id",
                             {run.started, run.meter, run.profile, run.identity, run.plan, run.program_version});
    });
}

void Book::keep_reading(std::int64_t run, const KeptReading& reading) {
    // One statement is one transaction: committed, and so durable, when it returns.
    retrying([&] {
        db_->exec("INSERT INTO run_readings VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {run, reading.position, std::int64_t{reading.point}, reading.thermocouple, reading.channel,
                   reading.taken, reading.reply, reading.emf_mV,
                   std::string(reading.for_stability ? "stability" : "reading")});
    });
}

void Book::end_run(std::int64_t run, bool complete) {
    retrying([&] {
        db_->exec("INSERT INTO run_ends VALUES (?, ?, ?)",
                  {run, now_text(), std::string(complete ? "complete" : "stopped")});
    });
}

std::optional<KeptRun> Book::run(std::int64_t id) const {
    for (KeptRun& r : runs()) {
        if (r.id == id) return std::move(r);
    }
    return std::nullopt;
}

std::vector<KeptRun> Book::runs(bool unfinished_only) const {
    std::vector<KeptRun> kept;
    db_->query(std::string("SELECT id, started, meter, profile, identity, plan, program_version, "
                           "ended, outcome FROM runs LEFT JOIN run_ends ON run_id = id") +
                   (unfinished_only ? " WHERE ended IS NULL" : "") + " ORDER BY id DESC",
               {}, [&](const store::Row& q) {
                   KeptRun r;
                   r.id = q.integer(0);
                   r.started = q.text(1);
                   r.meter = q.text(2);
                   r.profile = q.text(3);
                   r.identity = q.text(4);
                   r.plan = q.text(5);
                   r.program_version = q.text(6);
                   if (!q.null(7)) r.ended = q.text(7);
                   r.complete = q.text(8) == "complete";
                   kept.push_back(std::move(r));
               });
    return kept;
}

std::vector<KeptReading> Book::run_readings(std::int64_t run) const {
    std::vector<KeptReading> readings;
    db_->query("SELECT position, point, thermocouple, channel, taken, reply, emf_mV, purpose "
               "FROM run_readings WHERE run_id = ? ORDER BY position",
               {run}, [&](const store::Row& q) {
                   readings.push_back({q.integer(0), static_cast<int>(q.integer(1)), q.text(2), q.text(3), q.text(4),
                                       q.text(5), q.text(6), q.text(7) == "stability"});
               });
    return readings;
}

std::vector<Record> Book::select(const std::string& where, const std::vector<Value>& values, const std::string& order,
                                 Contents contents) const {
    const bool whole = contents == Contents::Whole;
    const std::string columns = std::string(
        "id, kind, number, type, operator, notes, date, program_version, replaces, ") +
        (whole ? "coalesce((SELECT document FROM documents WHERE documents.record_id = records.id), ''), " : "NULL, ") +
        (contents == Contents::UnreplacedIdentificationOnly
             ? "NULL, "
             : "(SELECT later.id FROM records AS later WHERE later.replaces = records.id), ") +
        "(SELECT reason FROM correction_reasons WHERE correction_reasons.record_id = records.id), " ITS90_STATE_OF_RECORD
        ", " + db_->kept_by_column();
    std::vector<Record> records;
    db_->query("SELECT " + columns + " FROM records" + (where.empty() ? "" : " WHERE " + where) + " ORDER BY " + order,
               values, [&](const store::Row& q) {
                   Record r;
                   r.id = q.integer(0);
                   r.kind = kind_from_name(q.text(1)).value_or(Kind::FixedPoint);
                   r.number = q.text(2);
                   r.type = q.text(3);
                   r.operator_name = q.text(4);
                   r.notes = q.text(5);
                   r.date = q.text(6);
                   r.program_version = q.text(7);
                   if (!q.null(8)) r.replaces = q.integer(8);
                   if (whole) r.document = q.text(9);
                   if (!q.null(10)) r.replaced_by = q.integer(10);
                   if (!q.null(11)) r.reason = q.text(11);
                   r.state = state_from_name(q.text(12)).value_or(State::Kept);
                   r.kept_by = q.text(13);
                   records.push_back(std::move(r));
               });
    if (!whole) return records;
    read_fields(*db_, "inputs", "record_id", records);
    return records;
}

std::vector<Record> Book::list(const Query& query) const {
    std::string where = "1 = 1";
    std::vector<Value> values;
    const auto add = [&](const std::string& condition, std::string value) {
        where += " AND " + condition;
        values.emplace_back(std::move(value));
    };
    if (query.kind) add("kind = ?", std::string(kind_name(*query.kind)));
    // The record's own number, or a number among its inputs: the standard's and each
    // working thermocouple's of a comparison. Lower case as the book keeps them (ASCII only,
    // as both stores' lower() make it).
    if (!query.number.empty()) {
        add("id IN (SELECT record_id FROM record_numbers WHERE instr(number, ?) > 0)", ascii_lower(query.number));
    }
    if (!query.type.empty()) add("type = ?", query.type);
    if (!query.operator_name.empty()) add("instr(lower(operator), ?) > 0", ascii_lower(query.operator_name));
    // A date or its start ("2026", "2026-05"): compared over as many characters.
    if (!query.date_from.empty()) {
        add("substr(date, 1, length(?)) >= ?", query.date_from);
        values.emplace_back(query.date_from);
    }
    if (!query.date_to.empty()) {
        add("substr(date, 1, length(?)) <= ?", query.date_to);
        values.emplace_back(query.date_to);
    }
    if (!query.include_replaced) {
        where += " AND NOT EXISTS (SELECT 1 FROM records AS later WHERE later.replaces = records.id)";
    }
    if (query.state) add(std::string(ITS90_STATE_OF_RECORD) + " = ?", std::string(state_name(*query.state)));
    return select(where, values, "records.date DESC, records.id DESC",
                  query.include_replaced ? Contents::IdentificationOnly : Contents::UnreplacedIdentificationOnly);
}

std::optional<Record> Book::find(std::int64_t id) const {
    std::vector<Record> found = select("id = ?", {id}, "records.id");
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

std::vector<Record> Book::history(Kind kind, std::string_view number) const {
    return select("kind = ? AND number = ? AND NOT EXISTS "
                  "(SELECT 1 FROM records AS later WHERE later.replaces = records.id)",
                  {std::string(kind_name(kind)), std::string(number)}, "records.date, records.id");
}

std::optional<Record> Book::latest(Kind kind, std::string_view number) const {
    std::vector<Record> all = history(kind, number);
    if (all.empty()) return std::nullopt;
    return std::move(all.back());
}

void create_book_at_version(const std::string& path, int version) { store::create_sqlite_at_version(path, version); }

void Book::back_up(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(path, ec)) throw Failure({Problem::Cause::CannotOpen, path, "the file exists already"});
    if (db_->back_up(path)) return;
    // A server's book is copied into a new SQLite book, record for record under their own ids.
    try {
        Book copy(path);
        copy.copy_from(*this, CopyIds::Keep);
    } catch (const Failure&) {
        fs::remove(path, ec);
        fs::remove(path + "-wal", ec);
        fs::remove(path + "-shm", ec);
        throw;
    }
}

CopyReport Book::copy_from(const Book& source, CopyIds ids) {
    if (ids == CopyIds::Keep && on_server()) {
        throw Failure({Problem::Cause::Failed, path_, "records keep their ids only in a new SQLite book"});
    }
    const std::string source_name = source.identity();
    const std::string own_name = identity();
    CopyReport report;
    // One transaction: the copy is whole, or nothing of it is kept.
    retrying([&] {
        report = {};
        store::WriteTransaction transaction(*db_);
        std::map<std::int64_t, std::int64_t> id_of;  // the source's id, this book's
        for (std::int64_t after = 0;;) {
            std::vector<Record> batch =
                source.select("id > ?", {after}, "records.id LIMIT 500", Contents::Whole);
            if (batch.empty()) break;
            after = batch.back().id;
            for (const Record& r : batch) {
                // Where the record was first kept: a record copied before carries its origin on.
                std::string book = source_name;
                std::int64_t first_id = r.id;
                source.db_->query("SELECT book, source_id FROM record_origins WHERE record_id = ?", {r.id},
                                  [&](const store::Row& o) {
                                      book = o.text(0);
                                      first_id = o.integer(1);
                                  });
                std::optional<std::int64_t> here;
                if (book == own_name) {
                    here = first_id;
                } else {
                    here = db_->integer("SELECT record_id FROM record_origins WHERE book = ? AND source_id = ?",
                                        {book, first_id});
                }
                if (here) {
                    id_of[r.id] = *here;
                    ++report.already;
                    continue;
                }
                Record copy = r;
                if (r.replaces) {
                    const auto mapped = id_of.find(*r.replaces);
                    if (mapped == id_of.end()) {
                        throw Failure({Problem::Cause::Failed, source.path_,
                                       "record " + std::to_string(r.id) + " replaces record " + std::to_string(*r.replaces) +
                                           ", which is not in the book"});
                    }
                    copy.replaces = mapped->second;
                }
                const std::int64_t id = insert_record(copy, ids == CopyIds::Keep ? std::optional(r.id) : std::nullopt);
                id_of[r.id] = id;
                db_->exec("INSERT INTO record_origins VALUES (?, ?, ?)", {id, book, first_id});
                for (const SignOff& s : source.sign_offs(r.id)) {
                    db_->exec("INSERT INTO sign_offs (record_id, step, person, date, comment) VALUES (?, ?, ?, ?, ?)",
                              {id,
                               std::string(s.step == SignOff::Step::Checked    ? "checked"
                                           : s.step == SignOff::Step::Approved ? "approved"
                                                                               : "refused"),
                               s.person, s.date, s.comment});
                }
                source.db_->query("SELECT year, sequence, number FROM certificates WHERE record_id = ?", {r.id},
                                  [&](const store::Row& c) {
                                      const std::string number = c.text(2);
                                      if (db_->integer("SELECT count(*) FROM certificates WHERE number = ? OR "
                                                       "(year = ? AND sequence = ?)",
                                                       {number, c.integer(0), c.integer(1)})
                                              .value_or(0) > 0) {
                                          throw Failure({Problem::Cause::Failed, path_,
                                                         "certificate " + number + " of record " + std::to_string(r.id) +
                                                             " is numbered here already"});
                                      }
                                      db_->exec("INSERT INTO certificates VALUES (?, ?, ?, ?)",
                                                {id, c.integer(0), c.integer(1), number});
                                  });
                ++report.copied;
            }
        }
        // The laboratory's people and roles, and the settings this book does not have yet.
        for (const Person& p : source.people()) {
            for (const Role role : p.roles) {
                db_->exec("INSERT INTO people VALUES (?, ?, ?) ON CONFLICT DO NOTHING",
                          {p.name, std::string(role_name(role)), now_text()});
            }
        }
        source.db_->query("SELECT name, value FROM settings", {}, [&](const store::Row& s) {
            db_->exec("INSERT INTO settings VALUES (?, ?) ON CONFLICT DO NOTHING", {s.text(0), s.text(1)});
        });
        // Budgets and runs once each: one equal in every field is there already.
        std::vector<KeptBudget> budgets;
        source.db_->query("SELECT id, laboratory, name, date, program_version FROM budgets ORDER BY id", {},
                          [&](const store::Row& b) {
                              budgets.push_back({b.integer(0), b.text(1), b.text(2), b.text(3), b.text(4), {}});
                          });
        read_fields(*source.db_, "budget_inputs", "budget_id", budgets);
        for (const KeptBudget& b : budgets) {
            bool there = false;
            std::vector<KeptBudget> same;
            db_->query("SELECT id FROM budgets WHERE laboratory = ? AND name = ? AND date = ?",
                       {b.laboratory, b.name, b.date}, [&](const store::Row& r) {
                           same.push_back({r.integer(0), {}, {}, {}, {}, {}});
                       });
            read_fields(*db_, "budget_inputs", "budget_id", same);
            for (const KeptBudget& s : same) there = there || s.inputs == b.inputs;
            if (there) continue;
            const std::int64_t id =
                ids == CopyIds::Keep
                    ? *db_->integer("INSERT INTO budgets VALUES (?, ?, ?, ?, ?) RETURNING id",
                                    {b.id, b.laboratory, b.name, b.date, b.program_version})
                    : *db_->integer("INSERT INTO budgets (laboratory, name, date, program_version) VALUES (?, ?, ?, ?) "
                                    "RETURNING id",
                                    {b.laboratory, b.name, b.date, b.program_version});
            insert_fields(*db_, "budget_inputs", id, b.inputs);
        }
        for (const KeptRun& run : source.runs()) {
            if (db_->integer("SELECT count(*) FROM runs WHERE started = ? AND meter = ? AND plan = ?",
                             {run.started, run.meter, run.plan})
                    .value_or(0) > 0) {
                continue;
            }
            const std::vector<Value> fields = {run.started, run.meter, run.profile, run.identity, run.plan,
                                               run.program_version};
            std::vector<Value> with_id = {run.id};
            with_id.insert(with_id.end(), fields.begin(), fields.end());
            const std::int64_t id =
                ids == CopyIds::Keep
                    ? *db_->integer("INSERT INTO runs VALUES (?, ?, ?, ?, ?, ?, ?) RETURNING id", with_id)
                    : *db_->integer("INSERT INTO runs (started, meter, profile, identity, plan, program_version) "
                                    "VALUES (?, ?, ?, ?, ?, ?) RETURNING id",
                                    fields);
            for (const KeptReading& reading : source.run_readings(run.id)) {
                db_->exec("INSERT INTO run_readings VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                          {id, reading.position, std::int64_t{reading.point}, reading.thermocouple, reading.channel,
                           reading.taken, reading.reply, reading.emf_mV,
                           std::string(reading.for_stability ? "stability" : "reading")});
            }
            source.db_->query("SELECT ended, outcome FROM run_ends WHERE run_id = ?", {run.id}, [&](const store::Row& e) {
                db_->exec("INSERT INTO run_ends VALUES (?, ?, ?)", {id, e.text(0), e.text(1)});
            });
        }
        transaction.commit();
    });
    return report;
}

bool is_date(std::string_view text) {
    const auto number = [&](std::size_t from, std::size_t length, int& value) {
        if (text.size() < from + length) return false;
        value = 0;
        for (std::size_t i = from; i < from + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    int year = 0, month = 0, day = 0;
    if (!number(0, 4, year)) return false;
    if (text.size() == 4) return true;
    if (text[4] != '-' || !number(5, 2, month) || month < 1 || month > 12) return false;
    if (text.size() == 7) return true;
    if (text.size() != 10 || text[7] != '-' || !number(8, 2, day)) return false;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day >= 1 && day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

std::string book_path(const std::string& fallback) {
    const char* named = std::getenv("ITS90_BOOK");
    if (named != nullptr && *named != '\0') return named;
    return fallback;
}

std::string default_book_path() {
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        data = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        data = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    return data + "/its90-calculator/" + kBookFileName;
}

// A CSV document's rows, as issued (a byte-order mark, CRLF or LF, quoted fields).
std::vector<std::vector<std::string>> document_rows(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted_cell = false;
    bool row_open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted_cell) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted_cell = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted_cell = true;
            row_open = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(cell));
            cell.clear();
            row_open = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (row_open || !cell.empty()) rows.back().push_back(std::move(cell));
            cell.clear();
            row_open = false;
            rows.emplace_back();
        } else {
            cell += c;
            row_open = true;
        }
    }
    if (row_open || !cell.empty()) rows.back().push_back(std::move(cell));
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

std::string now_text() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace its90::book
