#include "PreflightWindow.h"
#include "ChartView.h"
#include "LinePane.h"
#include "Preflight.h"
#include "PreflightRowModel.h"
#include "PreflightStatus.h"
#include "ReportText.h"
#include "SampleReport.h"
#include "ScriptedToolkit.h"
#include "SpectralPlotView.h"
#include "unitUlvarTabbed.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

using Kind = PreflightStatus::Kind;

template <class W = QWidget> W* widget(const QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QString fixture(const char* name) {
    return QStringLiteral(LUMETRA_TEST_DATA "/import/") + QLatin1String(name);
}

// A window whose preflight hands out the report the test puts in `report`, with the given tab
// open and shown.
struct Fixture {
    ScriptedToolkit toolkit;
    TTabbedForm window{toolkit};
    preflight::PreflightReport report;
    preflight::PreflightReport specReport;
    std::vector<bool> calledInHandler;

    explicit Fixture(int tab = 2) {
        reload();
        show(tab);
    }
    // Makes the preflight run again with the reports as they are now.
    void reload() {
        window.preflight().setProvider([this](const FormState&, Kind kind) {
            calledInHandler.push_back(window.handlerRunning());
            return kind == Kind::Spec ? specReport : report;
        });
        QCoreApplication::processEvents();
    }
    void show(int tab) {
        FormState& form = window.form();
        form.TabItem3.Enabled = form.TabItem5.Enabled = true;
        form.ActiveTab = tab;
        window.syncFromState();
        QCoreApplication::processEvents();
    }
    PreflightWindow* details(Kind kind = Kind::Smoothing) {
        reload();
        window.preflight().openDetails(kind);
        PreflightWindow* w = window.preflight().detailsWindow();
        w->resize(1000, 700);
        QCoreApplication::processEvents();
        return w;
    }
};

preflight::PreflightReport withWarning(int rows) {
    preflight::PreflightReport r = sample::CleanReport(rows);
    r.rows[2].worst = preflight::Severity::Warning;
    r.findings.append(
        {preflight::Severity::Warning, QStringLiteral("Row 3: the L*a*b* value is rounded"), {2}});
    return r;
}

QRgb textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText).rgba();
}

} // namespace

TEST(PreflightStatus, TextAndColourFollowTheReport) {
    struct Case {
        const char* name;
        preflight::PreflightReport report;
        QRgb colour;
        bool details;
    } cases[] = {
        {"clean", sample::CleanReport(30), 0xFF1E7B1E, false},
        {"warnings only", withWarning(30), 0xFFB36200, true},
        {"errors", sample::ReversedReport(30), 0xFFC00000, true},
    };
    Fixture f;
    QLabel* label = widget<QLabel>(f.window, "labelPreflight");
    QLabel* link = widget<QLabel>(f.window, "labelPreflightDetails");
    ASSERT_TRUE(label && link);
    EXPECT_TRUE(label->isHidden()) << "nothing checked yet, nothing to say";
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.report = c.report;
        f.reload();
        EXPECT_FALSE(label->isHidden());
        EXPECT_EQ(label->text(), preflight::StatusText(c.report));
        EXPECT_EQ(textColour(label), c.colour);
        EXPECT_EQ(!link->isHidden(), c.details);
        EXPECT_TRUE(widget(f.window, "TabItem3")->isAncestorOf(label));
    }
    // The spec tab has its own status.
    f.specReport = sample::SpecReport(12);
    f.show(4);
    QLabel* spec = widget<QLabel>(f.window, "labelPreflightSpec");
    ASSERT_NE(spec, nullptr);
    EXPECT_EQ(spec->text(), preflight::StatusText(f.specReport));
    EXPECT_FALSE(spec->isHidden());
}

TEST(PreflightStatus, RunsAfterTheHandlerNeverInsideItsPumps) {
    Fixture f;
    f.report = sample::CleanReport(3);
    // Real pumps: a zero-timer queued by the preflight would fire inside them.
    f.toolkit.everyPump = [] { QCoreApplication::processEvents(); };
    const int before = f.window.preflight().runs();
    int linesSeen = -1;
    f.window.preflight().setProvider([&](const FormState& form, Kind) {
        f.calledInHandler.push_back(f.window.handlerRunning());
        linesSeen = form.memoInput.Lines.Count();
        return f.report;
    });
    QCoreApplication::processEvents();
    const int afterSet = f.window.preflight().runs();
    EXPECT_EQ(afterSet, before + 1);

    f.toolkit.answerOpen(fixture("spectral.txt"));
    widget<QPushButton>(f.window, "btnOpenSpecMeasurement")->click();
    ASSERT_GT(f.toolkit.count(ScriptedToolkit::Event::Pump), 0) << "the import should pump";
    QCoreApplication::processEvents();
    EXPECT_EQ(f.window.preflight().runs(), afterSet + 1);
    EXPECT_EQ(linesSeen, f.window.form().memoInput.Lines.Count());
    for (bool inHandler : f.calledInHandler)
        EXPECT_FALSE(inHandler);

    // Nothing changed: nothing runs.
    QCoreApplication::processEvents();
    EXPECT_EQ(f.window.preflight().runs(), afterSet + 1);

    // The swatch choice is an input.
    widget<QCheckBox>(f.window, "cbScrambledSwatch")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.window.preflight().runs(), afterSet + 2);

    // Coming back to the tab looks again: the swatch files may have changed on disk.
    auto* tabs = widget<QTabWidget>(f.window, "TabControl1");
    tabs->setCurrentIndex(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.window.preflight().runs(), afterSet + 2) << "a hidden status is not worked out";
    tabs->setCurrentIndex(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.window.preflight().runs(), afterSet + 3);
}

TEST(PreflightWindow, DetailsOpenANonModalWindowThatFollowsNewReports) {
    Fixture f;
    f.report = sample::ReversedReport(30);
    f.reload();
    QLabel* link = widget<QLabel>(f.window, "labelPreflightDetails");
    ASSERT_FALSE(link->isHidden());
    emit link->linkActivated(QStringLiteral("details"));
    PreflightWindow* details = f.window.preflight().detailsWindow();
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->isVisible());
    EXPECT_FALSE(details->isModal());
    EXPECT_TRUE(details->isWindow());
    EXPECT_EQ(details->findings()->count(), f.report.findings.size());
    EXPECT_EQ(details->findings()->item(0)->text(), f.report.findings[0].text);
    EXPECT_EQ(details->model()->rowCount(), 30);
    EXPECT_TRUE(details->summary()->text().startsWith(preflight::StatusText(f.report)));

    // Another file read on another tab: the open window follows.
    f.show(1);
    f.report = sample::CleanReport(40);
    f.window.form().memoCGATSLab.Lines.Add(QStringLiteral("a new line"));
    f.window.preflight().inputsMayHaveChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(details->model()->rowCount(), 40);
    EXPECT_EQ(details->findings()->item(0)->text(), QStringLiteral("No findings."));
    EXPECT_EQ(details->report(), f.window.preflight().report(Kind::Smoothing).get());
}

TEST(PreflightWindow, TooltipDescribesThePatchUnderTheMouse) {
    Fixture f;
    f.report = sample::CleanReport(50);
    f.report.rows[7].spectralId = QStringLiteral("H8");
    f.report.rows[7].labId = QStringLiteral("H8-lab");
    PreflightWindow* details = f.details();
    ChartView* chart = details->chart();
    ASSERT_GT(chart->width(), 100);
    const QPoint centre = chart->grid().patchRect(7).center().toPoint();
    const QString text = chart->toolTipAt(centre);
    EXPECT_EQ(text, report::RowDescription(f.report.rows[7], f.report.kind));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Row 8, patch 7\nSpectral line 27, SAMPLE_ID H8\n"
                                               "L*a*b* line 27, SAMPLE_ID H8-lab\n")))
        << text.toStdString();
    EXPECT_TRUE(chart->toolTipAt(QPoint(1, 1)).isEmpty());

    QHelpEvent help(QEvent::ToolTip, centre, chart->mapToGlobal(centre));
    QApplication::sendEvent(chart, &help);
    EXPECT_EQ(QToolTip::text(), text);
    QToolTip::hideText();
}

TEST(PreflightWindow, SelectionIsSharedByChartAndTable) {
    Fixture f;
    f.report = sample::ReversedReport(60);
    PreflightWindow* details = f.details();
    ChartView* chart = details->chart();
    QTableView* table = details->table();
    PreflightRowModel* model = details->model();
    auto tableRows = [&] {
        QList<int> rows;
        for (const QModelIndex& i : table->selectionModel()->selectedRows())
            rows.append(model->reportRow(i.row()));
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    auto click = [&](int patch, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(chart, Qt::LeftButton, mods, chart->grid().patchRect(patch).center().toPoint());
    };

    click(3);
    EXPECT_EQ(tableRows(), QList<int>({3}));
    EXPECT_EQ(details->plot()->curves().size(), 1);
    EXPECT_EQ(details->plot()->curves()[0].colour, chart->picture().patches[3].lower);
    click(6, Qt::ShiftModifier);
    EXPECT_EQ(tableRows(), QList<int>({3, 4, 5, 6}));
    EXPECT_EQ(details->plot()->curves().size(), 4);
    click(5, Qt::ControlModifier);
    EXPECT_EQ(tableRows(), QList<int>({3, 4, 6}));

    // A double-click takes the patch's whole grid row.
    QTest::mouseDClick(chart, Qt::LeftButton, {},
                       chart->grid().patchRect(chart->grid().columns() + 1).center().toPoint());
    QList<int> gridRow;
    for (int i = chart->grid().columns(); i < 2 * chart->grid().columns(); ++i)
        gridRow.append(i);
    EXPECT_EQ(chart->selection(), gridRow);
    EXPECT_EQ(tableRows(), gridRow);

    // The table sorted by ΔE00, largest first: its first line is the worst pair, in the chart too.
    table->sortByColumn(PreflightRowModel::Delta, Qt::DescendingOrder);
    EXPECT_EQ(tableRows(), gridRow) << "sorting keeps the selection";
    table->selectRow(0);
    const auto worst = std::max_element(f.report.rows.begin(), f.report.rows.end(),
                                        [](const auto& a, const auto& b) { return *a.dE00 < *b.dE00; });
    EXPECT_EQ(chart->selection(), QList<int>({static_cast<int>(worst - f.report.rows.begin())}));

    // A finding selects the rows it marks.
    QListWidgetItem* error = details->findings()->item(0);
    QTest::mouseClick(details->findings()->viewport(), Qt::LeftButton, {},
                      details->findings()->visualItemRect(error).center());
    EXPECT_EQ(chart->selection(), f.report.findings[0].rows);
}

TEST(PreflightWindow, DoubleClickShowsTheRowInItsPane) {
    Fixture f(0);
    f.toolkit.answerOpen(fixture("spectral.txt"));
    widget<QPushButton>(f.window, "btnOpenSpecMeasurement")->click();
    f.toolkit.answerOpen(fixture("lab.txt"));
    widget<QPushButton>(f.window, "btnOpenLabMeasuremdent")->click();
    ASSERT_TRUE(f.toolkit.errors().isEmpty()) << f.toolkit.errors().join(u'\n').toStdString();
    f.report = sample::CleanReport(3);
    for (int i = 0; i < 3; ++i) {
        f.report.rows[i].spectralLine = 9 + i;
        f.report.rows[i].labLine = 10 + i;
    }
    f.show(2);
    PreflightWindow* details = f.details();
    widget<QTabWidget>(*details, "PreflightTabs")->setCurrentIndex(1);
    QTableView* table = details->table();
    QCoreApplication::processEvents();

    struct Case {
        int column;
        const char* pane;
        int tab;
        int line;
    } cases[] = {
        {PreflightRowModel::SpectralId, "memoInput", 0, 10},
        {PreflightRowModel::LabId, "memoCGATSLab", 1, 11},
        {PreflightRowModel::Delta, "memoInput", 0, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pane);
        f.window.form().ActiveTab = 2;
        f.window.syncFromState();
        const QModelIndex index = details->model()->index(details->model()->modelRow(1), c.column);
        table->scrollTo(index);
        // A view takes a double-click on the cell its press went to: press first, as a mouse would.
        const QPoint at = table->visualRect(index).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        auto* pane = dynamic_cast<LinePane*>(widget(f.window, c.pane));
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->cursorLine(), c.line);
        EXPECT_EQ(pane->selectedText(), pane->lines().Get(c.line));
        EXPECT_EQ(widget<QTabWidget>(f.window, "TabControl1")->currentIndex(), c.tab);
        EXPECT_EQ(f.window.form().ActiveTab, c.tab);
    }
}

TEST(PreflightWindow, SaveReportWritesThePdfOrSaysWhy) {
    Fixture f;
    f.report = sample::ReversedReport(40);
    PreflightWindow* details = f.details();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("preflight.pdf"));
    f.toolkit.answerSave(path);
    widget<QPushButton>(*details, "btnSavePreflightReport")->click();
    ASSERT_EQ(f.toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(f.toolkit.shownSaveDialogs[0].DefaultExt, QStringLiteral("pdf"));
    EXPECT_TRUE(f.toolkit.shownSaveDialogs[0].FileName.startsWith(QStringLiteral("Preflight_")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
    EXPECT_TRUE(f.toolkit.errors().isEmpty());

    f.toolkit.answerSave(dir.filePath(QStringLiteral("no/such/folder.pdf")));
    details->saveReport();
    ASSERT_EQ(f.toolkit.errors().size(), 1);
    EXPECT_TRUE(f.toolkit.errors()[0].startsWith(QStringLiteral("Cannot create file")))
        << f.toolkit.errors()[0].toStdString();

    f.toolkit.answerSave(std::nullopt);
    details->saveReport();
    EXPECT_EQ(f.toolkit.errors().size(), 1) << "a cancelled save says nothing";
}

TEST(PreflightRowModel, SortsByValueWithRowsLackingOneLast) {
    auto report = std::make_shared<preflight::PreflightReport>(sample::CleanReport(5));
    const double deltas[] = {0.5, -1, 2.0, 0.1, -1}; // -1: no L*a*b* pair
    const char* ids[] = {"A10", "B1", "a2", "A1", "C01"};
    for (int i = 0; i < 5; ++i) {
        if (deltas[i] < 0)
            report->rows[i].dE00.reset();
        else
            report->rows[i].dE00 = deltas[i];
        report->rows[i].spectralId = QString::fromLatin1(ids[i]);
    }
    PreflightRowModel model;
    model.setReport(report);
    auto order = [&] {
        QList<int> rows;
        for (int i = 0; i < model.rowCount(); ++i)
            rows.append(model.reportRow(i));
        return rows;
    };
    model.sort(PreflightRowModel::Delta, Qt::AscendingOrder);
    EXPECT_EQ(order(), QList<int>({3, 0, 2, 1, 4}));
    model.sort(PreflightRowModel::Delta, Qt::DescendingOrder);
    EXPECT_EQ(order(), QList<int>({2, 0, 3, 1, 4}));
    EXPECT_EQ(model.data(model.index(0, PreflightRowModel::Delta)).toString(), QStringLiteral("2.00"));
    EXPECT_EQ(model.data(model.index(3, PreflightRowModel::Delta)).toString(), QString());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(model.modelRow(model.reportRow(i)), i);
    model.sort(PreflightRowModel::SpectralId, Qt::AscendingOrder);
    EXPECT_EQ(order(), QList<int>({3, 2, 0, 1, 4})) << "numbers within ids by value, letters by letter";
    model.sort(PreflightRowModel::Row, Qt::AscendingOrder);
    EXPECT_EQ(order(), QList<int>({0, 1, 2, 3, 4}));
}
