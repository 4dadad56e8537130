#include "CmykPercent.h"
#include "BuildTestSupport.h"
#include "Error.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(CmykPercent, ScalesToPercentWithTwoDecimals) {
    const struct {
        const char* value;
        const char* percent;
    } cases[] = {
        {"128", "50.20"},
        {"51", "20.00"},
        {"230", "90.20"},
        {"0", "0.00"},
        {"255", "100.00"},
        {"191", "74.90"},
        {"84", "32.94"},
        {"1", "0.39"},
        {"300", "117.65"},
        {"-51", "-20.00"},
        {"-0", "0.00"},
        {"-0.001", "0.00"},
        {"12.5", "4.90"},
        {"+128", "50.20"},
        {".5", "0.20"},
        {"2.55e2", "100.00"},
        {" \t128\r", "50.20"},
        // Halves: 50.005 % and 0.005 % exactly, which binary floating point cannot hold.
        {"127.51275", "50.01"},
        {"-127.51275", "-50.01"},
        {"0.01275", "0.01"},
        {"-0.01275", "-0.01"},
        {"25500000000000000000000", "10000000000000000000000.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CmykPercent(QString::fromLatin1(c.value)), QString::fromLatin1(c.percent)) << c.value;
}

TEST(CmykPercent, IgnoresTheLocaleForTheDecimalSeparator) {
    const ScopedDefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CmykPercent("128"), "50.20");
    EXPECT_EQ(CmykPercent("12.5"), "4.90");
    EXPECT_THROW(CmykPercent("12,5"), Error);
}

TEST(CmykPercent, RefusesWhatIsNotADecimalNumber) {
    for (const char* bad : {"", "  ", "12,5", "abc", "1 2", "0x10", "$10", "inf", "nan", "1e", "1e999", ".",
                            "+-1", "1.2.3", "١٢٨"})
        EXPECT_THROW(CmykPercent(QString::fromUtf8(bad)), Error) << bad;
}

// Found by fuzzing: from_chars reports a number too small for a double as out of range, as it does
// one too large; the small one is a value like any other, zero to two decimals.
TEST(CmykPercent, NumberTooSmallForADoubleIsZero) {
    for (const char* tiny : {"12e-400230", "1e-400", "-1e-400", "0.0000000001e-320", "1000e-330"})
        EXPECT_EQ(CmykPercent(QString::fromLatin1(tiny)), "0.00") << tiny;
    for (const char* huge : {"1e999", "0.001e312", "-1e400"})
        EXPECT_THROW(CmykPercent(QString::fromLatin1(huge)), Error) << huge;
}

} // namespace
