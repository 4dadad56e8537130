#include "LineTokenize.h"

#include "LineList.h"

QString TrimControl(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

void LineTokenize(const QString& line, LineList& fields) {
    const QString trimmed = TrimControl(line);
    if (trimmed.isEmpty())
        return;
    fields.Clear();
    const qsizetype n = trimmed.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (trimmed.at(i) == u' ' || trimmed.at(i) == u'\t'))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && trimmed.at(i) != u' ' && trimmed.at(i) != u'\t')
            ++i;
        fields.Add(TrimControl(trimmed.mid(start, i - start)));
    }
}
