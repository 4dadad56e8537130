#pragma once

#include "FormState.h"
#include "MeasurementKind.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class FormBinding;
class PreflightStatus;
class ProgressRectangle;
class QtToolkit;
class Toolkit;
class WindowToolkit;

// The main window. It owns the controls' state (FormState) and one widget per control under the
// control's name; handlers work on the state, and the widgets are redrawn from it after every
// handler, before every box and dialog, and in a handler's event pumps at most once a redraw
// interval. User edits (editable panes, the spec path edit, the check
// box, the chosen tab) flow back into the state before any handler reads it. The widgets' binding
// to the state is a FormBinding, the handlers' toolkit a WindowToolkit, the tab strip a
// CaptionTabBar; this class builds the window and runs its handlers.
class TTabbedForm : public QWidget {
public:
    // The window of the program, with the Qt toolkit.
    explicit TTabbedForm(QWidget* parent = nullptr);
    // A window whose handlers use the given toolkit (tests script dialogs and watch the shell).
    explicit TTabbedForm(Toolkit& toolkit, QWidget* parent = nullptr);
    ~TTabbedForm() override;

    FormState& form() { return m_form; }
    // The toolkit the handlers get: the given one, with the window redrawn before every modal box
    // and dialog and in the pumps as said above, and the user's edits taken back after every pump.
    Toolkit& toolkit();
    // The preflight status lines of tabs 3 and 5 and their details window.
    PreflightStatus& preflight() { return *m_preflight; }
    // True while a handler (or one started inside its pumps) is on the stack.
    bool handlerRunning() const { return m_handlerDepth > 0; }

    // The shortest time between two redraws in a handler's pumps (30 ms unless set).
    void setRedrawInterval(int milliseconds) { m_redrawInterval = milliseconds; }

    // Event handlers; the widgets' events reach them through a guard that shows whatever escapes.
    void FormCreate(QObject* Sender);
    void btnHelpClick(QObject* Sender);
    void btnOpenCGATSFileClick(QObject* Sender);
    void btnWriteSmoothingClick(QObject* Sender);
    void btnWriteUlvarClick(QObject* Sender);
    void TabItem5Click(QObject* Sender);

    // Shows the progress bar at width 100 in front (true), or stops Timer and hides it (false).
    void TimerRun(bool run);

    // Redraws every widget from the state.
    void syncFromState();
    // Takes what the user typed into the editable panes back into the state.
    void takeUserEdits();

    // The help page the Help button opens (a file:// address).
    QString helpAddress() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class WindowToolkit;

    TTabbedForm(std::unique_ptr<QtToolkit> own, Toolkit* given, QWidget* parent);
    void buildWidgets();
    QWidget* buildHeader();
    QWidget* addPage(TabItem& tab, const char* name, int paneHeight, Memo& memo, const char* paneName);
    QLabel* addLabel(QWidget* parent, const char* name, Label& state);
    QLineEdit* addEdit(QWidget* parent, const char* name, Label& state);
    QLineEdit* addNumberBox(QWidget* parent, const char* name, NumberBox& state);
    QPushButton* addButton(QWidget* parent, const char* name, Button& state, bool bold);
    // A page that reads one kind of measurement file; returns its band above the pane.
    QWidget* buildReadingPage(MeasurementKind kind, int paneHeight);
    void connectHandler(QPushButton* button, void (TTabbedForm::*handler)(QObject*));
    // Runs one handler as an event would: user edits in first, errors to the error display, and
    // the widgets redrawn afterwards.
    void dispatch(const std::function<void()>& handler);
    bool redrawDue() const;
    void layoutHeader();

    FormState m_form;
    std::unique_ptr<QtToolkit> m_ownToolkit;
    Toolkit& m_givenToolkit;
    std::unique_ptr<WindowToolkit> m_toolkit;
    std::unique_ptr<FormBinding> m_binding;
    QElapsedTimer m_sinceRedraw; // since the last redraw ended
    int m_redrawInterval = 30;
    bool m_closed = false;
    int m_handlerDepth = 0;
    std::unique_ptr<PreflightStatus> m_preflight;

    QWidget* m_header = nullptr;
    QLabel* m_toolBarLabel = nullptr;
    QPushButton* m_btnHelp = nullptr;
    QTabWidget* m_tabs = nullptr;
    ProgressRectangle* m_progress = nullptr;
    QTimer* m_timer = nullptr;
    QCheckBox* m_cbScrambledSwatch = nullptr;
};
