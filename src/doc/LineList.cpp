#include "LineList.h"

#include "Error.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QStringDecoder>

#include <array>
#include <utility>

namespace {

const char kUtf8Failure[] = "No mapping for the Unicode character exists in the target multi-byte code page";

// Windows-1252 as a byte table, taken once from Qt's (ICU) codec. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows itself does.
const std::array<char16_t, 256>& ansiTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<char16_t>(b);
            if (!decoder.isValid() || b < 0x80)
                continue;
            const char byte = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
                t[b] = s.at(0).unicode();
        }
        return t;
    }();
    return table;
}

QString decodeAnsi(const char* data, qsizetype size) {
    const auto& table = ansiTable();
    QString out(size, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = table[static_cast<unsigned char>(data[i])];
    return out;
}

// Cuts 8-bit or UTF-8 bytes into lines. CR, LF and NUL never occur inside a UTF-8 multi-byte
// sequence, so the byte positions of the breaks are the character positions.
template <typename Decode>
QStringList cutBytes(const char* data, qsizetype size, Decode decode) {
    QStringList lines;
    qsizetype i = 0;
    while (i < size) {
        qsizetype j = i;
        while (j < size && data[j] != '\r' && data[j] != '\n' && data[j] != '\0')
            ++j;
        lines.append(decode(data + i, j - i));
        if (j >= size || data[j] == '\0')
            break;
        if (data[j] == '\r')
            ++j;
        if (j < size && data[j] == '\n')
            ++j;
        i = j;
    }
    return lines;
}

QStringList cutUnits(const QString& text) {
    QStringList lines;
    const QChar* data = text.constData();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype j = i;
        while (j < size && data[j] != u'\r' && data[j] != u'\n' && data[j] != u'\0')
            ++j;
        lines.append(QString(data + i, j - i));
        if (j >= size || data[j] == u'\0')
            break;
        if (data[j] == u'\r')
            ++j;
        if (j < size && data[j] == u'\n')
            ++j;
        i = j;
    }
    return lines;
}

// UTF-16 is taken unit by unit, as Windows does: unpaired surrogates pass through, and an odd
// trailing byte (a truncated file) is dropped.
QString decodeUtf16(const char* data, qsizetype size, bool bigEndian) {
    const qsizetype units = size / 2;
    QString out(units, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(data);
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned hi = bigEndian ? src[2 * i] : src[2 * i + 1];
        const unsigned lo = bigEndian ? src[2 * i + 1] : src[2 * i];
        dst[i] = static_cast<char16_t>((hi << 8) | lo);
    }
    return out;
}

bool isAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool asciiEqualFolded(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode();
        char16_t y = b.at(i).unicode();
        if (x == y)
            continue;
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool LinesEqualIgnoringCase(const QString& a, const QString& b) {
    // An ASCII text only ever equals its case-folded twin (folding never maps a non-ASCII
    // character onto an ASCII one, so a mixed pair compares unequal there).
    if (isAscii(a) || isAscii(b))
        return asciiEqualFolded(a, b);
    static thread_local QCollator collator = [] {
        QCollator c(QLocale::system());
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b) == 0;
}

void LineList::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    const QFileInfo info(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = info.isDir() ? QStringLiteral("Is a directory") : file.errorString();
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(info.absoluteFilePath(), reason));
    }
    LoadFromStream(file);
}

void LineList::LoadFromStream(QIODevice& stream) {
    LoadFromBytes(stream.readAll());
}

void LineList::LoadFromBytes(const QByteArray& bytes) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    auto startsWith = [&](std::initializer_list<unsigned char> bom) {
        if (size < static_cast<qsizetype>(bom.size()))
            return false;
        qsizetype i = 0;
        for (unsigned char b : bom)
            if (static_cast<unsigned char>(data[i++]) != b)
                return false;
        return true;
    };

    QStringList lines;
    Encoding encoding = Encoding::Ansi;
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        encoding = Encoding::Utf8;
        // The whole text must decode, also what lies beyond a NUL.
        QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QByteArrayView body(data + 3, size - 3);
        constexpr qsizetype chunk = qsizetype(1) << 24;
        for (qsizetype at = 0; at < body.size() && !check.hasError(); at += chunk)
            (void)check.decode(body.sliced(at, std::min(chunk, body.size() - at)));
        if (check.hasError())
            throw Error(QString::fromLatin1(kUtf8Failure));
        lines = cutBytes(data + 3, size - 3,
                         [](const char* p, qsizetype n) { return QString::fromUtf8(p, n); });
    } else if (startsWith({0xFF, 0xFE}) || startsWith({0xFE, 0xFF})) {
        const bool bigEndian = static_cast<unsigned char>(data[0]) == 0xFE;
        encoding = bigEndian ? Encoding::Utf16BE : Encoding::Utf16LE;
        lines = cutUnits(decodeUtf16(data + 2, size - 2, bigEndian));
    } else {
        lines = cutBytes(data, size, decodeAnsi);
    }
    m_lines = std::move(lines);
    m_encoding = encoding;
    ++m_generation;
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
