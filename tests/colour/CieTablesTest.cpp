#include "CieTables.h"

#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

QByteArray resource(const QString& fileName) {
    QFile file(QStringLiteral(":/lumetra/colorimetry/") + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tables inside the program are the shipped CIE files, byte for byte (SHA-256 as listed in
// data/SOURCES.md), and the same bytes as the copies in the source tree.
TEST(CieTables, TheProgramHoldsTheShippedFilesByteForByte) {
    const struct {
        colour::CieTableFile table;
        const char* sha256;
    } cases[] = {
        {colour::kObserver2, "ccb70b70a14f5db4584bfb6f3bb3606055ead43d4e9bdc94088705d3f3211cc8"},
        {colour::kObserver10, "57383e3022566c88c13da34b74c56976686f0d5c9a81f7ce1e155b0a3c4e4118"},
        {colour::kIlluminantD65, "fa5e128acf66abb8b058374373dc8d68d13ca6af9e170a47913308cc8e6a1c6c"},
        {colour::kIlluminantD50, "af2180dea5027cf88c8c9111eddebf53a354174c5f5333f3cbafa368de0fc1d4"},
    };
    for (const auto& c : cases) {
        const char* file = c.table.fileName;
        const QByteArray bytes = resource(QLatin1String(file));
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(), QByteArray(c.sha256))
            << file;
        QFile source(QStringLiteral(LUMETRA_SOURCE_DIR "/src/colour/data/") + QLatin1String(file));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << file;
        EXPECT_TRUE(source.readAll() == bytes) << file;
    }
}

TEST(CieTables, LoadsAShippedTable) {
    const colour::CieTable d65 = colour::LoadCieTable(colour::kIlluminantD65);
    EXPECT_EQ(d65.firstNm, 300);
    EXPECT_EQ(d65.lastNm(), 830);
    EXPECT_EQ(d65.at(560, 0), 100);
    EXPECT_EQ(d65.at(830, 0), 60.3125);
    const colour::CieTable deg10 = colour::LoadCieTable(colour::kObserver10);
    EXPECT_EQ(deg10.firstNm, 360);
    EXPECT_EQ(deg10.at(361, 2), 0.00000081072);
}

std::string messageOf(const std::function<void()>& load) {
    try {
        load();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(CieTables, AMissingTableIsAnError) {
    EXPECT_EQ(messageOf([] {
                  colour::LoadCieTable({"CIE_std_illum_A.csv", "wavelength_nm,relative_spd"});
              }),
              "The CIE table CIE_std_illum_A.csv is missing from the program");
}

// A table of 360-780 nm, one value column, with the row of one wavelength replaced.
QByteArray tableWith(int nm, const QByteArray& row) {
    QByteArray bytes = "wavelength_nm,v\n";
    for (int w = 360; w <= 780; ++w)
        bytes += (w == nm ? row : QByteArray::number(w) + ",0.5") + '\n';
    return bytes;
}

TEST(CieTables, ADamagedTableIsAnErrorThatSaysWhere) {
    const QByteArray good = tableWith(0, {});
    const colour::CieTable table = colour::ParseCieTable(good, QStringLiteral("t.csv"), "wavelength_nm,v");
    EXPECT_EQ(table.firstNm, 360);
    EXPECT_EQ(table.lastNm(), 780);
    EXPECT_EQ(table.at(700, 0), 0.5);

    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"empty", "", "it does not end with a line break"},
        {"no last line break", good.chopped(1), "it does not end with a line break"},
        {"other header", "wavelength,v\n360,1\n", "line 1 is \"wavelength,v\", not \"wavelength_nm,v\""},
        {"no rows", "wavelength_nm,v\n", "it holds no rows"},
        {"a value missing", tableWith(400, "400"), "line 42 (\"400\") has 1 fields, not 2"},
        {"a value too many", tableWith(400, "400,1,2"), "line 42 (\"400,1,2\") has 3 fields, not 2"},
        {"no wavelength", tableWith(360, "x,1"), "line 2 (\"x,1\") does not start with a wavelength in nm"},
        {"a wavelength left out", tableWith(500, "501,1"),
         "line 142 (\"501,1\") is not 1 nm after the line before it"},
        {"an empty value", tableWith(500, "500,"), "line 142 (\"500,\"): field 2 is not a number"},
        {"NaN", tableWith(500, "500,NaN"), "line 142 (\"500,NaN\"): field 2 is not a number"},
        {"a percent sign", tableWith(500, "500,%2"), "line 142 (\"500,%2\"): field 2 is not a number"},
        {"text after the number", tableWith(500, "500,0.5x"),
         "line 142 (\"500,0.5x\"): field 2 is not a number"},
        {"a CR line end", tableWith(500, "500,0.5\r"), "line 142 (\"500,0.5\r\"): field 2 is not a number"},
        {"an empty line inside", tableWith(500, ""), "line 142 (\"\") has 1 fields, not 2"},
        {"short range", "wavelength_nm,v\n360,1\n361,1\n", "it covers 360-361 nm, not all of 360-780 nm"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            messageOf([&] { colour::ParseCieTable(c.bytes, QStringLiteral("t.csv"), "wavelength_nm,v"); }),
            std::string("The CIE table t.csv is damaged: ") + c.message)
            << c.name;
    }
}

} // namespace
