#pragma once

#include "BuildClock.h"
#include "LineList.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>

// Makes a locale Qt's default for the life of the object: code that wrongly formats numbers or
// names through the default locale shows it.
class ScopedDefaultLocale {
public:
    explicit ScopedDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedDefaultLocale() { QLocale::setDefault(m_previous); }
    ScopedDefaultLocale(const ScopedDefaultLocale&) = delete;
    ScopedDefaultLocale& operator=(const ScopedDefaultLocale&) = delete;

private:
    QLocale m_previous;
};

inline BuildClock FixedClock(const QDateTime& now, const QLocale& regional = QLocale::c()) {
    return BuildClock{[now] { return now; }, [regional] { return regional; }};
}

// 14:25:30 on 11 March 2018.
inline QDateTime SampleTime() {
    return QDateTime(QDate(2018, 3, 11), QTime(14, 25, 30));
}

inline LineList Lines(const QStringList& lines) {
    LineList list;
    for (const QString& line : lines)
        list.Add(line);
    return list;
}
