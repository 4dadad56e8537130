#pragma once

#include <QString>

// Where the help page that ships with the program lies, relative to the folder of the program
// file: <exe dir>/../share/lumetra/help/index.html. The install puts it there, and the build puts
// a copy at the same place relative to the built program, so one rule serves both.
QString HelpPagePath(const QString& programDir);
// The help page as a file:// address for the desktop shell.
QString HelpPageAddress(const QString& programDir);
