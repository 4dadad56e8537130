#pragma once

#include "BuildClock.h"
#include "LineList.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>

// A scratch folder made the current directory for the life of the object; the old current
// directory comes back afterwards.
class ScratchCurrentDir {
public:
    ScratchCurrentDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~ScratchCurrentDir() { QDir::setCurrent(m_previous); }
    ScratchCurrentDir(const ScratchCurrentDir&) = delete;
    ScratchCurrentDir& operator=(const ScratchCurrentDir&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Copies the test swatch files (tests/data/build/CMYK) into ./CMYK.
    void copyTestSwatches() const {
        QDir().mkpath(filePath(QStringLiteral("CMYK")));
        const QDir source(QStringLiteral(LUMETRA_TEST_DATA "/build/CMYK"));
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), filePath(QStringLiteral("CMYK/") + name));
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

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

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline LineList Lines(const QStringList& lines) {
    LineList list;
    for (const QString& line : lines)
        list.Add(line);
    return list;
}
