// Clicks handled while a handler pumps events, through the window's own buttons: the window
// closed in the middle of an import or a spec build, a second build asked for while one runs, and
// an optimized file opened during a build. Nothing may crash, and every pane's widget must show
// exactly its document when the handlers are done.

#include "ScriptedToolkit.h"
#include "TestApp.h"
#include "unitUlvarTabbed.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// An optimized file the spec build takes: BEGIN_DATA at 27, rows 28 to 99, so the build pumps at
// the rows 40, 60 and 80, after the rows and at its end.
QByteArray optimizedFile(const char* value) {
    QByteArray text =
        "CGATS.17\r\nNUMBER_OF_FIELDS 3\r\nBEGIN_DATA_FORMAT\r\nSAMPLE_ID SPECTRAL_380 SPECTRAL_390\r\n"
        "END_DATA_FORMAT\r\nNUMBER_OF_SETS 72\r\n";
    for (int i = 6; i < 27; ++i)
        text += "KEYWORD \"pad\"\r\n";
    text += "BEGIN_DATA\r\n";
    for (int r = 28; r < 100; ++r)
        text += "P" + QByteArray::number(r) + ' ' + value + " 0." + QByteArray::number(r) + "\r\n";
    text += "END_DATA\r\n";
    for (int i = 0; i < 10; ++i)
        text += "\r\n";
    return text;
}

QStringList specLines(const char* value) {
    QStringList lines = {QStringLiteral("; Created: ")};
    for (int r = 28; r < 100; ++r)
        lines << QStringLiteral("%1\t0.%2").arg(QLatin1String(value)).arg(r);
    return lines;
}

class WindowReentrancy : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedToolkit toolkit;
    std::unique_ptr<TTabbedForm> window = std::make_unique<TTabbedForm>(toolkit);

    void SetUp() override { window->show(); }

    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }
    QPushButton* button(const char* name) {
        auto* b = window->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    // Every pane's widget shows its document's lines.
    void expectPanesShowTheirDocuments() {
        const FormState& f = window->form();
        const std::pair<const char*, const Memo*> panes[] = {
            {"memoInput", &f.memoInput},
            {"memoCGATSLab", &f.memoCGATSLab},
            {"MemoSmoothCGATS", &f.MemoSmoothCGATS},
            {"memoOptimized", &f.memoOptimized},
            {"memoUlvarSpec", &f.memoUlvarSpec},
        };
        for (const auto& [name, memo] : panes) {
            QWidget* widget = paneWidget(*window, name);
            ASSERT_NE(widget, nullptr) << name;
            EXPECT_EQ(paneText(widget), memo->Lines.lines().join(u'\n')) << name;
        }
    }
    // Opens an optimized file through the window, so the fifth tab and its button respond.
    void openOptimized(const char* value) {
        toolkit.answerOpen(write("optimized.txt", optimizedFile(value)));
        button("btnOpenOptimized")->click();
        ASSERT_TRUE(window->form().TabItem5.Enabled);
    }
};

TEST_F(WindowReentrancy, ClosingDuringAnImportLetsItFinishQuietly) {
    toolkit.answerOpen(write("spectral.txt", QByteArray("CGATS.17\r\nno format line\r\n")));
    toolkit.onNextPump([&] { window->close(); });
    button("btnOpenSpecMeasurement")->click();

    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(toolkit.messages().isEmpty()) << "the refusal comes after the window closed";
    EXPECT_FALSE(window->form().RectangleProgress.Visible);
    expectPanesShowTheirDocuments();
    window.reset();
}

TEST_F(WindowReentrancy, ClosingDuringASpecBuildWritesNothing) {
    openOptimized("1.5");
    const QString target = dir.filePath("never.spec");
    toolkit.answerSave(target);
    toolkit.onNextPump([&] { window->close(); });
    button("btnWriteUlvar")->click();

    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(target)) << "the save dialog counts as cancelled once the window is gone";
    const FormState& f = window->form();
    EXPECT_EQ(f.memoUlvarSpec.Lines.Count(), 1 + 72) << "the rows, without the line a save adds";
    EXPECT_FALSE(f.RectangleProgress.Visible);
    EXPECT_FALSE(f.Timer.Enabled);
    expectPanesShowTheirDocuments();
    window.reset();
}

TEST_F(WindowReentrancy, SecondSpecBuildAskedForDuringABuildIsNotTaken) {
    openOptimized("1.5");
    const QString target = dir.filePath("built.spec");
    toolkit.answerSave(target);
    toolkit.onNextPump([&] { button("btnWriteUlvar")->click(); });
    button("btnWriteUlvar")->click();

    const QStringList pane = window->form().memoUlvarSpec.Lines.lines();
    ASSERT_EQ(pane.size(), 1 + 72 + 1);
    EXPECT_TRUE(pane.front().startsWith("; Created: "));
    EXPECT_EQ(pane.mid(1, 72), specLines("1.5").mid(1));
    EXPECT_EQ(toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(toolkit.unexpectedDialogs, 0);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), pane.join("\r\n").toLatin1());
    expectPanesShowTheirDocuments();
}

TEST_F(WindowReentrancy, OptimizedFileOpenedDuringABuildLeavesTheBuildAlone) {
    openOptimized("1.5");
    const QString newer = write("newer.txt", optimizedFile("2.5"));
    const QString target = dir.filePath("built.spec");
    toolkit.answerOpen(newer);
    toolkit.answerSave(target);
    toolkit.onNextPump([&] { button("btnOpenOptimized")->click(); });
    button("btnWriteUlvar")->click();

    const FormState& f = window->form();
    EXPECT_EQ(f.memoUlvarSpec.Lines.lines().mid(1, 72), specLines("1.5").mid(1));
    EXPECT_EQ(f.LabelOptimizedFileName.Text, "newer.txt");
    EXPECT_TRUE(f.memoOptimized.Lines.lines().contains("P28 2.5 0.28"));
    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_FALSE(f.RectangleProgress.Visible);
    EXPECT_FALSE(f.Timer.Enabled);
    expectPanesShowTheirDocuments();
}

} // namespace
