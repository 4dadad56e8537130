#pragma once

#include "LineList.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <compare>
#include <functional>

class QTextLayout;

// A read-only pane of text lines that draws only the lines in view, straight from the list it was
// given (shared, not copied), so a document of any length costs nothing per line to show. It looks
// and reads like a read-only QPlainTextEdit without wrapping: the user selects with the mouse
// (Shift+click extends, a double-click takes a word), copies with Ctrl+C or the context menu and
// takes everything with Ctrl+A; the keys scroll. A copy joins the lines with '\n'.
class LinePane : public QAbstractScrollArea {
public:
    explicit LinePane(QWidget* parent = nullptr);
    ~LinePane() override;

    // Shows lines in place of what was shown: no selection, scrolled to the top.
    void setLines(const LineList& lines);
    // Adds the lines of source from index from on after the last one; a view that showed the
    // last line keeps following the end.
    void appendLines(const LineList& source, int from);
    const LineList& lines() const { return m_lines; }
    int lineCount() const { return m_lines.Count(); }
    // The lines joined by '\n'.
    QString toPlainText() const;
    bool isReadOnly() const { return true; }

    bool hasSelection() const { return m_anchor != m_cursor; }
    QString selectedText() const;
    void selectAll();
    // Puts the selected text on the clipboard (nothing when nothing is selected).
    void copy() const;
    // Selects line index whole and scrolls it into the middle of the view.
    void selectLine(int index);
    // The line the selection ends on (where the mouse or selectLine left it).
    int cursorLine() const { return m_cursor.line; }

    // Called after every change of the lines with (first line changed, lines removed, lines added).
    void setChangeObserver(std::function<void(int, int, int)> observer) { m_observer = std::move(observer); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    struct Position {
        int line = 0;
        int column = 0;
        auto operator<=>(const Position&) const = default;
    };

    void layOut(QTextLayout& layout, int line) const;
    Position positionAt(QPoint point) const;
    void dragTo(QPoint point);
    void measureWidest(qsizetype from);
    void updateMetrics();
    void updateScrollBars();
    int linesInView() const;
    qreal lineLeft() const;
    void setClipboardSelection() const;

    LineList m_lines;
    Position m_anchor;
    Position m_cursor;
    bool m_dragging = false;
    QBasicTimer m_autoScroll;
    int m_lineHeight = 1;
    qreal m_spaceWidth = 0;
    // The widest line seen: the longest lines by characters are measured when lines arrive, and
    // any line drawn wider widens it (tabs and proportional fonts break the count's ranking).
    qreal m_widest = 0;
    std::function<void(int, int, int)> m_observer;
};
