#include "LinePane.h"
#include "ScriptedToolkit.h"
#include "TestApp.h"
#include "unitUlvarTabbed.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

LineList of(const QStringList& lines) {
    LineList list;
    list.setLines(lines);
    return list;
}

// A shown pane with room for a few lines of its default font.
class LinePaneTest : public ::testing::Test {
protected:
    LinePane pane;

    void SetUp() override {
        pane.resize(300, 120);
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
        QGuiApplication::clipboard()->clear();
    }
    int lineHeight() const { return static_cast<int>(std::ceil(QFontMetricsF(pane.font()).lineSpacing())); }
    // The middle of the shown row (0 = top of the view), at x in the viewport.
    QPoint at(int row, int x) const { return QPoint(x, 4 + row * lineHeight() + lineHeight() / 2); }
    QString clipboard() const { return QGuiApplication::clipboard()->text(); }
    void press(QKeySequence::StandardKey key) {
        const QKeySequence sequence(key);
        QTest::keyClick(&pane, sequence[0].key(), sequence[0].keyboardModifiers());
    }
};

TEST_F(LinePaneTest, DrawsTheLinesInViewAndNothingBelow) {
    pane.setLines(of({QStringLiteral("MMMM MMMM"), QString(), QStringLiteral("MMMM\tMMMM")}));
    const QImage image = pane.viewport()->grab().toImage();
    const QRgb base = pane.palette().color(QPalette::Base).rgb();
    // Whether row (0 = top) of the view has any pixel other than the background.
    const auto inked = [&](int row) {
        for (int y = 4 + row * lineHeight(); y < 4 + (row + 1) * lineHeight(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != base)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(0));
    EXPECT_FALSE(inked(1)) << "an empty line";
    EXPECT_TRUE(inked(2));
    EXPECT_FALSE(inked(3)) << "below the last line";
}

TEST_F(LinePaneTest, SelectAllAndCopyGiveTheDocumentsTextWithNewlinesBetweenLines) {
    const struct {
        const char* name;
        QStringList lines;
    } cases[] = {
        {"one line", {QStringLiteral("CGATS.17")}},
        {"tabs and blank lines", {QStringLiteral("a\tb"), QString(), QStringLiteral("c"), QString()}},
        {"no-break space kept", {QStringLiteral("x\u00a0y"), QStringLiteral("\u00e9")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pane.setLines(of(c.lines));
        EXPECT_FALSE(pane.hasSelection());
        press(QKeySequence::SelectAll);
        press(QKeySequence::Copy);
        EXPECT_EQ(clipboard(), c.lines.join(u'\n'));
        EXPECT_EQ(pane.toPlainText(), c.lines.join(u'\n'));
    }

    // A loaded document, its lines held as bytes where they fit (the euro sign does not).
    LineList loaded;
    loaded.LoadFromBytes("CGATS.17\r\nx\xA0y\t\xE9\r\n\r\n\x80 1\r\n");
    pane.setLines(loaded);
    press(QKeySequence::SelectAll);
    press(QKeySequence::Copy);
    EXPECT_EQ(clipboard(), QStringLiteral("CGATS.17\nx\u00a0y\t\u00e9\n\n\u20ac 1"));

    // Nothing selected: the clipboard keeps what it had.
    pane.setLines(of({QStringLiteral("new")}));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    press(QKeySequence::Copy);
    EXPECT_EQ(clipboard(), "before");
}

TEST_F(LinePaneTest, TheMouseSelectsShiftClickExtendsAndADoubleClickTakesAWord) {
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    pane.setLines(of(lines));
    pane.verticalScrollBar()->setValue(10);

    // From the start of the top row to beyond the end of the third: the rows are lines 10 to 12.
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, at(0, 1));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ShiftModifier, at(2, 290));
    EXPECT_EQ(pane.selectedText(), "line 10\nline 11\nline 12");
    EXPECT_EQ(pane.cursorLine(), 12);

    // Dragging back above the anchor selects upwards.
    QTest::mousePress(pane.viewport(), Qt::LeftButton, {}, at(1, 290));
    QMouseEvent move(QEvent::MouseMove, QPointF(at(0, 1)), pane.viewport()->mapToGlobal(QPointF(at(0, 1))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane.viewport(), &move);
    QTest::mouseRelease(pane.viewport(), Qt::LeftButton, {}, at(0, 1));
    EXPECT_EQ(pane.selectedText(), "line 10\nline 11");

    // A plain click drops the selection.
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, at(1, 1));
    EXPECT_FALSE(pane.hasSelection());

    pane.setLines(of({QStringLiteral("SAMPLE_ID\tRGB_R")}));
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, at(0, 10));
    EXPECT_EQ(pane.selectedText(), "SAMPLE_ID");
}

TEST_F(LinePaneTest, AppendsKeepTheViewAndReplacementsStartAfresh) {
    // Every change as (first line, lines removed, lines added).
    std::vector<std::tuple<int, int, int>> changes;
    pane.setChangeObserver(
        [&](int first, int removed, int added) { changes.emplace_back(first, removed, added); });
    pane.setLines(of({QStringLiteral("a"), QStringLiteral("b")}));
    pane.appendLines(of({QStringLiteral("c"), QString(), QStringLiteral("e")}), 0);
    EXPECT_EQ(pane.lines().lines(), (QStringList{"a", "b", "c", "", "e"}));
    EXPECT_EQ(pane.toPlainText(), "a\nb\nc\n\ne");
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1], std::make_tuple(2, 0, 3)) << "appended after line 2, nothing removed";

    // A selection and the scroll position survive an append, unless the view was at the end:
    // then it follows the end.
    QStringList more;
    for (int i = 0; i < 100; ++i)
        more.append(QStringLiteral("row %1").arg(i));
    pane.appendLines(of(more), 0);
    QScrollBar* vertical = pane.verticalScrollBar();
    EXPECT_EQ(vertical->value(), vertical->maximum()) << "the last line was in view";
    vertical->setValue(3);
    pane.selectLine(4);
    pane.verticalScrollBar()->setValue(3);
    pane.appendLines(of({QStringLiteral("later")}), 0);
    EXPECT_EQ(vertical->value(), 3);
    EXPECT_EQ(pane.selectedText(), "e");
    EXPECT_EQ(pane.cursorLine(), 4);
    EXPECT_EQ(pane.lineCount(), 106);

    // Replaced: no selection left, back at the top, and the old lines are gone.
    pane.selectAll();
    pane.setLines(of({QStringLiteral("x")}));
    EXPECT_FALSE(pane.hasSelection());
    EXPECT_EQ(vertical->value(), 0);
    EXPECT_EQ(vertical->maximum(), 0);
    EXPECT_EQ(pane.toPlainText(), "x");
    EXPECT_EQ(changes.back(), std::make_tuple(0, 106, 1));
}

TEST_F(LinePaneTest, TheHorizontalRangeReachesTheWidestLineEvenWhenItIsNotTheLongest) {
    // Tabs make a short line the widest: 20 tabs are 1600 pixels, far more than any line of
    // forty letters; the count of characters ranks it behind those.
    QStringList lines{QString(20, u'\t') + u'x'};
    for (int i = 0; i < 40; ++i)
        lines.append(QString(40, u'm'));
    pane.setLines(of(lines));
    QScrollBar* horizontal = pane.horizontalScrollBar();
    EXPECT_GT(horizontal->maximum(), 0) << "the longest lines are measured on arrival";
    // Drawn once, the tab line widens the range.
    pane.viewport()->repaint();
    QCoreApplication::processEvents();
    EXPECT_GE(horizontal->maximum() + pane.viewport()->width(), 20 * 80);
}

TEST_F(LinePaneTest, KeysScrollButChangeNothing) {
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines.append(QStringLiteral("%1").arg(i));
    pane.setLines(of(lines));
    pane.setFocus();
    QScrollBar* vertical = pane.verticalScrollBar();
    QTest::keyClick(&pane, Qt::Key_Down);
    EXPECT_EQ(vertical->value(), 1);
    QTest::keyClick(&pane, Qt::Key_PageDown);
    EXPECT_EQ(vertical->value(), 1 + vertical->pageStep());
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(vertical->value(), vertical->maximum());
    QTest::keyClick(&pane, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(vertical->value(), 0);

    // Typing, deleting and pasting leave the lines as they were.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    pane.selectAll();
    QTest::keyClicks(&pane, QStringLiteral("typed"));
    QTest::keyClick(&pane, Qt::Key_Backspace);
    QTest::keyClick(&pane, Qt::Key_Delete);
    press(QKeySequence::Paste);
    press(QKeySequence::Cut);
    EXPECT_EQ(pane.lines().lines(), lines);
}

TEST_F(LinePaneTest, TheContextMenuOffersCopyAndSelectAll) {
    pane.setLines(of({QStringLiteral("a"), QStringLiteral("b")}));
    // Opens the menu, reads its entries and triggers the one named choose.
    const auto runMenu = [&](const QString& choose) {
        QStringList entries;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                entries.append(action->text() + (action->isEnabled() ? "" : " (off)"));
                if (action->text() == choose)
                    chosen = action;
            }
            menu->close();
            if (chosen)
                chosen->trigger();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at(0, 5), pane.viewport()->mapToGlobal(at(0, 5)));
        QApplication::sendEvent(pane.viewport(), &event);
        return entries;
    };
    EXPECT_EQ(runMenu(QStringLiteral("Select All")), (QStringList{"&Copy (off)", "Select All"}));
    EXPECT_EQ(pane.selectedText(), "a\nb");
    EXPECT_EQ(runMenu(QStringLiteral("&Copy")), (QStringList{"&Copy", "Select All"}));
    EXPECT_EQ(clipboard(), "a\nb");
}

// In the window: what a key does in a read-only pane never reaches its document.
TEST(LinePaneInWindow, TheImportPanesAreViewsTheUserCannotTypeInto) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Memo& memo = window.form().memoInput;
    memo.Lines.Add(QStringLiteral("CGATS.17"));
    window.syncFromState();
    auto* input = dynamic_cast<LinePane*>(paneWidget(window, "memoInput"));
    ASSERT_NE(input, nullptr);
    input->setFocus();
    QTest::keyClicks(input, QStringLiteral("x"));
    QTest::keyClick(input, Qt::Key_Return);
    window.takeUserEdits();
    EXPECT_EQ(memo.Lines.lines(), QStringList{"CGATS.17"});
    EXPECT_EQ(input->toPlainText(), "CGATS.17");
}

} // namespace
