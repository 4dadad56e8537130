// Building speed: the smoothing and the spec build without their dialogs (the save is cancelled),
// and the save of each document on its own.

#include "BenchData.h"
#include "BenchToolkit.h"
#include "Build.h"
#include "FormState.h"
#include "Import.h"
#include "Preflight.h"
#include "SaveDocument.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <stdexcept>

namespace {

// A window state with the three generated files of that size imported.
FormState& loadedForm(int patches) {
    static std::map<int, std::unique_ptr<FormState>> forms;
    auto& form = forms[patches];
    if (!form) {
        form = std::make_unique<FormState>();
        form->FormCreate();
        const BenchFiles& files = benchFiles(patches);
        BenchToolkit toolkit;
        for (auto [tag, path] : {std::pair{1, files.spectral}, {2, files.lab}, {3, files.optimized}}) {
            toolkit.openPath = path;
            btnOpenCGATSFileClick(*form, toolkit, tag);
        }
        if (toolkit.messages != 0)
            throw std::runtime_error("the generated files were not accepted");
    }
    return *form;
}

void BM_SmoothingBuild(benchmark::State& state) {
    FormState& form = loadedForm(static_cast<int>(state.range(0)));
    const CurrentDirGuard here(benchSwatchRoot()); // the builders read ./CMYK
    BenchToolkit toolkit;                          // no save path: the dialog is cancelled
    for (auto _ : state) {
        btnWriteSmoothingClick(form, toolkit);
        benchmark::DoNotOptimize(form.MemoSmoothCGATS.Lines.Count());
    }
    if (toolkit.messages != 0)
        state.SkipWithError("the build showed messages");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SmoothingBuild)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

void BM_SpecBuild(benchmark::State& state) {
    FormState& form = loadedForm(static_cast<int>(state.range(0)));
    BenchToolkit toolkit;
    for (auto _ : state) {
        btnWriteUlvarClick(form, toolkit);
        benchmark::DoNotOptimize(form.memoUlvarSpec.Lines.Count());
    }
    if (toolkit.messages != 0)
        state.SkipWithError("the build showed messages");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SpecBuild)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

// The preflight the window runs when a pane changes and the build runs before its save dialog.
void BM_SmoothingPreflight(benchmark::State& state) {
    FormState& form = loadedForm(static_cast<int>(state.range(0)));
    const CurrentDirGuard here(benchSwatchRoot()); // the builders read ./CMYK
    for (auto _ : state)
        benchmark::DoNotOptimize(preflight::SmoothingPreflight(form).rows.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SmoothingPreflight)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

void BM_SpecPreflight(benchmark::State& state) {
    FormState& form = loadedForm(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(preflight::SpecPreflight(form).rows.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SpecPreflight)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

// Encoding and writing a built document, as the save step does after the dialog.
void saveBench(benchmark::State& state, Memo FormState::*pane, void (*build)(FormState&, Toolkit&)) {
    FormState& form = loadedForm(static_cast<int>(state.range(0)));
    {
        const CurrentDirGuard here(benchSwatchRoot()); // the builders read ./CMYK
        BenchToolkit toolkit;
        build(form, toolkit);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray encoded = EncodeDocument((form.*pane).Lines);
        WriteDocumentFile(path, encoded);
        bytes += encoded.size();
    }
    state.SetBytesProcessed(bytes);
}

void BM_SaveSmoothing(benchmark::State& state) {
    saveBench(state, &FormState::MemoSmoothCGATS, &btnWriteSmoothingClick);
}
BENCHMARK(BM_SaveSmoothing)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

void BM_SaveSpec(benchmark::State& state) {
    saveBench(state, &FormState::memoUlvarSpec, &btnWriteUlvarClick);
}
BENCHMARK(BM_SaveSpec)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

} // namespace
