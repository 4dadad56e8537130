#include "SpectralPlotPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace report {

void PaintSpectralPlot(QPainter& painter, const QRectF& rect, const QList<SpectralCurve>& curves) {
    painter.save();
    const QFontMetricsF fm(painter.font());
    const double textH = fm.height();
    const double left = rect.left() + fm.horizontalAdvance(QStringLiteral("0.00")) + 8;
    const double bottom = rect.bottom() - 2 * textH - 4; // tick labels and the axis caption
    const QRectF plot(QPointF(left, rect.top() + textH / 2), QPointF(rect.right() - textH, bottom));
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    const double firstNm = colour::kFirstBandNm;
    const double lastNm = colour::kFirstBandNm + (colour::kBandCount - 1) * colour::kBandStepNm;
    auto xOf = [&](double nm) { return plot.left() + (nm - firstNm) / (lastNm - firstNm) * plot.width(); };
    auto yOf = [&](double r) {
        return plot.bottom() - (std::isfinite(r) ? std::clamp(r, 0.0, 1.05) : 0.0) * plot.height();
    };

    const double unit = std::max(1.0, textH / 14);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Grid and ticks: reflectance every 0.2, wavelength every 50 nm.
    const QPen gridPen(QColor(0xE0, 0xE0, 0xE0), unit);
    const QPen axisPen(QColor(0x40, 0x40, 0x40), unit);
    for (int i = 0; i <= 5; ++i) {
        const double v = i * 0.2;
        const double y = yOf(v);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(axisPen);
        painter.drawLine(QPointF(plot.left() - 3 * unit, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(rect.left(), y - textH / 2, left - rect.left() - 5 * unit, textH),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'f', 1));
    }
    for (int nm = 400; nm <= 700; nm += 50) {
        const double x = xOf(nm);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(axisPen);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 3 * unit));
        painter.drawText(QRectF(x - 30, plot.bottom() + 3 * unit, 60, textH), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(nm));
    }
    painter.setPen(axisPen);
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + textH + 3 * unit, plot.width(), textH),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Wavelength (nm) — reflectance 0–1"));

    // A light patch's colour would vanish on white: each curve gets a grey edge beneath it.
    painter.setRenderHint(QPainter::Antialiasing, curves.size() <= 200);
    painter.setClipRect(plot.adjusted(-2, -2, 2, 2));
    for (const SpectralCurve& curve : curves) {
        QPainterPath path;
        for (int i = 0; i < colour::kBandCount; ++i) {
            const QPointF p(xOf(firstNm + i * colour::kBandStepNm), yOf(curve.reflectance[i]));
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        painter.setPen(
            QPen(QColor(0x60, 0x60, 0x60), 3.2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(QPen(QColor(curve.colour), 2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.restore();
}

} // namespace report
