#include "RowFailureBoxes.h"

#include "Toolkit.h"

RowFailureBoxes::RowFailureBoxes(Toolkit& toolkit)
    : m_toolkit(toolkit), m_sumUp(toolkit.SumsUpRepeatedMessages()) {}

void RowFailureBoxes::failed(int row, const QStringList& boxes) {
    ++m_failures;
    if (!m_sumUp || m_failures <= kShown) {
        for (const QString& text : boxes)
            m_toolkit.ShowMessage(text);
        return;
    }
    if (m_heldBack == 0)
        m_firstHeld = row;
    m_lastHeld = row;
    ++m_heldBack;
}

void RowFailureBoxes::finish() {
    if (m_heldBack == 0)
        return;
    const QString text = SummaryText(m_heldBack, m_firstHeld, m_lastHeld);
    // Counted once: a second call shows nothing more.
    m_heldBack = 0;
    m_toolkit.ShowMessage(text);
}

QString RowFailureBoxes::SummaryText(int heldBack, int firstRow, int lastRow) {
    if (heldBack == 1)
        return QStringLiteral("1 more row failed (row %1) and is left out.").arg(firstRow);
    return QStringLiteral("%1 more rows failed (rows %2 to %3) and are left out.")
        .arg(heldBack)
        .arg(firstRow)
        .arg(lastRow);
}
