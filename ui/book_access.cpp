#include "ui/book_access.h"

#include <QColor>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStandardPaths>
#include <filesystem>

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

bool read_book(const std::function<void(const book::Book&)>& read, std::string& problem) {
    problem.clear();
    const std::string path = book_file().toStdString();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return false;
    try {
        const std::unique_ptr<book::Book> book = book::Book::to_read(path);
        read(*book);
        return true;
    } catch (const book::Failure& f) {
        problem = form::book_problem_text(f.problem());
        return false;
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

bool Correction::identify(WindowPrompts& prompts, form::Identification& id, WindowPrompts::RecordKind kind,
                          const std::string& type) const {
    // The dialog asks why while the window corrects a record; it is a correction only when
    // the number stays the corrected record's.
    id.corrects = corrected_ ? form::correction_text(*corrected_) : std::string();
    if (!prompts.identification(id, kind)) return false;
    id.corrects = form::correction_of(corrected_, id.number, type);
    if (!id.corrects.empty() && id.reason.find_first_not_of(" \t\r\n") == std::string::npos) {
        prompts.error(QStringLiteral("更正记录须填写修改原因。记录未保存，也未打印。"));
        return false;
    }
    return true;
}

std::optional<std::int64_t> Correction::keep(WindowPrompts& prompts, book::Record record, form::Identification& id,
                                             const QString& issued) {
    if (!id.corrects.empty()) {
        record.replaces = corrected_->id;
        record.reason = id.reason;
    }
    const std::optional<std::int64_t> kept = keep_in_book(prompts, record, issued);
    if (kept && record.replaces) {
        set(std::nullopt);
        id.corrects.clear();
        id.reason.clear();
    }
    return kept;
}

const char* program_version() { return ITS90_VERSION; }

CorrectionBanner::CorrectionBanner(Correction& correction, std::function<void()> cancelled, QWidget* parent,
                                   QString title)
    : QWidget(parent), correction_(correction), title_(std::move(title)), label_(new QLabel(this)),
      cancel_(new QPushButton(QStringLiteral("取消更正"), this)) {
    setObjectName(QStringLiteral("correction_banner"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xff, 0xf0, 0xc0));
    colours.setColor(QPalette::WindowText, QColor(0x70, 0x40, 0x00));
    setPalette(colours);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 4, 2);
    row->addWidget(label_, 1);
    row->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, [this, cancelled = std::move(cancelled)] {
        correction_.set(std::nullopt);
        if (cancelled) cancelled();
    });
    correction.on_change([this] { follow(); });
    follow();
}

QString CorrectionBanner::text_for(const book::Record& corrected) {
    return QStringLiteral("正在更正记录 %1（%2）").arg(corrected.id).arg(QString::fromStdString(corrected.date));
}

void CorrectionBanner::follow() {
    const std::optional<book::Record>& corrected = correction_.corrected();
    if (corrected) label_->setText(text_for(*corrected));
    setVisible(corrected.has_value());
    if (!title_.isEmpty()) {
        window()->setWindowTitle(corrected ? title_ + QStringLiteral(" — 正在更正记录 %1").arg(corrected->id) : title_);
    }
}

}  // namespace its90::ui
