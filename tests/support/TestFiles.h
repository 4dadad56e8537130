#pragma once

// Files and folders for the tests, the benchmarks and the fuzz harnesses: whole-file reads and
// writes, and the current directory changed for a scope (the builders read ./CMYK below it).
// Header-only and Qt Core only; it comes with lumetra_testsupport, which the fuzz build has too.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A path as the program shows it in its messages: in the system's form (on Windows "C:\\x\\y").
inline QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// What the system says when path cannot be opened for reading ("No such file or directory", on
// Windows "File not found"), with the trailing full stop dropped as the program's messages do.
inline QString OpenFailureReason(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return QString();
    QString reason = file.errorString();
    while (!reason.isEmpty() && (reason.back() == u'.' || reason.back().isSpace()))
        reason.chop(1);
    return reason;
}

// Makes path the current directory for the life of the object; the old one comes back afterwards.
class CurrentDirGuard {
public:
    explicit CurrentDirGuard(const QString& path)
        : m_previous(QDir::currentPath()), m_entered(QDir::setCurrent(path)) {}
    ~CurrentDirGuard() { QDir::setCurrent(m_previous); }
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

    // False when the folder could not be entered (the current directory is then unchanged).
    bool entered() const { return m_entered; }

private:
    QString m_previous;
    bool m_entered;
};

// A scratch folder made the current directory for the life of the object; the old current
// directory comes back afterwards.
class ScratchCurrentDir {
public:
    ScratchCurrentDir() : m_guard(m_dir.path()) {}

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

#ifdef LUMETRA_TEST_DATA
    // Copies the test swatch files (tests/data/builders/CMYK) into ./CMYK.
    void copyTestSwatches() const {
        QDir().mkpath(filePath(QStringLiteral("CMYK")));
        const QDir source(QStringLiteral(LUMETRA_TEST_DATA "/builders/CMYK"));
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), filePath(QStringLiteral("CMYK/") + name));
    }
#endif

private:
    QTemporaryDir m_dir; // made before the guard enters it, removed after the guard has left it
    CurrentDirGuard m_guard;
};

// The whole file, or "<unreadable>" (which no test expects as content).
inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

// Replaces the file's content with bytes; false when not all of them were written.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
