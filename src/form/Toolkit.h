#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct OpenDialog;
struct SaveDialog;

// The services the handlers take from the GUI toolkit. The window passes the Qt one; tests pass a
// scripted one; lumetra-cli a headless one.
class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Modal box with one OK button; a CR inside the text starts a new line.
    virtual void ShowMessage(const QString& text) = 0;
    // The default error display, titled "Error". Receives the text already passed through
    // ErrorDisplayText.
    virtual void ShowError(const QString& text) = 0;
    // Modal file dialogs: true when confirmed, with dialog.FileName the full path chosen.
    virtual bool ExecuteOpen(OpenDialog& dialog) = 0;
    virtual bool ExecuteSave(SaveDialog& dialog) = 0;
    // Handles every pending user-interface event (after redrawing the window from its state).
    virtual void ProcessMessages() = 0;
    // Gives up the rest of the time slice.
    virtual void Yield() = 0;
    // Hands an address to the desktop shell; the result is ignored.
    virtual void OpenAddress(const QString& address) = 0;
    // Modal question box with two buttons; true when the first (yes) is chosen. A toolkit that
    // cannot ask answers no, the safe answer.
    virtual bool AskQuestion(const QString& text, const QString& yes, const QString& no);

    // For lumetra-cli, which says more than the window can; the window's toolkits ignore both.
    // Says what the message just shown cannot: the file, the line and the reason ("lab.txt:7: ...").
    virtual void ShowDetail(const QString& /*text*/) {}
    // Takes the encoded document that a confirmed save dialog was answered for, and returns true
    // when the toolkit delivers it itself (standard output); false has it written to the file.
    virtual bool TakeSavedDocument(const SaveDialog& /*dialog*/, const QByteArray& /*bytes*/) {
        return false;
    }
    // Whether a handler may hold back a message repeated for many rows and sum them up in one:
    // yes where each message is a box the user has to close; a toolkit that only prints its
    // messages takes every one.
    virtual bool SumsUpRepeatedMessages() const { return true; }
};

// The error display's text rule: a full stop is appended when the message is not empty and its
// last character's code is above that of the full stop.
QString ErrorDisplayText(const QString& message);

// The message box title: the program file's name without folder and without everything from its
// first full stop, every character after the first in lower case ("DATA_TOOL.EXE" -> "Data_tool").
QString ApplicationTitle(const QString& programPath);

// Runs one handler: whatever escapes it goes to the toolkit's error display and the program
// goes on. Never lets an exception out.
void RunGuarded(Toolkit& toolkit, const std::function<void()>& handler) noexcept;

// One entry of a dialog's Filter: the label shown to the user and its masks ("*.cie", "*.txt").
struct FilterEntry {
    QString label;
    QStringList masks;
};
// Reads "CIE|*.cie;*.txt|txt|*.txt|*|*" as its pairs; a dangling label without pattern is dropped.
QList<FilterEntry> ParseFilter(const QString& filter);
