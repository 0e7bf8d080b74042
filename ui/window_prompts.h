// What the window asks of the user and tells the user in a modal box: the record's
// identification, where to save, the printer, a failure to report, and the program's own
// description. The window goes through this interface, so that tests answer with a
// recorder and no dialog blocks.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "form/calibration_record.h"

class QPrinter;
class QWidget;

namespace its90::ui {

class WindowPrompts {
public:
    virtual ~WindowPrompts() = default;
    // What a record asks before it is saved or printed.
    enum class RecordKind {
        Calibration,  // the fixed-point calibration: offers its 1 degC table too
        Comparison,   // a comparison run
        Resistance,   // a resistance thermometer's page
    };
    // The identification dialog, filled with `id`; false when the user cancels.
    virtual bool identification(form::Identification& id, RecordKind kind = RecordKind::Calibration) = 0;
    // A path to save to, or nothing when the user cancels.
    virtual std::optional<QString> save_path(const QString& title, const QString& filter,
                                             const QString& suggested) = 0;
    // The print dialog; false when the user cancels.
    virtual bool print_setup(QPrinter& printer) = 0;
    virtual void error(const QString& text) = 0;
    // A box with a title and a rich text (关于).
    virtual void about(const QString& title, const QString& text) = 0;
    // A question before something is cleared; true to go on.
    virtual bool confirm(const QString& title, const QString& question) = 0;
    // The laboratory and the name a budget is kept under, offered as given; false on a cancel.
    virtual bool budget_name(QString& laboratory, QString& name) = 0;
    // Who signs a step of a record's sign-off, chosen from `people` (never typed), and a
    // comment (a refusal's reason when `reason` is set: then it may not stay empty); false
    // on a cancel.
    virtual bool sign_off(const QString& title, const QStringList& people, bool reason, QString& person,
                          QString& comment) = 0;
    // A person of the laboratory and the roles to give them: 检定员, 核验员, 批准人.
    virtual bool person(QString& name, bool& operator_role, bool& checker, bool& approver) = 0;
};

// Asks where to save a file (titled `title`, of the kind `filter` names, suggesting `name`),
// saves it with `save`, and reports a failure naming the file and why. Nothing is saved on a
// cancel. True when it was saved.
bool save_file(WindowPrompts& prompts, const QString& title, const QString& filter, const QString& name,
               const std::function<bool(const QString& path, QString& error)>& save);
// Asks where to save a record as CSV or PDF (suggesting "BASE_NUMBER.csv"), saves it with
// `save`, and reports a failure naming the file and why. Nothing is saved on a cancel. True
// when the record was saved.
bool save_record_file(WindowPrompts& prompts, const QString& base, const std::string& number, bool csv,
                      const std::function<bool(const QString& path, QString& error)>& save);

// Qt's dialogs, modal over `parent`.
class ModalWindowPrompts final : public WindowPrompts {
public:
    explicit ModalWindowPrompts(QWidget* parent) : parent_(parent) {}
    // Over the window the user works in (the calculator's, or a tool's), else the parent.
    QWidget* owner() const;
    bool identification(form::Identification& id, RecordKind kind) override;
    std::optional<QString> save_path(const QString& title, const QString& filter,
                                     const QString& suggested) override;
    bool print_setup(QPrinter& printer) override;
    void error(const QString& text) override;
    void about(const QString& title, const QString& text) override;
    bool confirm(const QString& title, const QString& question) override;
    bool budget_name(QString& laboratory, QString& name) override;
    bool sign_off(const QString& title, const QStringList& people, bool reason, QString& person,
                  QString& comment) override;
    bool person(QString& name, bool& operator_role, bool& checker, bool& approver) override;

private:
    QWidget* parent_;
};

}  // namespace its90::ui
