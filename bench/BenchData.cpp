#include "BenchData.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <stdexcept>

namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("cannot create a scratch folder");
    return dir;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray header(const char* descriptor, int fields, const QByteArray& formatLine, int patches) {
    QByteArray h;
    h += "CGATS.17\r\n";
    h += "ORIGINATOR \"lumetra bench\"\r\n";
    h += QByteArray("DESCRIPTOR \"") + descriptor + "\"\r\n";
    h += "CREATED \"2026-01-01\"\r\n";
    h += "NUMBER_OF_FIELDS " + QByteArray::number(fields) + "\r\n";
    h += "BEGIN_DATA_FORMAT\r\n";
    h += formatLine + "\r\n";
    h += "END_DATA_FORMAT\r\n";
    h += "NUMBER_OF_SETS " + QByteArray::number(patches) + "\r\n";
    h += "BEGIN_DATA\r\n";
    return h;
}

QByteArray spectralNames() {
    QByteArray names;
    for (int nm = 380; nm <= 730; nm += 10)
        names += " SPECTRAL_" + QByteArray::number(nm);
    return names;
}

BenchFiles make(int patches) {
    const QString dir = scratch().filePath(QString::number(patches));
    QDir().mkpath(dir);
    QByteArray spectral = header("spectral", 37, "SAMPLE_ID" + spectralNames() + " ", patches);
    QByteArray lab = header("lab", 4, "SAMPLE_ID LAB_L LAB_A LAB_B ", patches);
    QByteArray optimized = header("optimized", 37, "SAMPLE_ID" + spectralNames(), patches);
    spectral.reserve(spectral.size() + qsizetype(patches) * 260);
    for (int i = 1; i <= patches; ++i) {
        QByteArray values;
        for (int k = 0; k < 36; ++k)
            values += ' ' + QByteArray::number(0.05 + 0.8 * ((i * 7 + k * 13) % 97) / 97.0, 'f', 4);
        const QByteArray id = QByteArray::number(i);
        spectral += id + values + "\r\n";
        optimized += id + values + "\r\n";
        lab += id + ' ' + QByteArray::number(20 + (i % 70), 'f', 2) + ' ' +
               QByteArray::number((i % 50) - 25, 'f', 2) + ' ' + QByteArray::number((i % 40) - 20, 'f', 2) +
               " \r\n";
    }
    spectral += "END_DATA\r\n";
    lab += "END_DATA\r\n";
    optimized += "END_DATA\r\n";
    BenchFiles files{dir + "/spectral.txt", dir + "/lab.txt", dir + "/optimized.txt"};
    writeFile(files.spectral, spectral);
    writeFile(files.lab, lab);
    writeFile(files.optimized, optimized);
    return files;
}

} // namespace

const BenchFiles& benchFiles(int patches) {
    static std::map<int, BenchFiles> made;
    auto it = made.find(patches);
    if (it == made.end())
        it = made.emplace(patches, make(patches)).first;
    return it->second;
}

QString benchSwatchRoot() {
    static const QString root = [] {
        const QString r = scratch().filePath(QStringLiteral("swatch"));
        QDir().mkpath(r + "/CMYK");
        // Every chart name, scrambled and not, with the same simple patch block.
        QByteArray body = "Lumetra swatch\r\n   Patches {\r\n";
        for (int i = 0; i < 3000; ++i)
            body += "    [" + QByteArray::number(i % 256) + ' ' + QByteArray::number((i * 3) % 256) + ' ' +
                    QByteArray::number((i * 7) % 256) + ' ' + QByteArray::number((i * 11) % 256) + "],\r\n";
        body += "   }\r\n";
        for (const char* name : {"Quick", "Standard", "Extreme", "ExtremeL", "Ultra", "UltraL"}) {
            writeFile(r + "/CMYK/" + name + ".IccSwa", body);
            writeFile(r + "/CMYK/" + name + "U.IccSwa", body);
        }
        return r;
    }();
    return root;
}
