#include "ChartView.h"

#include "ReportText.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int kMargin = 6;
}

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(120, 80);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::setReport(std::shared_ptr<const preflight::PreflightReport> report) {
    m_report = std::move(report);
    m_picture = m_report ? report::MakeChartPicture(*m_report) : report::ChartPicture{};
    m_selection.clear();
    m_selected.assign(m_picture.patches.size(), 0);
    m_anchor = -1;
    layoutGrid();
    update();
}

void ChartView::setSelection(const QList<int>& rows) {
    m_selection.clear();
    std::fill(m_selected.begin(), m_selected.end(), 0);
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(m_selected.size()) && !m_selected[r]) {
            m_selected[r] = 1;
            m_selection.append(r);
        }
    if (m_anchor < 0 || m_anchor >= static_cast<int>(m_selected.size()) || !m_selected[m_anchor])
        m_anchor = m_selection.isEmpty() ? -1 : m_selection.first();
    update();
}

void ChartView::choose(const QList<int>& rows) {
    setSelection(rows);
    if (onSelectionChanged)
        onSelectionChanged(m_selection);
}

void ChartView::layoutGrid() {
    m_grid = report::ChartGrid(static_cast<int>(m_picture.patches.size()),
                               QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin));
}

QString ChartView::toolTipAt(const QPoint& point) const {
    const int i = m_grid.indexAt(point);
    if (!m_report || i < 0 || i >= m_report->rows.size())
        return {};
    return report::RowDescription(m_report->rows[i], m_report->kind);
}

bool ChartView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            const QRect patch = m_grid.patchRect(m_grid.indexAt(help->pos())).toAlignedRect();
            QToolTip::showText(help->globalPos(), text, this, patch);
        }
        return true;
    }
    return QWidget::event(event);
}

void ChartView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    report::PaintChart(painter, m_grid, m_picture, &m_selected, QRectF(event->rect()));
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutGrid();
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int i = m_grid.indexAt(event->position());
    if (i < 0)
        return;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier && m_anchor >= 0) {
        QList<int> rows;
        const int from = std::min(m_anchor, i);
        const int to = std::max(m_anchor, i);
        for (int r = from; r <= to; ++r)
            rows.append(r);
        const int anchor = m_anchor;
        choose(rows);
        m_anchor = anchor;
    } else if (mods & Qt::ControlModifier) {
        QList<int> rows = m_selection;
        if (m_selected[i])
            rows.removeAll(i);
        else
            rows.append(i);
        m_anchor = i;
        choose(rows);
    } else {
        m_anchor = i;
        choose({i});
    }
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int i = m_grid.indexAt(event->position());
    if (event->button() != Qt::LeftButton || i < 0)
        return QWidget::mouseDoubleClickEvent(event);
    const auto [first, last] = m_grid.gridRowRange(i);
    QList<int> rows;
    for (int r = first; r <= last; ++r)
        rows.append(r);
    m_anchor = first;
    choose(rows);
}
