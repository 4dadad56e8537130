// Reading speed: the load, load + format check + scan of generated spectral files, and the whole import
// handler (dialog answered, pane filled). Each benchmark keeps its list or window across rounds,
// as the running program does; a fresh process pays the kernel's first touch of the memory once.

#include "BenchData.h"
#include "BenchToolkit.h"
#include "CgatsScan.h"
#include "FormState.h"
#include "Import.h"
#include "LineList.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

QString spectralFormatLine() {
    QString line = QStringLiteral("SAMPLE_ID");
    for (int nm = 380; nm <= 730; nm += 10)
        line += QStringLiteral(" SPECTRAL_%1").arg(nm);
    return line + u' ';
}

// The load alone, at the sizes the whole-process comparison with LittleCMS uses
// (bench/compare-lcms.sh).
void BM_Load(benchmark::State& state) {
    const QString path = benchFiles(static_cast<int>(state.range(0))).spectral;
    LineList list;
    for (auto _ : state) {
        list.LoadFromFile(path);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_Load)->Arg(28000)->Arg(280000)->Unit(benchmark::kMillisecond);

void BM_LoadCheckScan(benchmark::State& state) {
    const QString path = benchFiles(static_cast<int>(state.range(0))).spectral;
    const QString format = spectralFormatLine();
    // One list for all rounds, as the window keeps its documents: each load replaces the last.
    LineList list;
    for (auto _ : state) {
        list.LoadFromFile(path);
        benchmark::DoNotOptimize(list.IndexOf(format));
        CgatsScanResult r = CgatsScan(list);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_LoadCheckScan)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

void BM_ImportHandler(benchmark::State& state) {
    BenchToolkit toolkit;
    toolkit.openPath = benchFiles(static_cast<int>(state.range(0))).spectral;
    // One window for all rounds: each import replaces the document the last one left in the pane.
    FormState form;
    form.FormCreate();
    for (auto _ : state) {
        btnOpenCGATSFileClick(form, toolkit, 1);
        benchmark::DoNotOptimize(form.memoInput.Lines.Count());
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(toolkit.openPath).size());
}
BENCHMARK(BM_ImportHandler)->Arg(1617)->Arg(16170)->Arg(161700)->Unit(benchmark::kMillisecond);

} // namespace
