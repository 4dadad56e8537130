#include "ProgressRectangle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>

namespace {
constexpr QRgb kStartColor = 0xFF7FFFD4; // aquamarine
constexpr QRgb kEndColor = 0xFF0000FF;   // blue
// The gradient axis in the rectangle's unit square: nearly horizontal, a touch rising.
constexpr QPointF kAxisStart(0.0, 0.5437443256378174);
constexpr QPointF kAxisEnd(1.0, 0.4562556743621826);
} // namespace

ProgressRectangle::ProgressRectangle(QWidget* parent) : QWidget(parent) {
    // The bar lies over the controls of the page; clicks go through to them.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressRectangle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(kAxisStart, kAxisEnd);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0.0, QColor::fromRgba(kStartColor));
    gradient.setColorAt(1.0, QColor::fromRgba(kEndColor));
    const QRect area = rect();
    painter.fillRect(area, gradient);
    // A one-unit pen drawn on the last pixel row and column inside the widget: square corners.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}
