#pragma once

#include "HistogramPainter.h"

#include <QWidget>

// The ΔE00 histogram of a preflight report, small, beside its summary.
class HistogramView : public QWidget {
public:
    explicit HistogramView(QWidget* parent = nullptr);
    void setHistogram(const report::DeltaHistogram& histogram);
    const report::DeltaHistogram& histogram() const { return m_histogram; }
    QSize sizeHint() const override { return QSize(300, 110); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    report::DeltaHistogram m_histogram;
};
