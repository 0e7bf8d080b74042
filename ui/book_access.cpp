#include "ui/book_access.h"

#include <QDir>
#include <QStandardPaths>

#include "form/book_records.h"

namespace its90::ui {

QString book_file() {
    const QByteArray named = qgetenv("ITS90_BOOK");
    if (!named.isEmpty()) return QString::fromLocal8Bit(named);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + "/" + book::kBookFileName;
}

std::unique_ptr<book::Book> open_book(WindowPrompts& prompts, book::Book::Access access) {
    try {
        return std::make_unique<book::Book>(book_file().toStdString(), access);
    } catch (const book::Failure& f) {
        prompts.error(QString::fromStdString(form::book_problem_text(f.problem())));
        return nullptr;
    }
}

std::optional<std::int64_t> keep_in_book(WindowPrompts& prompts, const book::Record& record,
                                         const QString& issued) {
    try {
        book::Book book(book_file().toStdString());
        return book.keep(record);
    } catch (const book::Failure& f) {
        prompts.error(issued + QStringLiteral("，但未能存入记录簿：") +
                      QString::fromStdString(form::book_problem_text(f.problem())));
        return std::nullopt;
    }
}

const char* program_version() { return ITS90_VERSION; }

}  // namespace its90::ui
