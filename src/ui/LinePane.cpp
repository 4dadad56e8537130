#include "LinePane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

// What a QPlainTextEdit leaves around its text, and its horizontal scroll step.
constexpr int kMargin = 4;
constexpr int kHorizontalStep = 20;
// How many of the longest lines (by characters) are measured when lines arrive.
constexpr qsizetype kMeasured = 16;

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

} // namespace

LinePane::LinePane(QWidget* parent) : QAbstractScrollArea(parent) {
    // A QPlainTextEdit takes its font and palette from the application's entries for its class
    // where the platform sets them; so does this pane, to look the same.
    const QFont editorFont = QApplication::font("QPlainTextEdit");
    if (editorFont != QApplication::font())
        setFont(editorFont);
    const QPalette editorPalette = QApplication::palette("QPlainTextEdit");
    if (editorPalette != QApplication::palette())
        setPalette(editorPalette);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
}

LinePane::~LinePane() = default;

void LinePane::setLines(const LineList& lines) {
    const int removed = lineCount();
    m_lines = lines;
    m_anchor = m_cursor = {};
    m_dragging = false;
    m_autoScroll.stop();
    m_widest = 0;
    measureWidest(0);
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    if (m_observer)
        m_observer(0, removed, lineCount());
}

void LinePane::appendLines(const LineList& source, int from) {
    const int before = lineCount();
    from = std::max(from, 0);
    if (from >= source.Count())
        return;
    // As a QPlainTextEdit does: a view showing the last line follows the end as lines come in.
    const bool atBottom = isVisible() && kMargin + (before - verticalScrollBar()->value()) * m_lineHeight <=
                                             viewport()->height();
    m_lines.addFrom(source, from);
    measureWidest(before);
    updateScrollBars();
    if (atBottom)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
    if (m_observer)
        m_observer(before, 0, lineCount() - before);
}

QString LinePane::toPlainText() const {
    return m_lines.join(u"\n");
}

QString LinePane::selectedText() const {
    auto [from, to] = std::minmax(m_anchor, m_cursor);
    if (from == to || m_lines.Count() == 0)
        return {};
    QString scratch;
    if (from.line == to.line)
        return m_lines.view(from.line, scratch).mid(from.column, to.column - from.column).toString();
    qsizetype size = m_lines.sizeOf(from.line) - from.column + to.column;
    for (int i = from.line + 1; i < to.line; ++i)
        size += m_lines.sizeOf(i) + 1;
    QString text;
    text.reserve(size + 1);
    text += m_lines.view(from.line, scratch).mid(from.column);
    for (int i = from.line + 1; i < to.line; ++i) {
        text += u'\n';
        text += m_lines.view(i, scratch);
    }
    text += u'\n';
    text += m_lines.view(to.line, scratch).left(to.column);
    return text;
}

void LinePane::selectAll() {
    if (lineCount() == 0)
        return;
    m_anchor = {};
    m_cursor = {lineCount() - 1, static_cast<int>(m_lines.sizeOf(lineCount() - 1))};
    viewport()->update();
}

void LinePane::copy() const {
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void LinePane::selectLine(int index) {
    if (index < 0 || index >= lineCount())
        return;
    m_anchor = {index, 0};
    m_cursor = {index, static_cast<int>(m_lines.sizeOf(index))};
    verticalScrollBar()->setValue(index - linesInView() / 2);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

bool LinePane::event(QEvent* event) {
    // The pane's own keys win over any shortcut of the window, as in a text edit.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void LinePane::layOut(QTextLayout& layout, int line) const {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setText(m_lines.Get(line));
    layout.setFont(font());
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine row = layout.createLine();
    if (row.isValid())
        row.setLineWidth(std::numeric_limits<int>::max() / 256);
    layout.endLayout();
}

qreal LinePane::lineLeft() const {
    return kMargin - horizontalScrollBar()->value();
}

int LinePane::linesInView() const {
    return std::max(1, (viewport()->height() - kMargin) / m_lineHeight);
}

void LinePane::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const QRect area = event->rect();
    const int first = verticalScrollBar()->value();
    const qreal left = lineLeft();
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    // As in a text edit: the selection in the window's colours while the pane has the focus.
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));

    qreal widest = m_widest;
    const int start = first + std::max(0, (area.top() - kMargin) / m_lineHeight);
    for (int i = start; i < lineCount(); ++i) {
        const int top = kMargin + (i - first) * m_lineHeight;
        if (top > area.bottom())
            break;
        QTextLayout layout;
        layOut(layout, i);
        QList<QTextLayout::FormatRange> ranges;
        if (from != to && i >= from.line && i <= to.line) {
            const int begin = i == from.line ? from.column : 0;
            const int end = i == to.line ? to.column : static_cast<int>(m_lines.sizeOf(i));
            if (end > begin)
                ranges.append({begin, end - begin, selected});
        }
        layout.draw(&painter, QPointF(left, top), ranges);
        const qreal width = layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0;
        widest = std::max(widest, width);
        // A selected line end shows as a space's width of highlight, as a text edit draws it.
        if (from != to && i >= from.line && i < to.line)
            painter.fillRect(QRectF(left + width, top, m_spaceWidth, m_lineHeight), selected.background());
    }
    if (widest > m_widest) {
        m_widest = widest;
        // Not from inside the paint: a scroll bar that appears resizes the viewport.
        QTimer::singleShot(0, this, [this] { updateScrollBars(); });
    }
}

void LinePane::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LinePane::scrollContentsBy(int, int) {
    viewport()->update();
}

void LinePane::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    QScrollBar* vertical = verticalScrollBar();
    if (event->matches(QKeySequence::MoveToStartOfDocument) || event->key() == Qt::Key_Home) {
        vertical->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    }
    if (event->matches(QKeySequence::MoveToEndOfDocument) || event->key() == Qt::Key_End) {
        vertical->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    }
    // Arrows and page keys scroll.
    QAbstractScrollArea::keyPressEvent(event);
}

LinePane::Position LinePane::positionAt(QPoint point) const {
    if (lineCount() == 0)
        return {};
    const int offset = point.y() - kMargin;
    const int row = offset < 0 ? -1 - (-offset - 1) / m_lineHeight : offset / m_lineHeight;
    const int line = std::clamp(verticalScrollBar()->value() + row, 0, lineCount() - 1);
    QTextLayout layout;
    layOut(layout, line);
    const int column = layout.lineCount() > 0 ? layout.lineAt(0).xToCursor(point.x() - lineLeft()) : 0;
    return {line, column};
}

void LinePane::dragTo(QPoint point) {
    const Position at = positionAt(point);
    if (at != m_cursor) {
        m_cursor = at;
        viewport()->update();
    }
}

void LinePane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const Position at = positionAt(event->position().toPoint());
    m_cursor = at;
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = at;
    m_dragging = true;
    viewport()->update();
}

void LinePane::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (viewport()->rect().contains(point))
        m_autoScroll.stop();
    else if (!m_autoScroll.isActive())
        m_autoScroll.start(50, this);
    dragTo(point);
}

void LinePane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    m_autoScroll.stop();
    setClipboardSelection();
}

void LinePane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || lineCount() == 0) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const Position at = positionAt(event->position().toPoint());
    const QString text = m_lines.Get(at.line);
    int begin = at.column;
    int end = at.column;
    if (end < text.size() && isWordCharacter(text[end])) {
        while (begin > 0 && isWordCharacter(text[begin - 1]))
            --begin;
        while (end < text.size() && isWordCharacter(text[end]))
            ++end;
    } else if (end < text.size()) {
        ++end;
    }
    m_anchor = {at.line, begin};
    m_cursor = {at.line, end};
    m_dragging = false;
    viewport()->update();
    setClipboardSelection();
}

void LinePane::contextMenuEvent(QContextMenuEvent* event) {
    // The entries and their translations are those of a read-only text edit.
    QMenu menu(this);
    QAction* copyAction = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    connect(copyAction, &QAction::triggered, this, [this] { copy(); });
    menu.addSeparator();
    QAction* selectAllAction =
        menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Select All"));
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    selectAllAction->setEnabled(lineCount() > 0);
    connect(selectAllAction, &QAction::triggered, this, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void LinePane::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LinePane::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void LinePane::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        m_widest = 0;
        measureWidest(0);
        updateScrollBars();
        viewport()->update();
    }
}

void LinePane::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_autoScroll.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
    const QRect view = viewport()->rect();
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    if (point.y() < view.top())
        vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() > view.bottom())
        vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (point.x() < view.left())
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.x() > view.right())
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dragTo(point);
}

void LinePane::measureWidest(qsizetype from) {
    // The longest lines by characters, found in one pass over the sizes; only they are laid out.
    std::vector<std::pair<qsizetype, int>> longest;
    longest.reserve(kMeasured + 1);
    const auto byLength = [](const auto& a, const auto& b) { return a.first > b.first; };
    for (int i = static_cast<int>(from); i < lineCount(); ++i) {
        const qsizetype size = m_lines.sizeOf(i);
        if (std::ssize(longest) == kMeasured && size <= longest.back().first)
            continue;
        const std::pair<qsizetype, int> entry(size, i);
        longest.insert(std::upper_bound(longest.begin(), longest.end(), entry, byLength), entry);
        if (std::ssize(longest) > kMeasured)
            longest.pop_back();
    }
    for (const auto& [size, line] : longest) {
        QTextLayout layout;
        layOut(layout, line);
        if (layout.lineCount() > 0)
            m_widest = std::max(m_widest, layout.lineAt(0).naturalTextWidth());
    }
}

void LinePane::updateMetrics() {
    const QFontMetricsF metrics(font());
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_spaceWidth = metrics.horizontalAdvance(u' ');
}

void LinePane::updateScrollBars() {
    const int inView = linesInView();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, lineCount() - inView));
    vertical->setPageStep(inView);
    vertical->setSingleStep(1);

    const int width = viewport()->width();
    const qreal content = std::ceil(m_widest) + 2 * kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, static_cast<int>(std::min<qreal>(content, QWIDGETSIZE_MAX)) - width));
    horizontal->setPageStep(std::max(1, width));
    horizontal->setSingleStep(kHorizontalStep);
}

void LinePane::setClipboardSelection() const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}
