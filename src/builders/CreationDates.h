#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The CREATED text of a smoothing file: "dd_mmm_yyyy" and midnight in the locale's long time
// format, for example "11_Mar_2018 12:00:00 AM" (US English) or "11_mars_2018 00:00:00" (French).
// Day and year are ASCII digits; the month name is the locale's abbreviated one.
QString SmoothingCreatedText(const QDate& date, const QLocale& locale);

// Midnight in the locale's long time format, without the time zone Qt's long format carries
// ("12:00:00 AM" rather than "12:00:00 AM UTC"). Digits are ASCII, spaces plain blanks, and
// direction marks are left out.
QString MidnightLongTime(const QLocale& locale);

// A Qt time format with its time-zone fields ("t", "tttt", ...) removed, together with the
// brackets around them and the blank or comma that separates them from the time.
QString TimeFormatWithoutZone(const QString& format);

// The date of a spec file's creation line: the locale's short date format, with ASCII digits
// where the locale has digits of its own ("11/3/2018" in Egyptian Arabic) and no direction marks.
QString SpecCreatedDate(const QDate& date, const QLocale& locale);
