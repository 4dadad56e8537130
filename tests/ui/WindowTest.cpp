#include "Application.h"
#include "Error.h"
#include "HelpPage.h"
#include "LinePane.h"
#include "MeasurementKind.h"
#include "ProgressRectangle.h"
#include "ScriptedToolkit.h"
#include "TestApp.h"
#include "unitUlvarTabbed.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

// Where the help page lies relative to the program's folder once installed.
#ifdef Q_OS_WIN
const QString kInstalledHelpPage = QStringLiteral("/help/index.html");
#else
const QString kInstalledHelpPage = QStringLiteral("/share/lumetra/help/index.html");
#endif

template <class W = QWidget> W* widget(const QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// A read-only pane (found by type through dynamic_cast: LinePane has no meta-object of its own).
LinePane* view(const QWidget& window, const char* name) {
    auto* w = dynamic_cast<LinePane*>(window.findChild<QWidget*>(QString::fromLatin1(name)));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QTabWidget* tabs(const QWidget& window) {
    return widget<QTabWidget>(window, "TabControl1");
}

// A real mouse click on a tab's caption.
void clickCaption(const QWidget& window, int index) {
    QTabBar* bar = tabs(window)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

QRect inWindow(const QWidget& window, const QWidget* w) {
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
}

// A shell that fails: the thrown object escapes btnHelpClick.
class ThrowingShell : public ScriptedToolkit {
public:
    std::function<void()> fail;
    void OpenAddress(const QString& address) override {
        ScriptedToolkit::OpenAddress(address);
        fail();
    }
};

} // namespace

TEST(Window, TabsAtStartUp) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    QTabWidget* control = tabs(window);
    ASSERT_EQ(control->count(), 5);
    EXPECT_EQ(control->currentIndex(), 0);
    struct Row {
        const char* page;
        const char* caption;
        bool enabled;
        QRgb color;
    } rows[] = {
        {"TabItem1", "Read Ulvar Spec CGATS File", true, 0xFF191970},
        {"TabItem2", "Read Ulvar Lab CGATS File", false, 0xFF696969},
        {"TabItem3", "Build Smoothing File", false, 0xFF696969},
        {"TabItem4", "Read Optimized File", true, 0xFF191970},
        {"TabItem5", "Build Ulvar Spec File", false, 0xFF696969},
    };
    for (int i = 0; i < 5; ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(r.page);
        EXPECT_EQ(control->widget(i), widget(window, r.page));
        EXPECT_EQ(control->tabText(i), r.caption);
        EXPECT_EQ(control->isTabEnabled(i), r.enabled);
        EXPECT_EQ(control->widget(i)->isEnabled(), r.enabled);
        EXPECT_EQ(control->tabBar()->tabTextColor(i).rgba(), r.color);
        // Compiled in, and drawable (the SVG icon engine is there).
        EXPECT_FALSE(control->tabIcon(i).pixmap(32, 32).isNull());
    }
    EXPECT_TRUE(control->tabBar()->font().bold());
    EXPECT_EQ(window.windowTitle(), QString());
    EXPECT_TRUE(toolkit.log.empty());
}

// The measurement kinds' table names each kind's page, its place among the tabs and its pane as
// the window builds them; a jump from the preflight to a row goes by that table.
TEST(Window, EachMeasurementKindsPageStandsWhereTheTableSays) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    for (const MeasurementKindInfo& k : MeasurementKinds()) {
        SCOPED_TRACE(k.cliName);
        QWidget* page = tabs(window)->widget(k.tabIndex);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->objectName(), QString::fromLatin1(k.tab.name));
        EXPECT_NE(dynamic_cast<LinePane*>(page->findChild<QWidget*>(QString::fromLatin1(k.pane.name))),
                  nullptr);
        EXPECT_NE(page->findChild<QPushButton*>(QString::fromLatin1(k.open.name)), nullptr);
    }
}

TEST(Window, PanesAtStartUp) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    struct Row {
        const char* name;
        const Memo& memo;
        int lines;
        bool readOnly;
    } rows[] = {
        {"memoInput", window.form().memoInput, 0, true},
        {"memoCGATSLab", window.form().memoCGATSLab, 1, true},
        {"MemoSmoothCGATS", window.form().MemoSmoothCGATS, 0, false},
        {"memoOptimized", window.form().memoOptimized, 0, true},
        {"memoUlvarSpec", window.form().memoUlvarSpec, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* pane = paneWidget(window, r.name);
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(r.memo.Lines.Count(), r.lines);
        EXPECT_EQ(paneText(pane), QString());
        EXPECT_EQ(paneReadOnly(pane), r.readOnly);
    }
    EXPECT_EQ(window.form().memoCGATSLab.Lines.Get(0), QString());
}

// The FreeType engine is asked for only under Wine, and only when nobody chose a platform.
TEST(Window, PlatformChosenForWineOnlyWhenNoneIsGiven) {
    struct Case {
        bool underWine;
        QStringList arguments;
        QByteArray variable;
        QByteArray expected;
    };
    const QByteArray freetype = QByteArrayLiteral("windows:fontengine=freetype");
    const Case cases[] = {
        {false, {}, {}, {}},
        {true, {}, {}, freetype},
        {true, {QStringLiteral("samples/chart.txt")}, {}, freetype},
        {true, {}, QByteArrayLiteral("windows"), {}},
        {true, {QStringLiteral("-platform"), QStringLiteral("windows")}, {}, {}},
        {true, {QStringLiteral("--platform"), QStringLiteral("offscreen")}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString() + " / " + c.variable.toStdString());
        EXPECT_EQ(ChosenPlatform(c.underWine, c.arguments, c.variable), c.expected);
    }
}

// The boxes must show their digits, not only hold them: under Wine's GDI font engine a line edit
// once centred its text outside the box. The ink has to lie inside, on the right.
TEST(Window, NumberBoxesDrawTheirDigitsOnTheRight) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    for (const char* digits : {"0", "1617"}) {
        SCOPED_TRACE(digits);
        auto* box = widget<QLineEdit>(window, "NumberBoxPatches");
        ASSERT_NE(box, nullptr);
        box->setText(QString::fromLatin1(digits));
        const QImage image = box->grab().toImage();
        const int paper = qGray(image.pixel(image.width() / 2, 3));
        int inkLeft = image.width(), inkRight = -1;
        for (int y = 3; y < image.height() - 3; ++y)
            for (int x = 3; x < image.width() - 3; ++x)
                if (std::abs(qGray(image.pixel(x, y)) - paper) > 80) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
        ASSERT_GE(inkRight, 0) << "no digit drawn";
        EXPECT_GT(inkLeft, image.width() / 2);
    }
}

TEST(Window, NumberBoxesAndLabelsAtStartUp) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    struct Box {
        const char* name;
        const char* text;
        bool visible;
    } boxes[] = {
        {"NumberBoxPatches", "0", true},
        {"NumberBoxColumns", "0", true},
        {"NumberBoxBeginData", "6", false},
        {"NumberBoxEndData", "6", false},
        {"NumberBoxPatchesLab", "0", true},
        {"NumberBoxColumnsLab", "0", true},
        {"NumberBoxBeginDataLab", "6", false},
        {"NumberBoxEndDataLab", "6", false},
        {"NumberBoxPatchesOptimized", "0", true},
        {"NumberBoxColumnsOptimized", "0", true},
        {"NumberBoxBeginDataOptimized", "0", false},
        {"NumberBoxEndDataOptimized", "0", false},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.name);
        auto* box = widget<QLineEdit>(window, b.name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), b.text);
        EXPECT_EQ(!box->isHidden(), b.visible);
        // Nobody types into a number box.
        EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(box->isReadOnly());
    }

    struct Text {
        const char* name;
        const char* text;
        bool visible;
        bool captionLook; // bold dark blue
    } labels[] = {
        {"labelMeasurementFileName", "CGATS File Name", false, false},
        {"LabelMeasureFileType", "Measure File Type", true, false},
        {"LabelPatches", "Patches", true, true},
        {"LabelColumns", "Columns", true, true},
        {"labelLabFileName", "CGATS File Name", false, false},
        {"LabelLabFileType", "Measure File Type", true, false},
        {"LabelPatchesLab", "Patches", true, true},
        {"LabelColumnsLab", "Columns", true, true},
        {"LabelOptimizedFileName", "CGATS File Name", false, false},
        {"Label3", "Measure File Type", true, false},
        {"Label1", "Patches", true, true},
        {"Label2", "Columns", true, true},
    };
    for (const Text& t : labels) {
        SCOPED_TRACE(t.name);
        auto* label = widget<QLabel>(window, t.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), t.text);
        EXPECT_EQ(!label->isHidden(), t.visible);
        EXPECT_EQ(label->font().bold(), t.captionLook);
        if (t.captionLook) {
            EXPECT_EQ(label->palette().color(QPalette::WindowText).rgba(), 0xFF00008Bu);
        }
    }

    struct Button {
        const char* name;
        const char* text;
    } buttons[] = {
        {"btnOpenSpecMeasurement", "Open Spectral CGATS File"},
        {"btnOpenLabMeasuremdent", "Open Lab CGATS File"},
        {"btnWriteSmoothing", "Create CGATS Smoothing File"},
        {"btnOpenOptimized", "Open Optimized File"},
        {"btnWriteUlvar", "Create Ulvar Spec File"},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.name);
        auto* button = widget<QPushButton>(window, b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), b.text);
        EXPECT_TRUE(button->font().bold());
    }

    auto* smoothPath = widget<QLineEdit>(window, "LabelSmoothCGATS");
    auto* specPath = widget<QLineEdit>(window, "labelUlvarSpecFile");
    auto* scrambled = widget<QCheckBox>(window, "cbScrambledSwatch");
    ASSERT_TRUE(smoothPath && specPath && scrambled);
    EXPECT_EQ(smoothPath->text(), "SmoothCGATS.txt");
    EXPECT_TRUE(smoothPath->isReadOnly());
    EXPECT_EQ(specPath->text(), "Ulvar Spec File");
    EXPECT_FALSE(specPath->isReadOnly());
    EXPECT_EQ(smoothPath->palette().color(QPalette::Text).rgba(), 0xFF191970u);
    EXPECT_EQ(scrambled->text(), "Scrambled Swatch");
    EXPECT_TRUE(scrambled->isChecked());
}

TEST(Window, GeometryAtStartAndOnResize) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.size(), QSize(842, 608));

    auto* header = widget(window, "HeaderToolBar");
    auto* title = widget<QLabel>(window, "ToolBarLabel");
    auto* help = widget<QPushButton>(window, "btnHelp");
    ASSERT_TRUE(header && title && help);
    EXPECT_EQ(inWindow(window, header), QRect(0, 0, 842, 48));
    EXPECT_EQ(inWindow(window, title), QRect(0, 0, 842, 48));
    EXPECT_EQ(title->text(), "Lumetra");
    EXPECT_TRUE(title->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->palette().color(QPalette::WindowText).rgba(), 0xFF0000FFu);
    EXPECT_EQ(help->text(), "Help");
    EXPECT_EQ(inWindow(window, help).topLeft(), QPoint(733, 16));
    EXPECT_TRUE(help->font().bold());
    EXPECT_EQ(help->palette().color(QPalette::ButtonText).rgba(), 0xFF4B0082u);

    QTabWidget* control = tabs(window);
    EXPECT_EQ(inWindow(window, control), QRect(0, 48, 842, 560));
    EXPECT_EQ(inWindow(window, control->tabBar()), QRect(0, 48, 842, 49));
    // The five captions share the strip.
    int total = 0;
    for (int i = 0; i < 5; ++i) {
        const int w = control->tabBar()->tabRect(i).width();
        EXPECT_NEAR(w, 842 / 5, 1) << i;
        total += w;
    }
    EXPECT_EQ(total, 842);

    struct Pane {
        const char* name;
        int page;
        int height;
    } panes[] = {
        {"memoInput", 0, 421},     {"memoCGATSLab", 1, 427},  {"MemoSmoothCGATS", 2, 443},
        {"memoOptimized", 3, 421}, {"memoUlvarSpec", 4, 461},
    };
    // Every page is looked at as it is shown; the tabs are opened for that.
    FormState& form = window.form();
    for (TabItem* tab : {&form.TabItem2, &form.TabItem3, &form.TabItem5})
        tab->Enabled = true;
    window.syncFromState();
    auto checkPanes = [&](int width, int height) {
        for (const Pane& p : panes) {
            SCOPED_TRACE(p.name);
            control->setCurrentIndex(p.page);
            QCoreApplication::processEvents();
            QWidget* page = control->widget(p.page);
            EXPECT_EQ(inWindow(window, page), QRect(0, 97, width, height - 97));
            auto* pane = widget(window, p.name);
            EXPECT_EQ(inWindow(window, pane), QRect(0, height - p.height, width, p.height));
        }
    };
    checkPanes(842, 608);

    window.resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(inWindow(window, header), QRect(0, 0, 1000, 48));
    // Help keeps its distance from the right edge.
    EXPECT_EQ(inWindow(window, help).topLeft(), QPoint(733 + 158, 16));
    EXPECT_EQ(inWindow(window, control->tabBar()), QRect(0, 48, 1000, 49));
    checkPanes(1000, 700);
}

TEST(Window, DisabledTabsCannotBeChosen) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTabWidget* control = tabs(window);
    for (int disabled : {1, 2, 4}) {
        clickCaption(window, disabled);
        EXPECT_EQ(control->currentIndex(), 0) << disabled;
        EXPECT_EQ(window.form().ActiveTab, 0);
    }
    // The keyboard does not reach them either.
    control->tabBar()->setFocus();
    QTest::keyClick(control->tabBar(), Qt::Key_Right);
    EXPECT_EQ(control->currentIndex(), 3);
    QTest::keyClick(control->tabBar(), Qt::Key_Left);
    EXPECT_EQ(control->currentIndex(), 0);

    clickCaption(window, 3);
    EXPECT_EQ(control->currentIndex(), 3);
    EXPECT_EQ(window.form().ActiveTab, 3);
    EXPECT_TRUE(toolkit.log.empty());
}

TEST(Window, ADisabledTabThatIsShownStaysShown) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.form().TabItem2.Enabled = true;
    window.syncFromState();
    clickCaption(window, 1);
    ASSERT_EQ(tabs(window)->currentIndex(), 1);
    // A failed header scan disables the tab the user is on: it stays shown, its controls dead.
    window.form().TabItem2.Enabled = false;
    window.syncFromState();
    EXPECT_EQ(tabs(window)->currentIndex(), 1);
    EXPECT_EQ(window.form().ActiveTab, 1);
    EXPECT_FALSE(widget(window, "btnOpenLabMeasuremdent")->isEnabled());
}

TEST(Window, HelpAsksTheShellOncePerPress) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    auto* help = widget<QPushButton>(window, "btnHelp");
    ASSERT_NE(help, nullptr);

    QTest::mouseClick(help, Qt::LeftButton);
    ASSERT_EQ(toolkit.addresses().size(), 1);
    const QString address = toolkit.addresses().first();
    EXPECT_EQ(address, HelpPageAddress(QCoreApplication::applicationDirPath()));
    EXPECT_TRUE(address.startsWith("file:///")) << address.toStdString();
    EXPECT_TRUE(address.endsWith(kInstalledHelpPage)) << address.toStdString();

    QTest::mouseClick(help, Qt::LeftButton);
    EXPECT_EQ(toolkit.addresses().size(), 2);
    clickCaption(window, 3);
    ASSERT_EQ(tabs(window)->currentIndex(), 3);
    QTest::mouseClick(help, Qt::LeftButton);
    EXPECT_EQ(toolkit.addresses(), QStringList({address, address, address}));
    // Nothing but the shell was asked.
    EXPECT_EQ(toolkit.log.size(), 3u);
}

TEST(Window, HelpPageLiesBesideTheProgram) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
#ifdef Q_OS_WIN
    // Installed on Windows, the page lies in the program's own folder.
    const QString bin = dir.path();
#else
    const QString bin = QDir(dir.path()).filePath("bin");
#endif
    const QString page = QDir(dir.path()).filePath(kInstalledHelpPage.mid(1));
    EXPECT_EQ(HelpPagePath(bin), page);
    EXPECT_EQ(HelpPageAddress(bin), QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded));

    // The page itself works offline: nothing it needs comes from elsewhere.
    QFile source(QStringLiteral(LUMETRA_SOURCE_DIR "/help/index.html"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(source.readAll());
    EXPECT_TRUE(html.contains("<title>"));
    for (const char* external : {"http:", "https:", "src=", "@import", "<link"})
        EXPECT_FALSE(html.contains(QLatin1String(external), Qt::CaseInsensitive)) << external;
}

TEST(Window, ErrorsEscapingAHandlerAreShownAndTheWindowGoesOn) {
    struct Row {
        const char* name;
        std::function<void()> fail;
        QString shown;
    } rows[] = {
        {"Error", [] { throw Error(QStringLiteral("The shell is gone")); }, "The shell is gone."},
        {"std::exception", [] { throw std::runtime_error("bad (state)"); }, "bad (state)"},
        {"int", [] { throw 7; }, "Unexpected error."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ThrowingShell toolkit;
        toolkit.fail = r.fail;
        TTabbedForm window(toolkit);
        window.show();
        window.form().labelUlvarSpecFile.Text = QStringLiteral("kept");
        auto* help = widget<QPushButton>(window, "btnHelp");
        QTest::mouseClick(help, Qt::LeftButton);
        EXPECT_EQ(toolkit.errors(), QStringList({r.shown}));
        EXPECT_TRUE(window.isVisible());
        // The window was redrawn after the failed handler, and the next press runs again.
        EXPECT_EQ(widget<QLineEdit>(window, "labelUlvarSpecFile")->text(), "kept");
        toolkit.fail = [] {};
        QTest::mouseClick(help, Qt::LeftButton);
        EXPECT_EQ(toolkit.addresses().size(), 2);
        EXPECT_EQ(toolkit.errors().size(), 1);
    }
}

TEST(Window, ProgressBarFollowsItsStates) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* bar = widget<ProgressRectangle>(window, "RectangleProgress");
    auto* timer = window.findChild<QTimer*>(QStringLiteral("Timer"));
    ASSERT_TRUE(bar && timer);
    EXPECT_EQ(bar->parentWidget(), &window);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(timer->isActive());

    FormState& form = window.form();
    form.TabItem5.Enabled = true; // as once an optimized file has arrived
    window.syncFromState();
    auto onTop = [&] { return window.children().last() == bar; };
    auto width = [&](double w) {
        form.RectangleProgress.Width = w;
        window.syncFromState();
    };
    auto timerOn = [&] {
        form.Timer.Interval = 100;
        form.Timer.Enabled = true;
        window.syncFromState();
    };
    auto lower = [&] { widget(window, "TabControl1")->raise(); };

    struct Step {
        const char* name;
        std::function<void()> act;
        bool visible;
        int width;
        bool timerActive;
    } steps[] = {
        {"TimerRun(true)", [&] { lower(), window.TimerRun(true); }, true, 100, false},
        {"width step while shown", [&] { width(112); }, true, 112, false},
        {"spec build shows it at 12", [&] { timerOn(), width(12); }, true, 12, true},
        {"click on the fifth caption", [&] { clickCaption(window, 4); }, false, 12, true},
        {"second click changes nothing", [&] { clickCaption(window, 4); }, false, 12, true},
        {"width step while hidden", [&] { width(13); }, false, 13, true},
        {"TimerRun(false)", [&] { window.TimerRun(false); }, false, 13, false},
        {"TimerRun(true) again", [&] { lower(), window.TimerRun(true); }, true, 100, false},
        {"click on the fifth caption while it is shown", [&] { clickCaption(window, 4); }, false, 100, false},
        {"TimerRun(false) while hidden", [&] { window.TimerRun(false); }, false, 100, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(form.RectangleProgress.Visible, s.visible);
        EXPECT_EQ(!bar->isHidden(), s.visible);
        EXPECT_EQ(bar->geometry(), QRect(196, 112, s.width, 25));
        EXPECT_EQ(timer->isActive(), s.timerActive);
        if (s.visible) {
            EXPECT_TRUE(onTop());
        }
    }
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_EQ(tabs(window)->currentIndex(), 4);
}

TEST(Window, FifthCaptionDoesNothingWhileDisabled) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    window.TimerRun(true);
    clickCaption(window, 4);
    EXPECT_TRUE(window.form().RectangleProgress.Visible);
    EXPECT_FALSE(widget(window, "RectangleProgress")->isHidden());
}

TEST(Window, PanesAppendWhatWasAddedAndRedrawWhatWasReplaced) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    FormState& form = window.form();
    LinePane* input = view(window, "memoInput");
    LinePane* lab = view(window, "memoCGATSLab");
    ASSERT_TRUE(input && lab);

    // Every change of the pane's lines, as (first line, lines removed).
    std::vector<std::pair<int, int>> changes;
    input->setChangeObserver([&](int first, int removed, int) { changes.emplace_back(first, removed); });

    form.memoInput.Lines.Add(QStringLiteral("a"));
    form.memoInput.Lines.Add(QStringLiteral("b"));
    window.syncFromState();
    EXPECT_EQ(input->toPlainText(), "a\nb");

    changes.clear();
    form.memoInput.Lines.Add(QStringLiteral("c"));
    form.memoInput.Lines.Add(QString());
    form.memoInput.Lines.Add(QStringLiteral("e"));
    window.syncFromState();
    EXPECT_EQ(input->toPlainText(), "a\nb\nc\n\ne");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].second, 0) << "the tail is appended, nothing is removed";
    EXPECT_EQ(changes[0].first, 2);

    // An unchanged document is left alone.
    changes.clear();
    window.syncFromState();
    EXPECT_TRUE(changes.empty());

    // A cleared and refilled document is drawn anew, once.
    form.memoInput.Lines.Clear();
    form.memoInput.Lines.Add(QStringLiteral("x"));
    window.syncFromState();
    EXPECT_EQ(input->toPlainText(), "x");
    EXPECT_EQ(input->lineCount(), 1);

    // A copy assigned over the list, with the same history count and as many lines: still redrawn.
    LineList other;
    other.Clear();
    other.Add(QStringLiteral("y"));
    form.memoInput.Lines = other;
    window.syncFromState();
    EXPECT_EQ(input->toPlainText(), "y");

    // The L*a*b* pane starts with one empty line; lines added to it come after that line.
    form.memoCGATSLab.Lines.Add(QStringLiteral("CGATS.17"));
    window.syncFromState();
    EXPECT_EQ(lab->toPlainText(), "\nCGATS.17");
    EXPECT_EQ(lab->lineCount(), 2);
}

TEST(Window, UserEditsReachTheStateBeforeHandlersRead) {
    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    FormState& form = window.form();
    auto* scrambled = widget<QCheckBox>(window, "cbScrambledSwatch");
    auto* spec = widget<QPlainTextEdit>(window, "memoUlvarSpec");
    auto* smooth = widget<QPlainTextEdit>(window, "MemoSmoothCGATS");
    auto* path = widget<QLineEdit>(window, "labelUlvarSpecFile");
    ASSERT_TRUE(scrambled && spec && smooth && path);

    // While tab 3 is disabled its check box does not respond.
    QTest::mouseClick(scrambled, Qt::LeftButton, {}, QPoint(5, scrambled->height() / 2));
    EXPECT_TRUE(scrambled->isChecked());
    EXPECT_TRUE(form.cbScrambledSwatch.IsChecked);

    form.TabItem3.Enabled = true;
    form.TabItem5.Enabled = true;
    form.memoUlvarSpec.Lines.Add(QStringLiteral("380\t0.1"));
    window.syncFromState();
    clickCaption(window, 4);

    // The user types a line into the spec pane; the smoothing pane is given other text.
    spec->setFocus();
    spec->moveCursor(QTextCursor::End);
    QTest::keyClick(spec, Qt::Key_Return);
    QTest::keyClicks(spec, QStringLiteral("390\t0.2"));
    smooth->setPlainText(QStringLiteral("first\n\u00a0second\n"));
    // A handler that pumps sees the edits once the pump returns.
    window.toolkit().ProcessMessages();
    EXPECT_EQ(form.memoUlvarSpec.Lines.lines(), QStringList({"380\t0.1", "390\t0.2"}));
    EXPECT_EQ(form.MemoSmoothCGATS.Lines.lines(), QStringList({"first", "\u00a0second", ""}));

    // Lines the handler then adds are appended to what the user typed.
    form.memoUlvarSpec.Lines.Add(QStringLiteral("400\t0.3"));
    window.syncFromState();
    EXPECT_EQ(spec->toPlainText(), "380\t0.1\n390\t0.2\n400\t0.3");

    path->setFocus();
    path->selectAll();
    QTest::keyClicks(path, QStringLiteral("out.spec"));
    clickCaption(window, 2);
    QTest::mouseClick(scrambled, Qt::LeftButton, {}, QPoint(5, scrambled->height() / 2));
    smooth->clear();
    // A handler run from a click reads them all.
    QTest::mouseClick(widget<QPushButton>(window, "btnHelp"), Qt::LeftButton);
    EXPECT_EQ(form.MemoSmoothCGATS.Lines.Count(), 0);
    EXPECT_EQ(form.labelUlvarSpecFile.Text, "out.spec");
    EXPECT_FALSE(form.cbScrambledSwatch.IsChecked);
    EXPECT_EQ(form.ActiveTab, 2);
}

TEST(Window, ClosingDuringAPumpEndsTheHandlerQuietly) {
    ScriptedToolkit toolkit;
    auto window = std::make_unique<TTabbedForm>(toolkit);
    window->show();
    toolkit.onNextPump([&] { window->close(); });
    // A handler in the middle of its work pumps; the user closes the window meanwhile.
    Toolkit& handlerToolkit = window->toolkit();
    handlerToolkit.ProcessMessages();
    EXPECT_FALSE(window->isVisible());
    handlerToolkit.ProcessMessages();
    handlerToolkit.ShowMessage(QStringLiteral("Done"));
    OpenDialog open;
    EXPECT_FALSE(handlerToolkit.ExecuteOpen(open));
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Pump), 1);
    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_EQ(toolkit.unexpectedDialogs, 0);
    window.reset();
}

TEST(Window, ClosingDuringARealPumpShowsNoMoreBoxes) {
    TTabbedForm window; // with the Qt toolkit
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTimer::singleShot(0, &window, [&] { window.close(); });
    window.toolkit().ProcessMessages();
    EXPECT_FALSE(window.isVisible());
    // Were a box shown now, it would be closed here and noted.
    bool boxShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    watch.start(20);
    window.toolkit().ShowMessage(QStringLiteral("Done"));
    window.toolkit().ShowError(QStringLiteral("Failed."));
    EXPECT_FALSE(boxShown);
}
