#include "CreationDates.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeFormatWithoutZone, DropsTheZoneWithItsSeparator) {
    const struct {
        const char* format;
        const char* stripped;
    } cases[] = {
        {"h:mm:ss AP t", "h:mm:ss AP"},         {"HH:mm:ss", "HH:mm:ss"},
        {"HH:mm:ss tttt", "HH:mm:ss"},          {"t HH:mm:ss", "HH:mm:ss"},
        {"h:mm:ss AP, t", "h:mm:ss AP"},        {"HH:mm:ss (t)", "HH:mm:ss"},
        {"APh:mm:ss [t]", "APh:mm:ss"},         {"HH.mm:ss 'h' t", "HH.mm:ss 'h'"},
        {"'kl'. HH:mm:ss t", "'kl'. HH:mm:ss"}, {"H 'at' mm t", "H 'at' mm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeFormatWithoutZone(QString::fromLatin1(c.format)), QString::fromLatin1(c.stripped))
            << c.format;
}

TEST(SmoothingCreatedText, WritesMidnightInTheRegionalLongTimeFormat) {
    const QDate date(2018, 3, 11);
    EXPECT_EQ(SmoothingCreatedText(date, QLocale(QLocale::English, QLocale::UnitedStates)),
              "11_Mar_2018 12:00:00 AM");
    EXPECT_EQ(SmoothingCreatedText(date, QLocale::c()), "11_Mar_2018 00:00:00");
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(SmoothingCreatedText(QDate(2018, 12, 5), german),
              "05_" + german.monthName(12, QLocale::ShortFormat) + "_2018 00:00:00");
}

TEST(SmoothingCreatedText, KeepsAsciiDigitsAndPlainBlanksEverywhere) {
    for (const QLocale& locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        const QString time = MidnightLongTime(locale);
        SCOPED_TRACE(locale.name().toStdString() + " " + time.toStdString());
        EXPECT_FALSE(time.isEmpty());
        for (QChar c : time) {
            EXPECT_FALSE(c.isDigit() && c.unicode() >= 0x80);
            EXPECT_FALSE(c.category() == QChar::Separator_Space && c != u' ');
        }
        // No zone is left: midnight UTC would show its name or offset.
        EXPECT_FALSE(time.contains(QStringLiteral("UTC")) || time.contains(QStringLiteral("GMT")));
    }
}

TEST(SpecCreatedDate, UsesTheRegionalShortDate) {
    const QDate date(2018, 3, 11);
    EXPECT_EQ(SpecCreatedDate(date, QLocale(QLocale::English, QLocale::UnitedStates)), "3/11/18");
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(SpecCreatedDate(date, german), german.toString(date, QLocale::ShortFormat));
    EXPECT_FALSE(SpecCreatedDate(date, german).contains(u':'));
}

} // namespace
