#include "SpectralPlotView.h"

#include <QPainter>

SpectralPlotView::SpectralPlotView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 120);
}

void SpectralPlotView::setCurves(QList<report::SpectralCurve> curves) {
    m_curves = std::move(curves);
    update();
}

void SpectralPlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    report::PaintSpectralPlot(painter, QRectF(rect()).adjusted(4, 4, -4, -4), m_curves);
    if (m_curves.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Select patches to see their spectra"));
    }
}
