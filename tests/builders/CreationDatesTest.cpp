#include "CreationDates.h"
#include "BuildTestSupport.h"
#include "SaveDocument.h"

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

// Locales with digits of their own keep their format, written with Latin digits (the code page
// has no others) and without the direction marks that would be written as "?".
TEST(CreationDates, LocaleDigitsBecomeLatinOnes) {
    const QDate date(2018, 3, 11);
    const struct {
        QLocale locale;
        const char* specDate;
    } cases[] = {
        {QLocale(QLocale::Arabic, QLocale::Egypt), "11/3/2018"},
        {QLocale(QLocale::Persian, QLocale::Iran), "2018/3/11"},
        {QLocale(QLocale::Bengali, QLocale::Bangladesh), "11/3/18"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const ScopedDefaultLocale regional(c.locale);
        EXPECT_EQ(SpecCreatedDate(date, QLocale()), c.specDate);
        const QString created = SmoothingCreatedText(date, QLocale());
        EXPECT_TRUE(created.startsWith("11_")) << created.toStdString();
        EXPECT_TRUE(created.contains("_2018 ")) << created.toStdString();
        // The date reaches the file whole; of midnight, at least its digits do ("12:00:00 ?"
        // where the locale writes AM in a script the code page lacks).
        EXPECT_EQ(EncodeDocument(Lines({SpecCreatedDate(date, QLocale())})), QByteArray(c.specDate));
        const QByteArray midnight = EncodeDocument(Lines({MidnightLongTime(QLocale())}));
        EXPECT_TRUE(midnight.contains(":00:00")) << midnight.constData();
    }
    // Where the locale's own digits are Latin nothing changes.
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(SpecCreatedDate(date, german), german.toString(date, QLocale::ShortFormat));
}

} // namespace
