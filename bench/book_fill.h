// A laboratory's book for the benchmarks: 20 standards calibrated every year for 50 years and
// the rest comparisons, each record with 35 inputs and a 3 KB document, on tmpfs where there
// is one (setting up the records, each its own durable transaction, is not what is measured).
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "book/book.h"
#include "book/fixed_points.h"

namespace its90::bench {

inline book::Record bench_record(book::Kind kind, const std::string& number, int year, int i) {
    book::Record r;
    r.kind = kind;
    r.number = number;
    r.type = std::string(1, kind == book::Kind::FixedPoint ? 'S' : 'K');
    r.operator_name = i % 2 ? "王工" : "李工";
    char date[32];
    std::snprintf(date, sizeof date, "%04d-05-01 09:%02d", year, 10 + i % 50);
    r.date = date;
    r.program_version = "bench";
    r.inputs = book::fields_of({{3.45689 + i * 1e-6, 5.87013, 10.5848}, calibration::MiddlePoint::Aluminium, std::nullopt});
    for (int k = 0; k < 30; ++k) r.inputs.push_back({"reading_" + std::to_string(k), "16.38544"});
    r.document = std::string(3000, 'x');
    return r;
}

struct FilledBook {
    std::string dir;
    std::string path;
    std::unique_ptr<book::Book> book;
    explicit FilledBook(int records) {
        char pattern[] = "/dev/shm/its90-book-bench-XXXXXX";
        char fallback[] = "/tmp/its90-book-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        dir = made != nullptr ? made : mkdtemp(fallback);
        path = dir + "/book.sqlite";
        book = std::make_unique<book::Book>(path);
        int i = 0;
        for (int s = 0; s < 20; ++s) {
            for (int year = 1977; year < 2027; ++year) {
                book->keep(bench_record(book::Kind::FixedPoint, "S-" + std::to_string(s), year, i++));
            }
        }
        for (int c = 0; i < records; ++c) {
            book->keep(bench_record(book::Kind::Comparison, "BJ-" + std::to_string(c), 2000 + c % 27, i++));
        }
    }
    ~FilledBook() { std::filesystem::remove_all(dir); }
};

}  // namespace its90::bench
