// A page of a record in millimetres: text in the window's face, ruled tables, lines; shared by
// every record the program prints or saves as PDF.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "form/calibration_record.h"

namespace its90::ui {

// Lays the page out in millimetres and writes in 宋体 (which the window's fonts map).
class Page {
public:
    Page(QPagedPaintDevice& device, QPainter& painter) : device_(device), painter_(painter) {
        const QRectF paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
        width_mm_ = paint.width() / px(1.0);
        height_mm_ = paint.height() / px(1.0);
    }

    double px(double mm) const { return mm * device_.logicalDpiX() / 25.4; }
    double width() const { return width_mm_; }
    double height() const { return height_mm_; }

    void font(double points, bool bold = false) {
        QFont f(QStringLiteral("宋体"));
        f.setPointSizeF(points);
        f.setBold(bold);
        painter_.setFont(f);
    }
    // The face at `points`, or smaller (to 4.5 pt) until `s` fits in `room` millimetres: a text
    // is set smaller, never clipped.
    void fitting_font(const QString& s, double room, double points, bool bold = false) {
        font(points, bold);
        while (points > 4.5 && QFontMetricsF(painter_.font()).horizontalAdvance(s) > px(room)) {
            points -= 0.5;
            font(points, bold);
        }
    }
    // Text in a box of the page, in millimetres.
    void text(double x, double y, double w, double h, const QString& s,
              int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        painter_.drawText(QRectF(px(x), px(y), px(w), px(h)), flags, s);
    }
    void line(double x1, double y1, double x2, double y2) {
        painter_.drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
    }
    void rect(double x, double y, double w, double h) {
        painter_.drawRect(QRectF(px(x), px(y), px(w), px(h)));
    }
    // A ruled table: a row of headings (unless `headings` is false), then the rows; returns the y
    // below it. A cell too long
    // for its column wraps onto further lines, its row growing with it: nothing is cut, and a
    // long number keeps its start.
    double table(double x, double y, const std::vector<double>& widths,
                 const std::vector<std::vector<QString>>& rows, double row_height, bool headings = true) {
        double total = 0;
        for (double w : widths) total += w;
        const double top = y;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            font(9, headings && r == 0);
            const QFontMetricsF metrics(painter_.font());
            double height = row_height;
            std::vector<int> flags;
            for (std::size_t c = 0; c < widths.size() && c < rows[r].size(); ++c) {
                flags.push_back(Qt::AlignHCenter | Qt::AlignVCenter | wrapping(rows[r][c], widths[c] - 2));
                const QRectF needed = metrics.boundingRect(QRectF(0, 0, px(widths[c] - 2), px(1000)), flags.back(), rows[r][c]);
                height = std::max(height, needed.height() / px(1.0) + 1.2);
            }
            double cx = x;
            for (std::size_t c = 0; c < flags.size(); ++c) {
                text(cx + 1, y, widths[c] - 2, height, rows[r][c], flags[c]);
                cx += widths[c];
            }
            line(x, y, x + total, y);
            y += height;
        }
        line(x, y, x + total, y);
        double cx = x;
        for (double w : widths) {
            line(cx, top, cx, y);
            cx += w;
        }
        line(cx, top, cx, y);
        return y;
    }
    QPainter& painter() { return painter_; }
    // How `s` wraps in `room` millimetres in the current face: at its spaces where every word
    // fits, else anywhere (a long number breaks rather than overflows).
    int wrapping(const QString& s, double room) const {
        const QFontMetricsF metrics(painter_.font());
        const QRectF by_words = metrics.boundingRect(QRectF(0, 0, px(room), px(1000)), Qt::TextWordWrap, s);
        return by_words.width() <= px(room) + 0.5 ? Qt::TextWordWrap : Qt::TextWrapAnywhere;
    }

    // Pages of a record drawn by draw_paged(): the next page, its head and the last one's foot.
    void new_page();
    int page_number() const { return number_; }

private:
    friend void draw_paged(QPagedPaintDevice&, const QString&, const std::function<void(Page&)>&);
    void head_and_foot();

    QPagedPaintDevice& device_;
    QPainter& painter_;
    double width_mm_ = 0;
    double height_mm_ = 0;
    QString header_;  // the record's number and date, at the head of every page after the first
    int number_ = 1;
    int total_ = 0;  // 0 while the pages are counted
};

// Draws a record's pages with `draw` (which turns a page with Page::new_page()) on `device`, laid
// out on A4: once to count them, then for real, each page with "第 x 页 共 y 页" at its foot
// and, from the second on, `header` (the record's number and date, "（续）") at its head, both in
// the margins.
void draw_paged(QPagedPaintDevice& device, const QString& header, const std::function<void(Page&)>& draw);

// Every record's paper: A4 upright, 15 mm margins. Set before a painter begins on `device`.
inline void lay_out_a4(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
}

// The head of a record's continuation pages: its number and date.
inline QString continuation_header(const std::string& number, const std::string& date) {
    return QStringLiteral("记录编号 %1　日期时间 %2").arg(QString::fromStdString(number).isEmpty() ? QStringLiteral("—") : QString::fromStdString(number), QString::fromStdString(date));
}

// A table's column widths: the first as given, the other n - 1 sharing the rest of `total`.
std::vector<double> equal_widths(double total, std::size_t n, double first);

// Rows of a record's texts as the page's cells.
std::vector<std::vector<QString>> cells(const form::Rows& rows);

}  // namespace its90::ui
