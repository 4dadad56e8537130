#include "HistogramView.h"

#include <QPainter>

HistogramView::HistogramView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(220, 90);
}

void HistogramView::setHistogram(const report::DeltaHistogram& histogram) {
    m_histogram = histogram;
    update();
}

void HistogramView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    painter.setFont(f);
    painter.setPen(palette().color(QPalette::WindowText));
    report::PaintHistogram(painter, QRectF(rect()).adjusted(2, 2, -2, -2), m_histogram);
}
