// The window's way to the book: where it lives, and keeping a record in it with a failure told
// to the user (its file and cause) rather than lost. The book is opened for each use, so a
// book that comes back (a disk remounted, a file restored) is used again at once.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <optional>

#include "book/book.h"
#include "ui/window_prompts.h"

class QLabel;
class QPushButton;

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
    void set(std::optional<book::Record> corrected) {
        corrected_ = std::move(corrected);
        if (changed_) changed_();
    }
    // Called whenever the window starts or stops correcting (its banner and title follow).
    void on_change(std::function<void()> changed) { changed_ = std::move(changed); }
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
    std::function<void()> changed_;
};

// The strip a window shows while it corrects a kept record: "正在更正记录 3（2026-05-16
// 14:20）" and 取消更正, which ends the correction (the next record is an ordinary one).
class CorrectionBanner final : public QWidget {
public:
    // Shows `correction`'s state from now on; `cancelled` runs after 取消更正 has ended it. With
    // a `title`, the window's title says it too ("比较法校准 — 正在更正记录 3").
    CorrectionBanner(Correction& correction, std::function<void()> cancelled, QWidget* parent,
                     QString title = {});
    QLabel* label() const { return label_; }
    QPushButton* cancel_button() const { return cancel_; }
    // What a corrected record's window says of it.
    static QString text_for(const book::Record& corrected);

private:
    void follow();
    Correction& correction_;
    QString title_;
    QLabel* label_;
    QPushButton* cancel_;
};

// The program's version, which every kept record names.
const char* program_version();

}  // namespace its90::ui
