#pragma once

// Closes the windows the benchmarks keep across rounds; called before the application goes.
void releaseBenchWindows();
