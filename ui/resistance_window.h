// 电阻温度计: two pages, 标准铂电阻 (ITS-90) and 工业铂电阻 (CVD), each a view over its Qt-free
// model: the coefficients typed or fitted, conversions both ways on each keystroke, the fit's
// residuals, a table, and the page's record. Non-modal, beside the calculator.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "form/calibration_record.h"
#include "book/book.h"
#include "form/resistance_form.h"
#include "ui/book_access.h"
#include "ui/window_prompts.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QVBoxLayout;

namespace its90::ui {

class ResistanceWindow final : public QWidget {
    Q_OBJECT
public:
    ResistanceWindow(WindowPrompts& prompts, QWidget* parent = nullptr);
    void set_prompts(WindowPrompts& prompts) { prompts_ = &prompts; }

    // The pages in their tabs' order.
    enum class Page { Sprt, Cvd, Copper };
    Page current_page() const;
    form::SprtForm& sprt() { return sprt_; }
    form::CvdForm& cvd() { return cvd_; }
    form::CopperForm& copper() { return copper_; }
    QTabWidget* pages() const { return pages_; }
    QComboBox* sprt_range() const { return sprt_range_; }
    // The edit of a field, for tests and the screenshot.
    QLineEdit* edit_of(const form::Field& field) const;
    QLabel* sprt_result() const { return sprt_result_; }
    QLabel* cvd_result() const { return cvd_result_; }
    QTableWidget* cvd_points() const { return cvd_points_; }
    QTableWidget* table(int page) const { return page == 0 ? sprt_table_ : page == 1 ? cvd_table_ : copper_table_; }
    QLabel* copper_result() const { return copper_result_; }
    QComboBox* copper_r0() const { return copper_r0_; }
    QComboBox* cvd_named_r0() const { return cvd_named_r0_; }
    enum class RecordAction { Copy, SaveCsv, ExportPdf, Print };
    QAction* record_action(RecordAction action) const { return actions_[static_cast<std::size_t>(action)]; }

    void refresh();
    // A kept page's fields into the window, its page shown; with `correcting`, the next record
    // kept of the same number replaces it. False when the record lacks an input.
    bool load(const book::Record& record, bool correcting);

    CorrectionBanner* correction_banner() const { return correction_banner_; }

private:
    QWidget* create_sprt();
    QWidget* create_cvd();
    QWidget* create_copper();
    QLineEdit* field_edit(form::Field& field, QWidget* parent, Page page);
    // A 分度表 box at the end of `layout`: the from, to and step of `request`, the table below.
    QTableWidget* table_box(QVBoxLayout& layout, form::TableRequest& request, Page page, const QStringList& headings);
    std::vector<std::vector<std::string>> current_rows() const;
    std::string page_type() const;  // as the book keeps it: SPRT, CVD, Cu50 or Cu100
    void save(bool csv);
    void print();
    void keep_record(const std::vector<std::vector<std::string>>& rows, const QString& issued);

    WindowPrompts* prompts_;
    form::Identification identification_;
    form::SprtForm sprt_;
    form::CvdForm cvd_;
    form::CopperForm copper_;
    QTabWidget* pages_ = nullptr;
    std::vector<std::pair<form::Field*, QLineEdit*>> edits_;
    QComboBox* sprt_range_ = nullptr;
    QRadioButton* sprt_fitted_ = nullptr;
    // The five coefficient slots (named as the range names them), then W(Al).
    std::array<QLineEdit*, sprt::kMostCoefficients + 1> sprt_coefficients_{};
    std::array<QLabel*, sprt::kMostCoefficients + 1> sprt_coefficient_labels_{};
    std::array<QLabel*, sprt::kMostCoefficients> sprt_point_labels_{};
    std::array<QLineEdit*, sprt::kMostCoefficients> sprt_points_{};
    // A measured point's t90 under its resistance (e-H2-TPW near 17 K and 20.3 K).
    std::array<QLabel*, sprt::kMostCoefficients> sprt_point_t_labels_{};
    std::array<QLineEdit*, sprt::kMostCoefficients> sprt_point_ts_{};
    QLabel* sprt_status_ = nullptr;
    QLabel* sprt_u_label_ = nullptr;
    QPushButton* sprt_check_ = nullptr;  // 水三相点核查: keep the coefficients, type a new R_TPW
    QLabel* sprt_result_ = nullptr;
    QTableWidget* sprt_table_ = nullptr;
    QRadioButton* cvd_fitted_ = nullptr;
    QTableWidget* cvd_points_ = nullptr;
    QLabel* cvd_status_ = nullptr;
    QLabel* cvd_valid_label_ = nullptr;
    QCheckBox* cvd_with_d_ = nullptr;
    QLabel* cvd_result_ = nullptr;
    QTableWidget* cvd_table_ = nullptr;
    QComboBox* cvd_named_r0_ = nullptr;  // Pt100, Pt500, Pt1000 or as typed
    QComboBox* copper_r0_ = nullptr;     // Cu50, Cu100
    QLabel* copper_result_ = nullptr;
    QTableWidget* copper_table_ = nullptr;
    std::array<QAction*, 4> actions_{};
    bool refreshing_ = false;
    Correction correction_;
    bool typed_ = false;  // whether anything has been typed (or loaded) yet
    CorrectionBanner* correction_banner_ = nullptr;
};

}  // namespace its90::ui
