#include "CreationDates.h"

#include <QTime>

namespace {

bool isGap(QChar c) {
    return c == u' ' || c.category() == QChar::Separator_Space;
}

// What the saved file's code page can hold of a locale's date or time: the locale's own digits
// (Arabic-Indic, Persian, Devanagari, ...) become Latin ones, other spaces plain blanks, and the
// invisible direction marks some formats carry (U+200F in Egyptian Arabic) are dropped; each of
// them would otherwise be written as "?". The soft hyphen is the one format character it has.
QString inCodePageDigits(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c.isDigit() && c.unicode() >= 0x80)
            out += QChar(u'0' + c.digitValue());
        else if (c.category() == QChar::Separator_Space)
            out += u' ';
        else if (c.category() != QChar::Other_Format || c.unicode() == 0xAD)
            out += c;
    }
    return out;
}

} // namespace

QString TimeFormatWithoutZone(const QString& format) {
    QString out;
    const qsizetype n = format.size();
    bool quoted = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        qsizetype end = i;
        while (end < n && format.at(end) == u't')
            ++end;
        // "(t)" and "[t]" go with their brackets.
        if (!out.isEmpty() && end < n &&
            ((out.back() == u'(' && format.at(end) == u')') ||
             (out.back() == u'[' && format.at(end) == u']'))) {
            out.chop(1);
            ++end;
        }
        // The separator before the zone goes too; a zone that leads the format takes the one after.
        qsizetype kept = out.size();
        while (kept > 0 && isGap(out.at(kept - 1)))
            --kept;
        if (kept < out.size()) {
            if (kept > 0 && out.at(kept - 1) == u',')
                --kept;
            out.truncate(kept);
        } else {
            while (end < n && isGap(format.at(end)))
                ++end;
        }
        i = end - 1;
    }
    return out;
}

QString MidnightLongTime(const QLocale& locale) {
    const QString format = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
    return inCodePageDigits(locale.toString(QTime(0, 0), format));
}

QString SmoothingCreatedText(const QDate& date, const QLocale& locale) {
    return QString::asprintf("%02d_", date.day()) + locale.monthName(date.month(), QLocale::ShortFormat) +
           QString::asprintf("_%04d ", date.year()) + MidnightLongTime(locale);
}

QString SpecCreatedDate(const QDate& date, const QLocale& locale) {
    return inCodePageDigits(locale.toString(date, QLocale::ShortFormat));
}
