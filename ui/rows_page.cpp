#include "ui/rows_page.h"

#include <QDateTime>
#include <QPainter>
#include <algorithm>

#include "ui/page.h"

namespace its90::ui {

void draw_rows(QPagedPaintDevice& device, const char* title, const std::vector<std::vector<std::string>>& rows) {
    std::string number, date;
    for (const auto& row : rows) {
        if (row.size() >= 2 && row[0] == "记录编号") number = row[1];
        if (row.size() >= 2 && row[0] == "日期时间") date = row[1];
    }
    draw_paged(device, continuation_header(number, date), [&](Page& page) {
    QPainter& painter = page.painter();
    const double w = page.width();
    double y = 0;
    page.font(14, true);
    page.text(0, y, w, 9, QString::fromUtf8(title), Qt::AlignHCenter | Qt::AlignVCenter);
    y += 13;
    std::size_t columns = 1;
    for (const auto& row : rows) columns = std::max(columns, row.size());
    const double column = w / static_cast<double>(columns);
    for (const auto& row : rows) {
        if (y + 5.5 > page.height()) {
            page.new_page();
            y = 0;
        }
        for (std::size_t c = 0; c < row.size(); ++c) {
            // A long cell alone on its row (a heading, a note) takes the whole line.
            const double width = row.size() == 1 || (c + 1 == row.size() && row[c].size() > 24)
                                     ? w - static_cast<double>(c) * column
                                     : column - 1;
            double points = 9;
            page.font(points);
            const QString text = QString::fromStdString(row[c]);
            while (points > 5 && QFontMetricsF(painter.font()).horizontalAdvance(text) > page.px(width)) {
                points -= 0.5;
                page.font(points);
            }
            page.text(static_cast<double>(c) * column, y, width, 5.5, text);
        }
        y += 5.5;
    }
    });
}

std::vector<std::vector<std::string>> with_identification(std::vector<std::vector<std::string>> rows,
                                                          const form::Identification& id) {
    const std::string now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    form::Rows head = form::identification_rows(now, id, "记录编号");
    head.emplace_back();
    rows.insert(rows.begin(), head.begin(), head.end());
    return rows;
}

}  // namespace its90::ui
