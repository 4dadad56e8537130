#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class LineList;
class Toolkit;
struct Label;
struct Memo;
struct SaveDialog;

// The bytes of a saved document: the lines joined by CR LF with no break after the last one, in
// Windows-1252 without a byte-order mark. A character the code page lacks becomes its base letter
// where it has one ("ő" -> "o"), a blank if it is a space of another width, else "?".
QByteArray EncodeDocument(const LineList& lines);

// Writes bytes to path whole, or not at all: the new file replaces the old one only once it has
// been written completely, so a failure leaves an existing file untouched, and it keeps the old
// file's permission bits and, where the program may set them, its owner and group. A path that
// names a device, FIFO or socket is written through instead (nothing is renamed over it). Throws
// Error with "Cannot create file "<path>". <reason>" when the file cannot be opened (a file the
// user may not write included) and "Cannot save "<path>": <reason>" when writing or completing it
// fails; path is shown in full and reason is the system's text.
void WriteDocumentFile(const QString& path, const QByteArray& bytes);

// Writes all of bytes to the descriptor fd, going on after interrupted and partial writes.
// Returns 0, or the errno value of the write that failed.
int WriteAllBytes(int fd, const QByteArray& bytes);

// The default-name timestamp "yyyymmdd_hhnnss": 24-hour clock, ASCII digits, whatever the locale.
QString SaveTimestamp(const QDateTime& when);

// The save step both builders end with: presets the dialog's name (prefix + timestamp) and
// default extension, shows it, and on confirmation yields, appends an empty line to the pane when
// asked, writes the pane (or hands its bytes to a toolkit that takes them) and shows the chosen path. Returns
// false when the user cancels. A failed write throws Error and leaves the path display as it was.
struct SaveStep {
    SaveDialog& dialog;
    QString prefix;
    QString defaultExt;
    Memo& pane;
    Label& pathDisplay;
    bool appendEmptyLine = false;
    // Errors that make the document plainly wrong: with any, one question box comes before the
    // dialog, and "Cancel" there ends the step as a cancelled dialog does.
    QStringList blockers = {};
};

// The question asked before saving a document with blockers.
QString BlockersQuestion(const QStringList& blockers);
bool RunSaveStep(const SaveStep& step, Toolkit& toolkit, const QDateTime& now);
