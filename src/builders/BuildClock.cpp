#include "BuildClock.h"

const BuildClock& SystemBuildClock() {
    static const BuildClock clock{[] { return QDateTime::currentDateTime(); },
                                  [] { return QLocale::system(); }};
    return clock;
}
