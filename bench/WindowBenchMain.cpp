#include "WindowBench.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The window is timed without a display unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    releaseBenchWindows();
    benchmark::Shutdown();
    return 0;
}
