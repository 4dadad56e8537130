// Saved documents are plain 8-bit text for Windows tools: the system's 8-bit code page (Windows-1252
// outside Windows), lines separated by CR LF, no line break after the last line, no byte-order mark
// (but for a Windows whose ANSI code page is UTF-8). A pane whose last line is empty therefore gives
// a file whose every line ends in CR LF.

#include "SaveDocument.h"

#include "CodePage1252.h"
#include "Controls.h"
#include "Error.h"
#include "LineList.h"
#include "Toolkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <bitset>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include "WindowsApi.h"
#else
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const char* const kCodePage = kCodePage1252Name;

// The BMP characters the code page holds.
const std::bitset<0x10000>& encodable() {
    static const std::bitset<0x10000> table = [] {
        std::bitset<0x10000> t;
        for (char16_t c : AnsiCodePage())
            t.set(c);
        return t;
    }();
    return table;
}

bool fits(char32_t c) {
    return c < 0x10000 && encodable().test(c);
}

bool fitsAll(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80 && !fits(c.unicode()))
            return false;
    return true;
}

QByteArray encodeByTable(const QString& text) {
    static const std::array<unsigned char, 0x10000> byteOf = [] {
        std::array<unsigned char, 0x10000> t{};
        const auto& table = AnsiCodePage();
        for (int b = 255; b >= 0; --b)
            t[table[b]] = static_cast<unsigned char>(b);
        return t;
    }();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text)
        *out++ = fits(c.unicode()) ? static_cast<char>(byteOf[c.unicode()]) : '?';
    return bytes;
}

bool isMark(char32_t c) {
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining ||
           cat == QChar::Mark_Enclosing;
}

// What stands in for a character the code page lacks.
QString standIn(char32_t c) {
    if (QChar::category(c) == QChar::Separator_Space)
        return QStringLiteral(" ");
    // A diacritic left over after composition: its base letter has already been written.
    if (isMark(c))
        return QString();
    QString base;
    for (QChar d : QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D))
        if (!isMark(d.unicode()))
            base += d;
    bool usable = !base.isEmpty();
    for (QChar d : base)
        usable = usable && d.isLetter() && fits(d.unicode());
    return usable ? base : QStringLiteral("?");
}

// Replaces what the code page lacks. Composing first keeps a letter written with a combining
// accent ("e" + U+0301) as the one character the code page has for it.
QString fitToCodePage(const QString& text) {
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(composed.size());
    const qsizetype n = composed.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = composed.at(i);
        char32_t cp = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && composed.at(i + 1).isLowSurrogate())
            cp = QChar::surrogateToUcs4(c, composed.at(++i));
        if (fits(cp))
            out += c;
        else
            out += standIn(cp);
    }
    return out;
}

Error cannotCreate(const QString& path, const QString& reason) {
    return Error(QStringLiteral("Cannot create file \"%1\". %2")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), ReasonText(reason)));
}

Error cannotSave(const QString& path, const QString& reason) {
    const QString why = ReasonText(reason);
    return Error(QStringLiteral("Cannot save \"%1\": %2")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                          why.isEmpty() ? QStringLiteral("the system gave no reason") : why));
}

#ifndef Q_OS_WIN
// A reader that goes away must make a write fail with EPIPE, not end the program: SIGPIPE is held
// back on this thread while writing, and one the write raised is taken before it is let through.
class SigpipeHeld {
public:
    SigpipeHeld() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~SigpipeHeld() {
        if (!m_wasPending) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE) == 1) {
                const timespec now{};
                while (sigtimedwait(&m_pipe, nullptr, &now) < 0 && errno == EINTR) {
                }
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
};

// A device, FIFO or socket is written through, as a shell redirection would: renaming a new file
// over it would replace the node itself (as root, /dev/null with a regular file) and a FIFO's
// reader would get nothing.
void writeInPlace(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    const SigpipeHeld held;
    int fd;
    do {
        fd = ::open(native.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw cannotCreate(path, SystemErrorText(errno));
    if (const int code = WriteAllBytes(fd, bytes)) {
        ::close(fd);
        throw cannotSave(path, SystemErrorText(code));
    }
    if (::close(fd) != 0 && errno != EINTR)
        throw cannotSave(path, SystemErrorText(errno));
}

// The replacement of an existing file keeps its permission bits, and its owner and group where
// the program may set them (root saving over another user's file must not make it root's).
void keepOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno == EPERM) {
        // Not allowed to give the file away; a group of the user's own may still be kept.
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    // After the owner: changing it clears the set-user and set-group bits.
    ::fchmod(fd, old.st_mode & 07777);
}

#endif

} // namespace

QByteArray EncodeDocument(const LineList& lines) {
    QString text = lines.join(u"\r\n");
    switch (AnsiCodePageKind()) {
    case AnsiKind::Utf8:
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    case AnsiKind::MultiByte: {
        // The system's codec puts its own stand-in for what the code page lacks.
        QStringEncoder encoder(QStringConverter::System, QStringEncoder::Flag::Stateless);
        return encoder.encode(text);
    }
    case AnsiKind::SingleByte:
        break;
    }
    if (!fitsAll(text))
        text = fitToCodePage(text);
    if (AnsiIsCodePage1252()) {
        QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
        if (encoder.isValid())
            return encoder.encode(text);
    }
    // Without a codec by name (a Qt without ICU), or another single-byte code page: the byte of
    // each character from the decoding table. Every character fits by now.
    return encodeByTable(text);
}

#ifdef Q_OS_WIN
namespace {

// Writes all bytes to an open handle; 0, or the system's error code.
DWORD writeAllToHandle(HANDLE handle, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(left, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(handle, p, chunk, &written, nullptr))
            return GetLastError();
        p += written;
        left -= written;
    }
    return 0;
}

} // namespace

void WriteDocumentFile(const QString& path, const QByteArray& bytes) {
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    // A device (NUL, a serial port) or a pipe is written through, as a redirection would; only a
    // file on a disk is replaced whole.
    HANDLE existing = native.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileW(native.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        if (GetFileType(existing) != FILE_TYPE_DISK) {
            const DWORD code = writeAllToHandle(existing, bytes);
            CloseHandle(existing);
            if (code != 0)
                throw cannotSave(path, WindowsErrorText(code));
            return;
        }
        CloseHandle(existing);
    }
    // A read-only file is not replaced behind its back, even though the folder would allow it
    // (and even for an administrator, whom the attribute does not stop from opening it).
    if (const DWORD attributes = native.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(native.c_str());
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & FILE_ATTRIBUTE_READONLY))
        throw cannotCreate(path, WindowsErrorText(ERROR_ACCESS_DENIED));

    // The new text goes to a temporary file beside the target and replaces it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw cannotSave(path, reason);
    }
    if (!file.commit())
        throw cannotSave(path, file.errorString());
}
#else
void WriteDocumentFile(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    struct stat old {};
    const bool exists = !native.isEmpty() && ::stat(native.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) {
        writeInPlace(path, bytes);
        return;
    }
    // A file the user may not write is not replaced behind its back, even though the folder
    // would allow the rename.
    if (exists && S_ISREG(old.st_mode) && ::access(native.constData(), W_OK) != 0)
        throw cannotCreate(path, SystemErrorText(errno));

    // The new text goes to a temporary file beside the target and replaces it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate(path, file.errorString());
    if (exists && S_ISREG(old.st_mode))
        keepOwnerAndMode(file.handle(), old);
    // Written through the descriptor (the file is unbuffered): Qt's own write error is only
    // "Unknown error", the system's tells a full disk from a lost drive.
    if (const int code = WriteAllBytes(file.handle(), bytes)) {
        file.cancelWriting();
        throw cannotSave(path, SystemErrorText(code));
    }
    if (!file.commit())
        throw cannotSave(path, file.errorString());
}

#endif

int WriteAllBytes(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
#ifdef Q_OS_WIN
        const int n = ::_write(fd, p, static_cast<unsigned>(std::min<qsizetype>(left, 1 << 30)));
#else
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
#endif
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
    }
    return 0;
}

QString SaveTimestamp(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::asprintf("%04d%02d%02d_%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                             t.second());
}

QString BlockersQuestion(const QStringList& blockers) {
    QString text = QStringLiteral("Preflight found errors: the file would be wrong.");
    for (const QString& b : blockers)
        text += QStringLiteral("\r\r") + b;
    return text;
}

bool RunSaveStep(const SaveStep& step, Toolkit& toolkit, const QDateTime& now) {
    step.dialog.FileName = step.prefix + SaveTimestamp(now);
    step.dialog.DefaultExt = step.defaultExt;
    if (!step.blockers.isEmpty() &&
        !toolkit.AskQuestion(BlockersQuestion(step.blockers), QStringLiteral("Save anyway"),
                             QStringLiteral("Cancel")))
        return false;
    if (!toolkit.ExecuteSave(step.dialog))
        return false;
    toolkit.Yield();
    if (step.appendEmptyLine)
        step.pane.Lines.Add(QString());
    const QByteArray bytes = EncodeDocument(step.pane.Lines);
    if (!toolkit.TakeSavedDocument(step.dialog, bytes))
        WriteDocumentFile(step.dialog.FileName, bytes);
    step.pathDisplay.Text = step.dialog.FileName;
    return true;
}
