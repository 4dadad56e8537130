#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// An ordered list of text lines, indexed from 0. Every document of the program is one: the
// measurement files, the swatch files, the field lists of the tokenizer and the panes' contents.
class LineList {
public:
    enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };

    // Replace all lines with the lines of a file, a stream (from its position to its end) or a
    // buffer; the byte-order mark picks UTF-8 or UTF-16, anything else is read as Windows-1252.
    // On failure an Error is thrown and the old lines are kept: "Cannot open file "<full path>".
    // <reason>", or, for a UTF-8 file with an invalid sequence anywhere, "No mapping for the
    // Unicode character exists in the target multi-byte code page". A document whose lines would
    // take more than ten times its size in memory (at least 64 MiB, at most 2 GiB) fails with
    // "Cannot read file "<full path>". Too many lines to hold in memory".
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    // The same, reading chunkSize bytes at a time (tests use tiny chunks to try every split).
    void LoadFromStream(QIODevice& stream, qsizetype chunkSize);
    void LoadFromBytes(const QByteArray& bytes);

    // Index of the first whole line equal to text, letter case ignored (LinesEqualIgnoringCase);
    // -1 when there is none.
    int IndexOf(const QString& text) const;
    // The line at index; throws "List index out of bounds (%d)" outside 0 .. Count()-1.
    const QString& Get(int index) const;
    int Add(const QString& text);
    void AddStrings(const LineList& other);
    void Clear();
    int Count() const { return static_cast<int>(m_lines.size()); }

    Encoding encoding() const { return m_encoding; }
    const QStringList& lines() const { return m_lines; }
    // Replaces the lines wholesale (a pane taking back what the user typed into it).
    void setLines(QStringList lines);
    // Bumped whenever lines are removed or replaced; a display that only saw appends since its
    // last look can append the tail instead of redrawing the whole text.
    quint64 generation() const { return m_generation; }

private:
    class StreamCutter;

    QStringList m_lines;
    Encoding m_encoding = Encoding::Ansi;
    quint64 m_generation = 0;
};

// Locale-aware case-insensitive equality used by every line search; ASCII texts are settled by
// folding, so a Turkish locale still finds "begin_data".
bool LinesEqualIgnoringCase(const QString& a, const QString& b);
