#include "WindowToolkit.h"

#include "unitUlvarTabbed.h"

void WindowToolkit::ShowMessage(const QString& text) {
    if (m_window.m_closed)
        return;
    m_window.syncFromState();
    m_inner.ShowMessage(text);
}

void WindowToolkit::ShowError(const QString& text) {
    if (m_window.m_closed)
        return;
    m_window.syncFromState();
    m_inner.ShowError(text);
}

bool WindowToolkit::ExecuteOpen(OpenDialog& dialog) {
    if (m_window.m_closed)
        return false;
    m_window.syncFromState();
    return m_inner.ExecuteOpen(dialog);
}

bool WindowToolkit::ExecuteSave(SaveDialog& dialog) {
    if (m_window.m_closed)
        return false;
    m_window.syncFromState();
    return m_inner.ExecuteSave(dialog);
}

void WindowToolkit::ProcessMessages() {
    if (m_window.m_closed)
        return;
    m_window.takeUserEdits();
    // A build pumps every few rows; redrawing the panes at each pump made the window many
    // times slower than its work. Input and repaints are still handled at every pump.
    const bool redraw = m_window.redrawDue();
    if (redraw)
        m_window.syncFromState();
    m_inner.ProcessMessages();
    // The interval counts from the end of the repaint: redrawing never takes most of the time.
    if (redraw)
        m_window.m_sinceRedraw.start();
    m_window.takeUserEdits();
}

bool WindowToolkit::AskQuestion(const QString& text, const QString& yes, const QString& no) {
    if (m_window.m_closed)
        return false;
    m_window.syncFromState();
    return m_inner.AskQuestion(text, yes, no);
}
