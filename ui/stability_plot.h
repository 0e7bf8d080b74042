// The standard's readings at the point at hand against time, in uV about the mean of the last
// readings the stability limits look at, with the band those limits allow (the mean ± the
// standard deviation's limit) over those readings.
#pragma once

#include <QWidget>
#include <vector>

namespace its90::ui {

// A step of 1, 2 or 5 times a power of ten that cuts `span` into about `parts`: a plot's
// scale, where a technician reads its ticks.
double nice_step(double span, int parts);

class StabilityPlot final : public QWidget {
public:
    explicit StabilityPlot(QWidget* parent = nullptr);
    struct Reading {
        double minutes;  // since the point's start
        double emf_mV;
        bool taken;      // one of the point's readings, not a settling one
    };
    void clear();
    void add(Reading reading);
    // The limits' count and standard deviation, for the band.
    void set_limits(int count, double sd_uV);
    const std::vector<Reading>& readings() const { return readings_; }
    QSize sizeHint() const override { return {600, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Reading> readings_;
    int count_ = 10;
    double sd_uV_ = 3;
};

}  // namespace its90::ui
