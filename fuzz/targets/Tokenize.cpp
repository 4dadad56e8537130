// LineTokenize and TrimControl on one line (8-bit or raw UTF-16 code units). TrimControl must cut
// exactly the code points up to U+0020 from both ends; the fields must be the runs a split at
// blanks and tabs gives, each trimmed so; a line with nothing to split leaves the field list alone.

#include "FuzzSupport.h"

#include "LineList.h"
#include "LineTokenize.h"

namespace lumetra::fuzz {
namespace {

bool isControlOrBlank(QChar c) {
    return c.unicode() <= 0x20;
}

void checkTrimmed(const QString& line, const QString& trimmed) {
    qsizetype first = 0;
    while (first < line.size() && isControlOrBlank(line.at(first)))
        ++first;
    if (trimmed.isEmpty()) {
        check(first == line.size(), "TrimControl left nothing of a line with text", line);
        return;
    }
    check(!isControlOrBlank(trimmed.front()) && !isControlOrBlank(trimmed.back()),
          "TrimControl leaves no control character at the ends", trimmed);
    check(QStringView(line).mid(first, trimmed.size()) == trimmed,
          "TrimControl keeps the line from its first character above U+0020", trimmed);
    for (qsizetype i = first + trimmed.size(); i < line.size(); ++i)
        check(isControlOrBlank(line.at(i)), "TrimControl cut text off the end", line);
}

} // namespace

void Tokenize(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    QString line;
    if (data[0] & 1) { // raw UTF-16 code units: other blanks (U+3000, U+00A0) must not separate
        for (std::size_t i = 1; i + 1 < size; i += 2)
            line.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    } else {
        for (std::size_t i = 1; i < size; ++i)
            line.append(QChar(static_cast<char16_t>(data[i])));
    }
    const QString trimmed = TrimControl(line);
    checkTrimmed(line, trimmed);

    const QStringList earlier = {QStringLiteral("old 1"), QStringLiteral("old 2")};
    LineList fields = listOf(earlier);
    LineTokenize(line, fields);
    if (trimmed.isEmpty()) {
        checkLines(fields.lines(), earlier, "a line with nothing to split leaves the fields");
        return;
    }
    // Split by code unit (a pattern match would refuse text that is no valid UTF-16). A run between
    // separators may carry other control characters at its ends; TrimControl, checked above,
    // takes them off.
    QString blanks = trimmed;
    blanks.replace(u'\t', u' ');
    QStringList expected;
    for (const QString& run : blanks.split(u' ', Qt::SkipEmptyParts))
        expected << TrimControl(run);
    checkLines(fields.lines(), expected, "fields are the trimmed runs between blanks and tabs");

    // The line may be one of the fields of the list it fills.
    const QString first = fields.Get(0);
    LineList apart;
    LineTokenize(first, apart);
    LineTokenize(fields.Get(0), fields);
    checkLines(fields.lines(), TrimControl(first).isEmpty() ? expected : apart.lines(),
               "splitting a field of the same list as a copy of it");
}

} // namespace lumetra::fuzz
