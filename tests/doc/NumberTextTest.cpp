// The integer and number readings shared by the CGATS scan, the number boxes, the swatch path, the
// CMYK columns and the preflight: where their syntaxes part, one row each.

#include "NumberText.h"
#include "Error.h"
#include "IntegerText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>

#include <limits>
#include <optional>

namespace {

constexpr qint64 kIntMin = std::numeric_limits<int>::min();
constexpr qint64 kIntMax = std::numeric_limits<int>::max();

struct IntegerCase {
    const char* text;
    std::optional<qint64> cgats;   // StrToInt
    std::optional<qint64> decimal; // Decimal in the 32-bit range (the swatch path)
};

const IntegerCase kIntegerCases[] = {
    {"42", 42, 42},
    {"-7", -7, -7},
    {"+7", 7, 7},
    {" 42", std::nullopt, 42}, // Qt's reading takes blanks around the digits
    {"42 ", std::nullopt, 42},
    {"$1F", 31, std::nullopt},
    {"0x10", 16, std::nullopt},
    {"-0x10", -16, std::nullopt},
    {"2147483647", kIntMax, kIntMax},
    {"2147483648", std::nullopt, std::nullopt},
    {"-2147483648", kIntMin, kIntMin},
    {"-$80000000", kIntMin, std::nullopt},
    {"$FFFFFFFF", std::nullopt, std::nullopt},
    {"", std::nullopt, std::nullopt},
    {"-", std::nullopt, std::nullopt},
    {"1.5", std::nullopt, std::nullopt},
};

TEST(IntegerText, EachSyntaxTakesItsOwnForms) {
    for (const IntegerCase& c : kIntegerCases) {
        const QString text = QString::fromLatin1(c.text);
        SCOPED_TRACE(c.text);
        const auto read = [&](IntegerSyntax syntax) -> std::optional<qint64> {
            try {
                return ReadInteger(text, syntax, kIntMin, kIntMax);
            } catch (const Error& e) {
                EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
                return std::nullopt;
            }
        };
        EXPECT_EQ(read(IntegerSyntax::Cgats), c.cgats);
        EXPECT_EQ(read(IntegerSyntax::Decimal), c.decimal);
    }
}

TEST(IntegerText, DecimalTakesTheWhole64BitRange) {
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    EXPECT_EQ(ReadInteger(QStringLiteral("9223372036854775807"), IntegerSyntax::Decimal, min, max), max);
    EXPECT_EQ(ReadInteger(QStringLiteral("-9223372036854775808"), IntegerSyntax::Decimal, min, max), min);
    EXPECT_THROW(ReadInteger(QStringLiteral("9223372036854775808"), IntegerSyntax::Decimal, min, max), Error);
    EXPECT_EQ(ReadInteger(QStringLiteral("-0x8000000000000000"), IntegerSyntax::Cgats, min, max), min);
    EXPECT_THROW(ReadInteger(QStringLiteral("0x8000000000000000"), IntegerSyntax::Cgats, min, max), Error);
}

struct NumberCase {
    const char* text;
    std::optional<double> cmyk;
    std::optional<double> preflight;
};

const NumberCase kNumberCases[] = {
    {"12.5", 12.5, 12.5},
    {"-.5", -0.5, -0.5},
    {"+3.", 3, 3},
    {"1e2", 100, 100},
    {"+-1", std::nullopt, std::nullopt}, // one sign only
    {"1e-400", 0, std::nullopt},
    {"1e400", std::nullopt, std::nullopt},
    {"12,5", std::nullopt, std::nullopt},
    {"inf", std::nullopt, std::nullopt},
    {"0x1p3", std::nullopt, std::nullopt},
    {".", std::nullopt, std::nullopt},
    {"1e", std::nullopt, std::nullopt},
    {" 1", std::nullopt, std::nullopt},
    {"", std::nullopt, std::nullopt},
    // 64 characters: beyond the preflight's limit.
    {"0.00000000000000000000000000000000000000000000000000000000000001", 1e-62, std::nullopt},
};

TEST(NumberText, EachSyntaxTakesItsOwnForms) {
    for (const NumberCase& c : kNumberCases) {
        const QString text = QString::fromLatin1(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadDecimalNumber(text, kCmykNumberSyntax), c.cmyk);
        EXPECT_EQ(ReadDecimalNumber(text, kPreflightNumberSyntax), c.preflight);
    }
}

} // namespace

// Plain decimals take a short way; it must give the very double from_chars gives.
TEST(ReadDecimalNumber, PlainDecimalsReadAsFromCharsReadsThem) {
    std::mt19937_64 random(20261210);
    for (int n = 0; n < 200000; ++n) {
        const int whole = static_cast<int>(random() % 7);
        const int fraction = static_cast<int>(random() % 10);
        std::string text = (random() % 4 == 0) ? "-" : "";
        for (int i = 0; i < whole; ++i)
            text += static_cast<char>('0' + random() % 10);
        if (fraction > 0 || whole == 0) {
            text += '.';
            for (int i = 0; i < std::max(fraction, whole == 0 ? 1 : 0); ++i)
                text += static_cast<char>('0' + random() % 10);
        }
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const std::optional<double> read =
            ReadDecimalNumber(QString::fromStdString(text), kPreflightNumberSyntax);
        ASSERT_TRUE(read.has_value()) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(expected)) << text;
    }
}
