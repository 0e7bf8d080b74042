// The window's way to the book: where it lives, and keeping a record in it with a failure told
// to the user (its file and cause) rather than lost. The book is opened for each use, so a
// book that comes back (a disk remounted, a file restored) is used again at once.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <optional>

#include "book/book.h"
#include "ui/window_prompts.h"

namespace its90::ui {

// ITS90_BOOK when set, else book.sqlite in the application-data folder (made when missing).
QString book_file();

// The book, or nothing after the user has been told why.
std::unique_ptr<book::Book> open_book(WindowPrompts& prompts, book::Book::Access access);

// Reads the book with `read`; false when it cannot, with why (its path and cause) in
// `problem`, which stays empty while no book has been made yet. Never asks the user.
bool read_book(const std::function<void(const book::Book&)>& read, std::string& problem);

// Keeps a record just issued; its id, or nothing after the user has been told that the record
// was issued (`issued`: "记录已保存到文件" ...) but not kept, and why.
std::optional<std::int64_t> keep_in_book(WindowPrompts& prompts, const book::Record& record,
                                         const QString& issued);

// A window's correction of a kept record (载入并更正…): the next record it issues of that
// number (and type) names the corrected one and replaces it in the book; once that one is
// kept, the window issues ordinary records again.
class Correction {
public:
    void set(std::optional<book::Record> corrected) { corrected_ = std::move(corrected); }
    const std::optional<book::Record>& corrected() const { return corrected_; }
    // The identification prompt, what the record about to be issued corrects filled in; false
    // when the user cancels.
    bool identify(WindowPrompts& prompts, form::Identification& id, WindowPrompts::RecordKind kind,
                  const std::string& type = {}) const;
    // Keeps `record`, issued with `id`, replacing the corrected record when it names it (see
    // keep_in_book()).
    std::optional<std::int64_t> keep(WindowPrompts& prompts, book::Record record, form::Identification& id,
                                     const QString& issued);

private:
    std::optional<book::Record> corrected_;
};

// The program's version, which every kept record names.
const char* program_version();

}  // namespace its90::ui
