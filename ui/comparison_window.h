// 比较法校准: working thermocouples checked against the standard type S thermocouple in one
// furnace. A view over form::ComparisonForm: the standard, the working thermocouples, the
// points, a table of readings per point, the results and verdicts; every edit recomputes
// and shows at once. Non-modal, beside the calculator's window.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/fixed_points.h"
#include "form/calibration_record.h"
#include "form/uncertainty_form.h"
#include "form/comparison_form.h"
#include "form/comparison_record.h"
#include "ui/book_access.h"
#include "ui/window_prompts.h"

class QAction;
class QSplitter;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace its90::ui {

class AcquisitionWindow;

class ComparisonWindow final : public QWidget {
    Q_OBJECT
public:
    // `prompts` asks for the record's identification, paths and printer (the main window's).
    ComparisonWindow(WindowPrompts& prompts, QWidget* parent = nullptr);
    void set_prompts(WindowPrompts& prompts);

    // The uncertainty budget's figures, or nothing without one.
    void set_uncertainties(std::optional<calibration::ComparisonUncertainties> comparison,
                           std::optional<calibration::FixedPointUncertainties> fixed_points);
    // Where the record takes the budget's table from (the calculator's budget).
    void set_budget_rows(std::function<std::vector<std::vector<std::string>>()> rows) {
        budget_rows_ = std::move(rows);
    }
    QLabel* uncertainty_status() const { return uncertainty_status_; }
    // The calculator's budget, which a kept record stores line by line.
    void set_budget(form::UncertaintyForm& budget) { budget_ = &budget; }
    // A kept comparison's inputs into the window (its standard pinned to the calibration it
    // was computed with; its budget into `budget`); with `correcting`, the next record kept of
    // the same number replaces it. False when the record lacks an input.
    bool load(const book::Record& record, bool correcting, form::UncertaintyForm& budget);
    // The standard's fixed-point calibrations in the book, for the number typed, newest first;
    // the choice of one of them (-1: none).
    QRadioButton* from_book() const { return from_book_; }
    QComboBox* kept_choice() const { return kept_choice_; }
    void reload_kept_standards();
    // The calibration panel's calibration, followed live, or the reason there is none.
    void set_panel(std::optional<calibration::Calibration> calibration, const std::string& reason);

    form::ComparisonForm& model() { return model_; }
    const form::ComparisonForm& model() const { return model_; }

    // ---- Its controls, for tests and the screenshot ----
    QLineEdit* standard_number() const { return standard_number_; }
    QLineEdit* certificate_number() const { return certificate_number_; }
    QRadioButton* from_panel() const { return from_panel_; }
    QRadioButton* from_certificate() const { return from_certificate_; }
    QSpinBox* working_count() const { return working_count_; }
    QLineEdit* working_number(int i) const { return working_rows_[static_cast<std::size_t>(i)].number; }
    QComboBox* working_type(int i) const { return working_rows_[static_cast<std::size_t>(i)].type; }
    QComboBox* working_class(int i) const { return working_rows_[static_cast<std::size_t>(i)].required_class; }
    QSpinBox* point_count() const { return point_count_; }
    QSpinBox* readings() const { return readings_; }
    QLineEdit* point_temperature(int p) const { return point_texts_[static_cast<std::size_t>(p)]; }
    QLineEdit* certificate(int p) const { return tabs_[static_cast<std::size_t>(p)].certificate; }
    // The readings of a point: column 0 the standard, 1 ... the working thermocouples; the
    // last row the means.
    QTableWidget* reading_table(int p) const { return tabs_[static_cast<std::size_t>(p)].table; }
    QTabWidget* points_tabs() const { return tabs_widget_; }
    QTableWidget* results() const { return results_; }
    QLabel* verdicts() const { return verdicts_; }
    QLabel* panel_status() const { return panel_status_; }
    enum class RecordAction { Copy, SaveCsv, ExportPdf, Print };
    QAction* record_action(RecordAction action) const;

    // Shows everything the model holds; each edit calls it.
    void refresh();
    // 新建 (Ctrl+N): after asking, a new run with the same standard (the points, readings and
    // working thermocouples' numbers cleared).
    void start_new_run();
    QAction* new_run_action() const { return new_run_; }

    CorrectionBanner* correction_banner() const { return correction_banner_; }

    // 自动采集: the readings taken from a meter (made when first asked for).
    AcquisitionWindow& acquisition();
    void show_acquisition();
    QAction* acquisition_action() const { return acquisition_action_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct WorkingRow {
        QLabel* label = nullptr;
        QLineEdit* number = nullptr;
        QComboBox* type = nullptr;
        QComboBox* required_class = nullptr;
    };
    struct PointTab {
        QWidget* page = nullptr;
        QLineEdit* certificate = nullptr;
        QTableWidget* table = nullptr;
    };
    QWidget* create_standard();
    QWidget* create_working();
    QWidget* create_points();
    QWidget* create_results();
    void create_record_actions();
    std::optional<form::ComparisonRecord> record();
    void save_record(RecordAction action);
    void print_record();
    void keep_record(const form::ComparisonRecord& record, const QString& issued);
    // The calibration chosen in the list; none chosen, the standard's EMFs wait, saying why.
    void choose_kept_standard(const std::string& problem);

    form::ComparisonForm model_;
    QAction* new_run_ = nullptr;
    QAction* acquisition_action_ = nullptr;
    AcquisitionWindow* acquisition_ = nullptr;
    QSplitter* split_ = nullptr;  // the readings above, the results below
    WindowPrompts* prompts_;
    form::Identification identification_;  // offered again for the next record of the run

    QLineEdit* standard_number_ = nullptr;
    QLineEdit* certificate_number_ = nullptr;
    QRadioButton* from_panel_ = nullptr;
    QRadioButton* from_certificate_ = nullptr;
    QRadioButton* from_book_ = nullptr;
    QComboBox* kept_choice_ = nullptr;
    std::vector<book::Calibrated> kept_standards_;  // as the choice lists them
    form::UncertaintyForm* budget_ = nullptr;
    Correction correction_;
    CorrectionBanner* correction_banner_ = nullptr;
    QLabel* panel_status_ = nullptr;
    QSpinBox* working_count_ = nullptr;
    std::array<WorkingRow, form::kMostWorking> working_rows_{};
    QSpinBox* point_count_ = nullptr;
    QSpinBox* readings_ = nullptr;
    std::array<QLineEdit*, form::kMostPoints> point_texts_{};
    QTabWidget* tabs_widget_ = nullptr;
    std::array<PointTab, form::kMostPoints> tabs_{};
    QTableWidget* results_ = nullptr;
    QLabel* verdicts_ = nullptr;
    QLabel* uncertainty_status_ = nullptr;
    std::function<std::vector<std::vector<std::string>>()> budget_rows_;
    std::array<QAction*, 4> record_actions_{};
    bool refreshing_ = false;
};

}  // namespace its90::ui
