#pragma once

#include <QString>

class Toolkit;

// Small utilities of the window.
class TMisc {
public:
    // Hands sCommand (a web or file address) to the desktop shell, once per call, to be opened as
    // if the user had opened it. The shell is reached through the toolkit so the call can be
    // watched; its answer is ignored.
    static void Open(Toolkit& shell, const QString& sCommand);
};
