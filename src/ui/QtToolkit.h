#pragma once

#include "Toolkit.h"

#include <QPointer>
#include <QStringList>

class QWidget;

// Qt dialogs' name filters for a dialog Filter ("CIE|*.cie;*.txt|txt|*.txt" gives
// "CIE (*.cie *.txt)" and "txt (*.txt)"). Widget-free, so it is testable on its own.
QStringList QtNameFilters(const QString& filter);
// The entry a dialog preselects for its FilterIndex among count entries: 0 and 1 both mean the
// first; an index past the end falls back to the first.
int QtFilterPosition(int filterIndex, qsizetype count);
// A message text for a Qt box: a lone CR (and a CR LF) starts a new line.
QString QtMessageText(const QString& text);

// The toolkit services on Qt widgets: modal boxes and file dialogs owned by the main window, the
// event pump, the desktop shell.
class QtToolkit : public Toolkit {
public:
    explicit QtToolkit(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ExecuteOpen(OpenDialog& dialog) override;
    bool ExecuteSave(SaveDialog& dialog) override;
    void ProcessMessages() override;
    void Yield() override;
    void OpenAddress(const QString& address) override;
    bool AskQuestion(const QString& text, const QString& yes, const QString& no) override;

private:
    QPointer<QWidget> m_owner;
};
