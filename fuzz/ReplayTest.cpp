// Every input a fuzzer once broke the program with is kept in tests/data/fuzz/<target>/ and
// replayed here through its harness, which aborts (failing this test) when a rule breaks again.
// The harnesses also run over the import fixtures and the sample files, so a harness that would
// cry wolf on sound files is caught here rather than in a fuzzing run.

#include "FuzzHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using lumetra::fuzz::Target;
using lumetra::fuzz::Targets;

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void run(const Target& target, const QByteArray& input, const QString& what) {
    // Printed first: a broken rule aborts the whole program, and this names the input.
    std::fprintf(stderr, "fuzz_%s <- %s\n", target.name, qPrintable(what));
    target.run(reinterpret_cast<const std::uint8_t*>(input.constData()),
               static_cast<std::size_t>(input.size()));
}

QByteArray joinedParts(std::initializer_list<QByteArray> parts) {
    QByteArray out;
    for (const QByteArray& p : parts) {
        if (!out.isEmpty())
            out += static_cast<char>(lumetra::fuzz::kPartSeparator);
        out += p;
    }
    return out;
}

class FuzzReplay : public testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SavedInputs) {
    const QDir dir(QStringLiteral(LUMETRA_TEST_DATA "/fuzz/") + QString::fromLatin1(GetParam().name));
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name))
        run(GetParam(), readAll(file.filePath()), file.fileName());
}

TEST_P(FuzzReplay, SoundFilesPass) {
    const QString import = QStringLiteral(LUMETRA_TEST_DATA "/import/");
    const QByteArray spectral = readAll(import + QStringLiteral("spectral.txt"));
    const QByteArray lab = readAll(import + QStringLiteral("lab.txt"));
    const QByteArray optimized = readAll(import + QStringLiteral("optimized.txt"));
    run(GetParam(), QByteArray(), QStringLiteral("nothing"));
    for (const char* name : {"spectral.txt", "lab.txt", "optimized.txt", "spectral_bad_count.txt"})
        run(GetParam(), readAll(import + QString::fromLatin1(name)), QString::fromLatin1(name));
    run(GetParam(), joinedParts({spectral, lab, optimized}), QStringLiteral("the three fixtures as parts"));
    run(GetParam(), readAll(QStringLiteral(LUMETRA_SOURCE_DIR "/CMYK/Quick.IccSwa")),
        QStringLiteral("Quick.IccSwa"));
}

TEST(FuzzReplay, SampleRoad) {
    const QString examples = QStringLiteral(LUMETRA_SOURCE_DIR "/examples/");
    const QByteArray road = joinedParts({readAll(examples + QStringLiteral("Standard_spectral.txt")),
                                         readAll(examples + QStringLiteral("Standard_lab.txt")),
                                         readAll(examples + QStringLiteral("Standard_optimized.txt"))});
    for (const Target& t : Targets())
        if (std::string(t.name) == "road")
            run(t, road, QStringLiteral("the samples"));
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(Targets()),
                         [](const testing::TestParamInfo<Target>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
