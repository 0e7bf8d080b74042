// `its90 book`: the laboratory's book of records, listed, shown and re-issued; and the book as
// calibrate --keep and compare --standard reach it.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/fixed_points.h"
#include "book/triple_point.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/words.h"
#include "text/number_text.h"

extern char** environ;

namespace its90::cli {

const char* const kBookHelp =
    N_("Usage: its90 book list [--number N] [--type T] [--kind K] [--operator NAME]\n"
       "                       [--from DATE] [--to DATE] [--state S] [--format text|csv]\n"
       "       its90 book show ID\n"
       "       its90 book export ID [--format csv|text|dcc] [--output FILE]\n"
       "       its90 book tpw NUMBER [--format text|csv]\n"
       "       its90 book certificate ID --pdf FILE\n"
       "       its90 book backup FILE\n"
       "       its90 book runs\n"
       "       its90 book run ID\n"
       "       its90 book people [add NAME --role ROLE [--role ROLE]...]\n"
       "       its90 book check ID --by NAME [--comment TEXT]\n"
       "       its90 book approve ID --by NAME [--comment TEXT]\n"
       "       its90 book refuse ID --by NAME --reason TEXT\n"
       "       its90 book setting [NAME [VALUE]]\n"
       "\n"
       "The laboratory's book: every record the window saves, exports or prints, and every\n"
       "calibration kept with 'its90 calibrate ... --keep NUMBER', with the inputs it was\n"
       "computed from. The book is the file ITS90_BOOK names, or else\n"
       "~/.local/share/its90-calculator/book.sqlite (under $XDG_DATA_HOME when it is set),\n"
       "the window's own.\n"
       "\n"
       "list prints the records, newest first: those whose number holds N (or a standard's\n"
       "or working thermocouple's number among their inputs), of type T, of kind K\n"
       "(fixed-point, comparison or resistance), whose operator's name holds NAME, issued\n"
       "from DATE to DATE (YYYY-MM-DD, both included). --format csv prints the\n"
       "columns id,kind,number,type,date,operator,replaces,replaced_by,program_version,state.\n"
       "show prints one record's identification and inputs. export prints the record as it\n"
       "was issued: its CSV byte for byte, or (--format text) its cells in columns.\n"
       "tpw prints an SPRT's R_TPW at each of its records (its calibrations, and its checks at\n"
       "the triple point of water, which keep the certificate's coefficients), oldest first,\n"
       "with the change from the first in m\u03a9 and as the mK it equals at the triple point\n"
       "of water; --format csv prints date,id,range,coefficients,r_tpw_ohm,change_mohm,drift_mK.\n"
       "backup copies the whole book into the new file FILE, consistent even while the\n"
       "window or other runs write to it.\n"
       "runs lists the runs of readings taken from a meter (its90 compare --batch-plan, the\n"
       "window's 自动采集), newest first, as CSV: id,started,ended,outcome,meter,identity,\n"
       "profile,readings (outcome complete, stopped, or empty while unfinished). run prints\n"
       "every reading of one run as it arrived, as CSV: position,point,t_C,thermocouple,\n"
       "channel,taken,reply,emf_mV,purpose (stability: taken while the furnace settled).\n"
       "\n"
       "Sign-off: a record kept by its operator awaits its check (state kept, 待核验); a\n"
       "checker who is not its operator checks it (checked, 已核验); an approver who is not its\n"
       "operator approves it (approved, 已批准), which numbers its certificate (WD-2026-0001,\n"
       "without gaps, by year); before approval either may refuse it back with a reason\n"
       "(refused, 已退回), to be corrected by a new record (--replaces ID --reason TEXT). Each\n"
       "step is kept as a row of its own, never changed. The names come from the laboratory's\n"
       "people: 'people' lists them, 'people add NAME --role ROLE' gives NAME a role\n"
       "(operator, checker or approver). A step that breaks a rule is refused, naming it, with\n"
       "exit status 2 and nothing kept. list --state S lists the records in state S (kept,\n"
       "checked, approved or refused); show prints a record's state, its sign-off and its\n"
       "correction's reason.\n"
       "certificate writes the record's certificate (检定证书 or 校准证书) as a PDF: the\n"
       "laboratory, the certificate's number, the customer, the instrument, the regulation\n"
       "and method, the standard, the ambient conditions, the results with their expanded\n"
       "uncertainties, the conclusion and the three names with their dates; 未批准 across\n"
       "every page until the record is approved. export --format dcc writes its Digital\n"
       "Calibration Certificate (DCC 3.1.2, XML), validated against the schema before it is\n"
       "written: an invalid one is not written and the fault is named, exit status 1.\n"
       "Both are drawn by the window's program (its90-calculator), run without a window.\n"
       "setting prints the laboratory's settings kept in the book, or one of them, or sets it:\n"
       "laboratory_name, laboratory_address, accreditation, and certificate_pattern (the\n"
       "certificates' numbers: {year} and {number:N}, the year's sequence with at least N\n"
       "digits; WD-{year}-{number:4} when none is set).\n"
       "\n"
       "Examples:\n"
       "  its90 book list --number 2019-031\n"
       "  its90 book export 12 > record-12.csv\n"
       "  its90 book backup /media/usb/book-2026-12-09.sqlite\n"
       "  its90 book people add 李工 --role checker --role approver\n"
       "  its90 book check 12 --by 李工\n"
       "  its90 book certificate 12 --pdf WD-2026-0001.pdf\n"
       "  its90 book export 12 --format dcc --output WD-2026-0001.xml\n");

std::string why(const book::Problem& p) {
    using Cause = book::Problem::Cause;
    const char* cause = N_("it could not be used");
    switch (p.cause) {
    case Cause::CannotOpen: cause = N_("it cannot be opened"); break;
    case Cause::ReadOnly: cause = N_("it cannot be written (read-only)"); break;
    case Cause::NotABook: cause = N_("it is not a book of records, or it is damaged"); break;
    case Cause::NewerVersion: cause = N_("a later version of the program wrote it"); break;
    case Cause::Busy: cause = N_("other programs kept it busy too long"); break;
    case Cause::DiskFull: cause = N_("the disk is full"); break;
    case Cause::NoSuchRecord: cause = N_("it holds no such record"); break;
    case Cause::NoReason: cause = N_("a correction needs its reason"); break;
    case Cause::Unreachable: cause = N_("its server cannot be reached, or the connection was lost"); break;
    case Cause::AccessDenied: cause = N_("its server refused the login (wrong user or password)"); break;
    case Cause::Failed: break;
    }
    return format(tr("the book %1: %2 (%3)"), printable(p.path),
                  tr(cause), printable(p.detail));
}

std::unique_ptr<book::Book> open_book_or_report(Context& ctx, book::Book::Access access) {
    const std::string fallback = book::default_book_path();
    const std::string path = book::book_path(fallback);
    if (path.empty()) {
        ctx.fail(tr("no book: set ITS90_BOOK to its file (there is no home folder)"));
        return nullptr;
    }
    // The application-data folder is made on first use; a folder named by ITS90_BOOK is not.
    if (path == fallback && access == book::Book::Access::ReadWrite) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    }
    try {
        // Reading an earlier book brings it up to date first, where it can be written.
        auto book = access == book::Book::Access::ReadOnly ? book::Book::to_read(path)
                                                            : std::make_unique<book::Book>(path, access);
        if (book->was_empty_file()) {
            ctx.err << format(tr("the book %1 was an empty file: a new book was started in it"), printable(book->path())) << '\n';
        } else if (book->started()) {
            ctx.err << format(tr("a new book was started at %1"), printable(book->path())) << '\n';
        }
        return book;
    } catch (const book::Failure& f) {
        ctx.fail(why(f.problem()));
        return nullptr;
    }
}

namespace {

std::optional<std::int64_t> id_or_report(Context& ctx, const std::vector<std::string>& positional) {
    if (positional.size() != 2) {
        ctx.usage_error(tr("give one record ID"));
        return std::nullopt;
    }
    const std::string& word = positional[1];
    std::int64_t id = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), id);
    if (ec != std::errc() || end != word.data() + word.size() || id <= 0) {
        ctx.usage_error(format(tr("a record ID is a whole number above 0, not '%1'"), cli::quoted(word)));
        return std::nullopt;
    }
    return id;
}

std::string optional_id(const std::optional<std::int64_t>& id) { return id ? std::to_string(*id) : ""; }

// A field for CSV: control characters and bytes that are no UTF-8 escaped as the text output
// escapes them, then quoted when it holds a comma or a quote.
std::string csv_field(const std::string& kept) {
    const std::string text = printable(kept);
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string q = "\"";
    for (char c : text) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

int run_list(Context& ctx, const Arguments& args) {
    const std::string output = args.value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    book::Query query;
    if (const auto k = args.value("kind")) {
        query.kind = book::kind_from_name(*k);
        if (!query.kind) return ctx.usage_error(tr("--kind is fixed-point, comparison or resistance"));
    }
    query.number = args.value("number").value_or("");
    query.type = args.value("type").value_or("");
    query.operator_name = args.value("operator").value_or("");
    query.date_from = args.value("from").value_or("");
    query.date_to = args.value("to").value_or("");
    for (const std::string* date : {&query.date_from, &query.date_to}) {
        if (!date->empty() && (date->size() != 10 || !book::is_date(*date))) {
            return ctx.usage_error(format(tr("a date is a day of the calendar written YYYY-MM-DD, not '%1'"),
                                          cli::quoted(*date)));
        }
    }
    if (const auto state = args.value("state")) {
        query.state = book::state_from_name(*state);
        if (!query.state) return ctx.usage_error(tr("--state is kept, checked, approved or refused"));
    }
    if (!query.date_from.empty() && !query.date_to.empty() && query.date_from > query.date_to) {
        return ctx.usage_error(format(tr("--from %1 comes after --to %2"), query.date_from, query.date_to));
    }
    // A book not made yet holds no records.
    if (std::error_code ec; !std::filesystem::exists(book::book_path(book::default_book_path()), ec)) {
        ctx.err << tr("no record found") << '\n';
        return ctx.status;
    }
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return ctx.status;
    std::vector<book::Record> records;
    try {
        records = book->list(query);
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    }
    if (output == "csv") {
        ctx.out << "id,kind,number,type,date,operator,replaces,replaced_by,program_version,state\n";
        for (const book::Record& r : records) {
            ctx.out << r.id << ',' << book::kind_name(r.kind) << ',' << csv_field(r.number) << ','
                    << csv_field(r.type) << ',' << csv_field(r.date) << ',' << csv_field(r.operator_name) << ','
                    << optional_id(r.replaces) << ',' << optional_id(r.replaced_by) << ','
                    << csv_field(r.program_version) << ',' << book::state_name(r.state) << '\n';
        }
        return ctx.status;
    }
    for (const book::Record& r : records) {
        char line[96];
        std::snprintf(line, sizeof line, "%6lld  %-11s  %-19s  ", static_cast<long long>(r.id),
                      std::string(book::kind_name(r.kind)).c_str(), r.date.c_str());
        ctx.out << line << printable(r.number) << "  " << printable(r.type);
        if (!r.operator_name.empty()) ctx.out << "  " << printable(r.operator_name);
        ctx.out << "  " << book::state_name(r.state);
        if (r.replaced_by) ctx.out << "  " << format(tr("(replaced by %1)"), std::to_string(*r.replaced_by));
        ctx.out << '\n';
    }
    if (records.empty()) ctx.err << tr("no record found") << '\n';
    return ctx.status;
}

std::optional<book::Record> record_or_report(Context& ctx, std::int64_t id) {
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return std::nullopt;
    try {
        std::optional<book::Record> r = book->find(id);
        if (!r) ctx.fail(format(tr("the book %1 holds no record %2"), printable(book->path()), std::to_string(id)));
        return r;
    } catch (const book::Failure& f) {
        ctx.fail(why(f.problem()));
        return std::nullopt;
    }
}

int run_show(Context& ctx, const Arguments& args) {
    const std::optional<std::int64_t> id = id_or_report(ctx, args.positional);
    if (!id) return ctx.status;
    const std::optional<book::Record> r = record_or_report(ctx, *id);
    if (!r) return ctx.status;
    const auto line = [&](const char* name, const std::string& value) {
        if (!value.empty()) ctx.out << name << ": " << printable(value) << '\n';
    };
    line("id", std::to_string(r->id));
    line("kind", std::string(book::kind_name(r->kind)));
    line("number", r->number);
    line("type", r->type);
    line("date", r->date);
    line("operator", r->operator_name);
    line("notes", r->notes);
    line("program_version", r->program_version);
    line("replaces", optional_id(r->replaces));
    line("reason", r->reason);
    line("replaced_by", optional_id(r->replaced_by));
    line("state", std::string(book::state_name(r->state)));
    if (const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly)) {
        try {
            for (const book::SignOff& s : book->sign_offs(r->id)) {
                const char* step = s.step == book::SignOff::Step::Checked    ? "checked"
                                   : s.step == book::SignOff::Step::Approved ? "approved"
                                                                             : "refused";
                ctx.out << step << ": " << printable(s.person) << ", " << s.date;
                if (!s.comment.empty()) ctx.out << ", " << printable(s.comment);
                ctx.out << '\n';
            }
            line("certificate", book->certificate_number(r->id).value_or(""));
        } catch (const book::Failure& f) {
            return ctx.fail(why(f.problem()));
        }
    }
    ctx.out << "inputs:\n";
    for (const book::Field& f : r->inputs) ctx.out << "  " << f.name << " = " << printable(f.value) << '\n';
    return ctx.status;
}

// The window's program beside this one (as installed), else the one this build made.
std::string window_program() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path beside = self.parent_path() / "its90-calculator";
        if (::access(beside.c_str(), X_OK) == 0) return beside.string();
    }
    return ITS90_WINDOW_PROGRAM;
}

// A record's certificate, drawn by the window's program without a window, as the window
// itself draws it: one drawing and one DCC writer for both. Its words are its own.
int run_window_export(Context& ctx, const char* what, std::int64_t id, const std::string& file) {
    const std::string program = window_program();
    const std::string book_path = book::book_path(book::default_book_path());
    const std::string id_text = std::to_string(id);
    std::vector<const char*> argv = {program.c_str(), what, id_text.c_str(),
                                     std::string_view(what) == "--dcc" ? "--output" : "--pdf", file.c_str(), nullptr};
    std::vector<std::string> environment = {"ITS90_BOOK=" + book_path, "QT_QPA_PLATFORM=offscreen"};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view entry(*e);
        if (entry.rfind("ITS90_BOOK=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0) environment.emplace_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    ctx.out.flush();
    pid_t child = 0;
    // posix_spawn gives its error as its result, not in errno.
    if (const int error = posix_spawn(&child, program.c_str(), nullptr, nullptr, const_cast<char* const*>(argv.data()),
                                      envp.data());
        error != 0) {
        return ctx.fail(format(tr("cannot start %1, which draws certificates: %2"), printable(program),
                               std::strerror(error)));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status)) return ctx.fail(format(tr("%1 stopped before the certificate was written"), printable(program)));
    ctx.status = WEXITSTATUS(status);
    return ctx.status;
}

int run_certificate(Context& ctx, const Arguments& args) {
    const std::optional<std::int64_t> id = id_or_report(ctx, args.positional);
    if (!id) return ctx.status;
    const std::optional<std::string> pdf = args.value("pdf");
    if (!pdf || pdf->empty()) return ctx.usage_error(tr("give --pdf FILE to write the certificate into"));
    if (!record_or_report(ctx, *id)) return ctx.status;
    if (run_window_export(ctx, "--certificate", *id, *pdf) == 0) {
        ctx.err << format(tr("record %1's certificate written to %2"), std::to_string(*id), printable(*pdf)) << '\n';
    }
    return ctx.status;
}

int run_export(Context& ctx, const Arguments& args) {
    const std::string output = args.value("format").value_or("csv");
    if (output != "text" && output != "csv" && output != "dcc") return ctx.usage_error(tr("--format is csv, text or dcc"));
    const std::optional<std::int64_t> id = id_or_report(ctx, args.positional);
    if (!id) return ctx.status;
    if (args.has("output") && output != "dcc") return ctx.usage_error(tr("--output goes with --format dcc"));
    const std::optional<book::Record> r = record_or_report(ctx, *id);
    if (!r) return ctx.status;
    if (output == "dcc") {
        const std::string file = args.value("output").value_or("-");
        if (file.empty()) return ctx.usage_error(tr("--output names a file, or - for standard output"));
        return run_window_export(ctx, "--dcc", *id, file);
    }
    if (output == "csv") {
        ctx.out << r->document;
        return ctx.status;
    }
    for (const std::vector<std::string>& row : book::document_rows(r->document)) {
        for (std::size_t i = 0; i < row.size(); ++i) ctx.out << (i ? "  " : "") << printable(row[i]);
        ctx.out << '\n';
    }
    return ctx.status;
}

int run_backup(Context& ctx, const Arguments& args) {
    if (args.positional.size() != 2) return ctx.usage_error(tr("give the FILE to copy the book into"));
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return ctx.status;
    try {
        book->back_up(args.positional[1]);
    } catch (const book::Failure& f) {
        if (f.problem().path != book->path()) {
            return ctx.fail(format(tr("cannot copy the book into %1: %2"), printable(f.problem().path),
                                   printable(f.problem().detail)));
        }
        return ctx.fail(why(f.problem()));
    }
    ctx.err << format(tr("the book %1 copied into %2"), printable(book->path()), printable(args.positional[1])) << '\n';
    return ctx.status;
}

// An SPRT's R_TPW at each of its records, with its drift from the first.
int run_tpw(Context& ctx, const Arguments& args) {
    if (args.positional.size() != 2) return ctx.usage_error(tr("tpw takes the thermometer's NUMBER"));
    const std::string output = args.value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    const std::string& number = args.positional[1];
    std::vector<book::TriplePointResistance> history;
    if (std::error_code ec; std::filesystem::exists(book::book_path(book::default_book_path()), ec)) {
        const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
        if (!book) return ctx.status;
        try {
            history = book::triple_point_history(*book, number);
        } catch (const book::Failure& f) {
            return ctx.fail(why(f.problem()));
        }
    }
    if (history.empty()) {
        ctx.err << format(tr("no SPRT record of %1 holds R_TPW"), printable(number)) << '\n';
        return ctx.status;
    }
    const double first = history.front().r_tpw;
    if (output == "csv") {
        ctx.out << "date,id,range,coefficients,r_tpw_ohm,change_mohm,drift_mK\n";
        for (const book::TriplePointResistance& h : history) {
            ctx.out << csv_field(h.record.date) << ',' << h.record.id << ',' << csv_field(h.range) << ','
                    << (h.fitted ? "fitted" : "certificate") << ',' << text::round_trip(h.r_tpw) << ','
                    << text::round_trip((h.r_tpw - first) * 1000) << ','
                    << text::round_trip(book::tpw_drift_mK(first, h.r_tpw)) << '\n';
        }
        return ctx.status;
    }
    ctx.out << format(tr("SPRT %1: R_TPW at %2 records, the change from the first also as mK at the triple point of "
                         "water"),
                      printable(number), std::to_string(history.size()))
            << '\n' << tr("date  record  range  coefficients  R_TPW/\u03a9  change/m\u03a9  mK") << '\n';
    for (const book::TriplePointResistance& h : history) {
        ctx.out << h.record.date << "  " << h.record.id << "  " << printable(h.range) << "  "
                << (h.fitted ? tr("fitted") : tr("certificate")) << "  " << text::general(h.r_tpw) << "  "
                << text::fixed((h.r_tpw - first) * 1000, 3) << "  " << text::fixed(book::tpw_drift_mK(first, h.r_tpw), 2)
                << '\n';
    }
    return ctx.status;
}

int run_runs(Context& ctx) {
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return ctx.status;
    try {
        ctx.out << "id,started,ended,outcome,meter,identity,profile,readings\n";
        for (const book::KeptRun& r : book->runs()) {
            std::size_t readings = 0;
            for (const book::KeptReading& k : book->run_readings(r.id)) readings += k.for_stability ? 0 : 1;
            ctx.out << r.id << ',' << csv_field(r.started) << ',' << csv_field(r.ended.value_or("")) << ','
                    << (r.ended ? (r.complete ? "complete" : "stopped") : "") << ',' << csv_field(r.meter) << ','
                    << csv_field(r.identity) << ',' << csv_field(r.profile) << ',' << readings << '\n';
        }
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    }
    return ctx.status;
}

int run_run(Context& ctx, const Arguments& args) {
    const std::optional<std::int64_t> id = id_or_report(ctx, args.positional);
    if (!id) return ctx.status;
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return ctx.status;
    try {
        const std::optional<book::KeptRun> run = book->run(*id);
        if (!run) return ctx.fail(format(tr("the book %1 holds no run %2"), printable(book->path()), std::to_string(*id)));
        // The points' temperatures, from the run's plan.
        std::vector<std::string> points;
        std::size_t start = 0;
        while (start < run->plan.size()) {
            const std::size_t end = run->plan.find('\n', start);
            const std::string line = run->plan.substr(start, end == std::string::npos ? end : end - start);
            if (line.starts_with("point\t")) points.push_back(line.substr(6));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        ctx.out << "position,point,t_C,thermocouple,channel,taken,reply,emf_mV,purpose\n";
        for (const book::KeptReading& k : book->run_readings(*id)) {
            const std::string t = k.point >= 0 && static_cast<std::size_t>(k.point) < points.size()
                                      ? points[static_cast<std::size_t>(k.point)] : std::string();
            ctx.out << k.position << ',' << k.point + 1 << ',' << t << ',' << csv_field(k.thermocouple) << ','
                    << csv_field(k.channel) << ',' << csv_field(k.taken) << ',' << csv_field(k.reply) << ','
                    << k.emf_mV << ',' << (k.for_stability ? "stability" : "reading") << '\n';
        }
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    }
    return ctx.status;
}

std::string why_refused(book::SignOffRefusal refusal, std::int64_t id, const std::string& person) {
    using R = book::SignOffRefusal;
    const std::string record = std::to_string(id);
    switch (refusal) {
    case R::NoSuchRecord: return format(tr("the book holds no record %1"), record);
    case R::Replaced: return format(tr("record %1 is replaced by a correction: sign that one off"), record);
    case R::NoSuchPerson:
        return format(tr("%1 is not among the laboratory's people (its90 book people add NAME --role ROLE)"), printable(person));
    case R::LacksRole: return format(tr("%1 has not the role this step needs"), printable(person));
    case R::IsTheOperator: return format(tr("%1 is record %2's operator: the work is signed off by another"), printable(person), record);
    case R::AlreadyChecked: return format(tr("record %1 is checked already"), record);
    case R::NotChecked: return format(tr("record %1 is approved only once it is checked"), record);
    case R::AlreadyApproved: return format(tr("record %1 is approved already"), record);
    case R::AlreadyRefused: return format(tr("record %1 was refused back: a correction of it is signed off instead"), record);
    case R::NoReason: return tr("a refusal gives its reason (--reason)");
    }
    return {};
}

int run_people(Context& ctx, const Arguments& args) {
    const std::vector<std::string>& p = args.positional;
    if (p.size() == 1) {
        if (args.has("role")) return ctx.usage_error(tr("--role goes with people add"));
        const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
        if (!book) return ctx.status;
        try {
            for (const book::Person& person : book->people()) {
                ctx.out << printable(person.name);
                for (std::size_t i = 0; i < person.roles.size(); ++i) ctx.out << (i ? "," : "  ") << book::role_name(person.roles[i]);
                ctx.out << '\n';
            }
        } catch (const book::Failure& f) {
            return ctx.fail(why(f.problem()));
        }
        return ctx.status;
    }
    if (p.size() != 3 || p[1] != "add") return ctx.usage_error(tr("give people, or people add NAME --role ROLE"));
    const std::string& name = p[2];
    if (name.find_first_not_of(" \t") == std::string::npos) return ctx.usage_error(tr("a person needs a name"));
    if (!args.has("role")) return ctx.usage_error(tr("--role is needed: operator, checker or approver"));
    std::vector<book::Role> roles;
    for (const std::string& r : args.values("role")) {
        const std::optional<book::Role> role = book::role_from_name(r);
        if (!role) return ctx.usage_error(format(tr("--role is operator, checker or approver, not '%1'"), cli::quoted(r)));
        roles.push_back(*role);
    }
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadWrite);
    if (!book) return ctx.status;
    try {
        for (book::Role role : roles) book->add_person(name, role);
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    }
    return ctx.status;
}

// The laboratory's settings the book keeps, and what each may hold.
constexpr std::array<const char*, 4> kSettings = {"laboratory_name", "laboratory_address", "accreditation",
                                                  "certificate_pattern"};

int run_setting(Context& ctx, const Arguments& args) {
    const std::vector<std::string>& p = args.positional;
    if (p.size() > 3) return ctx.usage_error(format(tr("unexpected '%1'"), cli::quoted(p[3])));
    if (p.size() >= 2 && std::find(kSettings.begin(), kSettings.end(), p[1]) == kSettings.end()) {
        return ctx.usage_error(format(tr("no setting '%1': laboratory_name, laboratory_address, accreditation or certificate_pattern"),
                                      cli::quoted(p[1])));
    }
    if (p.size() == 3) {
        const std::string& value = p[2];
        if (p[1] == "certificate_pattern" &&
            (value.find("{number") == std::string::npos || value.find('}', value.find("{number")) == std::string::npos)) {
            return ctx.usage_error(tr("a certificate pattern numbers its certificates: it holds {number} or {number:N}"));
        }
        const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadWrite);
        if (!book) return ctx.status;
        try {
            book->set_setting(p[1], value);
        } catch (const book::Failure& f) {
            return ctx.fail(why(f.problem()));
        }
        return ctx.status;
    }
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return ctx.status;
    try {
        for (const char* name : kSettings) {
            if (p.size() == 2 && p[1] != name) continue;
            const std::optional<std::string> value = book->setting(name);
            const std::string shown = value ? *value
                                      : std::string_view(name) == "certificate_pattern" ? book::kDefaultCertificatePattern
                                                                                         : "";
            ctx.out << (p.size() == 2 ? "" : std::string(name) + " = ") << printable(shown) << '\n';
        }
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    }
    return ctx.status;
}

int run_sign_off(Context& ctx, const Arguments& args, book::SignOff::Step step) {
    const std::optional<std::int64_t> id = id_or_report(ctx, args.positional);
    if (!id) return ctx.status;
    if (!args.has("by") || args.value("by")->empty()) return ctx.usage_error(tr("--by names who signs"));
    const bool refusing = step == book::SignOff::Step::Refused;
    if (refusing && args.has("comment")) return ctx.usage_error(tr("a refusal gives its --reason"));
    if (!refusing && args.has("reason")) return ctx.usage_error(tr("--reason goes with refuse (and calibrate --replaces)"));
    const std::string comment = args.value(refusing ? "reason" : "comment").value_or("");
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadWrite);
    if (!book) return ctx.status;
    try {
        if (const auto refusal = book->sign_off(*id, step, *args.value("by"), comment)) {
            return ctx.usage_error(why_refused(*refusal, *id, *args.value("by")));
        }
        if (step == book::SignOff::Step::Approved) {
            ctx.err << format(tr("record %1 approved: certificate %2"), std::to_string(*id),
                              book->certificate_number(*id).value_or("?"))
                    << '\n';
        }
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    }
    return ctx.status;
}

}  // namespace

int run_book(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args =
        parse_or_report(ctx, words, {"number", "type", "kind", "operator", "from", "to", "format", "state", "role", "by",
                                     "comment", "reason", "pdf", "output"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("give list, show, export, tpw, certificate, backup, runs, run, people, check, approve, refuse or setting"));
    const std::string& what = args->positional[0];
    if (what == "list") {
        if (args->positional.size() > 1) return ctx.usage_error(format(tr("unexpected '%1'"), cli::quoted(args->positional[1])));
        return run_list(ctx, *args);
    }
    if (what != "certificate" && args->has("pdf")) return ctx.usage_error(tr("--pdf goes with certificate"));
    for (const char* option : {"number", "type", "kind", "operator", "from", "to", "state"}) {
        if (args->has(option)) return ctx.usage_error(format(tr("--%1 goes with list"), option));
    }
    if (what == "people") {
        if (args->has("by") || args->has("comment") || args->has("reason") || args->has("format")) {
            return ctx.usage_error(tr("people takes add NAME and --role"));
        }
        return run_people(ctx, *args);
    }
    if (args->has("role")) return ctx.usage_error(tr("--role goes with people add"));
    if (what == "setting") {
        if (args->has("format") || args->has("by") || args->has("comment") || args->has("reason")) {
            return ctx.usage_error(tr("setting takes a NAME and a VALUE"));
        }
        return run_setting(ctx, *args);
    }
    if (what == "check" || what == "approve" || what == "refuse") {
        if (args->has("format")) return ctx.usage_error(tr("--format goes with list and export"));
        return run_sign_off(ctx, *args, what == "check"     ? book::SignOff::Step::Checked
                                        : what == "approve" ? book::SignOff::Step::Approved
                                                            : book::SignOff::Step::Refused);
    }
    if (args->has("by") || args->has("comment") || args->has("reason")) {
        return ctx.usage_error(tr("--by, --comment and --reason go with check, approve and refuse"));
    }
    if (what == "show") {
        if (args->has("format")) return ctx.usage_error(tr("--format goes with list and export"));
        return run_show(ctx, *args);
    }
    if (what == "export") return run_export(ctx, *args);
    if (what == "tpw") {
        if (args->has("output")) return ctx.usage_error(tr("tpw takes NUMBER and --format"));
        return run_tpw(ctx, *args);
    }
    if (what == "certificate") {
        if (args->has("format") || args->has("output")) return ctx.usage_error(tr("certificate takes ID and --pdf FILE"));
        return run_certificate(ctx, *args);
    }
    if (what == "runs" || what == "run") {
        if (args->has("format")) return ctx.usage_error(tr("--format goes with list and export"));
        if (what == "runs") {
            if (args->positional.size() > 1) return ctx.usage_error(format(tr("unexpected '%1'"), cli::quoted(args->positional[1])));
            return run_runs(ctx);
        }
        return run_run(ctx, *args);
    }
    if (what == "backup") {
        if (args->has("format")) return ctx.usage_error(tr("--format goes with list and export"));
        return run_backup(ctx, *args);
    }
    return ctx.usage_error(format(tr("give list, show, export, tpw, certificate, backup, runs, run, people, check, approve, refuse or setting, not '%1'"), cli::quoted(what)));
}

}  // namespace its90::cli
