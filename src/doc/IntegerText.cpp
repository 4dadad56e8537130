#include "IntegerText.h"

#include "Error.h"

#include <limits>

namespace {

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

qint64 readCgats(const QString& text, qint64 min, qint64 max) {
    const char16_t* s = QStringView(text).utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        ThrowNotAnInteger(text);
    // The largest magnitude the sign allows; a range that excludes the sign allows only zero.
    const quint64 limit = negative ? (min < 0 ? quint64(-(min + 1)) + 1 : 0) : (max > 0 ? quint64(max) : 0);
    quint64 value = 0;
    for (; i < n; ++i) {
        const int digit = hexDigit(s[i]);
        if (digit < 0 || digit >= base || quint64(digit) > limit ||
            value > (limit - quint64(digit)) / quint64(base))
            ThrowNotAnInteger(text);
        value = value * quint64(base) + quint64(digit);
    }
    const qint64 result = negative ? qint64(0 - value) : qint64(value);
    if (result < min || result > max)
        ThrowNotAnInteger(text);
    return result;
}

} // namespace

void ThrowNotAnInteger(const QString& text) {
    throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

qint64 ReadInteger(const QString& text, IntegerSyntax syntax, qint64 min, qint64 max) {
    if (syntax == IntegerSyntax::Cgats)
        return readCgats(text, min, max);
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        ThrowNotAnInteger(text);
    return value;
}

int StrToInt(const QString& text) {
    return static_cast<int>(ReadInteger(text, IntegerSyntax::Cgats, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}
