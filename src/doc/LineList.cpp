// Loading a text document into lines.
//
// The whole document ends up in memory as its lines. Its first bytes pick the encoding: EF BB BF is
// UTF-8, FF FE UTF-16 little-endian, FE FF UTF-16 big-endian (the mark itself is skipped); anything
// else is read in the system's 8-bit code page (AnsiCodePage: Windows-1252 outside Windows). CR LF, a lone CR
// and a lone LF each end a line (so LF CR is two breaks), a break at the very end gives no empty last
// line, and the first NUL ends the document. The bytes are read in chunks and cut in the byte domain,
// each line decoded on its own, so a load holds neither the whole file's bytes nor a second decoded
// copy of it next to the lines. A line whose characters all lie below U+0100 is kept as Latin-1
// bytes (for ASCII, the file's own bytes). A load that fails keeps the old lines: they are replaced
// only at the end.

#include "LineList.h"

#include "CodePage1252.h"
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
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <variant>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char kUtf8Failure[] = "No mapping for the Unicode character exists in the target multi-byte code page";

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

// Finding the line breaks a word (eight bytes) at a time. For a word w and a value v repeated in
// every lane, w ^ v has a zero lane exactly where w holds v; (x - ones) & ~x & highs is non-zero
// exactly when x has a zero lane (a borrow can mark a lane above a true zero one, never a word
// without one). So a word that cannot hold a CR, LF or NUL is passed over whole, whatever the byte
// order, and only the one word per line that holds the break is looked at unit by unit.
struct Lanes {
    quint64 ones, highs, cr, lf;
    // Lanes of one byte, or of one UTF-16 unit whose bytes are in the given order. ones and highs
    // are arithmetic, so in the host's order; cr and lf are matched bit for bit, so in the text's.
    static constexpr Lanes of(int unitBytes, bool bigEndian) {
        const auto repeat = [unitBytes, bigEndian](unsigned char value) {
            std::array<unsigned char, 8> bytes{};
            for (int k = 0; k < 8; k += unitBytes)
                bytes[k + (unitBytes == 2 && bigEndian ? 1 : 0)] = value;
            return std::bit_cast<quint64>(bytes);
        };
        if (unitBytes == 1)
            return Lanes{0x0101010101010101ULL, 0x8080808080808080ULL, repeat('\r'), repeat('\n')};
        return Lanes{0x0001000100010001ULL, 0x8000800080008000ULL, repeat('\r'), repeat('\n')};
    }
    constexpr quint64 hasZero(quint64 x) const { return (x - ones) & ~x & highs; }
    constexpr bool mayBreak(quint64 w) const { return (hasZero(w) | hasZero(w ^ cr) | hasZero(w ^ lf)) != 0; }
};
constexpr Lanes kByteLanes = Lanes::of(1, false);
constexpr Lanes kUtf16LELanes = Lanes::of(2, false);
constexpr Lanes kUtf16BELanes = Lanes::of(2, true);

using Line = LineList::Line;

// A decoded line as held: as Latin-1 bytes when every character fits in one.
Line heldLine(QString text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return text;
    return text.toLatin1();
}

// Cuts a run of code units into lines, appending them to lines. Source gives size(), unit(i),
// findBreak(from, seen) (the first CR, LF or NUL at or after from, size() if none; seen collects
// the bits of the units passed over) and line(from, length, seen). True when a NUL ended the
// document inside the run.
template <typename Source> bool cutLines(const Source& src, QList<Line>& lines) {
    const qsizetype size = src.size();
    qsizetype i = 0;
    // A NUL where a line would start ends the document too: "A" CR LF NUL gives "A" alone.
    while (i < size) {
        if (src.unit(i) == 0)
            return true;
        unsigned seen = 0;
        qsizetype j = src.findBreak(i, seen);
        lines.append(src.line(i, j - i, seen));
        if (j >= size)
            return false;
        const char16_t c = src.unit(j);
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

// The 8-bit texts: Windows-1252 and UTF-8. seen ORs the line's bytes, so a line without a byte of
// 0x80 or above is known to be ASCII without a second pass.
struct ByteText {
    const unsigned char* data;
    qsizetype count;
    qsizetype size() const { return count; }
    char16_t unit(qsizetype i) const { return data[i]; }
    qsizetype findBreak(qsizetype from, unsigned& seen) const {
        constexpr const Lanes& lanes = kByteLanes;
        qsizetype i = from;
        quint64 words = 0;
#if defined(__SSE2__)
        // Sixteen bytes at a time where the processor has the instructions: compare every byte
        // with CR, LF and NUL at once. At the first block holding one, the word loop below and
        // then the byte loop take over and find it.
        const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
        __m128i blocks = nul;
        for (; i + 16 <= count; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                             _mm_cmpeq_epi8(v, nul));
            if (_mm_movemask_epi8(hit) != 0)
                break;
            blocks = _mm_or_si128(blocks, v);
        }
        seen |= _mm_movemask_epi8(blocks) != 0 ? 0x80 : 0;
#endif
        for (; i + 8 <= count; i += 8) {
            quint64 w;
            std::memcpy(&w, data + i, 8);
            if (lanes.mayBreak(w))
                break;
            words |= w;
        }
        seen |= (words & lanes.highs) ? 0x80 : 0;
        for (; i < count; ++i) {
            const unsigned char c = data[i];
            if (c == '\r' || c == '\n' || c == 0)
                return i;
            seen |= c;
        }
        return count;
    }
};

struct AnsiSource : ByteText {
    Line line(qsizetype from, qsizetype length, unsigned seen) const {
        const unsigned char* p = data + from;
        if (!(seen & 0x80))
            return QByteArray(reinterpret_cast<const char*>(p), length);
        if (AnsiCodePageKind() != AnsiKind::SingleByte)
            return DecodeAnsiMultiByte(QByteArrayView(p, length));
        const auto& table = AnsiCodePage();
        QString out(length, Qt::Uninitialized);
        char16_t* dst = reinterpret_cast<char16_t*>(out.data());
        for (qsizetype k = 0; k < length; ++k)
            dst[k] = table[p[k]];
        return heldLine(std::move(out));
    }
};

// CR, LF and NUL never occur inside a UTF-8 multi-byte sequence, so byte positions of the breaks
// are character boundaries.
struct Utf8Source : ByteText {
    Line line(qsizetype from, qsizetype length, unsigned seen) const {
        // ASCII reads the same in UTF-8 and Latin-1.
        if (!(seen & 0x80))
            return QByteArray(reinterpret_cast<const char*>(data + from), length);
        // A U+FEFF at the start of a line is text, not a mark to drop (QString::fromUtf8 would).
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return heldLine(decoder.decode(QByteArrayView(data + from, length)));
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
    qsizetype findBreak(qsizetype from, unsigned&) const {
        const Lanes& lanes = bigEndian ? kUtf16BELanes : kUtf16LELanes;
        qsizetype u = from;
        for (; u + 4 <= units; u += 4) {
            quint64 w;
            std::memcpy(&w, data + 2 * u, 8);
            if (lanes.mayBreak(w))
                break;
        }
        for (; u < units; ++u) {
            const char16_t c = unit(u);
            if (c == u'\r' || c == u'\n' || c == 0)
                return u;
        }
        return units;
    }
    Line line(qsizetype from, qsizetype length, unsigned) const {
        QString out(length, Qt::Uninitialized);
        char16_t* dst = reinterpret_cast<char16_t*>(out.data());
        const unsigned char* p = data + 2 * from;
        if (bigEndian == (std::endian::native == std::endian::big)) {
            std::memcpy(dst, p, static_cast<size_t>(2 * length));
        } else {
            const int hi = bigEndian ? 0 : 1;
            for (qsizetype k = 0; k < length; ++k)
                dst[k] = static_cast<char16_t>((p[2 * k + hi] << 8) | p[2 * k + 1 - hi]);
        }
        return heldLine(std::move(out));
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

// x holds size units of UTF-16 or of Latin-1.
template <typename Unit> bool asciiEqualFolded(const Unit* x, qsizetype size, QStringView b) {
    if (size != b.size())
        return false;
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = static_cast<char16_t>(x[i]);
        if (c != y[i] && foldAscii(c) != foldAscii(y[i]))
            return false;
    }
    return true;
}

bool asciiEqualFolded(QStringView a, QStringView b) {
    return asciiEqualFolded(a.utf16(), a.size(), b);
}

bool lineEqualFolded(const Line& line, QStringView b) {
    if (const auto* bytes = std::get_if<QByteArray>(&line))
        return asciiEqualFolded(reinterpret_cast<const unsigned char*>(bytes->constData()), bytes->size(), b);
    return asciiEqualFolded(std::get<QString>(line), b);
}

QString lineText(const Line& line) {
    if (const auto* bytes = std::get_if<QByteArray>(&line))
        return QString::fromLatin1(*bytes);
    return std::get<QString>(line);
}

qsizetype lineSize(const Line& line) {
    return std::visit([](const auto& text) { return text.size(); }, line);
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

// What the lines of a document of the given size may take in memory. Lines cost about 65 bytes
// each besides their text (one byte a character), so a measurement file's lines take one
// (spectral rows of 36 values) to three (short L*a*b* rows) times its size, seven for the shortest
// row a chart has ("1 0 0 0"). Only a file of empty or one-character lines (a binary or a log
// picked by mistake) takes more: 11 to 32 times. Such a file is refused once its lines pass
// 64 MiB, and any file once they pass 2 GiB, more than a desktop should give to one document.
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
    // Offers the n bytes that follow those taken so far; gives how many of them were taken. The
    // rest (part of a line) must be offered again at the front of the next call, with more bytes
    // after it, unless atEnd said that nothing follows: then everything is taken.
    qsizetype feed(const unsigned char* d, qsizetype n, bool atEnd) {
        qsizetype skipped = 0;
        if (!m_decided) {
            if (n < 3 && !atEnd)
                return 0;
            skipped = decide(d, n);
            d += skipped;
            n -= skipped;
        }
        const qsizetype cut = atEnd ? (m_utf16 ? n / 2 * 2 : n) : segmentEnd(d, n);
        if (cut > 0) {
            take(d, cut);
            m_searched = 0;
        }
        return skipped + (atEnd ? n : cut);
    }
    // False once the document has ended and nothing after its end needs checking.
    bool wantsMore() const { return !m_ended || m_encoding == Encoding::Utf8; }

    // Cuts bytes that are all in memory already (a buffer, a mapped file) as if read chunk bytes
    // at a time, so that check(bytes so far) may refuse the load as early as it would when reading.
    template <typename Check>
    void feedAll(const unsigned char* data, qsizetype size, qsizetype chunk, const Check& check) {
        qsizetype from = 0;
        qsizetype end = 0;
        for (;;) {
            end = std::min(size, end + chunk);
            const bool atEnd = end == size;
            from += feed(data + from, end - from, atEnd);
            check(end);
            if (atEnd || !wantsMore())
                return;
        }
    }

    QList<Line> lines;
    Encoding encoding() const { return m_encoding; }
    // What the lines taken so far hold in memory, roughly: each line's place in the list, and
    // for a non-empty line its text with the string's header and the allocator's share.
    qint64 heldBytes() const { return m_held; }

private:
    // Gives the length of the byte-order mark that starts d (0 when there is none).
    qsizetype decide(const unsigned char* d, qsizetype n) {
        m_decided = true;
        if (n >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) {
            m_encoding = Encoding::Utf8;
            return 3;
        }
        if (n >= 2 && ((d[0] == 0xFF && d[1] == 0xFE) || (d[0] == 0xFE && d[1] == 0xFF))) {
            m_bigEndian = d[0] == 0xFE;
            m_encoding = m_bigEndian ? Encoding::Utf16BE : Encoding::Utf16LE;
            m_utf16 = true;
            return 2;
        }
        return 0;
    }

    // The end of the longest front part of d that ends with a usable break; 0 if none. What was
    // searched before is not searched again (a very long line arrives in many reads).
    qsizetype segmentEnd(const unsigned char* d, qsizetype size) {
        if (m_utf16) {
            const qsizetype units = size / 2;
            for (qsizetype u = units - 1; u >= m_searched; --u) {
                const unsigned a = d[2 * u], b = d[2 * u + 1];
                const char16_t c = static_cast<char16_t>(m_bigEndian ? (a << 8) | b : (b << 8) | a);
                if (c == u'\n' || c == 0 || (c == u'\r' && u + 1 < units))
                    return 2 * (u + 1);
            }
            m_searched = std::max<qsizetype>(0, units - 1);
            return 0;
        }
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
            const Line& line = lines.at(i);
            const qint64 length = lineSize(line);
            const qint64 perChar = std::holds_alternative<QByteArray>(line) ? 1 : 2;
            m_held += qint64(sizeof(Line)) + (length > 0 ? 34 + perChar * length : 0);
        }
    }

    void cut(const unsigned char* d, qsizetype n) {
        switch (m_encoding) {
        case Encoding::Utf8:
            // The whole text must be valid, also what lies beyond a NUL that ends the document.
            if (!isValidUtf8(d, n))
                throw Error(QString::fromLatin1(kUtf8Failure));
            if (!m_ended)
                m_ended = cutLines(Utf8Source{{d, n}}, lines);
            break;
        case Encoding::Utf16LE:
        case Encoding::Utf16BE:
            // An odd trailing byte is half a code unit (a truncated file); it is dropped, as Windows does.
            if (!m_ended)
                m_ended = cutLines(Utf16Source{d, n / 2, m_bigEndian}, lines);
            break;
        case Encoding::Ansi:
            if (!m_ended)
                m_ended = cutLines(AnsiSource{{d, n}}, lines);
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

namespace {

// Small enough that the one read buffer stays in the processor's cache between the read and the
// cut, and adds little to a load's memory.
constexpr qsizetype kChunkSize = qsizetype(1) << 18;

Error cannotRead(const QString& fileName, const QString& reason) {
    const QString path = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    return Error(QStringLiteral("Cannot read file \"%1\". %2").arg(path, reason));
}

Error tooManyLines(const QString& fileName) {
    return cannotRead(fileName, QStringLiteral("Too many lines to hold in memory"));
}

} // namespace

void LineList::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    // open() succeeds on a directory on some systems; reading it would fail with this code anyway.
    if (QFileInfo(fileName).isDir())
        throwCannotOpen(fileName, SystemErrorText(EISDIR));
    if (!file.open(QIODevice::ReadOnly))
        throwCannotOpen(fileName, ReasonText(file.errorString()));
    // Read rather than mapped: mapping saved no measurable time over reading into one small buffer,
    // its pages count as the process's memory, and a file cut short by another program meanwhile
    // would end the process (SIGBUS) instead of giving fewer lines.
    LoadFromStream(file);
}

void LineList::LoadFromStream(QIODevice& stream) {
    LoadFromStream(stream, kChunkSize);
}

void LineList::LoadFromStream(QIODevice& stream, qsizetype chunkSize) {
    chunkSize = std::max<qsizetype>(chunkSize, 1);
    const auto* file = qobject_cast<const QFileDevice*>(&stream);
    const QString fileName = file ? file->fileName() : QString();
    const qint64 announced = stream.isSequential() ? 0 : std::max<qint64>(0, stream.size() - stream.pos());
    qint64 read = 0;
    StreamCutter cutter;
    // buffer holds, at its front, the kept bytes not taken yet (part of a line), then what is read.
    QByteArray buffer;
    qsizetype kept = 0;
    for (;;) {
        buffer.resize(kept + chunkSize);
        const qint64 got = stream.read(buffer.data() + kept, chunkSize);
        if (got < 0)
            throw cannotRead(fileName, stream.errorString());
        kept += got;
        read += got;
        const bool atEnd = got == 0;
        const qsizetype taken =
            cutter.feed(reinterpret_cast<const unsigned char*>(buffer.constData()), kept, atEnd);
        kept -= taken;
        std::memmove(buffer.data(), buffer.constData() + taken, static_cast<size_t>(kept));
        if (cutter.heldBytes() > lineMemoryLimit(std::max(announced, read)))
            throw tooManyLines(fileName);
        if (atEnd || !cutter.wantsMore())
            break;
    }
    m_lines = std::move(cutter.lines);
    m_encoding = cutter.encoding();
    ++m_generation;
}

void LineList::LoadFromBytes(const QByteArray& bytes) {
    StreamCutter cutter;
    cutter.feedAll(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), kChunkSize,
                   [&](qsizetype) {
                       if (cutter.heldBytes() > lineMemoryLimit(bytes.size()))
                           throw tooManyLines(QString());
                   });
    m_lines = std::move(cutter.lines);
    m_encoding = cutter.encoding();
    ++m_generation;
}

int LineList::IndexOf(const QString& text) const {
    if (isAscii(text)) {
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            if (lineEqualFolded(m_lines.at(i), text))
                return static_cast<int>(i);
        return -1;
    }
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (LinesEqualIgnoringCase(lineText(m_lines.at(i)), text))
            return static_cast<int>(i);
    return -1;
}

QString LineList::Get(int index) const {
    if (index < 0 || index >= Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    return lineText(m_lines.at(index));
}

QStringView LineList::view(int index, QString& scratch) const {
    if (index < 0 || index >= Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    const Line& line = m_lines.at(index);
    if (const auto* text = std::get_if<QString>(&line))
        return *text;
    // Widened into the scratch string's own buffer, which keeps its capacity from line to line.
    scratch.truncate(0);
    scratch.append(QLatin1StringView(std::get<QByteArray>(line)));
    return scratch;
}

qsizetype LineList::sizeOf(int index) const {
    return index >= 0 && index < Count() ? lineSize(m_lines.at(index)) : 0;
}

int LineList::Add(const QString& text) {
    m_lines.append(text);
    return Count() - 1;
}

void LineList::AddStrings(const LineList& other) {
    if (&other == this) {
        const QList<Line> copy = other.m_lines;
        m_lines.append(copy);
        return;
    }
    // Into an empty list (a pane taking a loaded document) the other list is shared rather than
    // copied: a document's list of lines then exists once, not twice, until one of them changes.
    if (m_lines.isEmpty()) {
        m_lines = other.m_lines;
        return;
    }
    m_lines.append(other.m_lines);
}

void LineList::addFrom(const LineList& other, int from) {
    const QList<Line> source = other.m_lines; // shared; safe when other is this list
    from = std::max(from, 0);
    if (from >= source.size())
        return;
    m_lines.reserve(m_lines.size() + source.size() - from);
    for (qsizetype i = from; i < source.size(); ++i)
        m_lines.append(source.at(i));
}

QString LineList::join(QStringView separator) const {
    if (m_lines.isEmpty())
        return {};
    qsizetype size = separator.size() * (m_lines.size() - 1);
    for (const Line& line : m_lines)
        size += lineSize(line);
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            text += separator;
        const Line& line = m_lines.at(i);
        if (const auto* bytes = std::get_if<QByteArray>(&line))
            text += QLatin1StringView(*bytes);
        else
            text += std::get<QString>(line);
    }
    return text;
}

QStringList LineList::lines() const {
    QStringList all;
    all.reserve(m_lines.size());
    for (const Line& line : m_lines)
        all.append(lineText(line));
    return all;
}

void LineList::Clear() {
    // Dropped rather than emptied: a list still shared with another would otherwise get a new
    // empty block of the old size.
    m_lines = QList<Line>();
    ++m_generation;
}

void LineList::setLines(const QStringList& lines) {
    QList<Line> held;
    held.reserve(lines.size());
    for (const QString& line : lines)
        held.append(line);
    m_lines = std::move(held);
    ++m_generation;
}
