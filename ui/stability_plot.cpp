#include "ui/stability_plot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace its90::ui {

StabilityPlot::StabilityPlot(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(180);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void StabilityPlot::clear() {
    readings_.clear();
    update();
}

void StabilityPlot::add(Reading reading) {
    readings_.push_back(reading);
    update();
}

void StabilityPlot::set_limits(int count, double sd_uV) {
    count_ = std::max(count, 2);
    sd_uV_ = sd_uV;
    update();
}

double nice_step(double span, int parts) {
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw) return m * power;
    }
    return 10 * power;
}

void StabilityPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    // Chinese glyphs come from a fallback face taller than the font's own metrics say.
    const int line = static_cast<int>(std::ceil(metrics.height() * 1.4));
    const QRect area = rect().adjusted(metrics.horizontalAdvance(QStringLiteral("-000.0")) + 14, 10, -12,
                                       -(line * 2 + 6));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(area);
    if (readings_.empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("开始采集后，这里显示标准热电偶的读数与稳定带"));
        return;
    }
    // About the mean of the last readings the limits look at.
    const std::size_t n = std::min(readings_.size(), static_cast<std::size_t>(count_));
    double mean = 0;
    for (std::size_t i = readings_.size() - n; i < readings_.size(); ++i) mean += readings_[i].emf_mV;
    mean /= static_cast<double>(n);
    const auto uV = [&](const Reading& r) { return (r.emf_mV - mean) * 1000; };
    // The plot shows the last few minutes' worth of readings at a scale where the band is seen.
    const std::size_t first = readings_.size() > 400 ? readings_.size() - 400 : 0;
    // The scale takes in the band and the readings the limits look at; older ones, taken far
    // from the point, run off it (clipped, never drawn at its edge as if they were there).
    double low = -2 * sd_uV_, high = 2 * sd_uV_;
    double t0 = readings_[first].minutes, t1 = readings_.back().minutes;
    for (std::size_t i = readings_.size() - n; i < readings_.size(); ++i) {
        low = std::min(low, uV(readings_[i]));
        high = std::max(high, uV(readings_[i]));
    }
    const double margin = (high - low) * 0.05;
    low -= margin;
    high += margin;
    if (t1 - t0 < 1e-6) t1 = t0 + 1.0 / 60;
    const auto x = [&](double m) { return area.left() + (m - t0) / (t1 - t0) * area.width(); };
    const auto y = [&](double v) { return area.bottom() - (v - low) / (high - low) * area.height(); };
    // The band over the readings the limits look at.
    const double band_start = readings_[readings_.size() - n].minutes;
    painter.fillRect(QRectF(QPointF(x(std::max(band_start, t0)), y(sd_uV_)), QPointF(x(t1), y(-sd_uV_))),
                     QColor(0x4c, 0xaf, 0x50, 60));
    // Grid and scale.
    painter.setPen(palette().color(QPalette::Text));
    const double step = nice_step(high - low, 4);
    for (double v = std::ceil(low / step) * step; v <= high + 1e-12; v += step) {
        painter.setPen(QColor(0xdd, 0xdd, 0xdd));
        painter.drawLine(QPointF(area.left(), y(v)), QPointF(area.right(), y(v)));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRectF(0, y(v) - metrics.height() / 2.0, area.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(text::fixed(std::fabs(v) < 1e-9 ? 0 : v, step < 1 ? 1 : 0)));
    }
    const double tstep = nice_step(t1 - t0, 5);
    for (double m = std::ceil(t0 / tstep) * tstep; m <= t1 + 1e-12; m += tstep) {
        painter.drawText(QRectF(x(m) - 40, area.bottom() + 2, 80, line), Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(text::fixed(m, tstep < 1 ? (tstep < 0.1 ? 2 : 1) : 0)));
    }
    painter.drawText(QRectF(area.left(), area.bottom() + line + 2, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("纵轴：标准热电偶读数与 %1 mV 之差，μV；横轴：本点用时，min；绿带：均值 ± %2 μV")
                         .arg(QString::fromStdString(text::fixed(mean, 5)), QString::fromStdString(text::general(sd_uV_))));
    // The readings.
    painter.setClipRect(area.adjusted(-3, -3, 3, 3));
    QPainterPath path;
    for (std::size_t i = first; i < readings_.size(); ++i) {
        const QPointF at(x(readings_[i].minutes), y(uV(readings_[i])));
        if (i == first) path.moveTo(at);
        else path.lineTo(at);
    }
    painter.setPen(QPen(QColor(0x90, 0xa4, 0xc0), 1));
    painter.drawPath(path);
    for (std::size_t i = first; i < readings_.size(); ++i) {
        const QPointF at(x(readings_[i].minutes), y(uV(readings_[i])));
        painter.setBrush(readings_[i].taken ? QColor(0x1a, 0x4f, 0x9c) : QColor(0x90, 0xa4, 0xc0));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(at, 2.5, 2.5);
    }
}

}  // namespace its90::ui
