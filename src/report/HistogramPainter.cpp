#include "HistogramPainter.h"

#include "ReportText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace report {

int DeltaHistogram::largestBin() const {
    return *std::max_element(bins.begin(), bins.end());
}

int HistogramBin(double dE00) {
    if (!(dE00 > 0))
        return 0;
    const double bin = std::floor(dE00 / kHistogramBinWidth);
    return bin >= kHistogramBins - 1 ? kHistogramBins - 1 : static_cast<int>(bin);
}

DeltaHistogram MakeHistogram(const preflight::PreflightReport& report) {
    DeltaHistogram h;
    for (const preflight::PreflightRow& row : report.rows)
        if (row.dE00)
            ++h.bins[HistogramBin(*row.dE00)];
    h.summary = report.dE00;
    return h;
}

void PaintHistogram(QPainter& painter, const QRectF& rect, const DeltaHistogram& h) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetricsF fm(painter.font());
    const double textH = fm.height();
    const double left = rect.left() + fm.horizontalAdvance(QStringLiteral("00000")) + 4;
    const double bottom = rect.bottom() - textH - 2;
    const double top = rect.top() + textH + 2; // room for the marks' labels
    const double right = rect.right() - 2;
    const QRectF plot(QPointF(left, top), QPointF(right, bottom));
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    const double binW = plot.width() / kHistogramBins;
    const int largest = std::max(1, h.largestBin());

    // Bars; the "more" bin darker, since it is not 0.25 wide.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < kHistogramBins; ++i) {
        if (h.bins[i] == 0)
            continue;
        const double barH = plot.height() * h.bins[i] / largest;
        painter.setBrush(i == kHistogramBins - 1 ? QColor(0x70, 0x70, 0x90) : QColor(0x8C, 0xA8, 0xD0));
        painter.drawRect(
            QRectF(plot.left() + i * binW + binW * 0.08, plot.bottom() - barH, binW * 0.84, barH));
    }

    // Axes, ticks at every whole ΔE00, the count of the tallest bin.
    const QPen axis(QColor(0x40, 0x40, 0x40), std::max(1.0, textH / 14));
    painter.setPen(axis);
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    for (int v = 0; v <= 4; ++v) {
        const double x = plot.left() + v / kHistogramBinWidth * binW;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 3));
        const QString label = QString::number(v);
        painter.drawText(QRectF(x - 20, plot.bottom() + 2, 40, textH), Qt::AlignHCenter | Qt::AlignTop,
                         label);
    }
    const double five = plot.left() + 5 / kHistogramBinWidth * binW;
    painter.drawLine(QPointF(five, plot.bottom()), QPointF(five, plot.bottom() + 3));
    painter.drawText(QRectF(plot.right() - binW - 20, plot.bottom() + 2, binW + 40, textH),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("5+"));
    painter.drawText(QRectF(rect.left(), plot.top() - textH / 2, left - rect.left() - 4, textH),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(largest));
    painter.drawText(QRectF(rect.left(), plot.bottom() - textH / 2, left - rect.left() - 4, textH),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));

    // The marks: a value above 5 sits in the middle of the "more" bin.
    auto markX = [&](double v) {
        if (v >= 5)
            return plot.left() + (kHistogramBins - 0.5) * binW;
        return plot.left() + std::max(0.0, v) / kHistogramBinWidth * binW;
    };
    if (h.summary.count > 0) {
        struct Mark {
            double value;
            QColor colour;
            QString label;
        } marks[] = {
            {h.summary.mean, QColor(0x10, 0x70, 0x10), QStringLiteral("mean %1").arg(Number(h.summary.mean))},
            {h.summary.p95, QColor(0xC0, 0x20, 0x20),
             QStringLiteral("95th percentile %1").arg(Number(h.summary.p95))},
        };
        // The lines on the bars; their values in a legend above, where close marks cannot collide.
        double legendX = plot.left();
        for (const Mark& m : marks) {
            const double x = markX(m.value);
            const QPen pen(m.colour, std::max(1.0, textH / 10), Qt::DashLine);
            painter.setPen(pen);
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            const double y = rect.top() + textH / 2;
            painter.drawLine(QPointF(legendX, y), QPointF(legendX + textH, y));
            painter.setPen(m.colour);
            const double w = fm.horizontalAdvance(m.label) + 4;
            painter.drawText(QRectF(legendX + textH + 3, rect.top(), w, textH),
                             Qt::AlignLeft | Qt::AlignVCenter, m.label);
            legendX += textH + 3 + w + textH;
        }
    }
    painter.restore();
}

} // namespace report
