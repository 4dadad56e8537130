#pragma once

#include <functional>

class QWidget;

// Runs act on the first modal widget that comes up (a message box or file dialog shown with exec),
// from inside its event loop. Gives up after a few seconds, so a box that never comes cannot hang.
void whenModal(std::function<void(QWidget*)> act);
