#include "book/book.h"

#include <sqlite3.h>

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/SQLiteCpp.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

namespace its90::book {

namespace {

constexpr std::array<std::pair<Kind, std::string_view>, 3> kKindNames = {{
    {Kind::FixedPoint, "fixed-point"},
    {Kind::Comparison, "comparison"},
    {Kind::Resistance, "resistance"},
}};

// Each version's changes, applied in order from the book's own version up to kSchemaVersion;
// the step to version N is kMigrations[N - 1]. A later version appends its step here.
constexpr std::array<const char*, kSchemaVersion> kMigrations = {
    // 1: records and their inputs; neither is ever changed or removed once kept.
    R"(
    CREATE TABLE records(
        id INTEGER PRIMARY KEY,
        kind TEXT NOT NULL CHECK (kind IN ('fixed-point', 'comparison', 'resistance')),
        number TEXT NOT NULL,
        type TEXT NOT NULL,
        operator TEXT NOT NULL,
        notes TEXT NOT NULL,
        date TEXT NOT NULL,
        program_version TEXT NOT NULL,
        replaces INTEGER UNIQUE REFERENCES records(id),
        document TEXT NOT NULL
    );
    CREATE TABLE inputs(
        record_id INTEGER NOT NULL REFERENCES records(id),
        position INTEGER NOT NULL,
        name TEXT NOT NULL,
        value TEXT NOT NULL,
        PRIMARY KEY (record_id, position),
        UNIQUE (record_id, name)
    ) WITHOUT ROWID;
    CREATE INDEX records_by_number ON records(number, kind, date);
    CREATE INDEX records_by_date ON records(date);
    CREATE TRIGGER records_never_change BEFORE UPDATE ON records
        BEGIN SELECT RAISE(ABORT, 'a kept record is never changed'); END;
    CREATE TRIGGER records_never_go BEFORE DELETE ON records
        BEGIN SELECT RAISE(ABORT, 'a kept record is never removed'); END;
    CREATE TRIGGER inputs_never_change BEFORE UPDATE ON inputs
        BEGIN SELECT RAISE(ABORT, 'a kept record is never changed'); END;
    CREATE TRIGGER inputs_never_go BEFORE DELETE ON inputs
        BEGIN SELECT RAISE(ABORT, 'a kept record is never removed'); END;
    )",
    // 2: uncertainty budgets kept for reuse, by laboratory and name; never changed either.
    R"(
    CREATE TABLE budgets(
        id INTEGER PRIMARY KEY,
        laboratory TEXT NOT NULL,
        name TEXT NOT NULL,
        date TEXT NOT NULL,
        program_version TEXT NOT NULL
    );
    CREATE TABLE budget_inputs(
        budget_id INTEGER NOT NULL REFERENCES budgets(id),
        position INTEGER NOT NULL,
        name TEXT NOT NULL,
        value TEXT NOT NULL,
        PRIMARY KEY (budget_id, position)
    ) WITHOUT ROWID;
    CREATE INDEX budgets_by_name ON budgets(laboratory, name, id);
    CREATE TRIGGER budgets_never_change BEFORE UPDATE ON budgets
        BEGIN SELECT RAISE(ABORT, 'a kept budget is never changed'); END;
    CREATE TRIGGER budgets_never_go BEFORE DELETE ON budgets
        BEGIN SELECT RAISE(ABORT, 'a kept budget is never removed'); END;
    CREATE TRIGGER budget_inputs_never_change BEFORE UPDATE ON budget_inputs
        BEGIN SELECT RAISE(ABORT, 'a kept budget is never changed'); END;
    CREATE TRIGGER budget_inputs_never_go BEFORE DELETE ON budget_inputs
        BEGIN SELECT RAISE(ABORT, 'a kept budget is never removed'); END;
    )",
    // 3: runs of readings taken from a meter, every reading kept as it arrived; a run ends
    // once, and nothing of it is changed or removed.
    R"(
    CREATE TABLE runs(
        id INTEGER PRIMARY KEY,
        started TEXT NOT NULL,
        meter TEXT NOT NULL,
        profile TEXT NOT NULL,
        identity TEXT NOT NULL,
        plan TEXT NOT NULL,
        program_version TEXT NOT NULL
    );
    CREATE TABLE run_readings(
        run_id INTEGER NOT NULL REFERENCES runs(id),
        position INTEGER NOT NULL,
        point INTEGER NOT NULL,
        thermocouple TEXT NOT NULL,
        channel TEXT NOT NULL,
        taken TEXT NOT NULL,
        reply TEXT NOT NULL,
        emf_mV TEXT NOT NULL,
        purpose TEXT NOT NULL CHECK (purpose IN ('stability', 'reading')),
        PRIMARY KEY (run_id, position)
    ) WITHOUT ROWID;
    CREATE TABLE run_ends(
        run_id INTEGER PRIMARY KEY REFERENCES runs(id),
        ended TEXT NOT NULL,
        outcome TEXT NOT NULL CHECK (outcome IN ('complete', 'stopped'))
    );
    CREATE TRIGGER runs_never_change BEFORE UPDATE ON runs
        BEGIN SELECT RAISE(ABORT, 'a run is never changed'); END;
    CREATE TRIGGER runs_never_go BEFORE DELETE ON runs
        BEGIN SELECT RAISE(ABORT, 'a run is never removed'); END;
    CREATE TRIGGER run_readings_never_change BEFORE UPDATE ON run_readings
        BEGIN SELECT RAISE(ABORT, 'a kept reading is never changed'); END;
    CREATE TRIGGER run_readings_never_go BEFORE DELETE ON run_readings
        BEGIN SELECT RAISE(ABORT, 'a kept reading is never removed'); END;
    CREATE TRIGGER run_ends_never_change BEFORE UPDATE ON run_ends
        BEGIN SELECT RAISE(ABORT, 'a run ends once'); END;
    CREATE TRIGGER run_ends_never_go BEFORE DELETE ON run_ends
        BEGIN SELECT RAISE(ABORT, 'a run ends once'); END;
    )",
    // 4: the laboratory's people and their roles; each record's sign-off, a row for each step
    // (checked, approved, refused back); the reason of every correction; the certificates'
    // numbers; the laboratory's settings. Existing records stand as kept, awaiting a check.
    R"(
    CREATE TABLE people(
        name TEXT NOT NULL,
        role TEXT NOT NULL CHECK (role IN ('operator', 'checker', 'approver')),
        added TEXT NOT NULL,
        PRIMARY KEY (name, role)
    ) WITHOUT ROWID;
    CREATE TABLE sign_offs(
        id INTEGER PRIMARY KEY,
        record_id INTEGER NOT NULL REFERENCES records(id),
        step TEXT NOT NULL CHECK (step IN ('checked', 'approved', 'refused')),
        person TEXT NOT NULL,
        date TEXT NOT NULL,
        comment TEXT NOT NULL
    );
    CREATE INDEX sign_offs_by_record ON sign_offs(record_id, id);
    CREATE TABLE correction_reasons(
        record_id INTEGER PRIMARY KEY REFERENCES records(id),
        reason TEXT NOT NULL CHECK (length(trim(reason)) > 0)
    );
    CREATE TABLE certificates(
        record_id INTEGER PRIMARY KEY REFERENCES records(id),
        year INTEGER NOT NULL,
        sequence INTEGER NOT NULL,
        number TEXT NOT NULL UNIQUE,
        UNIQUE (year, sequence)
    );
    CREATE TABLE settings(
        name TEXT PRIMARY KEY,
        value TEXT NOT NULL
    ) WITHOUT ROWID;
    CREATE TRIGGER people_never_go BEFORE DELETE ON people
        BEGIN SELECT RAISE(ABORT, 'a person''s role is never removed: records name them'); END;
    CREATE TRIGGER sign_offs_never_change BEFORE UPDATE ON sign_offs
        BEGIN SELECT RAISE(ABORT, 'a sign-off is never changed'); END;
    CREATE TRIGGER sign_offs_never_go BEFORE DELETE ON sign_offs
        BEGIN SELECT RAISE(ABORT, 'a sign-off is never removed'); END;
    CREATE TRIGGER correction_reasons_never_change BEFORE UPDATE ON correction_reasons
        BEGIN SELECT RAISE(ABORT, 'a kept record is never changed'); END;
    CREATE TRIGGER correction_reasons_never_go BEFORE DELETE ON correction_reasons
        BEGIN SELECT RAISE(ABORT, 'a kept record is never removed'); END;
    CREATE TRIGGER certificates_never_change BEFORE UPDATE ON certificates
        BEGIN SELECT RAISE(ABORT, 'a certificate number is never changed'); END;
    CREATE TRIGGER certificates_never_go BEFORE DELETE ON certificates
        BEGIN SELECT RAISE(ABORT, 'a certificate number is never removed'); END;
    )",
    // 5: each record's document apart from the identification every list reads (a 3 KB
    // document in the row made every search read the whole book), and the numbers a search
    // looks in, lower case: the record's own and each input's named *number, kept by the
    // database itself as records and inputs are inserted, whoever inserts them.
    R"(
    CREATE TABLE documents(
        record_id INTEGER PRIMARY KEY REFERENCES records(id),
        document TEXT NOT NULL
    );
    INSERT INTO documents SELECT id, document FROM records;
    ALTER TABLE records DROP COLUMN document;
    CREATE TRIGGER documents_never_change BEFORE UPDATE ON documents
        BEGIN SELECT RAISE(ABORT, 'a kept record is never changed'); END;
    CREATE TRIGGER documents_never_go BEFORE DELETE ON documents
        BEGIN SELECT RAISE(ABORT, 'a kept record is never removed'); END;
    CREATE TABLE record_numbers(
        number TEXT NOT NULL,
        record_id INTEGER NOT NULL REFERENCES records(id),
        PRIMARY KEY (number, record_id)
    ) WITHOUT ROWID;
    INSERT OR IGNORE INTO record_numbers SELECT lower(number), id FROM records;
    INSERT OR IGNORE INTO record_numbers SELECT lower(value), record_id FROM inputs WHERE name GLOB '*number';
    CREATE TRIGGER numbers_of_records AFTER INSERT ON records
        BEGIN INSERT OR IGNORE INTO record_numbers VALUES (lower(NEW.number), NEW.id); END;
    CREATE TRIGGER numbers_of_inputs AFTER INSERT ON inputs WHEN NEW.name GLOB '*number'
        BEGIN INSERT OR IGNORE INTO record_numbers VALUES (lower(NEW.value), NEW.record_id); END;
    CREATE TRIGGER record_numbers_never_change BEFORE UPDATE ON record_numbers
        BEGIN SELECT RAISE(ABORT, 'a kept record is never changed'); END;
    CREATE TRIGGER record_numbers_never_go BEFORE DELETE ON record_numbers
        BEGIN SELECT RAISE(ABORT, 'a kept record is never removed'); END;
    )",
};

// SQLite answers "busy" at once, without waiting, in a few places: a new book being set up
// by two programs, a log being recovered after a writer was killed. Such a step is tried
// again, a little later each time, for as long as a writer would wait.
template <class Step>
auto retrying_while_busy(Step step) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (int attempt = 1;; ++attempt) {
        try {
            return step();
        } catch (const SQLite::Exception& e) {
            const int code = e.getErrorCode() & 0xff;
            if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || std::chrono::steady_clock::now() > until) throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(5 * attempt, 100)));
        }
    }
}

Problem::Cause cause_of(int code) {
    switch (code & 0xff) {
    case SQLITE_CANTOPEN: return Problem::Cause::CannotOpen;
    case SQLITE_READONLY:
    case SQLITE_PERM: return Problem::Cause::ReadOnly;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return Problem::Cause::NotABook;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return Problem::Cause::Busy;
    case SQLITE_FULL: return Problem::Cause::DiskFull;
    default: return Problem::Cause::Failed;
    }
}

// A record's or a budget's named inputs, in order, into their table (`inputs` or
// `budget_inputs`, whose first column names their owner).
void insert_fields(SQLite::Database& db, const std::string& table, std::int64_t owner, const std::vector<Field>& fields) {
    SQLite::Statement field(db, "INSERT INTO " + table + " VALUES (?, ?, ?, ?)");
    int position = 0;
    for (const Field& f : fields) {
        field.bind(1, owner);
        field.bind(2, position++);
        field.bind(3, f.name);
        field.bind(4, f.value);
        field.exec();
        field.reset();
    }
}

// Reads the named inputs of each of `owners` (records or budgets) from their table, in order.
template <class Owner>
void read_fields(SQLite::Database& db, const std::string& table, const std::string& owner_column,
                 std::vector<Owner>& owners) {
    SQLite::Statement inputs(db, "SELECT name, value FROM " + table + " WHERE " + owner_column + " = ? ORDER BY position");
    for (Owner& o : owners) {
        inputs.bind(1, o.id);
        while (inputs.executeStep()) o.inputs.push_back({inputs.getColumn(0).getString(), inputs.getColumn(1).getString()});
        inputs.reset();
    }
}

// A record's state: its last sign-off step, or kept without one.
#define ITS90_STATE_OF_RECORD                                                                  \
    "coalesce((SELECT step FROM sign_offs WHERE sign_offs.record_id = records.id ORDER BY id " \
    "DESC LIMIT 1), 'kept')"
constexpr const char* kColumns =
    "id, kind, number, type, operator, notes, date, program_version, replaces, "
    "coalesce((SELECT document FROM documents WHERE documents.record_id = records.id), ''), "
    "(SELECT later.id FROM records AS later WHERE later.replaces = records.id), "
    "(SELECT reason FROM correction_reasons WHERE correction_reasons.record_id = records.id), " ITS90_STATE_OF_RECORD;
constexpr const char* kIdentificationColumns =
    "id, kind, number, type, operator, notes, date, program_version, replaces, NULL, "
    "(SELECT later.id FROM records AS later WHERE later.replaces = records.id), "
    "(SELECT reason FROM correction_reasons WHERE correction_reasons.record_id = records.id), " ITS90_STATE_OF_RECORD;
constexpr const char* kUnreplacedIdentificationColumns =
    "id, kind, number, type, operator, notes, date, program_version, replaces, NULL, NULL, "
    "(SELECT reason FROM correction_reasons WHERE correction_reasons.record_id = records.id), " ITS90_STATE_OF_RECORD;

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

}  // namespace

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

Book::Book(std::string path, Access access) : path_(std::move(path)) {
    namespace fs = std::filesystem;
    const fs::path file(path_);
    std::error_code ec;
    if (file.has_parent_path() && !fs::is_directory(file.parent_path(), ec)) {
        throw Failure({Problem::Cause::CannotOpen, path_, "no such folder: " + file.parent_path().string()});
    }
    if (fs::is_directory(file, ec)) throw Failure({Problem::Cause::CannotOpen, path_, "a folder, not a file"});
    try {
        if (access == Access::ReadOnly) {
            if (!fs::exists(file, ec)) throw Failure({Problem::Cause::CannotOpen, path_, "no such file"});
            try {
                db_ = std::make_unique<SQLite::Database>(path_, SQLite::OPEN_READONLY, kBusyTimeoutMs);
                db_->execAndGet("PRAGMA user_version");
            } catch (const SQLite::Exception& e) {
                // A book on read-only media or in a folder the user may only read, closed
                // cleanly, has no shared-memory file and cannot make one (SQLite answers
                // "cannot open" or "read-only" for it): nothing can write it, so it is read as
                // it stands.
                const int code = e.getErrorCode() & 0xff;
                if (code != SQLITE_CANTOPEN && code != SQLITE_READONLY) throw;
                std::string uri = "file:";
                for (const char c : path_) {
                    if (c == '%' || c == '?' || c == '#') {
                        static constexpr char kHex[] = "0123456789ABCDEF";
                        uri += '%';
                        uri += kHex[(c >> 4) & 0xF];
                        uri += kHex[c & 0xF];
                    } else {
                        uri += c;
                    }
                }
                db_ = std::make_unique<SQLite::Database>(uri + "?immutable=1",
                                                         SQLite::OPEN_READONLY | SQLite::OPEN_URI,
                                                         kBusyTimeoutMs);
            }
        } else {
            // A file of no bytes is no book SQLite made (its first write is its header, or a
            // log beside it): taken as a new book, and the caller is told.
            emptied_ = fs::exists(file, ec) && fs::file_size(file, ec) == 0 &&
                       !(fs::exists(path_ + "-wal", ec) && fs::file_size(path_ + "-wal", ec) > 0);
            // SQLite would open an unwritable file for reading and fail at the first write, or
            // fail to make its log beside it: say so before anything is tried.
            const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
            if ((fs::exists(file, ec) && ::access(path_.c_str(), W_OK) != 0) ||
                ::access(folder.c_str(), W_OK) != 0) {
                throw Failure({Problem::Cause::ReadOnly, path_, std::string("the file or its folder cannot be written: ") +
                                                                    std::strerror(errno)});
            }
            db_ = std::make_unique<SQLite::Database>(path_, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE,
                                                     kBusyTimeoutMs);
        }
        // A file that is no database is found on the first read, not when it is opened.
        const int version = retrying_while_busy([&] { return db_->execAndGet("PRAGMA user_version").getInt(); });
        // Listing a book of 10^5 records visits its identifications in date order, each on its
        // own page: a page cache of 64 MiB (SQLite's default is 2 MiB) holds them all, where
        // the default reads each page again from the file (275 against 159 ms).
        db_->exec("PRAGMA cache_size = -65536");
        // No version of the program writes a negative one: a file some other program made.
        if (version < 0) {
            throw Failure({Problem::Cause::NotABook, path_, "schema version " + std::to_string(version) + " is no book's"});
        }
        if (version > kSchemaVersion) {
            throw Failure({Problem::Cause::NewerVersion, path_,
                           "written by a later version of the program (schema " +
                               std::to_string(version) + ")",
                           version});
        }
        if (access == Access::ReadOnly) {
            if (version == 0) throw Failure({Problem::Cause::NotABook, path_, "an empty file: no book has been set up in it"});
            if (version < kSchemaVersion) {
                throw Failure({Problem::Cause::ReadOnly, path_, "an earlier schema that cannot be brought up to date read-only",
                               version});
            }
            return;
        }
        if (sqlite3_db_readonly(db_->getHandle(), "main") == 1) {
            throw Failure({Problem::Cause::ReadOnly, path_, "the file cannot be written"});
        }
        // A write-ahead log lets readers read while one writes, and a writer killed at any
        // moment leaves the last committed state; FULL makes each commit durable at once.
        retrying_while_busy([&] {
            db_->exec("PRAGMA journal_mode = WAL");
            db_->exec("PRAGMA synchronous = FULL");
            db_->exec("PRAGMA foreign_keys = ON");
            migrate();
        });
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        fail(e);
    }
}

Book::~Book() = default;

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

void Book::fail(const std::exception& e) const {
    if (const auto* s = dynamic_cast<const SQLite::Exception*>(&e)) {
        Problem::Cause cause = cause_of(s->getErrorCode());
        // A write that fails for want of space may come back as an I/O error: the system's
        // own error tells.
        const int system_error = db_ ? sqlite3_system_errno(db_->getHandle()) : 0;
        if (system_error == ENOSPC || system_error == EDQUOT) cause = Problem::Cause::DiskFull;
        if (system_error == EROFS) cause = Problem::Cause::ReadOnly;
        throw Failure({cause, path_, s->what()});
    }
    throw Failure({Problem::Cause::Failed, path_, e.what()});
}

void Book::migrate() {
    if (db_->execAndGet("PRAGMA user_version").getInt() == kSchemaVersion) return;
    // Another process may bring the same book up to date at the same moment: the version is
    // read again once the write lock is held.
    SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
    const int version = db_->execAndGet("PRAGMA user_version").getInt();
    if (version < 0 || version > kSchemaVersion) {  // changed by another program since it was opened
        throw Failure({Problem::Cause::NotABook, path_, "schema version " + std::to_string(version) + " is no book's"});
    }
    started_ = version == 0;
    for (int v = version + 1; v <= kSchemaVersion; ++v) {
        db_->exec(kMigrations[static_cast<std::size_t>(v - 1)]);
        db_->exec("PRAGMA user_version = " + std::to_string(v));
    }
    transaction.commit();
    // The documents moved out of the records leave their pages nearly empty (a book of 10^5
    // records would keep 1 GB where 0.6 GB hold it): compacted once. Only space is at stake, so
    // a book another process holds open stays as it is, whole, until a later opening.
    if (version >= 1 && version < 5) {
        try {
            db_->exec("VACUUM");
        } catch (const SQLite::Exception&) {
        }
    }
}

std::int64_t Book::keep(const Record& record) {
    try {
        return retrying_while_busy([&] { return keep_once(record); });
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::int64_t Book::keep_once(const Record& record) {
    {
        // A correction names its reason (ISO/IEC 17025 7.5.2): refused before anything is kept.
        if (record.replaces && blank(record.reason)) {
            throw Failure({Problem::Cause::NoReason, path_,
                           "a correction of record " + std::to_string(*record.replaces) + " needs its reason"});
        }
        SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
        if (record.replaces) {
            SQLite::Statement q(*db_,
                                "SELECT kind, number, (SELECT count(*) FROM records AS later "
                                "WHERE later.replaces = records.id) FROM records WHERE id = ?");
            q.bind(1, *record.replaces);
            if (!q.executeStep()) {
                throw Failure({Problem::Cause::NoSuchRecord, path_,
                               "no record " + std::to_string(*record.replaces) + " to replace",
                               static_cast<int>(*record.replaces)});
            }
            if (q.getColumn(0).getString() != kind_name(record.kind) ||
                q.getColumn(1).getString() != record.number) {
                throw Failure({Problem::Cause::Failed, path_,
                               "record " + std::to_string(*record.replaces) +
                                   " is of another kind or number"});
            }
            if (q.getColumn(2).getInt() > 0) {
                throw Failure({Problem::Cause::Failed, path_,
                               "record " + std::to_string(*record.replaces) + " is replaced already"});
            }
        }
        // The same record issued again the same day (saved, then printed) is kept once.
        for (const Record& same : select(
                 "kind = ? AND number = ? AND type = ? AND operator = ? AND notes = ? AND "
                 "substr(date, 1, 10) = substr(?, 1, 10) AND " +
                     // "+": found by its number, not by scanning every record that replaces none.
                     std::string(record.replaces ? "+replaces = " + std::to_string(*record.replaces)
                                                 : "+replaces IS NULL") +
                     " AND NOT EXISTS (SELECT 1 FROM records AS later WHERE later.replaces = records.id)",
                 {std::string(kind_name(record.kind)), record.number, record.type,
                  record.operator_name, record.notes, record.date},
                 "id")) {
            if (same.inputs == record.inputs) return same.id;
        }
        SQLite::Statement insert(*db_,
                                 "INSERT INTO records (kind, number, type, operator, notes, date, "
                                 "program_version, replaces) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, std::string(kind_name(record.kind)));
        insert.bind(2, record.number);
        insert.bind(3, record.type);
        insert.bind(4, record.operator_name);
        insert.bind(5, record.notes);
        insert.bind(6, record.date);
        insert.bind(7, record.program_version);
        if (record.replaces) insert.bind(8, *record.replaces);
        else insert.bind(8);
        insert.exec();
        const std::int64_t id = db_->getLastInsertRowid();
        SQLite::Statement document(*db_, "INSERT INTO documents VALUES (?, ?)");
        document.bind(1, id);
        document.bind(2, record.document);
        document.exec();
        insert_fields(*db_, "inputs", id, record.inputs);
        if (record.replaces) {
            SQLite::Statement reason(*db_, "INSERT INTO correction_reasons VALUES (?, ?)");
            reason.bind(1, id);
            reason.bind(2, record.reason);
            reason.exec();
        }
        transaction.commit();
        return id;
    }
}

void Book::add_person(const std::string& name, Role role) {
    try {
        retrying_while_busy([&] {
            SQLite::Statement insert(*db_, "INSERT OR IGNORE INTO people VALUES (?, ?, ?)");
            insert.bind(1, name);
            insert.bind(2, std::string(role_name(role)));
            insert.bind(3, now_text());
            insert.exec();
        });
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::vector<Person> Book::people() const {
    try {
        SQLite::Statement q(*db_, "SELECT name, role FROM people ORDER BY name, "
                                  "CASE role WHEN 'operator' THEN 0 WHEN 'checker' THEN 1 ELSE 2 END");
        std::vector<Person> out;
        while (q.executeStep()) {
            const std::string name = q.getColumn(0).getString();
            if (out.empty() || out.back().name != name) out.push_back({name, {}});
            if (const std::optional<Role> role = role_from_name(q.getColumn(1).getString())) out.back().roles.push_back(*role);
        }
        return out;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::optional<SignOffRefusal> Book::sign_off(std::int64_t record, SignOff::Step step, const std::string& person,
                                             const std::string& comment) {
    using Step = SignOff::Step;
    try {
        return retrying_while_busy([&]() -> std::optional<SignOffRefusal> {
            SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
            SQLite::Statement r(*db_, std::string("SELECT operator, (SELECT count(*) FROM records AS later WHERE "
                                                  "later.replaces = records.id), ") +
                                          ITS90_STATE_OF_RECORD + " FROM records WHERE id = ?");
            r.bind(1, record);
            if (!r.executeStep()) return SignOffRefusal::NoSuchRecord;
            const std::string operator_name = r.getColumn(0).getString();
            if (r.getColumn(1).getInt() > 0) return SignOffRefusal::Replaced;
            const State state = state_from_name(r.getColumn(2).getString()).value_or(State::Kept);
            SQLite::Statement roles(*db_, "SELECT role FROM people WHERE name = ?");
            roles.bind(1, person);
            bool known = false, checker = false, approver = false;
            while (roles.executeStep()) {
                known = true;
                const std::optional<Role> role = role_from_name(roles.getColumn(0).getString());
                checker = checker || role == Role::Checker;
                approver = approver || role == Role::Approver;
            }
            if (!known) return SignOffRefusal::NoSuchPerson;
            if ((step == Step::Checked && !checker) || (step == Step::Approved && !approver) ||
                (step == Step::Refused && !checker && !approver)) {
                return SignOffRefusal::LacksRole;
            }
            if (person == operator_name) return SignOffRefusal::IsTheOperator;
            if (state == State::Approved) return SignOffRefusal::AlreadyApproved;
            if (state == State::Refused) return SignOffRefusal::AlreadyRefused;
            if (step == Step::Checked && state == State::Checked) return SignOffRefusal::AlreadyChecked;
            if (step == Step::Approved && state != State::Checked) return SignOffRefusal::NotChecked;
            if (step == Step::Refused && blank(comment)) return SignOffRefusal::NoReason;
            const std::string date = now_text();
            SQLite::Statement insert(*db_, "INSERT INTO sign_offs (record_id, step, person, date, comment) VALUES (?, ?, ?, ?, ?)");
            insert.bind(1, record);
            insert.bind(2, step == Step::Checked ? "checked" : step == Step::Approved ? "approved" : "refused");
            insert.bind(3, person);
            insert.bind(4, date);
            insert.bind(5, comment);
            insert.exec();
            if (step == Step::Approved) {
                // Numbered in the order of approval, by year, under the write lock: no gap, no twin.
                const int year = std::stoi(date.substr(0, 4));
                SQLite::Statement next(*db_, "SELECT coalesce(max(sequence), 0) + 1 FROM certificates WHERE year = ?");
                next.bind(1, year);
                next.executeStep();
                const int sequence = next.getColumn(0).getInt();
                const std::string pattern = [&] {
                    SQLite::Statement p(*db_, "SELECT value FROM settings WHERE name = 'certificate_pattern'");
                    return p.executeStep() ? p.getColumn(0).getString() : std::string(kDefaultCertificatePattern);
                }();
                SQLite::Statement number(*db_, "INSERT INTO certificates VALUES (?, ?, ?, ?)");
                number.bind(1, record);
                number.bind(2, year);
                number.bind(3, sequence);
                number.bind(4, certificate_text(pattern, year, sequence));
                number.exec();
            }
            transaction.commit();
            return std::nullopt;
        });
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::vector<SignOff> Book::sign_offs(std::int64_t record) const {
    try {
        SQLite::Statement q(*db_, "SELECT step, person, date, comment FROM sign_offs WHERE record_id = ? ORDER BY id");
        q.bind(1, record);
        std::vector<SignOff> out;
        while (q.executeStep()) {
            const std::string step = q.getColumn(0).getString();
            out.push_back({step == "checked" ? SignOff::Step::Checked : step == "approved" ? SignOff::Step::Approved
                                                                                           : SignOff::Step::Refused,
                           q.getColumn(1).getString(), q.getColumn(2).getString(), q.getColumn(3).getString()});
        }
        return out;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::optional<std::string> Book::certificate_number(std::int64_t record) const {
    try {
        SQLite::Statement q(*db_, "SELECT number FROM certificates WHERE record_id = ?");
        q.bind(1, record);
        if (!q.executeStep()) return std::nullopt;
        return q.getColumn(0).getString();
    } catch (const std::exception& e) {
        fail(e);
    }
}

void Book::set_setting(const std::string& name, const std::string& value) {
    try {
        retrying_while_busy([&] {
            SQLite::Statement q(*db_, "INSERT INTO settings VALUES (?, ?) ON CONFLICT (name) DO UPDATE SET value = excluded.value");
            q.bind(1, name);
            q.bind(2, value);
            q.exec();
        });
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::optional<std::string> Book::setting(const std::string& name) const {
    try {
        SQLite::Statement q(*db_, "SELECT value FROM settings WHERE name = ?");
        q.bind(1, name);
        if (!q.executeStep()) return std::nullopt;
        return q.getColumn(0).getString();
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::int64_t Book::keep_budget(const KeptBudget& budget) {
    try {
        return retrying_while_busy([&] {
            SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
            SQLite::Statement insert(*db_, "INSERT INTO budgets (laboratory, name, date, program_version) VALUES (?, ?, ?, ?)");
            insert.bind(1, budget.laboratory);
            insert.bind(2, budget.name);
            insert.bind(3, budget.date);
            insert.bind(4, budget.program_version);
            insert.exec();
            const std::int64_t id = db_->getLastInsertRowid();
            insert_fields(*db_, "budget_inputs", id, budget.inputs);
            transaction.commit();
            return id;
        });
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::vector<KeptBudget> Book::budgets() const {
    try {
        SQLite::Statement q(*db_,
                            "SELECT id, laboratory, name, date, program_version FROM budgets AS b WHERE NOT EXISTS "
                            "(SELECT 1 FROM budgets AS later WHERE later.laboratory = b.laboratory AND "
                            "later.name = b.name AND later.id > b.id) ORDER BY id DESC");
        std::vector<KeptBudget> kept;
        while (q.executeStep()) {
            kept.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getString(), q.getColumn(2).getString(),
                            q.getColumn(3).getString(), q.getColumn(4).getString(), {}});
        }
        read_fields(*db_, "budget_inputs", "budget_id", kept);
        return kept;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::int64_t Book::start_run(const KeptRun& run) {
    try {
        return retrying_while_busy([&] {
            SQLite::Statement insert(*db_, "INSERT INTO runs (started, meter, profile, identity, plan, program_version) "
                                           "VALUES (?, ?, ?, ?, ?, ?)");
            insert.bind(1, run.started);
            insert.bind(2, run.meter);
            insert.bind(3, run.profile);
            insert.bind(4, run.identity);
            insert.bind(5, run.plan);
            insert.bind(6, run.program_version);
            insert.exec();
            return db_->getLastInsertRowid();
        });
    } catch (const std::exception& e) {
        fail(e);
    }
}

void Book::keep_reading(std::int64_t run, const KeptReading& reading) {
    try {
        retrying_while_busy([&] {
            // One statement is one transaction: committed, and so durable, when it returns.
            if (!keep_reading_) {
                keep_reading_ = std::make_unique<SQLite::Statement>(
                    *db_, "INSERT INTO run_readings VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            }
            SQLite::Statement& insert = *keep_reading_;
            insert.tryReset();  // a failed step before leaves its error in the reset
            insert.clearBindings();
            insert.bind(1, run);
            insert.bind(2, reading.position);
            insert.bind(3, reading.point);
            insert.bind(4, reading.thermocouple);
            insert.bind(5, reading.channel);
            insert.bind(6, reading.taken);
            insert.bind(7, reading.reply);
            insert.bind(8, reading.emf_mV);
            insert.bind(9, reading.for_stability ? "stability" : "reading");
            insert.exec();
            insert.tryReset();
        });
    } catch (const std::exception& e) {
        if (keep_reading_) keep_reading_->tryReset();
        fail(e);
    }
}

void Book::end_run(std::int64_t run, bool complete) {
    try {
        retrying_while_busy([&] {
            SQLite::Statement insert(*db_, "INSERT INTO run_ends VALUES (?, ?, ?)");
            insert.bind(1, run);
            insert.bind(2, now_text());
            insert.bind(3, complete ? "complete" : "stopped");
            insert.exec();
        });
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::optional<KeptRun> Book::run(std::int64_t id) const {
    for (KeptRun& r : runs()) {
        if (r.id == id) return std::move(r);
    }
    return std::nullopt;
}

std::vector<KeptRun> Book::runs(bool unfinished_only) const {
    try {
        SQLite::Statement q(*db_, std::string("SELECT id, started, meter, profile, identity, plan, program_version, "
                                              "ended, outcome FROM runs LEFT JOIN run_ends ON run_id = id") +
                                      (unfinished_only ? " WHERE ended IS NULL" : "") + " ORDER BY id DESC");
        std::vector<KeptRun> kept;
        while (q.executeStep()) {
            KeptRun r;
            r.id = q.getColumn(0).getInt64();
            r.started = q.getColumn(1).getString();
            r.meter = q.getColumn(2).getString();
            r.profile = q.getColumn(3).getString();
            r.identity = q.getColumn(4).getString();
            r.plan = q.getColumn(5).getString();
            r.program_version = q.getColumn(6).getString();
            if (!q.getColumn(7).isNull()) r.ended = q.getColumn(7).getString();
            r.complete = q.getColumn(8).getString() == "complete";
            kept.push_back(std::move(r));
        }
        return kept;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::vector<KeptReading> Book::run_readings(std::int64_t run) const {
    try {
        SQLite::Statement q(*db_, "SELECT position, point, thermocouple, channel, taken, reply, emf_mV, purpose "
                                  "FROM run_readings WHERE run_id = ? ORDER BY position");
        q.bind(1, run);
        std::vector<KeptReading> readings;
        while (q.executeStep()) {
            readings.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getInt(), q.getColumn(2).getString(),
                                q.getColumn(3).getString(), q.getColumn(4).getString(), q.getColumn(5).getString(),
                                q.getColumn(6).getString(), q.getColumn(7).getString() == "stability"});
        }
        return readings;
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::vector<Record> Book::select(const std::string& where, const std::vector<std::string>& values,
                                 const std::string& order, Contents contents) const {
    const bool whole = contents == Contents::Whole;
    const char* columns = whole ? kColumns
                          : contents == Contents::IdentificationOnly ? kIdentificationColumns
                                                                      : kUnreplacedIdentificationColumns;
    SQLite::Statement q(*db_, std::string("SELECT ") + columns + " FROM records" +
                                  (where.empty() ? "" : " WHERE " + where) + " ORDER BY " + order);
    for (std::size_t i = 0; i < values.size(); ++i) q.bind(static_cast<int>(i + 1), values[i]);
    std::vector<Record> records;
    while (q.executeStep()) {
        Record r;
        r.id = q.getColumn(0).getInt64();
        r.kind = kind_from_name(q.getColumn(1).getString()).value_or(Kind::FixedPoint);
        r.number = q.getColumn(2).getString();
        r.type = q.getColumn(3).getString();
        r.operator_name = q.getColumn(4).getString();
        r.notes = q.getColumn(5).getString();
        r.date = q.getColumn(6).getString();
        r.program_version = q.getColumn(7).getString();
        if (!q.getColumn(8).isNull()) r.replaces = q.getColumn(8).getInt64();
        if (whole) r.document = q.getColumn(9).getString();
        if (!q.getColumn(10).isNull()) r.replaced_by = q.getColumn(10).getInt64();
        if (!q.getColumn(11).isNull()) r.reason = q.getColumn(11).getString();
        r.state = state_from_name(q.getColumn(12).getString()).value_or(State::Kept);
        records.push_back(std::move(r));
    }
    if (!whole) return records;
    read_fields(*db_, "inputs", "record_id", records);
    return records;
}

std::vector<Record> Book::list(const Query& query) const {
    try {
        std::string where = "1";
        std::vector<std::string> values;
        const auto add = [&](const std::string& condition, const std::string& value) {
            where += " AND " + condition;
            values.push_back(value);
        };
        if (query.kind) add("kind = ?", std::string(kind_name(*query.kind)));
        // The record's own number, or a number among its inputs: the standard's and each
        // working thermocouple's of a comparison.
        if (!query.number.empty()) {
            add("id IN (SELECT record_id FROM record_numbers WHERE instr(number, lower(?)) > 0)", query.number);
        }
        if (!query.type.empty()) add("type = ?", query.type);
        if (!query.operator_name.empty()) add("instr(lower(operator), lower(?)) > 0", query.operator_name);
        // A date or its start ("2026", "2026-05"): compared over as many characters.
        if (!query.date_from.empty()) {
            add("substr(date, 1, length(?)) >= ?", query.date_from);
            values.push_back(query.date_from);
        }
        if (!query.date_to.empty()) {
            add("substr(date, 1, length(?)) <= ?", query.date_to);
            values.push_back(query.date_to);
        }
        if (!query.include_replaced) {
            where += " AND NOT EXISTS (SELECT 1 FROM records AS later WHERE later.replaces = records.id)";
        }
        if (query.state) add(std::string(ITS90_STATE_OF_RECORD) + " = ?", std::string(state_name(*query.state)));
        return select(where, values, "date DESC, id DESC",
                      query.include_replaced ? Contents::IdentificationOnly : Contents::UnreplacedIdentificationOnly);
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::optional<Record> Book::find(std::int64_t id) const {
    try {
        std::vector<Record> found = select("id = ?", {std::to_string(id)}, "id");
        if (found.empty()) return std::nullopt;
        return std::move(found.front());
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::vector<Record> Book::history(Kind kind, std::string_view number) const {
    try {
        return select("kind = ? AND number = ? AND NOT EXISTS "
                      "(SELECT 1 FROM records AS later WHERE later.replaces = records.id)",
                      {std::string(kind_name(kind)), std::string(number)}, "date, id");
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::optional<Record> Book::latest(Kind kind, std::string_view number) const {
    std::vector<Record> all = history(kind, number);
    if (all.empty()) return std::nullopt;
    return std::move(all.back());
}

void create_book_at_version(const std::string& path, int version) {
    SQLite::Database db(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    SQLite::Transaction transaction(db);
    for (int v = 1; v <= version && v <= kSchemaVersion; ++v) {
        db.exec(kMigrations[static_cast<std::size_t>(v - 1)]);
    }
    db.exec("PRAGMA user_version = " + std::to_string(version));
    transaction.commit();
}

void Book::back_up(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(path, ec)) throw Failure({Problem::Cause::CannotOpen, path, "the file exists already"});
    try {
        SQLite::Database copy(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        // The step answers "busy" or "locked" (it does not throw them) while a writer holds
        // the book: it is tried again for as long as a writer would wait, and a copy that is
        // not whole is never left behind as if it were.
        SQLite::Backup backup(copy, *db_);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
        int step = backup.executeStep(-1);
        for (int attempt = 1; (step == SQLITE_BUSY || step == SQLITE_LOCKED) && std::chrono::steady_clock::now() < until; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(5 * attempt, 100)));
            step = backup.executeStep(-1);
        }
        if (step != SQLITE_DONE) {
            throw Failure({cause_of(step), path_, std::string("the copy could not be completed: ") + sqlite3_errstr(step)});
        }
        copy.exec("PRAGMA journal_mode = DELETE");  // one self-contained file
        if (copy.execAndGet("PRAGMA quick_check").getString() != "ok") {
            throw Failure({Problem::Cause::Failed, path, "the copy does not read back whole"});
        }
    } catch (const Failure&) {
        fs::remove(path, ec);
        throw;
    } catch (const SQLite::Exception& e) {
        fs::remove(path, ec);
        throw Failure({cause_of(e.getErrorCode()), path, e.what()});
    }
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
