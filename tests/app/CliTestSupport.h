#pragma once

// Running lumetra-cli (or another program) from the CLI tests, and the sample files they use.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

inline const QString kExamples = QStringLiteral(LUMETRA_SOURCE_DIR "/examples");
inline const QString kSpectral = kExamples + QStringLiteral("/Standard_spectral.txt");
inline const QString kLab = kExamples + QStringLiteral("/Standard_lab.txt");
inline const QString kOptimized = kExamples + QStringLiteral("/Standard_optimized.txt");

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray outBytes;
};

// Runs program to its end (at most a minute) from workDir; setUp may adjust the process first.
inline CliRun runProgram(const QString& program, const QStringList& args,
                         const QString& workDir = QStringLiteral(LUMETRA_SOURCE_DIR),
                         const std::function<void(QProcess&)>& setUp = {}) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    if (setUp)
        setUp(p);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    CliRun r;
    r.exitCode = p.exitCode();
    r.outBytes = p.readAllStandardOutput();
    // The program writes UTF-8 on every system.
    r.out = QString::fromUtf8(r.outBytes);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline CliRun runCli(const QStringList& args, const QString& workDir = QStringLiteral(LUMETRA_SOURCE_DIR),
                     const std::function<void(QProcess&)>& setUp = {}) {
    return runProgram(QStringLiteral(LUMETRA_CLI), args, workDir, setUp);
}
