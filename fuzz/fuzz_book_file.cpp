// A book opened from a file of arbitrary bytes: read-only and for writing, listed, searched,
// records found and a standard's history recomputed. After each: no crash; a file that is no
// book is refused with a Failure, never taken silently; what opens reads back what it keeps.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "book/book.h"
#include "book/fixed_points.h"

namespace {

std::string folder() {
    static const std::string path = [] {
        char pattern[] = "/tmp/its90-fuzz-book-XXXXXX";
        return std::string(mkdtemp(pattern) != nullptr ? pattern : "/tmp");
    }();
    return path;
}

void read_all(const its90::book::Book& book) {
    for (const its90::book::Record& r : book.list({})) {
        if (const auto whole = book.find(r.id)) its90::book::document_rows(whole->document);
        its90::book::standard_history(book, r.number);
    }
    its90::book::Query q;
    q.number = "S";
    q.date_from = "2026";
    book.list(q);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = folder() + "/book.sqlite";
    std::error_code ec;
    for (const char* extra : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + extra, ec);
    std::ofstream(path, std::ios::binary) << std::string(reinterpret_cast<const char*>(data), size);
    try {
        const its90::book::Book book(path, its90::book::Book::Access::ReadOnly);
        read_all(book);
    } catch (const its90::book::Failure&) {
    }
    try {
        its90::book::Book book(path);
        read_all(book);
        its90::book::Record r;
        r.number = "S-F";
        r.type = "S";
        r.date = "2026-12-09 10:00:00";
        r.inputs = {{"x", "1"}};
        r.document = "a,b\r\n";
        const std::int64_t id = book.keep(r);
        const auto back = book.find(id);
        if (!back || back->inputs != r.inputs || back->document != r.document) std::abort();
    } catch (const its90::book::Failure&) {
    }
    return 0;
}
