#include "CmykPercent.h"

#include "Error.h"
#include "LineTokenize.h"
#include "NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace {

double parseValue(const QString& value) {
    const QString trimmed = TrimControl(value);
    const std::optional<double> number = ReadDecimalNumber(trimmed, kCmykNumberSyntax);
    if (!number)
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(trimmed));
    return *number;
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
