// Where a book is kept: an SQLite file on this computer, or a PostgreSQL server that several
// stations share. The book's rules are written once, in SQL both understand, over this one
// connection; each store supplies its schema, its transactions and its own faults in the
// book's vocabulary (Problem).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "book/book.h"

namespace its90::book::store {

// A value bound to a statement's "?", in order.
using Value = Book::Value;

// One row of a result, its columns from 0.
class Row {
public:
    virtual ~Row() = default;
    virtual bool null(int column) const = 0;
    virtual std::string text(int column) const = 0;
    virtual std::int64_t integer(int column) const = 0;
};

class Connection {
public:
    virtual ~Connection() = default;
    // Where the book is, as a message may name it: a file's path, or the server's address
    // without its password.
    virtual const std::string& location() const = 0;
    // One statement with its values; each row it yields to `each`. Throws Failure.
    virtual void query(const std::string& sql, const std::vector<Value>& values,
                       const std::function<void(const Row&)>& each) = 0;
    // Statements without values, one after another (a schema's step). Throws Failure.
    virtual void script(const std::string& sql) = 0;
    // A transaction that writes: once begun, no other writer of the book goes on until it
    // ends, so a rule checked in it still holds when it commits.
    virtual void begin_write() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

    // The schema's version the book holds; 0 when none has been set up.
    virtual int schema_version() = 0;
    // The step of the schema to version `version`, in the store's own SQL.
    virtual std::string migration(int version) const = 0;
    // After the steps to kSchemaVersion have been applied, in the same transaction: the
    // version noted, and whatever else the store keeps beside it (a server's grants).
    virtual void finish_migration(int version) = 0;
    // What a list shows of who kept a record, as the store itself recorded it: a server's
    // login; an SQLite file has none (an empty text).
    virtual std::string kept_by_column() const = 0;
    // A copy of the whole book as a new SQLite file at `path`, consistent while others write;
    // a store that cannot make one itself leaves it to the book (false).
    virtual bool back_up(const std::string& path) {
        (void)path;
        return false;
    }
    // Whether a fault of this kind may go away when the same transaction is tried again.
    virtual bool transient(const Failure& f) const { return f.problem().cause == Problem::Cause::Busy; }

    void exec(const std::string& sql, const std::vector<Value>& values = {}) { query(sql, values, {}); }
    // The first column of the first row, or nothing.
    std::optional<std::string> text(const std::string& sql, const std::vector<Value>& values = {});
    std::optional<std::int64_t> integer(const std::string& sql, const std::vector<Value>& values = {});
};

// A transaction that writes, rolled back unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(Connection& c) : c_(c) { c_.begin_write(); }
    ~WriteTransaction() {
        if (!done_) c_.rollback();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit() {
        c_.commit();
        done_ = true;
    }

private:
    Connection& c_;
    bool done_ = false;
};

// Whether a book's location names a PostgreSQL server: "postgresql://…" or "postgres://…".
bool is_server(std::string_view location);

// The SQLite file at `path`; what it finds on opening, for the caller to tell.
struct Opened {
    std::unique_ptr<Connection> connection;
    bool emptied = false;  // the file was there with no bytes in it
};
Opened open_sqlite(const std::string& path, Book::Access access);
// The server a PostgreSQL connection URI names. Throws Failure.
std::unique_ptr<Connection> open_postgresql(const std::string& uri, Book::Access access);
Opened open(const std::string& location, Book::Access access);
// An SQLite book compacted after its documents moved out of the records.
void compact_sqlite(Connection& c);
void create_sqlite_at_version(const std::string& path, int version);

// A server's address as a message may show it: the password left out.
std::string without_password(std::string_view uri);

}  // namespace its90::book::store
