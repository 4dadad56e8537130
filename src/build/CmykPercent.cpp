#include "CmykPercent.h"

#include "Error.h"
#include "LineTokenize.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Sign, digits with at most one full stop (a digit on at least one side), optional exponent.
// from_chars alone would also take "inf", "nan" and hex.
bool isDecimalNumber(const std::string& s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

// Whether a decimal number (as isDecimalNumber takes it) lies below 1: the decimal exponent of its
// first non-zero digit is negative. Decides what from_chars meant by "out of range".
bool isBelowOne(const std::string& s) {
    size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
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

double parseValue(const QString& value) {
    const QString trimmed = TrimControl(value);
    std::string text = trimmed.toStdString();
    bool ok = isDecimalNumber(text);
    double number = 0;
    if (ok) {
        if (text.front() == '+')
            text.erase(0, 1);
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        // A number too small for a double ("1e-400") is zero to two decimals; only one too large
        // to hold is refused.
        if (ec == std::errc::result_out_of_range && isBelowOne(text))
            number = 0;
        else
            ok = ec == std::errc() && end == text.data() + text.size() && std::isfinite(number);
    }
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(trimmed));
    return number;
}

// Adds one unit in the last place of a string of decimal digits; true on carry out of the front.
bool incrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

// Fixed two decimals, halves away from zero. The rounding works on the number's 15 significant
// decimal digits, so a half that binary floating point stores a hair below (50.005 as
// 50.00499999...) still rounds up, as it does on paper.
QString twoDecimals(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
    const std::string s(buf);
    const size_t e = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, e - 2); // 15 digits, point after the first
    const int exponent = std::stoi(s.substr(e + 1));

    // digits = d0 d1 ... d14 with value d0.d1...d14 x 10^exponent: point after exponent+1 digits.
    const int pointAt = exponent + 1;
    std::string whole;
    std::string fraction;
    if (pointAt <= 0) {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-pointAt), '0') + digits;
    } else if (pointAt >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<size_t>(pointAt) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<size_t>(pointAt));
        fraction = digits.substr(static_cast<size_t>(pointAt));
    }
    fraction.resize(std::max<size_t>(fraction.size(), 3), '0');

    std::string kept = whole + fraction.substr(0, 2);
    if (fraction[2] >= '5' && incrementDigits(kept))
        kept.insert(kept.begin(), '1');
    std::string intPart = kept.substr(0, kept.size() - 2);
    const std::string decimals = kept.substr(kept.size() - 2);
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);

    const bool zero = intPart == "0" && decimals == "00";
    const std::string result = (x < 0 && !zero ? "-" : "") + intPart + "." + decimals;
    return QString::fromStdString(result);
}

} // namespace

QString CmykPercent(const QString& value) {
    const double number = parseValue(value);
    // Swatch values are nearly always the whole numbers 0 to 255: their texts are worked out once,
    // by the same rounding, so a build does not format the same few hundred values again and again.
    static const std::array<QString, 256> whole = [] {
        std::array<QString, 256> texts;
        for (int v = 0; v < 256; ++v)
            texts[static_cast<size_t>(v)] = twoDecimals(double(v) / 255 * 100);
        return texts;
    }();
    if (number >= 0 && number <= 255 && number == std::floor(number))
        return whole[static_cast<size_t>(number)];
    return twoDecimals(number / 255 * 100);
}
