#pragma once

#include "PreflightReport.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class FormState;
class PreflightWindow;
class QLabel;
class QTimer;
class QWidget;
class Toolkit;

// The preflight's one-line status on the smoothing and spec tabs, and the Preflight window it
// opens. The preflight runs from the event loop once a handler has returned (never inside the
// pumps of a running import or build), and only for a tab that is shown or whose details are
// open: a pane it reads or the swatch choice changed, or its tab came into view (the swatch
// files may have changed on disk). The status is not one of the form's controls: no handler
// reads or writes it, so it lives here, beside the window, and not in FormState.
class PreflightStatus : public QObject {
public:
    using Kind = preflight::PreflightReport::Kind;
    using Provider = std::function<preflight::PreflightReport(const FormState&, Kind)>;
    using ReportPtr = std::shared_ptr<const preflight::PreflightReport>;

    // handlerRunning tells whether a handler is on the stack; syncWindow redraws the main window
    // from the form (after a double-click chose another tab).
    PreflightStatus(QWidget* window, FormState& form, Toolkit& toolkit, std::function<bool()> handlerRunning,
                    std::function<void()> syncWindow);
    ~PreflightStatus() override;

    // Puts the status (and its "Details…" link) of kind on a tab's band, at `at`, or further right
    // when `after` (a control on the same line) would reach it.
    void addStatus(QWidget* band, Kind kind, QPoint at, double fontScale, const QWidget* after = nullptr);
    // Where the reports come from (the real checks unless a test says otherwise).
    void setProvider(Provider provider);

    // Queues a look at the inputs for the event loop (after a handler, after a click on the check box).
    void inputsMayHaveChanged();
    // A tab came into view.
    void tabShown(int index);
    // Runs the queued look now, as the event loop would (unless a handler is running).
    void refresh();

    void openDetails(Kind kind);
    // Shows a report row's line in its pane, on its tab.
    void showRow(Kind kind, int row, bool labPane);

    QLabel* label(Kind kind) const { return side(kind).label; }
    QLabel* detailsLink(Kind kind) const { return side(kind).link; }
    ReportPtr report(Kind kind) const { return side(kind).report; }
    PreflightWindow* detailsWindow() const;
    // How often the provider ran (tests see that nothing runs twice for the same inputs).
    int runs() const { return m_runs; }

    static QRgb StatusColour(const preflight::PreflightReport& report);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Signature {
        quint64 generation[2] = {0, 0};
        int count[2] = {-1, -1};
        QString last[2];
        bool scrambled = false;
        double patches = 0;
        friend bool operator==(const Signature&, const Signature&) = default;
    };
    struct Side {
        QLabel* label = nullptr;
        QLabel* link = nullptr;
        QPoint at;
        const QWidget* after = nullptr;
        ReportPtr report;
        Signature signature;
        bool stale = true;
        int tab = 0;
    };
    Side& side(Kind kind) { return kind == Kind::Spec ? m_spec : m_smoothing; }
    const Side& side(Kind kind) const { return kind == Kind::Spec ? m_spec : m_smoothing; }
    Signature signatureOf(Kind kind) const;
    void run(Kind kind);
    void showStatus(Kind kind);

    QWidget* m_window;
    FormState& m_form;
    Toolkit& m_toolkit;
    std::function<bool()> m_handlerRunning;
    std::function<void()> m_syncWindow;
    Provider m_provider;
    QTimer* m_timer;
    Side m_smoothing;
    Side m_spec;
    QPointer<PreflightWindow> m_details;
    Kind m_detailsKind = Kind::Smoothing;
    int m_runs = 0;
};
