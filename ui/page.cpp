#include "ui/page.h"

#include <QBuffer>
#include <QPdfWriter>

namespace its90::ui {

void Page::new_page() {
    head_and_foot();
    device_.newPage();
    ++number_;
}

void Page::head_and_foot() {
    if (total_ == 0) return;  // counting
    const QFont kept = painter_.font();
    font(8);
    if (number_ > 1 && !header_.isEmpty()) {
        text(0, -9, width_mm_, 5, header_ + QStringLiteral("（续）"), Qt::AlignLeft | Qt::AlignVCenter);
        line(0, -3.5, width_mm_, -3.5);
    }
    text(0, height_mm_ + 4, width_mm_, 5, QStringLiteral("第 %1 页 共 %2 页").arg(number_).arg(total_),
         Qt::AlignHCenter | Qt::AlignVCenter);
    painter_.setFont(kept);
}

void draw_paged(QPagedPaintDevice& device, const QString& header, const std::function<void(Page&)>& draw) {
    int total = 0;
    {
        QBuffer nowhere;
        nowhere.open(QIODevice::WriteOnly);
        QPdfWriter counting(&nowhere);
        counting.setResolution(device.logicalDpiX());
        lay_out_a4(counting);
        QPainter painter(&counting);
        Page page(counting, painter);
        draw(page);
        total = page.number_;
    }
    lay_out_a4(device);
    QPainter painter(&device);
    Page page(device, painter);
    page.header_ = header;
    page.total_ = total;
    draw(page);
    page.head_and_foot();
}

std::vector<double> equal_widths(double total, std::size_t n, double first) {
    std::vector<double> widths = {first};
    for (std::size_t i = 1; i < n; ++i) widths.push_back((total - first) / static_cast<double>(n - 1));
    return widths;
}

std::vector<std::vector<QString>> cells(const form::Rows& rows) {
    std::vector<std::vector<QString>> result;
    for (const std::vector<std::string>& row : rows) {
        std::vector<QString>& cells = result.emplace_back();
        for (const std::string& cell : row) cells.push_back(QString::fromStdString(cell));
    }
    return result;
}

}  // namespace its90::ui
