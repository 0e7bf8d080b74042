#include "ui/record_page.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <vector>

#include "calibration/type_s_calibration.h"
#include "text/number_text.h"
#include "ui/page.h"

namespace its90::ui {
namespace {

using form::CalibrationRecord;

QString q(const std::string& text) { return QString::fromStdString(text); }

QString shown(const std::string& text) { return q(text).trimmed(); }

// dE(t) in uV from 300 to 1100 degC, the three fixed points marked.
void plot(Page& page, const CalibrationRecord& r, double x, double y, double w, double h) {
    const calibration::Calibration& c = r.calibration;
    const auto deviation = [&](double t) { return 1000 * calibration::deviation_at(c, t); };
    using calibration::kTableHighest;
    using calibration::kTableLowest;
    // The band +-U around dE(t), when the record has an uncertainty.
    const auto expanded = [&](double t) {
        const std::optional<calibration::DeviationUncertainty> u = form::uncertainty_at(r, t);
        return u ? u->U_uV : 0.0;
    };
    double low = deviation(kTableLowest), high = low;
    for (int t = kTableLowest; t <= kTableHighest; t += 5) {
        low = std::min(low, deviation(t) - expanded(t));
        high = std::max(high, deviation(t) + expanded(t));
    }
    if (high - low < 2) {  // a flat curve gets a range of +-1 uV around it
        const double middle = (high + low) / 2;
        low = middle - 1;
        high = middle + 1;
    }
    const double margin = (high - low) * 0.1;
    low -= margin;
    high += margin;
    const double left = x + 16, bottom = y + h - 10, width = w - 20, height = h - 18;
    const auto px_of = [&](double t) {
        return left + (t - kTableLowest) / (kTableHighest - kTableLowest) * width;
    };
    const auto py_of = [&](double v) { return bottom - (v - low) / (high - low) * height; };

    page.font(9, true);
    page.text(x, y, w, 6, QStringLiteral("偏差函数 ΔE(t) / μV"), Qt::AlignHCenter | Qt::AlignVCenter);
    page.font(7);
    page.rect(left, bottom - height, width, height);
    for (int t : calibration::kTableTemperatures) {
        page.line(px_of(t), bottom, px_of(t), bottom + 1);
        page.text(px_of(t) - 6, bottom + 1, 12, 4, QString::number(t), Qt::AlignHCenter | Qt::AlignTop);
    }
    page.text(left, bottom + 5, width, 4, QStringLiteral("t / ℃"), Qt::AlignHCenter | Qt::AlignTop);
    for (int i = 0; i <= 4; ++i) {
        const double v = low + (high - low) * i / 4;
        page.line(left - 1, py_of(v), left, py_of(v));
        page.text(x, py_of(v) - 2, 14.5, 4, QString::number(v, 'f', 2), Qt::AlignRight | Qt::AlignVCenter);
    }
    QPainterPath curve;
    for (int t = kTableLowest; t <= kTableHighest; t += 2) {
        const QPointF p(page.px(px_of(t)), page.px(py_of(deviation(t))));
        if (t == kTableLowest) curve.moveTo(p); else curve.lineTo(p);
    }
    QPainter& painter = page.painter();
    painter.save();
    painter.setPen(QPen(Qt::black, page.px(0.35)));
    painter.drawPath(curve);
    if (r.uncertainty) {
        QPainterPath upper, lower;
        for (int t = kTableLowest; t <= kTableHighest; t += 2) {
            const QPointF hi(page.px(px_of(t)), page.px(py_of(deviation(t) + expanded(t))));
            const QPointF lo(page.px(px_of(t)), page.px(py_of(deviation(t) - expanded(t))));
            if (t == kTableLowest) {
                upper.moveTo(hi);
                lower.moveTo(lo);
            } else {
                upper.lineTo(hi);
                lower.lineTo(lo);
            }
        }
        painter.setPen(QPen(Qt::black, page.px(0.2), Qt::DashLine));
        painter.drawPath(upper);
        painter.drawPath(lower);
    }
    painter.restore();
    const auto names = form::fixed_point_names(c.middle);
    const float points[3] = {calibration::kZincPoint, calibration::middle_point_temperature(c.middle),
                             calibration::kCopperPoint};
    for (int i = 0; i < 3; ++i) {
        const double t = points[i], v = 1000 * c.deviations[i];
        painter.drawEllipse(QPointF(page.px(px_of(t)), page.px(py_of(v))), page.px(1.0), page.px(1.0));
        page.text(px_of(t) - 8, py_of(v) - 6, 16, 4, QString::fromUtf8(names[i].name), Qt::AlignHCenter | Qt::AlignBottom);
    }
}

void first_page(Page& page, const CalibrationRecord& r) {
    const calibration::Calibration& c = r.calibration;
    const auto names = form::fixed_point_names(c.middle);
    const double w = page.width();
    double y = 0;
    page.font(15, true);
    page.text(0, y, w, 10, q(form::record_texts::kTitle), Qt::AlignHCenter | Qt::AlignVCenter);
    y += 14;
    page.font(10);
    const auto field = [&](double x, const QString& label, const QString& value) {
        page.text(x, y, 24, 6, label);
        page.text(x + 24, y, 64, 6, value);
    };
    field(0, QStringLiteral("日期时间："), q(r.date_time));
    field(w / 2, QStringLiteral("编号："), q(r.identification.number));
    y += 7;
    field(0, QStringLiteral("检定员："), q(r.identification.operator_name));
    field(w / 2, QStringLiteral("参考端温度："), QStringLiteral("0 ℃"));
    y += 7;
    field(0, QStringLiteral("中间点："), QString::fromUtf8(names[1].name) + " " + q(names[1].temperature) + " ℃");
    y += 7;
    if (!r.identification.notes.empty()) {
        page.text(0, y, 24, 6, QStringLiteral("备注："));
        page.text(24, y, w - 24, 12, q(r.identification.notes), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        y += 13;
    }
    if (!r.identification.corrects.empty()) {
        field(0, QStringLiteral("更正："), q(r.identification.corrects));
        y += 7;
        field(0, QStringLiteral("修改原因："), q(r.identification.reason));
        y += 7;
    }
    y += 3;

    y = page.table(0, y, {30, 30, 45, w - 105}, cells(form::fixed_point_rows(r)), 6.5) + 4;
    page.font(10);
    page.text(0, y, w, 6, QStringLiteral("偏差函数 ΔE(t) = A + B·t + C·t²："));
    y += 6;
    page.text(6, y, w - 6, 6, q(form::coefficients_text(c)));
    y += 10;

    // The graduation table on the left, the plot of dE(t) on the right.
    const double table_top = y;
    const std::vector<double> widths = r.uncertainty ? std::vector<double>{17, 25, 14, 14}
                                                     : std::vector<double>{25, 40};
    double table_bottom = page.table(0, y, widths, cells(form::graduation_rows(r)), 6.5);
    if (r.any_temperature) {
        page.font(10);
        page.text(0, table_bottom + 2, 70, 6,
                  QStringLiteral("任一温度 %1 ℃：%2 mV")
                      .arg(shown(r.any_temperature->first), shown(r.any_temperature->second)));
        table_bottom += 8;
        if (const auto u = form::uncertainty_at(r, text::Text_to_num(r.any_temperature->first))) {
            // Below -49.5 degC there is no differential value to give U in degC.
            page.text(0, table_bottom - 2, 70, 6,
                      u->U_C ? QStringLiteral("U = %1 μV（%2 ℃），k = %3")
                                   .arg(q(text::stated(u->U_uV, 2)), q(text::stated(*u->U_C, 2)),
                                        QString::number(r.uncertainty->k))
                             : QStringLiteral("U = %1 μV，k = %2").arg(q(text::stated(u->U_uV, 2)), QString::number(r.uncertainty->k)));
            table_bottom += 6;
        }
    }
    plot(page, r, 72, table_top, w - 72, 75);
    if (r.uncertainty) {
        page.font(7);
        page.text(72, table_top + 75, w - 72, 4, QStringLiteral("虚线：ΔE(t) ± U"), Qt::AlignHCenter | Qt::AlignTop);
    }
    y = std::max(table_bottom, table_top + 75) + 6;

    page.font(11, true);
    page.text(0, y, w, 7, QStringLiteral("验收（参考端 0 ℃）"));
    y += 8;
    y = page.table(0, y, {22, 30, 32, 24, 32, w - 140}, cells(form::check_rows(r)), 6.5) + 3;
    page.font(11, true);
    page.text(0, y, w, 7, QStringLiteral("总结论：") + q(form::verdict(r.check.pass)));
    y += 8;
    page.font(8);
    page.text(0, y, w, 5, QStringLiteral("依据：") + q(form::record_texts::kRegulation));
}

// The thermocouple's own EMF every degree, laid out like the published tables.
void one_degree_pages(Page& page, const CalibrationRecord& r) {
    const double w = page.width();
    const double row_height = 5.2;
    using calibration::kTableHighest;
    int row_start = calibration::kTableLowest;
    while (row_start <= kTableHighest) {
        page.new_page();
        double y = 0;
        page.font(12, true);
        page.text(0, y, w, 8, QStringLiteral("1 ℃ 分度表 E(t) = E分(t) + ΔE(t)，mV，参考端 0 ℃"),
                  Qt::AlignHCenter | Qt::AlignVCenter);
        y += 11;
        std::vector<std::vector<QString>> rows = {{QStringLiteral("℃")}};
        for (int c = 0; c <= 9; ++c) rows[0].push_back(QString::number(c));
        const int rows_per_page = static_cast<int>((page.height() - 20) / row_height) - 1;
        for (int n = 0; n < rows_per_page && row_start <= kTableHighest; ++n, row_start += 10) {
            std::vector<QString> row = {QString::number(row_start)};
            for (int c = 0; c <= 9 && row_start + c <= kTableHighest; ++c) {
                row.push_back(q(form::one_degree_text(r.calibration, row_start + c)));
            }
            rows.push_back(row);
        }
        page.table(0, y, equal_widths(w, 11, 18), rows, row_height);
    }
}

}  // namespace

void draw_record(QPagedPaintDevice& device, const form::CalibrationRecord& record) {
    draw_paged(device, continuation_header(record.identification.number, record.date_time), [&](Page& page) {
    first_page(page, record);
    if (record.uncertainty) {
        // The budget on a page of its own.
        page.new_page();
        const double w = page.width();
        page.font(12, true);
        page.text(0, 0, w, 8, QStringLiteral("不确定度评定"), Qt::AlignHCenter | Qt::AlignVCenter);
        page.font(9);
        page.text(0, 10, w, 12,
                  QStringLiteral("u(ΔE(t))² = Σ (Lᵢ(t)·uᵢ)² + u₀²，Lᵢ(t) 为偏差函数中各定点的权；U = k·u，k = %1；"
                                 "U/℃ = U/S(t)，S(t) 为 S 型在 t 的微分电势。")
                      .arg(QString::number(record.uncertainty->k)),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        const double below = page.table(0, 24, {17, 44, 14, 10, 13, 8, 12, 22, 18, w - 158}, cells(record.budget), 6);
        page.font(10.5, true);
        page.text(0, below + 5, w, 6, QStringLiteral("分度表各温度的合成标准不确定度与扩展不确定度"));
        page.table(0, below + 12, equal_widths(std::min(w, 150.0), 6, 20), cells(form::expanded_uncertainty_rows(record)), 6);
    }
    if (record.identification.one_degree_table) one_degree_pages(page, record);
    });
}

// Writes `bytes` to `path` through a temporary file that replaces the file only when every
// byte has reached the disk; on any failure the temporary file goes and an earlier file at
// `path` stays as it was.
bool save_bytes(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error = file.errorString();
        if (error.isEmpty() || error == QStringLiteral("Unknown error")) error = QStringLiteral("磁盘已满或无法写入");
        file.cancelWriting();
        file.commit();  // discards the temporary file
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool save_text(const QString& path, const std::string& text, QString& error) {
    return save_bytes(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())), error);
}

bool save_document(const QString& path, const char* title,
                   const std::function<void(QPagedPaintDevice&)>& draw, QString& error) {
    // The whole document first, in memory: the file is written only once it is complete.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(300);
        pdf.setTitle(QString::fromUtf8(title));
        pdf.setCreator(QStringLiteral("its90-calculator"));
        draw(pdf);
    }
    return save_bytes(path, bytes, error);
}

bool save_csv(const QString& path, const form::CalibrationRecord& record, QString& error) {
    return save_text(path, form::to_csv(record), error);
}

bool save_pdf(const QString& path, const form::CalibrationRecord& record, QString& error) {
    return save_document(path, form::record_texts::kTitle,
                         [&](QPagedPaintDevice& device) { draw_record(device, record); }, error);
}

}  // namespace its90::ui
