// The book in one SQLite file: its schema's steps, how the file is opened (written ahead, each
// commit durable), and SQLite's faults in the book's words.
#include <sqlite3.h>

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/SQLiteCpp.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "book/store.h"

namespace its90::book::store {

namespace {

// Each version's changes, applied in order from the book's own version up to kSchemaVersion;
// the step to version N is kSteps[N - 1]. A later version appends its step here.
constexpr std::array<const char*, kSchemaVersion> kSteps = {
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
    // 6: where a record copied from another book came from (the book it was first kept in and
    // its id there), so that no record is copied twice into one book; each book's own name
    // for that, made when it is set up.
    R"(
    CREATE TABLE book_identity(
        name TEXT PRIMARY KEY
    ) WITHOUT ROWID;
    INSERT INTO book_identity VALUES (lower(hex(randomblob(16))));
    CREATE TABLE record_origins(
        record_id INTEGER PRIMARY KEY REFERENCES records(id),
        book TEXT NOT NULL,
        source_id INTEGER NOT NULL,
        UNIQUE (book, source_id)
    );
    CREATE TRIGGER book_identity_never_changes BEFORE UPDATE ON book_identity
        BEGIN SELECT RAISE(ABORT, 'a book''s name is never changed'); END;
    CREATE TRIGGER book_identity_never_goes BEFORE DELETE ON book_identity
        BEGIN SELECT RAISE(ABORT, 'a book''s name is never changed'); END;
    CREATE TRIGGER record_origins_never_change BEFORE UPDATE ON record_origins
        BEGIN SELECT RAISE(ABORT, 'a kept record is never changed'); END;
    CREATE TRIGGER record_origins_never_go BEFORE DELETE ON record_origins
        BEGIN SELECT RAISE(ABORT, 'a kept record is never removed'); END;
    )",
};



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

class SqliteRow final : public Row {
public:
    explicit SqliteRow(SQLite::Statement& s) : s_(s) {}
    bool null(int column) const override { return s_.getColumn(column).isNull(); }
    std::string text(int column) const override { return s_.getColumn(column).getString(); }
    std::int64_t integer(int column) const override { return s_.getColumn(column).getInt64(); }

private:
    SQLite::Statement& s_;
};

class SqliteConnection final : public Connection {
public:
    SqliteConnection(std::string path, std::unique_ptr<SQLite::Database> db) : path_(std::move(path)), db_(std::move(db)) {}
    ~SqliteConnection() override {
        statements_.clear();  // before the database they belong to
    }

    const std::string& location() const override { return path_; }

    void query(const std::string& sql, const std::vector<Value>& values,
               const std::function<void(const Row&)>& each) override {
        SQLite::Statement* s = nullptr;
        try {
            // Prepared once: a keep runs the same few statements every time.
            auto& kept = statements_[sql];
            if (!kept) kept = std::make_unique<SQLite::Statement>(*db_, sql);
            s = kept.get();
            s->tryReset();  // a failed step before leaves its error in the reset
            s->clearBindings();
            for (std::size_t i = 0; i < values.size(); ++i) {
                const int index = static_cast<int>(i + 1);
                if (const auto* n = std::get_if<std::int64_t>(&values[i])) s->bind(index, *n);
                else if (const auto* t = std::get_if<std::string>(&values[i])) s->bindNoCopy(index, *t);
                else s->bind(index);
            }
            const SqliteRow row(*s);
            while (s->executeStep()) {
                if (each) each(row);
            }
            s->tryReset();
        } catch (const SQLite::Exception& e) {
            if (s != nullptr) s->tryReset();
            fail(e);
        } catch (...) {
            if (s != nullptr) s->tryReset();
            throw;
        }
    }

    void script(const std::string& sql) override {
        try {
            statements_.clear();  // a step of the schema may change what they were prepared for
            db_->exec(sql);
        } catch (const SQLite::Exception& e) {
            fail(e);
        }
    }

    void begin_write() override { run("BEGIN IMMEDIATE"); }
    void commit() override { run("COMMIT"); }
    void rollback() noexcept override {
        try {
            if (sqlite3_get_autocommit(db_->getHandle()) == 0) db_->exec("ROLLBACK");
        } catch (const SQLite::Exception&) {
        }
    }

    int schema_version() override {
        try {
            return db_->execAndGet("PRAGMA user_version").getInt();
        } catch (const SQLite::Exception& e) {
            fail(e);
        }
    }
    std::string migration(int version) const override { return kSteps[static_cast<std::size_t>(version - 1)]; }
    void finish_migration(int version) override { run("PRAGMA user_version = " + std::to_string(version)); }
    std::string kept_by_column() const override { return "''"; }

    bool back_up(const std::string& path) override {
        namespace fs = std::filesystem;
        std::error_code ec;
        try {
            SQLite::Database copy(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            // The step answers "busy" or "locked" (it does not throw them) while a writer holds
            // the book: it is tried again for as long as a writer would wait, and a copy that
            // is not whole is never left behind as if it were.
            SQLite::Backup backup(copy, *db_);
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
            int step = backup.executeStep(-1);
            for (int attempt = 1; (step == SQLITE_BUSY || step == SQLITE_LOCKED) && std::chrono::steady_clock::now() < until;
                 ++attempt) {
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
            return true;
        } catch (const Failure&) {
            fs::remove(path, ec);
            throw;
        } catch (const SQLite::Exception& e) {
            fs::remove(path, ec);
            throw Failure({cause_of(e.getErrorCode()), path, e.what()});
        }
    }

    // The documents moved out of the records at version 5 leave their pages nearly empty (a
    // book of 10^5 records would keep 1 GB where 0.6 GB hold it): compacted once. Only space
    // is at stake, so a book another process holds open stays as it is until a later opening.
    void compact() noexcept {
        try {
            statements_.clear();
            db_->exec("VACUUM");
        } catch (const SQLite::Exception&) {
        }
    }

private:
    void run(const std::string& sql) {
        try {
            db_->exec(sql);
        } catch (const SQLite::Exception& e) {
            fail(e);
        }
    }

    [[noreturn]] void fail(const SQLite::Exception& e) const {
        Problem::Cause cause = cause_of(e.getErrorCode());
        // A write that fails for want of space may come back as an I/O error: the system's
        // own error tells.
        const int system_error = sqlite3_system_errno(db_->getHandle());
        if (system_error == ENOSPC || system_error == EDQUOT) cause = Problem::Cause::DiskFull;
        if (system_error == EROFS) cause = Problem::Cause::ReadOnly;
        throw Failure({cause, path_, e.what()});
    }

    std::string path_;
    std::unique_ptr<SQLite::Database> db_;
    std::map<std::string, std::unique_ptr<SQLite::Statement>> statements_;
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

// A path as an SQLite URI's file name: its %, ? and # escaped.
std::string uri_of(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[(c >> 4) & 0xF];
            uri += kHex[c & 0xF];
        } else {
            uri += c;
        }
    }
    return uri;
}

}  // namespace

Opened open_sqlite(const std::string& path, Book::Access access) {
    namespace fs = std::filesystem;
    const fs::path file(path);
    std::error_code ec;
    if (file.has_parent_path() && !fs::is_directory(file.parent_path(), ec)) {
        throw Failure({Problem::Cause::CannotOpen, path, "no such folder: " + file.parent_path().string()});
    }
    if (fs::is_directory(file, ec)) throw Failure({Problem::Cause::CannotOpen, path, "a folder, not a file"});
    Opened opened;
    std::unique_ptr<SQLite::Database> db;
    try {
        if (access == Book::Access::ReadOnly) {
            if (!fs::exists(file, ec)) throw Failure({Problem::Cause::CannotOpen, path, "no such file"});
            try {
                db = std::make_unique<SQLite::Database>(path, SQLite::OPEN_READONLY, kBusyTimeoutMs);
                db->execAndGet("PRAGMA user_version");
            } catch (const SQLite::Exception& e) {
                // A book on read-only media or in a folder the user may only read, closed
                // cleanly, has no shared-memory file and cannot make one (SQLite answers
                // "cannot open" or "read-only" for it): nothing can write it, so it is read as
                // it stands.
                const int code = e.getErrorCode() & 0xff;
                if (code != SQLITE_CANTOPEN && code != SQLITE_READONLY) throw;
                db = std::make_unique<SQLite::Database>(uri_of(path) + "?immutable=1",
                                                        SQLite::OPEN_READONLY | SQLite::OPEN_URI, kBusyTimeoutMs);
            }
        } else {
            // A file of no bytes is no book SQLite made (its first write is its header, or a
            // log beside it): taken as a new book, and the caller is told.
            opened.emptied = fs::exists(file, ec) && fs::file_size(file, ec) == 0 &&
                             !(fs::exists(path + "-wal", ec) && fs::file_size(path + "-wal", ec) > 0);
            // SQLite would open an unwritable file for reading and fail at the first write, or
            // fail to make its log beside it: say so before anything is tried.
            const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
            if ((fs::exists(file, ec) && ::access(path.c_str(), W_OK) != 0) || ::access(folder.c_str(), W_OK) != 0) {
                throw Failure({Problem::Cause::ReadOnly, path,
                               std::string("the file or its folder cannot be written: ") + std::strerror(errno)});
            }
            db = std::make_unique<SQLite::Database>(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, kBusyTimeoutMs);
        }
        // A file that is no database is found on the first read, not when it is opened.
        const int version = retrying_while_busy([&] { return db->execAndGet("PRAGMA user_version").getInt(); });
        // Listing a book of 10^5 records visits its identifications in date order, each on its
        // own page: a page cache of 64 MiB (SQLite's default is 2 MiB) holds them all, where
        // the default reads each page again from the file (275 against 159 ms).
        db->exec("PRAGMA cache_size = -65536");
        if (access == Book::Access::ReadWrite && version >= 0 && version <= kSchemaVersion) {
            if (sqlite3_db_readonly(db->getHandle(), "main") == 1) {
                throw Failure({Problem::Cause::ReadOnly, path, "the file cannot be written"});
            }
            // A write-ahead log lets readers read while one writes, and a writer killed at any
            // moment leaves the last committed state; FULL makes each commit durable at once.
            retrying_while_busy([&] {
                db->exec("PRAGMA journal_mode = WAL");
                db->exec("PRAGMA synchronous = FULL");
                db->exec("PRAGMA foreign_keys = ON");
            });
        }
    } catch (const SQLite::Exception& e) {
        Problem::Cause cause = cause_of(e.getErrorCode());
        const int system_error = db ? sqlite3_system_errno(db->getHandle()) : 0;
        if (system_error == ENOSPC || system_error == EDQUOT) cause = Problem::Cause::DiskFull;
        if (system_error == EROFS) cause = Problem::Cause::ReadOnly;
        throw Failure({cause, path, e.what()});
    }
    opened.connection = std::make_unique<SqliteConnection>(path, std::move(db));
    return opened;
}

void compact_sqlite(Connection& c) {
    if (auto* s = dynamic_cast<SqliteConnection*>(&c)) s->compact();
}

void create_sqlite_at_version(const std::string& path, int version) {
    SQLite::Database db(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    SQLite::Transaction transaction(db);
    for (int v = 1; v <= version && v <= kSchemaVersion; ++v) db.exec(kSteps[static_cast<std::size_t>(v - 1)]);
    db.exec("PRAGMA user_version = " + std::to_string(version));
    transaction.commit();
}

}  // namespace its90::book::store
