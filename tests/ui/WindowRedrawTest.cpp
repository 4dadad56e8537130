// A handler's pumps bring the window up to date at most once a redraw interval, yet the window is
// current before every box and dialog and once the handler ends, every pump still handles the
// pending events, and nothing the user types into a pane that lags behind its document is lost.

#include "LinePane.h"
#include "ScriptedToolkit.h"
#include "unitUlvarTabbed.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int kHour = 3600 * 1000;

// Runs beforeBox just before each box or dialog is shown, and onAddress for the Help button.
class WatchingToolkit : public ScriptedToolkit {
public:
    std::function<void()> beforeBox = [] {};
    std::function<void()> onAddress = [] {};

    void ShowMessage(const QString& text) override {
        beforeBox();
        ScriptedToolkit::ShowMessage(text);
    }
    void ShowError(const QString& text) override {
        beforeBox();
        ScriptedToolkit::ShowError(text);
    }
    bool ExecuteOpen(OpenDialog& dialog) override {
        beforeBox();
        return ScriptedToolkit::ExecuteOpen(dialog);
    }
    bool ExecuteSave(SaveDialog& dialog) override {
        beforeBox();
        return ScriptedToolkit::ExecuteSave(dialog);
    }
    void OpenAddress(const QString& address) override {
        ScriptedToolkit::OpenAddress(address);
        onAddress();
    }
};

QPlainTextEdit* pane(const QWidget& window, const char* name) {
    auto* w = window.findChild<QPlainTextEdit*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// A read-only pane (LinePane has no meta-object of its own: found through dynamic_cast).
LinePane* view(const QWidget& window, const char* name) {
    auto* w = dynamic_cast<LinePane*>(window.findChild<QWidget*>(QString::fromLatin1(name)));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QString shown(const Memo& memo) {
    return memo.Lines.lines().join(u'\n');
}

TEST(WindowRedraw, PumpsWithinTheIntervalLeaveTheWindowButBoxesAndDialogsFindItCurrent) {
    WatchingToolkit toolkit;
    TTabbedForm window(toolkit);
    window.setRedrawInterval(kHour);
    FormState& form = window.form();
    LinePane* input = view(window, "memoInput");
    Toolkit& handler = window.toolkit();
    window.syncFromState();

    form.memoInput.Lines.Add(QStringLiteral("pumped"));
    handler.ProcessMessages();
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Pump), 1);
    EXPECT_NE(input->toPlainText(), shown(form.memoInput)) << "redrawn although the interval had not passed";

    QString seen;
    toolkit.beforeBox = [&] { seen = input->toPlainText(); };
    const struct {
        const char* name;
        std::function<void()> show;
    } boxes[] = {
        {"message", [&] { handler.ShowMessage(QStringLiteral("m")); }},
        {"error", [&] { handler.ShowError(QStringLiteral("e")); }},
        {"open dialog", [&] { handler.ExecuteOpen(form.dlgOpenMeasurementFile); }},
        {"save dialog", [&] { handler.ExecuteSave(form.dlgSaveCGATSFile); }},
    };
    for (const auto& box : boxes) {
        SCOPED_TRACE(box.name);
        form.memoInput.Lines.Add(QString::fromLatin1(box.name));
        handler.ProcessMessages();
        box.show();
        EXPECT_EQ(seen, shown(form.memoInput));
    }

    // With no interval every pump redraws.
    window.setRedrawInterval(0);
    form.memoInput.Lines.Add(QStringLiteral("no interval"));
    handler.ProcessMessages();
    EXPECT_EQ(input->toPlainText(), shown(form.memoInput));
}

TEST(WindowRedraw, TheWindowIsCurrentWhenTheHandlerEnds) {
    WatchingToolkit toolkit;
    TTabbedForm window(toolkit);
    window.setRedrawInterval(kHour);
    FormState& form = window.form();
    // A handler that adds lines and pumps in between (the Help button's shell stands in for it).
    toolkit.onAddress = [&] {
        for (int i = 0; i < 50; ++i) {
            form.memoInput.Lines.Add(QStringLiteral("line %1").arg(i));
            window.toolkit().ProcessMessages();
        }
    };
    window.findChild<QPushButton*>(QStringLiteral("btnHelp"))->click();
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Pump), 50);
    EXPECT_EQ(view(window, "memoInput")->toPlainText(), shown(form.memoInput));
}

TEST(WindowRedraw, APumpThatDoesNotRedrawStillHandlesEvents) {
    TTabbedForm window; // with the Qt toolkit
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setRedrawInterval(kHour);
    window.syncFromState();
    window.form().memoInput.Lines.Add(QStringLiteral("later"));
    bool handled = false;
    QTimer::singleShot(0, &window, [&] { handled = true; });
    window.toolkit().ProcessMessages();
    EXPECT_TRUE(handled);
    EXPECT_NE(view(window, "memoInput")->toPlainText(), shown(window.form().memoInput));
}

// The spec pane can be typed in while a build appends to it between two redraws.
class TypingIntoALaggingPane : public ::testing::Test {
protected:
    ScriptedToolkit toolkit;
    TTabbedForm window{toolkit};
    FormState& form = window.form();
    QPlainTextEdit* spec = pane(window, "memoUlvarSpec");

    void SetUp() override {
        window.setRedrawInterval(kHour);
        form.TabItem5.Enabled = true;
        form.ActiveTab = 4;
        form.memoUlvarSpec.Lines.Add(QStringLiteral("a"));
        window.syncFromState();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        spec->setFocus();
        spec->moveCursor(QTextCursor::Start);
    }
    // A pump of the handler in which the user acts.
    void pumpWith(std::function<void()> act) {
        toolkit.onNextPump(std::move(act));
        window.toolkit().ProcessMessages();
    }
    QStringList state() const { return form.memoUlvarSpec.Lines.lines(); }
};

TEST_F(TypingIntoALaggingPane, KeysReachTheDocumentAsItNowIs) {
    form.memoUlvarSpec.Lines.Add(QStringLiteral("b"));
    pumpWith([&] { QTest::keyClicks(spec, QStringLiteral("x")); });
    EXPECT_EQ(state(), (QStringList{"xa", "b"}));
    EXPECT_EQ(spec->toPlainText(), "xa\nb");

    // Even into a document the handler replaced meanwhile.
    form.memoUlvarSpec.Lines.Clear();
    form.memoUlvarSpec.Lines.Add(QStringLiteral("new"));
    pumpWith([&] {
        spec->moveCursor(QTextCursor::Start);
        QTest::keyClicks(spec, QStringLiteral("y"));
    });
    EXPECT_EQ(state(), QStringList{"ynew"});
    EXPECT_EQ(spec->toPlainText(), "ynew");
}

TEST_F(TypingIntoALaggingPane, AnEditWithoutInputKeepsTheLinesAddedSince) {
    form.memoUlvarSpec.Lines.Add(QStringLiteral("b"));
    pumpWith([&] { QTextCursor(spec->document()).insertText(QStringLiteral("x")); });
    EXPECT_EQ(state(), (QStringList{"xa", "b"}));
    EXPECT_EQ(spec->toPlainText(), "xa\nb");

    // Made to a document the handler has replaced: the replacement stands.
    form.memoUlvarSpec.Lines.Clear();
    form.memoUlvarSpec.Lines.Add(QStringLiteral("new"));
    pumpWith([&] { QTextCursor(spec->document()).insertText(QStringLiteral("y")); });
    EXPECT_EQ(state(), QStringList{"new"});
    window.syncFromState();
    EXPECT_EQ(spec->toPlainText(), "new");
}

} // namespace
