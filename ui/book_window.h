// 记录簿: the laboratory's kept records. One page lists them, searched by number, type,
// operator, date and kind as the technician types, shows the one selected as it was issued,
// re-issues it (CSV byte for byte; PDF and print recomputed from its inputs) and loads its
// inputs back into its window, to work on or to correct. The other page shows a standard's
// history: its fixed-point deviations and its EMF at each hundred degrees across its
// calibrations, as a table and a plot in microvolts against date, with the JJG 75-1995 limits.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <optional>
#include <vector>

#include "book/book.h"
#include "book/fixed_points.h"
#include "ui/window_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class QTimer;
class QTextBrowser;

namespace its90::ui {

class MainWindow;
class RecordList;

// Values against dates (in microvolts unless told otherwise), with horizontal limit lines: a
// standard's drift.
class DriftPlot final : public QWidget {
    Q_OBJECT
public:
    struct Series {
        QString name;
        QColor colour;
        std::vector<double> values;  // one per date; NaN: none
    };
    struct Limit {
        QString name;
        double value;  // drawn at +value and -value
        QColor colour;
    };
    explicit DriftPlot(QWidget* parent = nullptr);
    void set(QString title, std::vector<QString> dates, std::vector<Series> series, std::vector<Limit> limits,
             QString unit = QStringLiteral("μV"));
    const std::vector<Series>& series() const { return series_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_, unit_ = QStringLiteral("μV");
    std::vector<QString> dates_;
    std::vector<Series> series_;
    std::vector<Limit> limits_;
};

class BookWindow final : public QWidget {
    Q_OBJECT
public:
    BookWindow(WindowPrompts& prompts, MainWindow& calculator, QWidget* parent = nullptr);
    void set_prompts(WindowPrompts& prompts) { prompts_ = &prompts; }

    // The list again, for what the search fields hold; the selection kept where it can be.
    void search();
    // The record selected in the list, as kept.
    std::optional<book::Record> selected() const;
    void select(std::int64_t id);

    enum class Reissue { Csv, Pdf, Print };
    void reissue(Reissue how);
    // 证书: the selected record's certificate as PDF or on paper, or its DCC.
    enum class Issue { Pdf, Print, Dcc };
    void issue_certificate(Issue how);
    // The selected record's inputs into its window; with `correcting`, the next record kept
    // there of the same number replaces it.
    void load_selected(bool correcting);
    // A standard's history, on its page.
    void show_history(const QString& number);
    // A step of the selected record's sign-off, by one of the laboratory's people chosen in
    // a list (those with the step's role, never its operator).
    void sign_off_selected(book::SignOff::Step step);
    // 人员…: a person of the laboratory and their roles, into the book.
    void add_person();
    // 原始读数…: a record's readings taken from a meter, every one as it arrived, as CSV.
    void save_raw_readings();

    // ---- Its controls, for tests and the screenshot ----
    QTabWidget* pages() const { return pages_; }
    QLineEdit* number_filter() const { return number_; }
    QLineEdit* type_filter() const { return type_; }
    QLineEdit* operator_filter() const { return operator_; }
    QLineEdit* date_from() const { return from_; }
    QLineEdit* date_to() const { return to_; }
    QComboBox* kind_filter() const { return kind_; }
    QTableView* list() const { return list_; }
    // Whether an edit's search is still waiting for typing to pause.
    bool search_pending() const;
    QPushButton* check_button() const { return check_; }
    QPushButton* approve_button() const { return approve_; }
    QPushButton* refuse_button() const { return refuse_; }
    QPushButton* people_button() const { return people_; }
    QPushButton* raw_readings_button() const { return raw_; }
    QPushButton* certificate_button() const { return certificate_; }
    QLabel* details() const { return details_; }
    QTextBrowser* document() const { return document_; }
    QLabel* status() const { return status_; }
    QLineEdit* history_number() const { return history_number_; }
    QComboBox* plot_choice() const { return plot_choice_; }
    QTableWidget* history_table() const { return history_table_; }
    DriftPlot* plot() const { return plot_; }
    QLabel* history_status() const { return history_status_; }
    QLineEdit* tpw_number() const { return tpw_number_; }
    QTableWidget* tpw_table() const { return tpw_table_; }
    DriftPlot* tpw_plot() const { return tpw_plot_; }
    QLabel* tpw_status() const { return tpw_status_; }

protected:
    // Records kept by the other windows meanwhile show when the book comes to the front.
    void changeEvent(QEvent* event) override;

private:
    QWidget* create_records();
    QWidget* create_history();
    QWidget* create_tpw_history();
    void show_tpw_history(const QString& number);
    void show_selected();
    void show_plot();

    WindowPrompts* prompts_;
    MainWindow& calculator_;
    std::vector<book::Record> found_;             // identifications, as listed
    mutable std::optional<book::Record> selected_;  // the one selected, whole
    std::vector<book::Calibrated> history_;

    QTabWidget* pages_ = nullptr;
    QLineEdit* number_ = nullptr;
    QLineEdit* type_ = nullptr;
    QLineEdit* operator_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QComboBox* kind_ = nullptr;
    QTableView* list_ = nullptr;
    RecordList* listed_ = nullptr;  // found_, its cells made as they are shown
    QTimer* pending_search_ = nullptr;   // a search once typing pauses
    QElapsedTimer since_search_;
    QTextBrowser* document_ = nullptr;
    QLabel* details_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* approve_ = nullptr;
    QPushButton* refuse_ = nullptr;
    QPushButton* people_ = nullptr;
    QPushButton* raw_ = nullptr;
    QPushButton* certificate_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<QPushButton*> record_buttons_;
    QLineEdit* history_number_ = nullptr;
    QComboBox* plot_choice_ = nullptr;
    QTableWidget* history_table_ = nullptr;
    DriftPlot* plot_ = nullptr;
    QLabel* history_status_ = nullptr;
    QLineEdit* tpw_number_ = nullptr;
    QTableWidget* tpw_table_ = nullptr;
    DriftPlot* tpw_plot_ = nullptr;
    QLabel* tpw_status_ = nullptr;
};

}  // namespace its90::ui
