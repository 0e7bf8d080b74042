// The window's way to the book: where it lives, and keeping a record in it with a failure told
// to the user (its file and cause) rather than lost. The book is opened for each use, so a
// book that comes back (a disk remounted, a file restored) is used again at once.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "book/book.h"
#include "ui/window_prompts.h"

namespace its90::ui {

// ITS90_BOOK when set, else book.sqlite in the application-data folder (made when missing).
QString book_file();

// The book, or nothing after the user has been told why.
std::unique_ptr<book::Book> open_book(WindowPrompts& prompts, book::Book::Access access);

// Keeps a record just issued; its id, or nothing after the user has been told that the record
// was issued (`issued`: "记录已保存到文件" ...) but not kept, and why.
std::optional<std::int64_t> keep_in_book(WindowPrompts& prompts, const book::Record& record,
                                         const QString& issued);

// The program's version, which every kept record names.
const char* program_version();

}  // namespace its90::ui
