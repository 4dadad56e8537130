#pragma once

#include "Toolkit.h"

class TTabbedForm;

// The toolkit the window's handlers see: the window is redrawn before every modal box and dialog
// (so the bar shows behind a message) and before a pump once the last redraw is a redraw interval
// old, and the user's edits made during a pump reach the state before the handler goes on. After
// the window was closed, a handler still running winds down quietly: no more boxes, dialogs count
// as cancelled.
class WindowToolkit : public Toolkit {
public:
    WindowToolkit(TTabbedForm& window, Toolkit& inner) : m_window(window), m_inner(inner) {}

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ExecuteOpen(OpenDialog& dialog) override;
    bool ExecuteSave(SaveDialog& dialog) override;
    void ProcessMessages() override;
    void Yield() override { m_inner.Yield(); }
    void OpenAddress(const QString& address) override { m_inner.OpenAddress(address); }
    bool AskQuestion(const QString& text, const QString& yes, const QString& no) override;
    bool SumsUpRepeatedMessages() const override { return m_inner.SumsUpRepeatedMessages(); }

private:
    TTabbedForm& m_window;
    Toolkit& m_inner;
};
