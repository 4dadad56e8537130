#include "LineTokenize.h"

#include "LineList.h"

QStringView TrimControlView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(begin, end - begin);
}

bool IsFieldSeparator(QChar c) {
    return c == u' ' || c == u'\t';
}

QString TrimControl(const QString& text) {
    return TrimControlView(text).toString();
}

void LineTokenize(const QString& line, LineList& fields) {
    // Hold the text: line may be one of the fields about to be cleared.
    const QString text = line;
    const QStringView trimmed = TrimControlView(text);
    if (trimmed.isEmpty())
        return;
    fields.Clear();
    const qsizetype n = trimmed.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && IsFieldSeparator(trimmed[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !IsFieldSeparator(trimmed[i]))
            ++i;
        // A run may still carry other control characters at its ends (blank-tab-U+0001-blank).
        fields.Add(TrimControlView(trimmed.sliced(start, i - start)).toString());
    }
}
