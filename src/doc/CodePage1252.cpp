#include "CodePage1252.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include "WindowsApi.h"

namespace {

// 0x80..0x9F. Only used should Qt have been built without ICU; 0xA0..0xFF are the Latin-1 code
// points either way.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The characters a codec gives the bytes 0x80..0xFF one at a time; a byte it does not map keeps
// the value it had, so a byte never turns into U+FFFD.
void takeFrom(QStringDecoder& decoder, std::array<char16_t, 256>& t) {
    if (!decoder.isValid())
        return;
    for (int b = 0x80; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString s = decoder.decode(QByteArrayView(&byte, 1));
        if (!decoder.hasError() && s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
            t[b] = s.at(0).unicode();
        decoder.resetState();
    }
}

} // namespace

// Taken once from Qt's ICU codec where Qt has one, else the built-in table.
const std::array<char16_t, 256>& CodePage1252() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
        QStringDecoder decoder(kCodePage1252Name, QStringDecoder::Flag::Stateless);
        takeFrom(decoder, t);
        return t;
    }();
    return table;
}

AnsiKind AnsiCodePageKind() {
#ifdef Q_OS_WIN
    static const AnsiKind kind = [] {
        const UINT acp = GetACP();
        if (acp == CP_UTF8)
            return AnsiKind::Utf8;
        CPINFO info{};
        if (GetCPInfo(acp, &info) && info.MaxCharSize > 1)
            return AnsiKind::MultiByte;
        return AnsiKind::SingleByte;
    }();
    return kind;
#else
    return AnsiKind::SingleByte;
#endif
}

bool AnsiIsCodePage1252() {
#ifdef Q_OS_WIN
    return GetACP() == 1252;
#else
    return true;
#endif
}

const std::array<char16_t, 256>& AnsiCodePage() {
#ifdef Q_OS_WIN
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t = CodePage1252();
        if (AnsiIsCodePage1252())
            return t;
        // The system's own codec is the ANSI code page on Windows.
        QStringDecoder decoder(QStringConverter::System, QStringDecoder::Flag::Stateless);
        takeFrom(decoder, t);
        return t;
    }();
    return table;
#else
    return CodePage1252();
#endif
}

QString DecodeAnsiMultiByte(QByteArrayView bytes) {
    if (AnsiCodePageKind() == AnsiKind::Utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return decoder.decode(bytes);
    }
    QStringDecoder decoder(QStringConverter::System, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}
