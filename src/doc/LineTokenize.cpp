#include "LineTokenize.h"

#include "LineList.h"

namespace {

QStringView trimmedView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(begin, end - begin);
}

bool isSeparator(QChar c) {
    return c == u' ' || c == u'\t';
}

} // namespace

QString TrimControl(const QString& text) {
    return trimmedView(text).toString();
}

void LineTokenize(const QString& line, LineList& fields) {
    // Hold the text: line may be one of the fields about to be cleared.
    const QString text = line;
    const QStringView trimmed = trimmedView(text);
    if (trimmed.isEmpty())
        return;
    fields.Clear();
    const qsizetype n = trimmed.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isSeparator(trimmed[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !isSeparator(trimmed[i]))
            ++i;
        // A run may still carry other control characters at its ends (blank-tab-U+0001-blank).
        fields.Add(trimmedView(trimmed.sliced(start, i - start)).toString());
    }
}
