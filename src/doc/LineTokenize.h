#pragma once

#include <QString>

class LineList;

// Splits a line into its blank- or tab-separated fields, each trimmed of control characters.
// A line that is empty after trimming leaves fields untouched (not even cleared).
void LineTokenize(const QString& line, LineList& fields);

// Removes every character with code <= U+0020 from both ends.
QString TrimControl(const QString& text);
// The same as a view into text.
QStringView TrimControlView(QStringView text);
// Blank and tab separate the fields of a line.
bool IsFieldSeparator(QChar c);
