// The laboratory's book: every record the program issues, kept with the inputs it was computed
// from, so that it can be found again, recomputed and re-issued: in one SQLite file on this
// computer (the default), or on a PostgreSQL server that the laboratory's stations share. A
// record is never changed once kept; a correction is a new record naming the one it replaces.
// Several windows and command-line runs may write to one book at once: every write is one
// transaction, and a writer waits its turn for a while before it gives up.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace its90::book {

namespace store {
class Connection;
}

// The schema's version, as PRAGMA user_version holds it; 0 is a new, empty file.
inline constexpr int kSchemaVersion = 6;
// How long a writer waits for another to finish before it gives up, ms.
inline constexpr int kBusyTimeoutMs = 10'000;

enum class Kind { FixedPoint, Comparison, Resistance };
// As the book stores it and the command line prints it: "fixed-point", "comparison",
// "resistance".
std::string_view kind_name(Kind kind);
std::optional<Kind> kind_from_name(std::string_view name);

// A record's sign-off: kept by its operator (待核验), checked by a checker who is not the
// operator (已核验), approved by an approver who is not the operator (已批准); refused back, with
// a reason, by either before approval (已退回), to be corrected by a new record.
enum class State { Kept, Checked, Approved, Refused };
// "kept", "checked", "approved", "refused".
std::string_view state_name(State state);
std::optional<State> state_from_name(std::string_view name);

// What a person of the laboratory may do: "operator", "checker", "approver".
enum class Role { Operator, Checker, Approver };
std::string_view role_name(Role role);
std::optional<Role> role_from_name(std::string_view name);

// One input of a record, by name: numbers in their shortest exact text, so they read back
// as the same double.
struct Field {
    std::string name;
    std::string value;
    bool operator==(const Field&) const = default;
};

struct Record {
    std::int64_t id = 0;  // 0 until kept
    Kind kind = Kind::FixedPoint;
    std::string number;         // the thermocouple's or thermometer's number
    std::string type;           // "S", "K", "SPRT", "CVD" ...
    std::string operator_name;
    std::string notes;
    std::string date;           // when it was issued: "2026-12-09 14:03:27", local time
    std::string program_version;
    std::optional<std::int64_t> replaces;
    std::string reason;  // why it replaces the one it names; a correction must give it
    std::string kept_by;  // filled in when read: the login that kept it, on a server
    std::optional<std::int64_t> replaced_by;  // filled in when read
    State state = State::Kept;                // filled in when read
    std::vector<Field> inputs;
    std::string document;  // the record as issued: its CSV
    // The value of an input, when the record has it.
    std::optional<std::string> input(std::string_view name) const;
};

// Why the book could not do what was asked: where the book is (its file, or its server without
// the password), the cause, and the store's own words for it (English), for the message made
// where it is reported.
struct Problem {
    enum class Cause {
        CannotOpen,    // no such folder, no right to create the file ...
        ReadOnly,      // the file or its folder cannot be written
        NotABook,      // not an SQLite database, or damaged
        NewerVersion,  // written by a later version of the program
        Busy,          // other writers held it longer than kBusyTimeoutMs
        DiskFull,
        NoSuchRecord,  // an id the book does not hold
        NoReason,      // a correction kept without its reason
        Unreachable,   // the book's server is down, or the connection to it was lost
        AccessDenied,  // the server refused the login: no such user, or a wrong password
        Failed,        // anything else the store reports
    };
    Cause cause;
    std::string path;
    std::string detail;
    int version = 0;  // of a newer book, of an earlier one opened read-only, or the record's id for NoSuchRecord
};

class Failure : public std::exception {
public:
    explicit Failure(Problem problem);
    const Problem& problem() const { return problem_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    Problem problem_;
    std::string what_;
};

// What the list is narrowed to; an empty text matches every record.
struct Query {
    std::optional<Kind> kind{};
    std::string number{};         // part of its number, or of a number among its inputs
    std::string type{};           // the type, exactly
    std::string operator_name{};  // part of the operator's name
    std::string date_from{};      // the first day, "2026-01-01", or month or year (inclusive)
    std::string date_to{};        // the last day, month or year (inclusive)
    bool include_replaced = true;
    std::optional<State> state{};  // only records in this state
};

struct Person {
    std::string name;
    std::vector<Role> roles;
};

// One step of a record's sign-off, as kept.
struct SignOff {
    enum class Step { Checked, Approved, Refused };
    Step step;
    std::string person;
    std::string date;
    std::string comment;  // a refusal's reason
};

// Why a step of a sign-off was not kept; the words are made where it is reported.
enum class SignOffRefusal {
    NoSuchRecord,
    Replaced,         // a later record replaces it: that one is signed off
    NoSuchPerson,     // not among the laboratory's people
    LacksRole,        // a checker to check, an approver to approve, either to refuse
    IsTheOperator,    // nobody checks, approves or refuses their own work
    AlreadyChecked,
    NotChecked,       // approved only once checked
    AlreadyApproved,
    AlreadyRefused,
    NoReason,         // a refusal gives its reason
};

// An uncertainty budget kept for reuse: a laboratory's named set of components, its lines as
// named inputs (as a record keeps them). Kept again under the same laboratory and name, the
// newer one stands for it; none is ever changed.
struct KeptBudget {
    std::int64_t id = 0;  // 0 until kept
    std::string laboratory;
    std::string name;
    std::string date;  // when it was kept
    std::string program_version;
    std::vector<Field> inputs;
};

// A run of readings taken from a meter: which meter, what the run was to take (its plan, as
// the instrument layer writes it) and, once it has ended, when and how.
struct KeptRun {
    std::int64_t id = 0;  // 0 until started
    std::string started;
    std::string meter;     // its address
    std::string profile;   // the profile's name
    std::string identity;  // what the meter said it is
    std::string plan;
    std::string program_version;
    std::optional<std::string> ended;  // nothing while it is unfinished
    bool complete = false;             // every reading of the plan taken
};

// One reading of a run as it arrived: the meter's reply as it came, and the EMF it gives in
// mV in the shortest text that reads back as the same number.
struct KeptReading {
    std::int64_t position = 0;  // in the order taken, from 0
    int point = 0;              // the plan's point, from 0
    std::string thermocouple;   // "standard" or a working thermocouple's number
    std::string channel;
    std::string taken;          // local time to the millisecond
    std::string reply;
    std::string emf_mV;
    bool for_stability = false;  // taken while waiting for the furnace to settle
    bool operator==(const KeptReading&) const = default;
};

// What a copy of one book into another did: records copied, and records left out because the
// book holds them already (copied before, or first kept there).
struct CopyReport {
    std::size_t copied = 0;
    std::size_t already = 0;
};
// Whether copied records keep their ids (into a new SQLite book, as a backup) or are given
// the next ids of the book they are copied into, their corrections mapped to them.
enum class CopyIds { Keep, Map };

class Book {
public:
    // A value bound to the book's SQL.
    using Value = std::variant<std::nullptr_t, std::int64_t, std::string>;
    enum class Access { ReadWrite, ReadOnly };
    // Opens the book at `path` (a file, or a server's postgresql:// address), creating it
    // (not its folder) when writing; brings an earlier schema up to date. Throws Failure.
    explicit Book(std::string path, Access access = Access::ReadWrite);
    // A book to read: opened read-only, one of an earlier schema first brought up to date
    // (a new version of the program reads the book the old one kept), unless the file cannot
    // be written, when the read-only refusal stands.
    static std::unique_ptr<Book> to_read(const std::string& path);
    ~Book();
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    // The file's path, or the server's address without its password.
    const std::string& path() const { return path_; }
    // Whether the book is on a server shared by the laboratory's stations.
    bool on_server() const;
    // The book's own name, made when it was set up: where a copied record came from.
    std::string identity() const;
    // Whether this open started the book (set up its schema in a new file), and whether the
    // file was there already with no bytes in it: worth telling the user either way, as a
    // book that was expected to hold records may have been emptied or be at another path.
    bool started() const { return started_; }
    bool was_empty_file() const { return emptied_ && started_; }

    // Keeps a record in one transaction and returns its id. A record equal in every input,
    // every identification and its document to one already kept and not replaced is not kept
    // twice: its id is returned. A record that replaces another must name a record of the
    // same kind and number that no record replaces yet. Throws Failure.
    std::int64_t keep(const Record& record);

    // The records the query finds, newest first: their identification only, without inputs
    // and document (find() gives a record whole).
    std::vector<Record> list(const Query& query) const;
    std::optional<Record> find(std::int64_t id) const;
    // The records of one kind and number that no record replaces, oldest first.
    std::vector<Record> history(Kind kind, std::string_view number) const;
    // The newest of those.
    std::optional<Record> latest(Kind kind, std::string_view number) const;

    // The laboratory's people: a role added to a name (kept once). Throws Failure.
    void add_person(const std::string& name, Role role);
    std::vector<Person> people() const;
    // A step of a record's sign-off by `person`, its rules checked in the same transaction
    // that keeps it (two at once cannot both approve); the refusal, or nothing once kept. An
    // approval numbers the record's certificate. Throws Failure.
    std::optional<SignOffRefusal> sign_off(std::int64_t record, SignOff::Step step, const std::string& person,
                                           const std::string& comment = {});
    std::vector<SignOff> sign_offs(std::int64_t record) const;
    // The approved record's certificate number ("WD-2026-0001"), numbered without gaps by
    // year in the order of approval, by the pattern the setting certificate_pattern gives.
    std::optional<std::string> certificate_number(std::int64_t record) const;
    // The laboratory's settings (its name, address, accreditation, the certificates'
    // pattern); unlike records, a setting may be changed. Throws Failure.
    void set_setting(const std::string& name, const std::string& value);
    std::optional<std::string> setting(const std::string& name) const;

    // Keeps a budget and returns its id. Throws Failure.
    std::int64_t keep_budget(const KeptBudget& budget);
    // The budgets kept, the newest of each laboratory and name, newest first, whole.
    std::vector<KeptBudget> budgets() const;

    // A run: started, each reading kept in a transaction of its own as it arrives (durable
    // when the call returns), ended once. Throw Failure.
    std::int64_t start_run(const KeptRun& run);
    void keep_reading(std::int64_t run, const KeptReading& reading);
    void end_run(std::int64_t run, bool complete);
    // The runs kept, newest first; only those that have not ended, when asked.
    std::vector<KeptRun> runs(bool unfinished_only = false) const;
    std::optional<KeptRun> run(std::int64_t id) const;
    std::vector<KeptReading> run_readings(std::int64_t run) const;

    // A copy of the whole book, consistent even while others write to it, as a new file at
    // `path` (never over an existing one). Throws Failure, naming `path` where it is the copy
    // that fails.
    void back_up(const std::string& path) const;

    // Copies every record of `source` into this book with its inputs, document, correction and
    // sign-off (certificate numbers as issued), its people, the settings it does not have yet,
    // and the budgets and runs it does not hold; a record is never copied twice, whichever book
    // it came through. One transaction: the copy is whole or nothing. Throws Failure.
    CopyReport copy_from(const Book& source, CopyIds ids = CopyIds::Map);

private:
    void migrate();
    std::int64_t insert_record(const Record& record, std::optional<std::int64_t> id = std::nullopt);
    std::int64_t keep_once(const Record& record);
    // IdentificationOnly of records that `where` already limits to those none replaces
    // (Unreplaced): the replacing record is not looked up for each.
    enum class Contents { Whole, IdentificationOnly, UnreplacedIdentificationOnly };
    std::vector<Record> select(const std::string& where, const std::vector<Value>& values,
                               const std::string& order, Contents contents = Contents::Whole) const;

    template <class Step>
    auto retrying(Step step);

    std::string path_;
    std::unique_ptr<store::Connection> db_;
    bool started_ = false;
    bool emptied_ = false;
};

// The certificates' number pattern when the book sets none: {year} and {number:N}, the
// year's sequence with at least N digits.
inline constexpr const char* kDefaultCertificatePattern = "WD-{year}-{number:4}";
std::string certificate_text(std::string_view pattern, int year, int sequence);

// Makes a new book at `version` of the schema and no further, as an earlier version of the
// program left it: what the migrations are tested from.
void create_book_at_version(const std::string& path, int version);

// Whether a text is a day of the calendar, a month or a year as the query takes them:
// "2026-02-28", "2026-02", "2026" (not "2026-13-45", not "2026-02-29").
bool is_date(std::string_view text);

// The book's file: ITS90_BOOK when it is set and not empty, otherwise `fallback`.
std::string book_path(const std::string& fallback);
// The application-data folder's book as the window finds it on Linux:
// $XDG_DATA_HOME (or ~/.local/share)/its90-calculator/book.sqlite. Empty without a home.
std::string default_book_path();
inline constexpr const char* kBookFileName = "book.sqlite";

// A record's document read back into its rows of cells: UTF-8 CSV with or without a byte-order
// mark, CRLF or LF line ends, fields quoted where needed.
std::vector<std::vector<std::string>> document_rows(std::string_view document);

// The current local time as records state it: "2026-12-09 14:03:27".
std::string now_text();

}  // namespace its90::book
