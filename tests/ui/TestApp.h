#pragma once

#include <QString>

#include <functional>

class QWidget;

// Runs act on the first modal widget that comes up (a message box or file dialog shown with exec),
// from inside its event loop. Gives up after a few seconds, so a box that never comes cannot hang.
void whenModal(std::function<void(QWidget*)> act);

// A pane of the window by its name, whichever widget draws it (a read-only view or a text edit);
// nullptr when there is none.
QWidget* paneWidget(const QWidget& window, const char* name);
// The text a pane shows, its lines joined by '\n', and whether the user can type into it.
QString paneText(const QWidget* pane);
bool paneReadOnly(const QWidget* pane);
