#include "SaveDocument.h"
#include "BuildTestSupport.h"
#include "Controls.h"
#include "Error.h"
#include "ScriptedToolkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <thread>

#ifdef Q_OS_WIN
#include "WindowsApi.h"
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

struct EncodeCase {
    const char* name;
    QStringList lines;
    QByteArray bytes;
};

class EncodeDocumentTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeDocumentTest, GivesExactBytes) {
    EXPECT_EQ(EncodeDocument(Lines(GetParam().lines)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EncodeDocumentTest,
    ::testing::Values(
        EncodeCase{"NoLines", {}, QByteArray()}, EncodeCase{"OneEmptyLine", {QString()}, QByteArray()},
        EncodeCase{"CrLfBetweenNoneAfter", {"A", "B", "END_DATA"}, QByteArray("A\r\nB\r\nEND_DATA")},
        EncodeCase{"EmptyLastLineEndsInCrLf", {"A", "B", QString()}, QByteArray("A\r\nB\r\n")},
        EncodeCase{"EmptyLinesInside", {"A", QString(), "B"}, QByteArray("A\r\n\r\nB")},
        EncodeCase{
            "Windows1252Letters", {QString::fromUtf8("€ é Ä ß ž")}, QByteArray("\x80 \xE9 \xC4 \xDF \x9E")},
        EncodeCase{"UndefinedBytesRoundTrip", {QString(QChar(0x81)) + QChar(0x8D)}, QByteArray("\x81\x8D")},
        EncodeCase{"BaseLetterForMissingAccent", {QString::fromUtf8("Dő Ł ș")}, QByteArray("Do ? s")},
        EncodeCase{"CombiningAccentComposed",
                   {QString::fromUtf8("e\u0301 o\u030B q\u0301")},
                   QByteArray("\xE9 o q")},
        EncodeCase{"NoLookAlike", {QString::fromUtf8("a→b ≠ Ω")}, QByteArray("a?b ? ?")},
        EncodeCase{
            "OtherSpacesBecomeBlanks", {QString::fromUtf8("12:00:00\u202FAM")}, QByteArray("12:00:00 AM")},
        EncodeCase{"AstralCharacterOneQuestionMark", {QString::fromUtf8("x😀y")}, QByteArray("x?y")},
        EncodeCase{"LoneSurrogate", {QString(QChar(0xD800)) + u'z'}, QByteArray("?z")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeDocument, WritesNoByteOrderMark) {
    const QByteArray bytes = EncodeDocument(Lines({QString::fromUtf8("Ünïcode")}));
    EXPECT_EQ(bytes, QByteArray("\xDCn\xEF"
                                "code"));
}

TEST(SaveTimestamp, IsFifteenAsciiCharactersOnTheTwentyFourHourClock) {
    const ScopedDefaultLocale arabic(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(SaveTimestamp(SampleTime()), "20180311_142530");
    EXPECT_EQ(SaveTimestamp(QDateTime(QDate(2018, 3, 11), QTime(9, 5, 7))), "20180311_090507");
    EXPECT_EQ(SaveTimestamp(QDateTime(QDate(2019, 12, 31), QTime(23, 59, 59))), "20191231_235959");
}

class WriteDocumentFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    // The message of the Error that fn throws; "" when it throws none.
    template <typename Fn> static QString errorOf(Fn fn) {
        try {
            fn();
        } catch (const Error& e) {
            return e.message();
        }
        return QString();
    }
};

TEST_F(WriteDocumentFileTest, ReplacesALongerFileWhole) {
    ASSERT_TRUE(WriteBytes(path("out.txt"), QByteArray(1000, 'x')));
    WriteDocumentFile(path("out.txt"), "A\r\nB");
    EXPECT_EQ(ReadBytes(path("out.txt")), QByteArray("A\r\nB"));
}

#ifndef Q_OS_WIN
TEST_F(WriteDocumentFileTest, NewFileIsReadableByOthersAsUsual) {
    const mode_t mask = ::umask(022);
    WriteDocumentFile(path("new.txt"), "A");
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path("new.txt")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

#endif

TEST_F(WriteDocumentFileTest, CannotCreateNamesTheFileAndTheReason) {
    ASSERT_TRUE(WriteBytes(path("plain"), "x"));
    struct Case {
        QString target;
        QString reason; // empty: any system text
    };
    const Case cases[] = {
        {path("plain/out.txt"), QString()},   // parent is a regular file
        {path("missing/out.txt"), QString()}, // parent does not exist
#ifdef Q_OS_WIN
        {dir.path(), QString()},
#else
        {dir.path(), QStringLiteral("Filename refers to a directory")},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        const QString message = errorOf([&] { WriteDocumentFile(c.target, "A"); });
        const QString head = QStringLiteral("Cannot create file \"%1\". ").arg(ShownPath(c.target));
        ASSERT_TRUE(message.startsWith(head)) << message.toStdString();
        const QString reason = message.mid(head.size());
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_FALSE(reason.endsWith(u'.'));
        if (!c.reason.isEmpty()) {
            EXPECT_EQ(reason, c.reason);
        }
    }
    EXPECT_EQ(ReadBytes(path("plain")), QByteArray("x"));
}

#ifndef Q_OS_WIN
TEST_F(WriteDocumentFileTest, FailureInReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    QDir().mkdir(path("locked"));
    const QString target = path("locked/out.txt");
    ASSERT_TRUE(WriteBytes(target, "old content"));
    ASSERT_TRUE(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner));
    const QString message = errorOf([&] { WriteDocumentFile(target, "new"); });
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(target)))
        << message.toStdString();
    EXPECT_EQ(ReadBytes(target), QByteArray("old content"));
}

// A file-size limit makes the system refuse bytes midway, as a full disk does, even for root.
TEST_F(WriteDocumentFileTest, WriteErrorMidwayKeepsTheOldFile) {
    const QString target = path("out.txt");
    ASSERT_TRUE(WriteBytes(target, "old content"));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = errorOf([&] { WriteDocumentFile(target, QByteArray(100000, 'n')); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, QStringLiteral("Cannot save \"%1\": File too large").arg(target));
    EXPECT_EQ(ReadBytes(target), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
}

TEST_F(WriteDocumentFileTest, WriteErrorOfADeviceNamesTheFileAndTheReason) {
    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(errorOf([] { WriteDocumentFile(QStringLiteral("/dev/full"), "A\r\nB"); }),
              "Cannot save \"/dev/full\": No space left on device");
}

// A path that names a device or a FIFO is written through: renaming a new file over it would
// replace the node (as root, /dev/null with a regular file) and a FIFO's reader would get nothing.
TEST_F(WriteDocumentFileTest, DeviceStaysADevice) {
    WriteDocumentFile(QStringLiteral("/dev/null"), QByteArray(100000, 'x'));
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0666, 0666u);
}

TEST_F(WriteDocumentFileTest, FifoReaderGetsTheWholeDocument) {
    const QString fifo = path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray document;
    for (int i = 0; i < 20000; ++i)
        document += "row " + QByteArray::number(i) + "\r\n"; // well beyond a pipe's buffer
    QByteArray received;
    std::thread reader([&] {
        QFile in(fifo);
        if (in.open(QIODevice::ReadOnly))
            received = in.readAll();
    });
    WriteDocumentFile(fifo, document);
    reader.join();
    EXPECT_EQ(received, document);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList{"fifo"});
}

// A reader that stops early gives an error, not the end of the program by SIGPIPE.
TEST_F(WriteDocumentFileTest, FifoReaderLeavingEarlyIsAnError) {
    const QString fifo = path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::thread reader([&] {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
        char c;
        if (fd >= 0 && ::read(fd, &c, 1) >= 0)
            ::close(fd);
    });
    const QString message = errorOf([&] { WriteDocumentFile(fifo, QByteArray(1 << 20, 'x')); });
    reader.join();
    EXPECT_EQ(message, QStringLiteral("Cannot save \"%1\": Broken pipe").arg(fifo));
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)); // nothing left to strike later
}

TEST_F(WriteDocumentFileTest, SocketCannotBeOpenedAndSaysWhy) {
    const QString socketPath = path("sock");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socketPath);
    ASSERT_LT(size_t(native.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    const QString message = errorOf([&] { WriteDocumentFile(socketPath, "A"); });
    ::close(fd);
    EXPECT_EQ(message,
              QStringLiteral("Cannot create file \"%1\". No such device or address").arg(socketPath));
}

// The replacement keeps the permission bits the user gave the file. A file without write
// permission is refused where that binds (not for root, who may replace it like any other).
TEST_F(WriteDocumentFileTest, ReplacementKeepsThePermissionBits) {
    const bool root = ::geteuid() == 0;
    for (const mode_t mode : {0600, 0640, 0664, 0755, 0444, 0400}) {
        SCOPED_TRACE(mode);
        const QString target = path(QStringLiteral("out%1.txt").arg(mode, 0, 8));
        ASSERT_TRUE(WriteBytes(target, "old"));
        const QByteArray native = QFile::encodeName(target);
        ASSERT_EQ(::chmod(native.constData(), mode), 0);
        const bool writable = root || (mode & S_IWUSR);
        const QString message = errorOf([&] { WriteDocumentFile(target, "new"); });
        if (writable) {
            EXPECT_EQ(message, QString());
            EXPECT_EQ(ReadBytes(target), QByteArray("new"));
        } else {
            EXPECT_EQ(message, QStringLiteral("Cannot create file \"%1\". Permission denied").arg(target));
            EXPECT_EQ(ReadBytes(target), QByteArray("old"));
        }
        struct stat st {};
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
    }
}

// Root replacing another user's file must not make it root's.
TEST_F(WriteDocumentFileTest, ReplacementKeepsOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const QString target = path("theirs.txt");
    ASSERT_TRUE(WriteBytes(target, "old"));
    const QByteArray native = QFile::encodeName(target);
    ASSERT_EQ(::chown(native.constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    WriteDocumentFile(target, "new");
    struct stat st {};
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(target), QByteArray("new"));
}
#else
// The Windows counterparts: a read-only file (its attribute) is refused in the system's words and
// kept; a device name is written through, never replaced by a file.
TEST_F(WriteDocumentFileTest, ReadOnlyFileIsRefusedAndKept) {
    const QString target = path("locked.txt");
    ASSERT_TRUE(WriteBytes(target, "old"));
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadUser));
    const QString message = errorOf([&] { WriteDocumentFile(target, "new"); });
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(message, QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(ShownPath(QFileInfo(target).absoluteFilePath()), WindowsErrorText(ERROR_ACCESS_DENIED)));
    EXPECT_EQ(ReadBytes(target), QByteArray("old"));
}

TEST_F(WriteDocumentFileTest, DeviceStaysADevice) {
    const CurrentDirGuard inDir(dir.path());
    WriteDocumentFile(QStringLiteral("NUL"), QByteArray(100000, 'x'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
}

#endif

class RunSaveStepTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedToolkit toolkit;
    SaveDialog dialog{QStringLiteral("txt|*.txt|spec|*.spec|*|*"), 0, QStringLiteral("CGATS"),
                      QStringLiteral("spec"), ofOverwritePrompt};
    Memo pane;
    Label display{QStringLiteral("SmoothCGATS.txt"), true, true};

    SaveStep step(bool appendEmptyLine = false) {
        return SaveStep{dialog,         QStringLiteral("Smooth_"), QStringLiteral("txt"), pane, display,
                        appendEmptyLine};
    }
};

TEST_F(RunSaveStepTest, OffersTimestampedNameAndWritesThePaneOnConfirm) {
    pane.Lines = Lines({"BEGIN_DATA", "END_DATA"});
    toolkit.answerSave(dir.filePath("chosen")); // typed without extension
    EXPECT_TRUE(RunSaveStep(step(), toolkit, SampleTime()));

    ASSERT_EQ(toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(toolkit.shownSaveDialogs[0].FileName, "Smooth_20180311_142530");
    EXPECT_EQ(toolkit.shownSaveDialogs[0].DefaultExt, "txt");
    EXPECT_EQ(ReadBytes(dir.filePath("chosen.txt")), QByteArray("BEGIN_DATA\r\nEND_DATA"));
    EXPECT_EQ(display.Text, dir.filePath("chosen.txt"));
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Yield), 1);
}

TEST_F(RunSaveStepTest, AppendsTheEmptyLineOnlyWhenConfirmed) {
    pane.Lines = Lines({"; Created: 11.03.2018", "0.1\t0.2"});
    toolkit.answerSave(std::nullopt);
    EXPECT_FALSE(RunSaveStep(step(true), toolkit, SampleTime()));
    EXPECT_EQ(pane.Lines.Count(), 2);
    EXPECT_EQ(display.Text, "SmoothCGATS.txt");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    toolkit.answerSave(dir.filePath("a.spec"));
    EXPECT_TRUE(RunSaveStep(step(true), toolkit, SampleTime()));
    EXPECT_EQ(pane.Lines.lines(), QStringList({"; Created: 11.03.2018", "0.1\t0.2", ""}));
    EXPECT_EQ(ReadBytes(dir.filePath("a.spec")), QByteArray("; Created: 11.03.2018\r\n0.1\t0.2\r\n"));
}

TEST_F(RunSaveStepTest, FailedWriteKeepsPathDisplayAndThrows) {
    pane.Lines = Lines({"A"});
    toolkit.answerSave(dir.filePath("missing/out.txt"));
    EXPECT_THROW(RunSaveStep(step(), toolkit, SampleTime()), Error);
    EXPECT_EQ(display.Text, "SmoothCGATS.txt");
}

} // namespace
