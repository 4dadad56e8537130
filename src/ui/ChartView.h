#pragma once

#include "ChartPainter.h"
#include "PreflightReport.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// The chart of a preflight report: every row a patch, wrapped to fill the view and reflowed on
// resize. Hover shows a patch's details; a click selects a patch, shift-click the patches from
// the last one clicked to this one, ctrl-click adds or removes one, a double-click its whole
// grid row.
class ChartView : public QWidget {
public:
    explicit ChartView(QWidget* parent = nullptr);

    void setReport(std::shared_ptr<const preflight::PreflightReport> report);
    // Report row indices, in the order they were chosen. Setting it does not call back.
    void setSelection(const QList<int>& rows);
    const QList<int>& selection() const { return m_selection; }
    // Runs when the user changed the selection.
    std::function<void(const QList<int>&)> onSelectionChanged;

    const report::ChartGrid& grid() const { return m_grid; }
    const report::ChartPicture& picture() const { return m_picture; }
    // The tooltip of the patch under a point; empty between patches.
    QString toolTipAt(const QPoint& point) const;

    QSize sizeHint() const override { return QSize(520, 360); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void layoutGrid();
    void choose(const QList<int>& rows);

    std::shared_ptr<const preflight::PreflightReport> m_report;
    report::ChartPicture m_picture;
    report::ChartGrid m_grid;
    QList<int> m_selection;
    std::vector<char> m_selected;
    int m_anchor = -1;
};
