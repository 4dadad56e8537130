// A load must not exhaust memory, whatever file it is given: a document whose lines would take
// far more memory than its size (a file of nothing but line breaks, of very short lines) is
// refused, while real documents, large ones included, load as before.

#include "Error.h"
#include "TestFiles.h"
#include "LineList.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr qsizetype MiB = 1024 * 1024;
const char kTooMany[] = "Too many lines to hold in memory";

QString loadError(LineList& list, const QByteArray& bytes) {
    try {
        list.LoadFromBytes(bytes);
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

TEST(LineListMemory, ManyEmptyLinesAreRefusedAndTheOldLinesKept) {
    LineList list;
    list.Add(QStringLiteral("kept"));
    // 3 MiB of line breaks: three million empty lines, more than 64 MiB in a list.
    const QString error = loadError(list, QByteArray(3 * MiB, '\n'));
    EXPECT_TRUE(error.startsWith("Cannot read file \"")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(kTooMany)) << error.toStdString();
    EXPECT_EQ(list.lines(), QStringList{"kept"});

    // The same in UTF-16, and from a file, whose name the message gives.
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + QByteArray("\n\0", 2).repeated(3 * MiB);
    EXPECT_TRUE(loadError(list, utf16).endsWith(kTooMany));
    QTemporaryDir dir;
    const QString path = dir.filePath("breaks.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3 * MiB, '\r'));
    file.close();
    try {
        list.LoadFromFile(path);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot read file \"%1\". %2").arg(ShownPath(path), kTooMany));
    }
    EXPECT_EQ(list.lines(), QStringList{"kept"});
}

// Below 64 MiB of lines any document loads, however short its lines.
TEST(LineListMemory, SmallDocumentsLoadWhateverTheirLines) {
    LineList list;
    EXPECT_EQ(loadError(list, QByteArray(2 * MiB, '\n')), QString());
    EXPECT_EQ(list.Count(), 2 * MiB);
    EXPECT_EQ(loadError(list, QByteArray("1\r\n").repeated(MiB / 2)), QString());
    EXPECT_EQ(list.Count(), MiB / 2);
}

// Lines of a measurement file take about twice its size: a large one loads.
TEST(LineListMemory, LargeDocumentWithLongLinesLoads) {
    const QByteArray row = "A1 " + QByteArray("0.0512 ").repeated(36) + "\r\n";
    const QByteArray doc = row.repeated(30 * MiB / row.size());
    QBuffer buffer;
    buffer.setData(doc);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    LineList list;
    list.LoadFromStream(buffer);
    EXPECT_EQ(list.Count(), doc.size() / row.size());
}

// L*a*b* rows are short, their lines take about four times the file: 620,000 patches (17 MB,
// the rows written as the measurement software does, with a closing blank) load, and so do
// rows as short as a chart has them. A file of the same size of one-character lines does not.
TEST(LineListMemory, ShortMeasurementRowsLoad) {
    QByteArray lab = "CGATS.17\r\nBEGIN_DATA\r\n";
    lab.reserve(17 * MiB);
    for (int i = 1; i <= 620000; ++i)
        lab += QByteArray::number(i) + " 43.24 -20.18 20.87 \r\n";
    lab += "END_DATA\r\n";
    LineList list;
    EXPECT_EQ(loadError(list, lab), QString());
    EXPECT_EQ(list.Count(), 620003);

    EXPECT_EQ(loadError(list, QByteArray("1 0 0 0\r\n").repeated(12 * MiB / 9)), QString());
    EXPECT_TRUE(loadError(list, QByteArray("1\r\n").repeated(12 * MiB / 3)).endsWith(kTooMany));
}

} // namespace
