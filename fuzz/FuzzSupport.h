#pragma once

// What the harnesses share: failing loudly, the inputs cut into parts and loaded as panes, scratch
// folders with swatch files, the scripted toolkit set up for them, and the checks of a built
// document that more than one harness makes. The checks state what the output must have; they do
// not build it a second way.

#include "FuzzHarness.h"

#include "BuildClock.h"
#include "LineList.h"
#include "ScriptedToolkit.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace lumetra::fuzz {

// ---- failing: a broken rule prints what broke and aborts -----------------------------------------

[[noreturn]] void fail(const char* what, const QString& detail = QString());
void check(bool ok, const char* what, const QString& detail = QString());
// Fails with the first line where got and expected part.
void checkLines(const QStringList& got, const QStringList& expected, const char* what);

// ---- inputs ---------------------------------------------------------------------------------------

QByteArray bytesOf(const std::uint8_t* data, std::size_t size);
// The input cut at kPartSeparator into exactly count parts (missing ones empty, extra ones dropped).
QList<QByteArray> parts(const QByteArray& bytes, int count);
// The bytes as a pane would hold them; nullopt when the text cannot be decoded.
std::optional<QStringList> loaded(const QByteArray& bytes);
LineList listOf(const QStringList& lines);
// The fields LineTokenize gives (none for a line that trims to nothing).
QStringList fieldsOf(const QString& line);

// ---- folders and the toolkit -------------------------------------------------------------------------

// A folder below one scratch root kept for the whole run.
QString scratch(const char* sub);
void writeFile(const QString& path, const QByteArray& bytes);
// A scratch folder with a small swatch file for every chart, both orders (kSwatchPatches).
QString folderWithSwatches(const char* sub);
extern const QStringList kSwatchPatches;

// The builders read ./CMYK/ below the current directory.
class InFolder {
public:
    explicit InFolder(const QString& path);

private:
    CurrentDirGuard m_guard;
};

// The tests' scripted toolkit, taking every message: the checks name each failing row, and how
// the window sums them up has tests of its own.
ScriptedToolkit fuzzToolkit();
BuildClock fixedClock();

// ---- checks of what the program made ------------------------------------------------------------------

// The errors a handler may show a user for a bad document (the rest are faults).
bool isAllowedHandlerError(const QString& error);
// The saved file is the pane, in the code page, lines joined by CR LF.
void checkSavedFile(const QString& path, const LineList& pane, const char* what);
// CmykPercent on one field, against strtod: refused exactly when the trimmed text is no decimal
// number (or too large to hold), else two decimals within half a hundredth of value / 255 * 100.
std::optional<QString> checkedCmykPercent(const QString& value);

// A smoothing build that got to its save step, from the panes and the swatch's patch lines it
// was given: the header, one row per line paired between the L*a*b* pane's data markers, each row
// its number, its CMYK part and the two panes' lines less their sample IDs; rows from the first
// unreadable patch line on left out, each named by one message.
void checkSmoothingDocument(const QStringList& pane, const QStringList& messages, const QStringList& lab,
                            const QStringList& spectral, const QStringList& patches,
                            const QString& patchCount);

} // namespace lumetra::fuzz
