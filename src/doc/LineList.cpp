// Loading a text document into lines.
//
// The whole document ends up in memory as its lines. Its first bytes pick the encoding: EF BB BF is UTF-8, FF
// FE UTF-16 little-endian, FE FF UTF-16 big-endian (the mark itself is skipped); anything else is read as
// Windows-1252, the 8-bit code page the measurement software writes. CR LF, a lone CR and a lone LF each end
// a line (so LF CR is two breaks), a break at the very end gives no empty last line, and the first NUL ends
// the document. The bytes are read in chunks and cut in the byte domain, each line decoded on its own, so a
// load holds neither the whole file's bytes nor a second decoded copy of it next to the lines. A load that
// fails keeps the old lines: they are replaced only at the end.

#include "LineList.h"

#include "Error.h"

#include <QBuffer>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace {

const char kUtf8Failure[] = "No mapping for the Unicode character exists in the target multi-byte code page";

// Windows-1252 0x80..0x9F; the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 control of the same value, as Windows reads them. Only used should Qt have
// been built without ICU; 0xA0..0xFF are the Latin-1 code points either way.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Windows-1252 as a byte table, taken once from Qt's ICU codec. A byte the codec does not map (ICU
// gives the C1 control for the undefined five, but a different table might not) keeps the value of
// the built-in table, so a byte never turns into U+FFFD and a line never changes length.
const std::array<char16_t, 256>& ansiTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
        QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            return t;
        for (int b = 0x80; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            if (!decoder.hasError() && s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
                t[b] = s.at(0).unicode();
        }
        return t;
    }();
    return table;
}

// Strict UTF-8 well-formedness (no overlong forms, no surrogates, nothing above U+10FFFF, no
// truncated sequence), the same rule Windows applies when asked to fail on invalid characters.
bool isValidUtf8(const unsigned char* p, qsizetype size) {
    qsizetype i = 0;
    while (i < size) {
        // Runs of ASCII are the common case: take eight bytes at a time.
        while (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (size - i <= extra)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= extra; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += 1 + extra;
    }
    return true;
}

// Cuts a run of code units into lines, appending them to lines. Source gives size(), unit(i) and
// line(from, length). True when a NUL ended the document inside the run.
template <typename Source> bool cutLines(const Source& src, QStringList& lines) {
    const qsizetype size = src.size();
    qsizetype i = 0;
    // A NUL where a line would start ends the document too: "A" CR LF NUL gives "A" alone.
    while (i < size) {
        if (src.unit(i) == 0)
            return true;
        qsizetype j = i;
        char16_t c = 0;
        while (j < size) {
            c = src.unit(j);
            if (c <= u'\r' && (c == u'\r' || c == u'\n' || c == 0))
                break;
            ++j;
        }
        lines.append(src.line(i, j - i));
        if (j >= size)
            return false;
        if (c == 0)
            return true;
        if (c == u'\r')
            ++j;
        if (j < size && src.unit(j) == u'\n')
            ++j;
        i = j;
    }
    return false;
}

struct AnsiSource {
    const unsigned char* data;
    qsizetype count;
    qsizetype size() const { return count; }
    char16_t unit(qsizetype i) const { return data[i]; }
    QString line(qsizetype from, qsizetype length) const {
        const unsigned char* p = data + from;
        unsigned high = 0;
        for (qsizetype k = 0; k < length; ++k)
            high |= p[k];
        if (!(high & 0x80))
            return QString::fromLatin1(reinterpret_cast<const char*>(p), length);
        const auto& table = ansiTable();
        QString out(length, Qt::Uninitialized);
        char16_t* dst = reinterpret_cast<char16_t*>(out.data());
        for (qsizetype k = 0; k < length; ++k)
            dst[k] = table[p[k]];
        return out;
    }
};

// CR, LF and NUL never occur inside a UTF-8 multi-byte sequence, so byte positions of the breaks
// are character boundaries.
struct Utf8Source {
    const unsigned char* data;
    qsizetype count;
    qsizetype size() const { return count; }
    char16_t unit(qsizetype i) const { return data[i]; }
    QString line(qsizetype from, qsizetype length) const {
        // A U+FEFF at the start of a line is text, not a mark to drop (QString::fromUtf8 would).
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(data + from, length));
    }
};

// UTF-16 is taken unit by unit, as Windows does: unpaired surrogates pass through unchanged.
struct Utf16Source {
    const unsigned char* data;
    qsizetype units;
    bool bigEndian;
    qsizetype size() const { return units; }
    char16_t unit(qsizetype i) const {
        const unsigned a = data[2 * i], b = data[2 * i + 1];
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    QString line(qsizetype from, qsizetype length) const {
        QString out(length, Qt::Uninitialized);
        char16_t* dst = reinterpret_cast<char16_t*>(out.data());
        for (qsizetype k = 0; k < length; ++k)
            dst[k] = unit(from + k);
        return out;
    }
};

bool isAscii(QStringView s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

char16_t foldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

bool asciiEqualFolded(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < a.size(); ++i)
        if (x[i] != y[i] && foldAscii(x[i]) != foldAscii(y[i]))
            return false;
    return true;
}

// The collator of the current default locale, rebuilt when that locale changes.
const QCollator& localeCollator() {
    static thread_local std::unique_ptr<QCollator> collator;
    const QLocale locale;
    if (!collator || collator->locale() != locale) {
        collator = std::make_unique<QCollator>(locale);
        collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return *collator;
}

// What the lines of a document of the given size may take in memory. Lines cost about 60 bytes
// each besides their text, so a measurement file's lines take two (spectral rows of 36 values) to
// five (short L*a*b* rows) times its size, eight for the shortest row a chart has ("1 0 0 0").
// Only a file of empty or one-character lines (a binary or a log picked by mistake) takes more:
// 12 to 30 times. Such a file is refused once its lines pass 64 MiB, and any file once they pass
// 2 GiB, more than a desktop should give to one document.
qint64 lineMemoryLimit(qint64 documentSize) {
    constexpr qint64 MiB = 1024 * 1024;
    return std::clamp<qint64>(10 * documentSize, 64 * MiB, 2048 * MiB);
}

[[noreturn]] void throwCannotOpen(const QString& fileName, const QString& reason) {
    const QString path = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

} // namespace

bool LinesEqualIgnoringCase(const QString& a, const QString& b) {
    // A text of ASCII characters is settled by folding letter case: the collator would let a
    // Turkish locale tell "I" from "i", and ignore control characters or width variants, none of
    // which a keyword search should do. Folding never maps a non-ASCII character onto an ASCII one,
    // so an ASCII text is never equal to a text that holds anything else.
    if (isAscii(a) || isAscii(b))
        return asciiEqualFolded(a, b);
    return localeCollator().compare(a, b) == 0;
}

// Cuts a byte stream into lines as it arrives, so a load never holds the whole file next to its
// lines. Bytes are taken in segments that end right after a line break (a CR only when the byte
// after it is known, so CR LF is never split); a break is ASCII, so a segment never splits a UTF-8
// sequence or, in UTF-16, a code unit.
class LineList::StreamCutter {
public:
    // Adds bytes; true while more are wanted (false once the document has ended and nothing after
    // its end needs checking).
    bool feed(QByteArray& pending, bool atEnd) {
        if (!m_decided) {
            if (pending.size() < 3 && !atEnd)
                return true;
            decide(pending);
        }
        const qsizetype cut =
            atEnd ? (m_utf16 ? pending.size() / 2 * 2 : pending.size()) : segmentEnd(pending);
        if (cut > 0) {
            take(reinterpret_cast<const unsigned char*>(pending.constData()), cut);
            pending.remove(0, cut);
            m_searched = 0;
        }
        if (m_ended && m_encoding != Encoding::Utf8) {
            pending.clear();
            return false;
        }
        return true;
    }

    QStringList lines;
    Encoding encoding() const { return m_encoding; }
    // What the lines taken so far hold in memory, roughly: each line's place in the list, and
    // for a non-empty line its text with the string's header and the allocator's share.
    qint64 heldBytes() const { return m_held; }

private:
    void decide(QByteArray& pending) {
        const auto* d = reinterpret_cast<const unsigned char*>(pending.constData());
        const qsizetype n = pending.size();
        if (n >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) {
            m_encoding = Encoding::Utf8;
            pending.remove(0, 3);
        } else if (n >= 2 && ((d[0] == 0xFF && d[1] == 0xFE) || (d[0] == 0xFE && d[1] == 0xFF))) {
            m_bigEndian = d[0] == 0xFE;
            m_encoding = m_bigEndian ? Encoding::Utf16BE : Encoding::Utf16LE;
            m_utf16 = true;
            pending.remove(0, 2);
        }
        m_decided = true;
    }

    // The end of the longest front part of pending that ends with a usable break; 0 if none.
    // What was searched before is not searched again (a very long line arrives in many reads).
    qsizetype segmentEnd(const QByteArray& pending) {
        const auto* d = reinterpret_cast<const unsigned char*>(pending.constData());
        if (m_utf16) {
            const qsizetype units = pending.size() / 2;
            for (qsizetype u = units - 1; u >= m_searched; --u) {
                const unsigned a = d[2 * u], b = d[2 * u + 1];
                const char16_t c = static_cast<char16_t>(m_bigEndian ? (a << 8) | b : (b << 8) | a);
                if (c == u'\n' || c == 0 || (c == u'\r' && u + 1 < units))
                    return 2 * (u + 1);
            }
            m_searched = std::max<qsizetype>(0, units - 1);
            return 0;
        }
        const qsizetype size = pending.size();
        for (qsizetype i = size - 1; i >= m_searched; --i) {
            const unsigned char c = d[i];
            if (c == '\n' || c == 0 || (c == '\r' && i + 1 < size))
                return i + 1;
        }
        // Once the document has ended only UTF-8 validity matters: any ASCII byte ends a sequence.
        if (m_ended) {
            for (qsizetype i = size - 1; i >= m_searched; --i)
                if (d[i] < 0x80)
                    return i + 1;
        }
        m_searched = std::max<qsizetype>(0, size - 1);
        return 0;
    }

    void take(const unsigned char* d, qsizetype n) {
        const qsizetype before = lines.size();
        cut(d, n);
        for (qsizetype i = before; i < lines.size(); ++i) {
            const qsizetype length = lines.at(i).size();
            m_held += qint64(sizeof(QString)) + (length > 0 ? 34 + 2 * qint64(length) : 0);
        }
    }

    void cut(const unsigned char* d, qsizetype n) {
        switch (m_encoding) {
        case Encoding::Utf8:
            // The whole text must be valid, also what lies beyond a NUL that ends the document.
            if (!isValidUtf8(d, n))
                throw Error(QString::fromLatin1(kUtf8Failure));
            if (!m_ended)
                m_ended = cutLines(Utf8Source{d, n}, lines);
            break;
        case Encoding::Utf16LE:
        case Encoding::Utf16BE:
            // An odd trailing byte is half a code unit (a truncated file); it is dropped, as Windows does.
            if (!m_ended)
                m_ended = cutLines(Utf16Source{d, n / 2, m_bigEndian}, lines);
            break;
        case Encoding::Ansi:
            if (!m_ended)
                m_ended = cutLines(AnsiSource{d, n}, lines);
            break;
        }
    }

    Encoding m_encoding = Encoding::Ansi;
    bool m_decided = false;
    bool m_utf16 = false;
    bool m_bigEndian = false;
    bool m_ended = false;
    qsizetype m_searched = 0;
    qint64 m_held = 0;
};

void LineList::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    // open() succeeds on a directory on some systems; reading it would fail with this code anyway.
    if (QFileInfo(fileName).isDir())
        throwCannotOpen(fileName, SystemErrorText(EISDIR));
    if (!file.open(QIODevice::ReadOnly))
        throwCannotOpen(fileName, file.errorString());
    LoadFromStream(file);
}

void LineList::LoadFromStream(QIODevice& stream) {
    LoadFromStream(stream, qsizetype(1) << 22);
}

void LineList::LoadFromStream(QIODevice& stream, qsizetype chunkSize) {
    chunkSize = std::max<qsizetype>(chunkSize, 1);
    const auto cannotRead = [&stream](const QString& reason) {
        const auto* file = qobject_cast<const QFileDevice*>(&stream);
        const QString path =
            QDir::toNativeSeparators(QFileInfo(file ? file->fileName() : QString()).absoluteFilePath());
        return Error(QStringLiteral("Cannot read file \"%1\". %2").arg(path, reason));
    };
    const qint64 announced = stream.isSequential() ? 0 : std::max<qint64>(0, stream.size() - stream.pos());
    qint64 read = 0;
    StreamCutter cutter;
    QByteArray pending;
    bool wanted = true;
    while (wanted) {
        const qsizetype kept = pending.size();
        pending.resize(kept + chunkSize);
        const qint64 got = stream.read(pending.data() + kept, chunkSize);
        if (got < 0)
            throw cannotRead(stream.errorString());
        pending.resize(kept + got);
        read += got;
        const bool atEnd = got == 0;
        wanted = cutter.feed(pending, atEnd) && !atEnd;
        if (cutter.heldBytes() > lineMemoryLimit(std::max(announced, read)))
            throw cannotRead(QStringLiteral("Too many lines to hold in memory"));
    }
    m_lines = std::move(cutter.lines);
    m_encoding = cutter.encoding();
    ++m_generation;
}

void LineList::LoadFromBytes(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer, std::max<qsizetype>(bytes.size(), 1));
}

int LineList::IndexOf(const QString& text) const {
    if (isAscii(text)) {
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            if (asciiEqualFolded(m_lines.at(i), text))
                return static_cast<int>(i);
        return -1;
    }
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (LinesEqualIgnoringCase(m_lines.at(i), text))
            return static_cast<int>(i);
    return -1;
}

const QString& LineList::Get(int index) const {
    if (index < 0 || index >= Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_lines.at(index);
}

int LineList::Add(const QString& text) {
    m_lines.append(text);
    return Count() - 1;
}

void LineList::AddStrings(const LineList& other) {
    if (&other == this) {
        const QStringList copy = other.m_lines;
        m_lines.append(copy);
        return;
    }
    m_lines.append(other.m_lines);
}

void LineList::Clear() {
    m_lines.clear();
    ++m_generation;
}

void LineList::setLines(QStringList lines) {
    m_lines = std::move(lines);
    ++m_generation;
}
