#include "CodePage1252.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace {

// 0x80..0x9F. Only used should Qt have been built without ICU; 0xA0..0xFF are the Latin-1 code
// points either way.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

// Taken once from Qt's ICU codec. A byte the codec does not map (ICU gives the C1 control for the
// undefined five, but a different table might not) keeps the value of the built-in table, so a
// byte never turns into U+FFFD.
const std::array<char16_t, 256>& CodePage1252() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
        QStringDecoder decoder(kCodePage1252Name, QStringDecoder::Flag::Stateless);
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
