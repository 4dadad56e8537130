// The three roads through the real window (offscreen): the import of a spectral file, the
// smoothing build and the spec build, each started by a click on its button, with the window's own
// event pumps and redraws. Dialogs are answered from a queue (the saves are cancelled, as in the
// core benchmarks), so the figures compare with BM_ImportHandler, BM_SmoothingBuild and
// BM_SpecBuild.

#include "WindowBench.h"

#include "BenchData.h"
#include "QtToolkit.h"
#include "TestFiles.h"
#include "unitUlvarTabbed.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <deque>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// The Qt toolkit with real pumps and yields; only the boxes and dialogs are scripted: a box is
// counted, a dialog takes the next queued answer (none: cancelled).
class QueuedDialogsToolkit : public QtToolkit {
public:
    std::deque<QString> openAnswers;
    int messages = 0;

    void ShowMessage(const QString&) override { ++messages; }
    void ShowError(const QString&) override { ++messages; }
    bool ExecuteOpen(OpenDialog& dialog) override {
        if (openAnswers.empty())
            return false;
        dialog.FileName = openAnswers.front();
        openAnswers.pop_front();
        return true;
    }
    bool ExecuteSave(SaveDialog&) override { return false; }
};

struct BenchWindow {
    QueuedDialogsToolkit toolkit;
    TTabbedForm window{toolkit};

    BenchWindow() {
        window.show();
        QCoreApplication::processEvents();
    }
    void click(const char* name) {
        auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
        if (!button)
            throw std::runtime_error(std::string("no button ") + name);
        button->click();
        // What the click asked to be drawn is drawn before the user sees the result.
        QCoreApplication::processEvents();
    }
    void open(const char* button, const QString& path) {
        toolkit.openAnswers.push_back(path);
        click(button);
    }
    void showTab(int index) {
        window.form().ActiveTab = index;
        window.syncFromState();
        QCoreApplication::processEvents();
    }
};

std::map<int, std::unique_ptr<BenchWindow>>& loadedWindows() {
    static std::map<int, std::unique_ptr<BenchWindow>> windows;
    return windows;
}

// A window with the three generated files of that size opened through its buttons.
BenchWindow& loadedWindow(int patches) {
    auto& w = loadedWindows()[patches];
    if (!w) {
        w = std::make_unique<BenchWindow>();
        const BenchFiles& files = benchFiles(patches);
        w->open("btnOpenSpecMeasurement", files.spectral);
        w->showTab(1);
        w->open("btnOpenLabMeasuremdent", files.lab);
        w->showTab(3);
        w->open("btnOpenOptimized", files.optimized);
        if (w->toolkit.messages != 0)
            throw std::runtime_error("the generated files were not accepted");
    }
    return *w;
}

void BM_WindowImport(benchmark::State& state) {
    const QString path = benchFiles(static_cast<int>(state.range(0))).spectral;
    // One window for all rounds: each import replaces the document the last one left in the pane.
    BenchWindow w;
    for (auto _ : state) {
        w.open("btnOpenSpecMeasurement", path);
        benchmark::DoNotOptimize(w.window.form().memoInput.Lines.Count());
    }
    if (w.toolkit.messages != 0)
        state.SkipWithError("the import showed messages");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowImport)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

void BM_WindowSmoothingBuild(benchmark::State& state) {
    BenchWindow& w = loadedWindow(static_cast<int>(state.range(0)));
    const CurrentDirGuard here(benchSwatchRoot()); // the builders read ./CMYK
    w.showTab(2);
    const int before = w.toolkit.messages;
    for (auto _ : state) {
        w.click("btnWriteSmoothing");
        benchmark::DoNotOptimize(w.window.form().MemoSmoothCGATS.Lines.Count());
    }
    if (w.toolkit.messages != before)
        state.SkipWithError("the build showed messages");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowSmoothingBuild)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

void BM_WindowSpecBuild(benchmark::State& state) {
    BenchWindow& w = loadedWindow(static_cast<int>(state.range(0)));
    w.showTab(4);
    const int before = w.toolkit.messages;
    for (auto _ : state) {
        w.click("btnWriteUlvar");
        benchmark::DoNotOptimize(w.window.form().memoUlvarSpec.Lines.Count());
    }
    if (w.toolkit.messages != before)
        state.SkipWithError("the build showed messages");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowSpecBuild)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

} // namespace

void releaseBenchWindows() {
    loadedWindows().clear();
}
