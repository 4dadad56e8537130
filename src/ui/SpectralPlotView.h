#pragma once

#include "SpectralPlotPainter.h"

#include <QWidget>

// The reflectance curves of the patches selected in the chart, each in its patch's colour.
class SpectralPlotView : public QWidget {
public:
    explicit SpectralPlotView(QWidget* parent = nullptr);
    void setCurves(QList<report::SpectralCurve> curves);
    const QList<report::SpectralCurve>& curves() const { return m_curves; }
    QSize sizeHint() const override { return QSize(520, 200); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<report::SpectralCurve> m_curves;
};
