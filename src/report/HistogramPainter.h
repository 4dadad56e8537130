#pragma once

#include "PreflightReport.h"

#include <QRectF>

#include <array>

class QPainter;

// The ΔE00 histogram of all pairs: bins 0.25 wide from 0 up to 5, then one bin for everything
// above, with the mean and the 95th percentile of the report's summary marked.
namespace report {

constexpr double kHistogramBinWidth = 0.25;
constexpr int kHistogramBins = 21; // 20 up to 5, then "more"

struct DeltaHistogram {
    std::array<int, kHistogramBins> bins{};
    preflight::DeltaSummary summary;
    int largestBin() const;
};

// The bin a ΔE00 falls in: [0, 0.25) is 0, ..., [4.75, 5) is 19, 5 and above 20.
int HistogramBin(double dE00);
DeltaHistogram MakeHistogram(const preflight::PreflightReport& report);

// Axes, bars, the marks and their labels, in the painter's current font.
void PaintHistogram(QPainter& painter, const QRectF& rect, const DeltaHistogram& histogram);

} // namespace report
