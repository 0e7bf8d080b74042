#include "ui/comparison_page.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/sensors.h"
#include "form/comparison_record.h"
#include "text/number_text.h"
#include "ui/page.h"
#include "ui/record_page.h"

namespace its90::ui {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// The line colours and marks of up to six working thermocouples.
const QColor kColours[] = {QColor(0x1f, 0x4e, 0x9c), QColor(0xb0, 0x30, 0x20), QColor(0x20, 0x80, 0x40),
                           QColor(0x80, 0x40, 0x90), QColor(0xa0, 0x70, 0x10), QColor(0x30, 0x30, 0x30)};

// dt against t for each working thermocouple, with the band of its required class.
void plot(Page& page, const form::ComparisonForm& f, double x, double y, double w, double h) {
    std::vector<double> points;
    double most = 0.5;
    for (int p = 0; p < f.point_count(); ++p) {
        for (int i = 0; i < f.working_count(); ++i) {
            const form::PointResult& r = f.result(i, p);
            if (!r.result) continue;
            points.push_back(*f.temperature(p));
            most = std::max({most, std::fabs(r.result->delta_t), r.allowance});
        }
    }
    page.font(9, true);
    page.text(x, y, w, 6, QStringLiteral("Δt / ℃ 与允差带"), Qt::AlignHCenter | Qt::AlignVCenter);
    if (points.empty()) return;
    double low_t = *std::min_element(points.begin(), points.end());
    double high_t = *std::max_element(points.begin(), points.end());
    if (high_t - low_t < 100) {
        low_t -= 50;
        high_t += 50;
    }
    const double span = high_t - low_t;
    low_t -= span * 0.08;
    high_t += span * 0.08;
    const double range = most * 1.15;
    const double left = x + 14, bottom = y + h - 10, width = w - 18, height = h - 18;
    const auto px = [&](double t) { return left + (t - low_t) / (high_t - low_t) * width; };
    const auto py = [&](double v) { return bottom - (v + range) / (2 * range) * height; };

    page.font(7);
    page.rect(left, bottom - height, width, height);
    page.line(left, py(0), left + width, py(0));
    for (int i = 0; i <= 4; ++i) {
        const double v = -range + 2 * range * i / 4;
        page.text(x, py(v) - 2, 13, 4, QString::number(v, 'f', 2), Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int p = 0; p < f.point_count(); ++p) {
        if (!f.temperature(p)) continue;
        const double tv = *f.temperature(p);
        page.line(px(tv), bottom, px(tv), bottom + 1);
        page.text(px(tv) - 8, bottom + 1, 16, 4, q(text::general(tv)), Qt::AlignHCenter | Qt::AlignTop);
    }
    page.text(left, bottom + 5, width, 4, QStringLiteral("t / ℃　　（实线：Δt；虚线：要求等级的允差）"),
              Qt::AlignHCenter | Qt::AlignTop);

    QPainter& painter = page.painter();
    for (int i = 0; i < f.working_count(); ++i) {
        const QColor colour = kColours[i % 6];
        QPainterPath curve, upper, lower;
        bool first = true;
        for (int p = 0; p < f.point_count(); ++p) {
            const form::PointResult& r = f.result(i, p);
            if (!r.result) continue;
            const double t = *f.temperature(p);
            const QPointF at(page.px(px(t)), page.px(py(r.result->delta_t)));
            const QPointF hi(page.px(px(t)), page.px(py(r.allowance)));
            const QPointF lo(page.px(px(t)), page.px(py(-r.allowance)));
            if (first) {
                curve.moveTo(at);
                upper.moveTo(hi);
                lower.moveTo(lo);
            } else {
                curve.lineTo(at);
                upper.lineTo(hi);
                lower.lineTo(lo);
            }
            first = false;
            painter.save();
            painter.setPen(QPen(colour, page.px(0.3)));
            painter.drawEllipse(at, page.px(0.8), page.px(0.8));
            painter.restore();
        }
        painter.save();
        painter.setPen(QPen(colour, page.px(0.35)));
        painter.drawPath(curve);
        painter.setPen(QPen(colour, page.px(0.2), Qt::DashLine));
        painter.drawPath(upper);
        painter.drawPath(lower);
        painter.restore();
        // The legend: the number and the required class.
        const form::WorkingThermocouple& w = f.working(i);
        painter.save();
        painter.setPen(colour);
        const QString legend = q((w.number.empty() ? std::to_string(i + 1) + "#" : w.number) + "  " +
                                 std::string(1, letter(w.type)) + " 型 " + std::to_string(w.required_class) + " 级");
        // A long number wraps onto a second line rather than shrink to nothing or lose its start.
        page.font(7);
        const bool two_lines = QFontMetricsF(painter.font()).horizontalAdvance(legend) > page.px(width / 3 - 2);
        page.text(left + 2 + (i % 3) * (width / 3), bottom - height + 1 + (i / 3) * 7, width / 3 - 2,
                  two_lines ? 7 : 4, legend, Qt::AlignLeft | Qt::AlignTop | page.wrapping(legend, width / 3 - 2));
        painter.restore();
    }
}

}  // namespace

void draw_comparison(QPagedPaintDevice& device, const form::ComparisonRecord& record) {
    draw_paged(device, continuation_header(record.identification.number, record.date_time), [&](Page& page) {
    QPainter& painter = page.painter();
    const form::ComparisonForm& f = record.form;
    const double w = page.width();
    double y = 0;
    page.font(15, true);
    page.text(0, y, w, 10, q(form::comparison_texts::kTitle), Qt::AlignHCenter | Qt::AlignVCenter);
    y += 13;
    page.font(9.5);
    const auto field = [&](double x, const QString& label, const QString& value, double width = 60) {
        page.text(x, y, 26, 5.5, label);
        page.text(x + 26, y, width, 5.5, value);
    };
    field(0, QStringLiteral("日期时间："), q(record.date_time));
    field(w / 2, QStringLiteral("记录编号："), q(record.identification.number));
    y += 6;
    field(0, QStringLiteral("检定员："), q(record.identification.operator_name));
    field(w / 2, QStringLiteral("参考端温度："), QStringLiteral("0 ℃"));
    y += 6;
    field(0, QStringLiteral("标准热电偶："), q(f.standard_number));
    field(w / 2, QStringLiteral("证书编号："), q(f.certificate_number));
    y += 6;
    {
        // Where the standard's EMFs came from runs long (a kept calibration, its coefficients):
        // on a second line rather than beyond the page.
        QString source = q(form::standard_source(f));
        const QFontMetricsF metrics(painter.font());
        const bool wraps = metrics.horizontalAdvance(source) > page.px(w - 26);
        if (wraps) source.replace(QStringLiteral("，A = "), QStringLiteral("，\nA = "));  // the coefficients together
        page.text(0, y, 26, 5.5, QStringLiteral("标准电势："));
        const double line = metrics.height() / page.px(1);
        page.text(26, y + (5.5 - line) / 2, w - 26, wraps ? 2 * line + 1 : line, source,
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        y += wraps ? 6 + line : 6;
    }
    if (!record.identification.notes.empty()) {
        page.text(0, y, 26, 5.5, QStringLiteral("备注："));
        page.text(26, y, w - 26, 10, q(record.identification.notes), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        y += 11;
    }
    if (!record.identification.corrects.empty()) {
        field(0, QStringLiteral("更正："), q(record.identification.corrects), w - 26);
        y += 6;
        field(0, QStringLiteral("修改原因："), q(record.identification.reason), w - 26);
        y += 6;
    }
    if (f.run_source) {
        // Readings from a meter: which one, and every reading typed over since.
        const QFontMetricsF metrics(painter.font());
        for (const std::vector<std::string>& row : form::run_source_rows(f)) {
            const QString value = q(row[1]);
            const double height =
                metrics.boundingRect(QRectF(0, 0, page.px(w - 26), 1e6), Qt::TextWordWrap, value).height() / page.px(1);
            page.text(0, y, 26, 5.5, q(row[0]) + QStringLiteral("："));
            page.text(26, y + (5.5 - metrics.height() / page.px(1)) / 2, w - 26, height + 1, value,
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
            y += std::max(6.0, height + 1.5);
        }
    }
    y += 2;
    y = page.table(0, y, {18, 50, 30, 30}, cells(form::working_rows(f)), 5.5) + 4;

    page.font(10.5, true);
    page.text(0, y, w, 6, QStringLiteral("结果"));
    y += 7;
    const form::Rows results = form::result_rows(f);
    const std::vector<double> widths =
        f.uncertainties() ? std::vector<double>{20, 15, 16, 11, 16, 16, 11, 15, 12, 13, 13, w - 158}
                          : std::vector<double>{22, 16, 17, 12, 17, 17, 12, 15, 13, 14, w - 155};
    y = page.table(0, y, widths, cells(results), 5.2) + 4;

    page.font(10.5, true);
    page.text(0, y, w, 6, QStringLiteral("总结论"));
    y += 7;
    const double verdict_bottom = page.table(0, y, {24, 16, 18, 20}, cells(form::verdict_rows(f)), 5.5);
    plot(page, f, 84, y - 7, w - 84, std::max(62.0, verdict_bottom - y + 20));
    y = std::max(verdict_bottom, y + 60) + 5;

    page.font(7.5);
    page.text(0, y, w, 14, q(std::string("说明：") + form::comparison_texts::kSources),
              Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    y += 13;
    page.text(0, y, w, 5, q(std::string("依据：") + form::comparison_texts::kRegulation));
    if (f.uncertainties()) {
        y += 6;
        page.text(0, y, w, 10,
                  QStringLiteral("不确定度：u(Δt)² = (u_A被² + u仪²)/S被² + (u_A标² + u仪² + u证²)/S标² + "
                                 "u炉²（u证：标准证书，u仪：电测仪器，u炉：炉温差），U = k·u，k = %1；结论按 ILAC G8：|Δt| + U ≤ 允差为合格，"
                                 "|Δt| − U > 允差为不合格，其余为不能判定。")
                      .arg(QString::number(f.uncertainties()->k)),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        y += 10;
        if (!record.budget.empty()) y = page.table(0, y, {17, 44, 14, 10, 13, 8, 12, 22, 18, w - 158}, cells(record.budget), 5.2);
    }

    // The readings, point by point, below the results while they fit, then on the next pages.
    // The heading goes with the first point's table, never alone at the foot of a page.
    const auto needed_for = [&](int p) {
        return 8 + 5.2 * static_cast<double>(form::reading_rows(f, p).size() + 1) + 6;  // a heading may wrap
    };
    y += 9;
    if (f.point_count() > 0 && y + 7 + needed_for(0) > page.height()) {
        page.new_page();
        y = 0;
    }
    page.font(10.5, true);
    page.text(0, y, w, 6, QStringLiteral("读数（mV）"));
    double ry = y + 7;
    for (int p = 0; p < f.point_count(); ++p) {
        const form::Rows readings = form::reading_rows(f, p);
        if (ry + needed_for(p) > page.height()) {
            page.new_page();
            ry = 0;
            page.font(10.5, true);
            page.text(0, ry, w, 6, QStringLiteral("读数（mV，续）"));
            ry += 8;
        }
        page.font(10, true);
        const std::optional<double> e = f.standard_emf(p);
        page.text(0, ry, w, 6,
                  QStringLiteral("检定点 %1 ℃    e标证 = %2 mV")
                      .arg(q(f.point(p).temperature.text), e ? QString::number(*e, 'f', 5) : QStringLiteral("—")));
        ry += 7;
        ry = page.table(0, ry, equal_widths(std::min(w, 16.0 + 26.0 * (readings.front().size() - 1)),
                                            readings.front().size(), 16),
                        cells(readings), 5.2) + 6;
    }
    });
}

bool save_comparison_csv(const QString& path, const form::ComparisonRecord& record, QString& error) {
    return save_text(path, form::csv_of(form::comparison_rows(record)), error);
}

bool save_comparison_pdf(const QString& path, const form::ComparisonRecord& record, QString& error) {
    return save_document(path, form::comparison_texts::kTitle,
                         [&](QPagedPaintDevice& device) { draw_comparison(device, record); }, error);
}

}  // namespace its90::ui
