// Preflight pictures: the chart grid of 10,000 patches painted offscreen (colours worked out
// once per report, as the window does), and the whole PDF report of a chart of 1,617 rows.

#include "ChartPainter.h"
#include "PreflightPdf.h"
#include "SampleReport.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

const preflight::PreflightReport& reportOf(int rows) {
    static std::map<int, preflight::PreflightReport> reports;
    auto it = reports.find(rows);
    if (it == reports.end())
        it = reports.emplace(rows, sample::ReversedReport(rows)).first;
    return it->second;
}

void BM_ChartPaint(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const preflight::PreflightReport& report = reportOf(rows);
    const report::ChartPicture picture = report::MakeChartPicture(report);
    QImage image(1600, 1000, QImage::Format_RGB32);
    const report::ChartGrid grid(rows, QRectF(image.rect()).adjusted(6, 6, -6, -6));
    std::vector<char> selected(rows, 0);
    for (int i = 0; i < rows; i += 97)
        selected[i] = 1;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        report::PaintChart(painter, grid, picture, &selected);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ChartPaint)->Arg(1617)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ChartColours(benchmark::State& state) {
    const preflight::PreflightReport& report = reportOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(report::MakeChartPicture(report));
}
BENCHMARK(BM_ChartColours)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReportPdf(benchmark::State& state) {
    const preflight::PreflightReport& report = reportOf(static_cast<int>(state.range(0)));
    const QDateTime when = QDateTime::currentDateTime();
    for (auto _ : state) {
        const QByteArray pdf = report::PreflightReportPdf(report, when);
        benchmark::DoNotOptimize(pdf.constData());
        state.counters["bytes"] = static_cast<double>(pdf.size());
    }
}
BENCHMARK(BM_ReportPdf)->Arg(1617)->Unit(benchmark::kMillisecond);

} // namespace
