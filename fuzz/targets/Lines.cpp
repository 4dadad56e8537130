// LineList::LoadFromBytes in every encoding, against decoding the whole text first and cutting it
// afterwards (the real load cuts the bytes first and decodes line by line); the same lines read
// from a stream in chunks of every size; IndexOf on the loaded lines.

#include "FuzzSupport.h"

#include "CodePage1252.h"
#include "Error.h"
#include "LineList.h"
#include "MeasurementKind.h"

#include <QBuffer>
#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>

namespace lumetra::fuzz {
namespace {

bool isAsciiText(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The program only ever searches for ASCII keywords; for them equality is ASCII case folding.
int indexOfKeyword(const QStringList& lines, const QString& keyword) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (isAsciiText(lines.at(i)) && lines.at(i).compare(keyword, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QStringList cutText(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && text.at(j) != u'\r' && text.at(j) != u'\n')
            ++j;
        lines.append(text.mid(i, j - i));
        if (j >= n)
            break;
        if (text.at(j) == u'\r')
            ++j;
        if (j < n && text.at(j) == u'\n')
            ++j;
        i = j;
    }
    return lines;
}

QString upToNul(QString text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

struct ReferenceLoad {
    bool valid = true;
    QStringList lines;
};

// Decode the whole text, then cut it: the plain order of the rules, where the real load cuts the
// bytes first and decodes line by line.
ReferenceLoad referenceLoad(const QByteArray& b) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData());
    if (b.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(b.mid(3));
        if (decoder.hasError())
            return {false, {}};
        return {true, cutText(upToNul(text))};
    }
    if (b.startsWith("\xFF\xFE") || b.startsWith("\xFE\xFF")) {
        const bool big = p[0] == 0xFE;
        QString text;
        for (qsizetype i = 2; i + 1 < b.size(); i += 2)
            text.append(QChar(static_cast<char16_t>(big ? (p[i] << 8) | p[i + 1] : (p[i + 1] << 8) | p[i])));
        return {true, cutText(upToNul(text))};
    }
    // The code page's table is the program's own: what is checked here is the order of decoding
    // and cutting, not the table.
    const auto& codePage = CodePage1252();
    QString text;
    text.reserve(b.size());
    for (qsizetype i = 0; i < b.size(); ++i)
        text.append(QChar(codePage[p[i]]));
    return {true, cutText(upToNul(text))};
}

// Chunk sizes that split marks, CR LF pairs, UTF-8 sequences and UTF-16 units everywhere.
constexpr qsizetype kChunks[] = {1, 2, 3, 5, 8};

// A stream that gives at most a few bytes per read, as a pipe or a slow network share may.
class Dribble : public QIODevice {
public:
    explicit Dribble(const QByteArray& bytes) : m_bytes(bytes) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::min<qint64>({maxSize, m_bytes.size() - m_at, 1 + (m_reads++ % 7)});
        std::copy_n(m_bytes.constData() + m_at, n, data);
        m_at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
    qint64 m_reads = 0;
};

} // namespace

void LoadLines(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const ReferenceLoad ref = referenceLoad(bytes);
    LineList list;
    list.Add(QStringLiteral("earlier"));
    try {
        list.LoadFromBytes(bytes);
    } catch (const Error& e) {
        check(!ref.valid, "a valid text failed to load", e.message());
        check(e.message() ==
                  QStringLiteral(
                      "No mapping for the Unicode character exists in the target multi-byte code page"),
              "a failed load tells why", e.message());
        check(list.lines() == QStringList{QStringLiteral("earlier")}, "a failed load keeps the old lines");
        for (const qsizetype chunk : kChunks) {
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            try {
                list.LoadFromStream(buffer, chunk);
                fail("read in chunks, an invalid text loaded");
            } catch (const Error&) {
            }
            check(list.lines() == QStringList{QStringLiteral("earlier")},
                  "a failed chunked load keeps the old lines");
        }
        return;
    }
    check(ref.valid, "an invalid UTF-8 text loaded");
    checkLines(list.lines(), ref.lines, "cutting after decoding gives the same lines");

    for (const qsizetype chunk : kChunks) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        LineList streamed;
        streamed.LoadFromStream(buffer, chunk);
        checkLines(streamed.lines(), list.lines(), "read in chunks, a text gives the same lines");
    }
    Dribble dribble(bytes);
    LineList dribbled;
    dribbled.LoadFromStream(dribble);
    checkLines(dribbled.lines(), list.lines(), "read a few bytes at a time, a text gives the same lines");

    for (const QString& keyword : {QStringLiteral("END_DATA"), QStringLiteral("BEGIN_DATA"),
                                   QStringLiteral("BEGIN_DATA_FORMAT"), LabFormatLine()})
        check(list.IndexOf(keyword) == indexOfKeyword(list.lines(), keyword),
              "IndexOf finds the first equal line", keyword);
    // Non-ASCII lines go through the locale's collation: it must at least be an equivalence.
    if (list.Count() >= 2 && list.Get(0).size() < 256 && list.Get(1).size() < 256) {
        const QString& a = list.Get(0);
        const QString& b = list.Get(1);
        check(LinesEqualIgnoringCase(a, a), "a line equals itself", a);
        check(LinesEqualIgnoringCase(a, b) == LinesEqualIgnoringCase(b, a), "line equality is symmetric");
    }
}

} // namespace lumetra::fuzz
