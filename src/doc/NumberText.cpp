#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The mantissa and exponent from i on make up the rest of s.
bool isUnsignedDecimal(const std::string& s, size_t i) {
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

// Whether a decimal number (at most a leading "-") lies below 1: the decimal exponent of its first
// non-zero digit is negative. Decides what from_chars meant by "out of range".
bool isBelowOne(const char* first, const char* last) {
    const std::string s(first, last);
    size_t i = s[0] == '-' ? 1 : 0;
    long long digits = 0;        // digits read so far
    long long beforePoint = -1;  // digits before the full stop, once it is seen
    long long firstNonZero = -1; // position of the first non-zero digit
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            beforePoint = digits;
            continue;
        }
        if (firstNonZero < 0 && s[i] != '0')
            firstNonZero = digits;
        ++digits;
    }
    if (beforePoint < 0)
        beforePoint = digits;
    long long exponent = 0;
    if (i < s.size()) {
        ++i;
        const bool negative = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        for (; i < s.size(); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1000000000LL);
        if (negative)
            exponent = -exponent;
    }
    return firstNonZero >= 0 && beforePoint - 1 - firstNonZero + exponent < 0;
}

// Plain "[-]digits[.digits]" with at most 15 digits in all, the way measurement values are
// written: the digits as a whole number are exact in a double, and so is a power of ten up to
// 10^22, so one division gives the correctly rounded value, the very double from_chars gives.
// Anything else (exponents, more digits) returns nullopt and is read the long way.
std::optional<double> readPlainDecimal(QStringView text) {
    qsizetype i = 0;
    const bool negative = text[0] == u'-';
    if (negative || text[0] == u'+')
        ++i;
    long long digits = 0;
    int count = 0;
    int decimals = -1; // digits after the full stop, once it is seen
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > 15)
                return std::nullopt;
            digits = digits * 10 + (c - u'0');
            if (decimals >= 0)
                ++decimals;
        } else if (c == u'.' && decimals < 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double value = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
    return negative ? -value : value;
}

} // namespace

std::optional<double> ReadDecimalNumber(QStringView text, const NumberSyntax& syntax) {
    if (text.isEmpty() || (syntax.maxLength > 0 && text.size() > syntax.maxLength))
        return std::nullopt;
    if (const std::optional<double> plain = readPlainDecimal(text))
        return plain;
    std::string s;
    s.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return std::nullopt;
        s.push_back(static_cast<char>(c.unicode()));
    }
    // from_chars takes a "-" but no "+": a leading "+" is dropped before it reads.
    size_t start = 0;
    size_t i = 0;
    if (s[0] == '+')
        start = i = 1;
    if (i == 0 && i < s.size() && s[i] == '-')
        ++i;
    if (!isUnsignedDecimal(s, i))
        return std::nullopt;
    const char* first = s.data() + start;
    const char* last = s.data() + s.size();
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range && syntax.underflowIsZero && isBelowOne(first, last))
        return 0.0;
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}
