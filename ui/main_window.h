// The calculator's one window on Qt: builds the controls from the layout table, shows what the
// model (form::Form1) holds, and hands the user's edits, selections and focus moves to it.
// Every rule of the calculator is the model's; this class decides only how Qt shows them.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "form/sensor_texts.h"
#include "book/book.h"
#include "form/calibration_record.h"
#include "form/controls.h"
#include "form/form1.h"
#include "form/uncertainty_form.h"
#include "form/message_box.h"
#include "ui/book_access.h"
#include "ui/window_prompts.h"

class QAction;
class QContextMenuEvent;
class QDialog;
class QMenuBar;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;

namespace its90::ui {

class BookWindow;
class BudgetWindow;
class ComparisonWindow;
class ResistanceWindow;

// The status line below the panels, in pixels: one line of the window's font with room
// around it (scripts that drive the window reckon with it too).
inline constexpr int kStatusLineHeight = 26;

class MainWindow final : public QWidget, private form::FormObserver {
    Q_OBJECT
public:
    // The differential value uses the decimal separator of the user's locale.
    explicit MainWindow(form::MessageBox& message_box, QWidget* parent = nullptr);
    MainWindow(form::MessageBox& message_box, std::string decimal_separator, QWidget* parent = nullptr);

    // Start-up as the program does it: Form_Load, shown centred, focus in T1(0), timer on.
    void start();

    form::Form1& model() { return model_; }
    const form::Form1& model() const { return model_; }
    QTimer& Timer1() { return timer_; }

    // The widget of a control (nullptr for T1(11), which does not exist); the window itself
    // (Form1) is the client area below the menu bar, where the layout places its controls.
    QWidget* widget(form::Control control) const;
    QLineEdit* text_box(form::Control control) const;
    QRadioButton* option_button(form::Control control) const;
    QLabel* label(form::Control control) const;
    // The status line below the panels, and the red outline drawn around a box whose text was
    // read only in part (hidden while the whole text is a number).
    QLabel* status_line() const { return status_; }
    QWidget* reading_outline(form::Control box) const;
    // The banner shown while a kept record is being corrected (载入并更正).
    CorrectionBanner* correction_banner() const { return correction_banner_; }

    // The calibration record: copy (Ctrl+Shift+C), save as CSV (Ctrl+S), export as PDF,
    // print (Ctrl+P); enabled while the three EMFs give a table. The prompts are the
    // window's own dialogs unless replaced (tests).
    enum class RecordAction { Copy, SaveCsv, ExportPdf, Print };
    QAction* record_action(RecordAction action) const;
    void set_prompts(WindowPrompts* prompts);
    // The menu of the calibration panel: a box's own entries (when given) and the record's.
    // The caller owns it.
    QMenu* calibration_menu(QLineEdit* box = nullptr);

    // The menu bar (文件, 工具, 帮助) and the 工具 menu, which the tools' windows join.
    QMenuBar* menu_bar() const { return menu_bar_; }
    QMenu* tools_menu() const { return tools_menu_; }
    // 比较法校准 (工具 menu, Ctrl+K): made when first opened, then shown again.
    ComparisonWindow* comparison_window() const { return comparison_; }
    void show_comparison();
    // A run of readings from a meter that did not end (the program was closed or killed):
    // offered to be taken up again in 自动采集.
    void offer_unfinished_run();
    // 电阻温度计 (工具 menu, Ctrl+R): made when first opened.
    ResistanceWindow* resistance_window() const { return resistance_; }
    void show_resistance();
    // 不确定度评定 (工具 menu): the budget the records and the comparison use, kept for the run.
    form::UncertaintyForm& budget() { return budget_; }
    BudgetWindow* budget_window() const { return budget_window_; }
    void show_budget();
    // After an edit of the budget: its figures to the comparison window.
    void budget_changed();
    // 记录簿 (文件 menu, Ctrl+B): the kept records, searched, re-issued, loaded again.
    BookWindow* book_window() const { return book_window_; }
    void show_book();
    // A kept record's inputs into its window (shown); with `correcting`, the next record that
    // window keeps of the same number replaces it. False, after telling the user, when the
    // record's inputs cannot be loaded.
    bool load_record(const book::Record& record, bool correcting);
    // The record the calculator's next kept record corrects, if any.
    const std::optional<book::Record>& correcting() const { return correction_.corrected(); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void text_changed(form::Control box, const std::string& text) override;
    void caption_changed(form::Control label, const std::string& caption) override;
    void tool_tip_changed(form::Control box, const std::string& tool_tip) override;
    void enabled_changed(form::Control box, bool enabled) override;
    void title_changed(const std::string& title) override;
    void record_changed() override;
    void reading_changed(form::Control box) override;

    void create_controls();
    void set_tab_order();
    void show_model();
    void connect_model();
    void centre();
    void fit_height();
    void create_record_actions();
    void create_menus();
    void show_guide();
    void paint_lines();
    bool client_context_menu(QContextMenuEvent* event);
    std::optional<form::CalibrationRecord> record() const;
    void copy_record();
    void save_record(RecordAction action);
    void print_record();
    void keep_record(const form::CalibrationRecord& record, const QString& issued);

    form::Form1 model_;
    QTimer timer_;

    // Every control with its id, in the layout table's order.
    std::vector<std::pair<form::Control, QWidget*>> controls_;
    QLineEdit* Txt_T90_ = nullptr;
    QLineEdit* Txt_E90_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    std::array<QLineEdit*, form::kT1Size> T1_{};
    std::array<QRadioButton*, form::kSensorCount> Op_S_{};
    QRadioButton* Op1_ = nullptr;
    QRadioButton* Op2_ = nullptr;
    QButtonGroup* sensors_ = nullptr;        // ids: the sensor index
    QButtonGroup* middle_points_ = nullptr;  // ids: the MiddlePoint
    QLabel* Label1_11_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLabel* Lab_wfds_ = nullptr;
    bool centred_ = false;
    QStyle* frame_style_ = nullptr;  // the frames' own, owned by the window
    QMenuBar* menu_bar_ = nullptr;
    QWidget* client_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<std::pair<form::Control, QWidget*>> outlines_;
    QMenu* tools_menu_ = nullptr;
    QDialog* guide_ = nullptr;  // 使用说明, made when first asked for
    ComparisonWindow* comparison_ = nullptr;
    form::UncertaintyForm budget_;
    BudgetWindow* budget_window_ = nullptr;
    ResistanceWindow* resistance_ = nullptr;
    BookWindow* book_window_ = nullptr;
    Correction correction_;
    CorrectionBanner* correction_banner_ = nullptr;

    std::array<QAction*, 4> record_actions_{};
    std::unique_ptr<ModalWindowPrompts> modal_prompts_;
    WindowPrompts* prompts_ = nullptr;
    // Typed for one record, offered again for the next one of the same run.
    form::Identification identification_;
};

// The 关于 box's text: the version and the standards the program implements.
QString about_text();

// The decimal separator of the user's locale, "." where there is none.
std::string locale_decimal_separator();

}  // namespace its90::ui
