// What the calibration record asks of the user: the identification, where to save, the
// printer, and a failure to report. The window asks through this interface, so that tests
// answer with a recorder and no dialog blocks.
#pragma once

#include <QString>
#include <optional>

#include "form/calibration_record.h"

class QPrinter;
class QWidget;

namespace its90::ui {

class RecordPrompts {
public:
    virtual ~RecordPrompts() = default;
    // The identification dialog, filled with `id`; false when the user cancels.
    virtual bool identification(form::Identification& id) = 0;
    // A path to save to, or nothing when the user cancels.
    virtual std::optional<QString> save_path(const QString& title, const QString& filter,
                                             const QString& suggested) = 0;
    // The print dialog; false when the user cancels.
    virtual bool print_setup(QPrinter& printer) = 0;
    virtual void error(const QString& text) = 0;
};

// Qt's dialogs, modal over `parent`.
class ModalRecordPrompts final : public RecordPrompts {
public:
    explicit ModalRecordPrompts(QWidget* parent) : parent_(parent) {}
    bool identification(form::Identification& id) override;
    std::optional<QString> save_path(const QString& title, const QString& filter,
                                     const QString& suggested) override;
    bool print_setup(QPrinter& printer) override;
    void error(const QString& text) override;

private:
    QWidget* parent_;
};

}  // namespace its90::ui
