#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <variant>

class QIODevice;

// An ordered list of text lines, indexed from 0. Every document of the program is one: the
// measurement files, the swatch files, the field lists of the tokenizer and the panes' contents.
// A line read from a file whose characters all lie below U+0100 (every line of a measurement
// file) is held as one byte per character, any other line as a QString: a loaded document takes
// about its size in memory, not twice that.
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
    QString Get(int index) const;
    int Add(const QString& text);
    void AddStrings(const LineList& other);
    void Clear();
    int Count() const { return static_cast<int>(m_lines.size()); }

    // The line at index as a view, for reading many lines without a string each: into the list
    // for a line held as a QString, else into scratch, which a loop reuses. Valid until the list
    // or scratch changes. Throws as Get does.
    QStringView view(int index, QString& scratch) const;
    // The number of characters of the line at index (0 outside the list).
    qsizetype sizeOf(int index) const;
    // Appends the lines of other from index from on, sharing their text.
    void addFrom(const LineList& other, int from);
    // All lines joined, separator between each two.
    QString join(QStringView separator) const;

    Encoding encoding() const { return m_encoding; }
    // A copy of all lines.
    QStringList lines() const;
    // Replaces the lines wholesale (a pane taking back what the user typed into it).
    void setLines(const QStringList& lines);
    // Bumped whenever lines are removed or replaced; a display that only saw appends since its
    // last look can append the tail instead of redrawing the whole text.
    quint64 generation() const { return m_generation; }

    // A line as held: its characters as Latin-1 bytes when they all fit, else the string.
    using Line = std::variant<QByteArray, QString>;

private:
    class StreamCutter;

    QList<Line> m_lines;
    Encoding m_encoding = Encoding::Ansi;
    quint64 m_generation = 0;
};

// Locale-aware case-insensitive equality used by every line search; ASCII texts are settled by
// folding, so a Turkish locale still finds "begin_data".
bool LinesEqualIgnoringCase(const QString& a, const QString& b);
