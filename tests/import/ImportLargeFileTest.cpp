// Files no measurement software writes, picked by mistake: a file whose lines would not fit in
// memory is refused like an unreadable one, and the window keeps what it showed.

#include "ImportTestSupport.h"

namespace {

TEST(ImportLargeFile, FileOfLineBreaksIsRefusedAndChangesNothing) {
    QTemporaryDir dir;
    // Three million empty lines: far more memory as lines than the file's 3 MiB.
    const QString path = writeFile(dir, QStringLiteral("breaks.txt"), QByteArray(3 * 1024 * 1024, '\n'));
    for (int tag = 1; tag <= 3; ++tag) {
        SCOPED_TRACE(tag);
        FormState form = startedForm();
        WatchingToolkit toolkit(form);
        toolkit.answerOpen(fixture(tag == 1 ? "spectral.txt" : tag == 2 ? "lab.txt" : "optimized.txt"));
        btnOpenCGATSFileClick(form, toolkit, tag);
        const WindowView before = windowOf(form);

        toolkit.answerOpen(path);
        btnOpenCGATSFileClick(form, toolkit, tag);

        EXPECT_EQ(toolkit.messages(), QStringList{kUnreadable});
        WindowView after = windowOf(form);
        after.barFront = before.barFront; // the bar was brought to the front while the file was read
        EXPECT_EQ(after, before);
        EXPECT_FALSE(form.RectangleProgress.Visible);
    }
}

} // namespace
