#pragma once

#include <QString>
#include <QStringList>

class Toolkit;

// The boxes of the rows a build leaves out. One bad value early in a file (a swatch patch line
// that cannot be read) makes every later row fail the same way; a box per row would keep the user
// pressing Return for minutes. The first few failing rows show their boxes as they come; the rest
// are counted and summed up in one box once the rows are done. A toolkit that does not sum up
// repeated messages (one that only prints them) is given every box.
class RowFailureBoxes {
public:
    // Failing rows whose boxes are shown before the rest are held back.
    static constexpr int kShown = 3;

    explicit RowFailureBoxes(Toolkit& toolkit);

    // One failing row: the number it is known by in the summary and the texts of its boxes, shown
    // one after the other (several boxes of one row count as one failure).
    void failed(int row, const QStringList& boxes);
    // After the rows: the summary box, when any row was held back.
    void finish();
    // The rows failed so far, shown or held back.
    int failedRows() const { return m_failures; }

    // The summary text for heldBack rows held back, the first and the last of them.
    static QString SummaryText(int heldBack, int firstRow, int lastRow);

private:
    Toolkit& m_toolkit;
    bool m_sumUp;
    int m_failures = 0;
    int m_heldBack = 0;
    int m_firstHeld = 0;
    int m_lastHeld = 0;
};
