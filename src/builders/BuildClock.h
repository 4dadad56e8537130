#pragma once

#include <QDateTime>
#include <QLocale>

#include <functional>

// Where the builders take the current date and time and the regional settings for the dates they
// write. The window uses the system's; tests fix both.
struct BuildClock {
    std::function<QDateTime()> now;
    // Only dates follow the regional settings; numbers in the generated files never do.
    std::function<QLocale()> regional;
};

// The local clock and QLocale::system().
const BuildClock& SystemBuildClock();
