#include "ui/page.h"

namespace its90::ui {

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
