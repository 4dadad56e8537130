#include "PreflightStatus.h"

#include "FormState.h"
#include "LinePane.h"
#include "MeasurementKind.h"
#include "Preflight.h"
#include "PreflightWindow.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <algorithm>

namespace {

constexpr QRgb kClean = 0xFF1E7B1E;
constexpr QRgb kWarnings = 0xFFB36200;
constexpr QRgb kErrors = 0xFFC00000;

void watchPane(const Memo& memo, quint64& generation, int& count, QString& last) {
    const LineList& lines = memo.Lines;
    generation = lines.generation();
    count = lines.Count();
    last = count > 0 ? lines.Get(count - 1) : QString();
}

} // namespace

PreflightStatus::PreflightStatus(QWidget* window, FormState& form, Toolkit& toolkit,
                                 std::function<bool()> handlerRunning, std::function<void()> syncWindow)
    : m_window(window), m_form(form), m_toolkit(toolkit), m_handlerRunning(std::move(handlerRunning)),
      m_syncWindow(std::move(syncWindow)), m_provider([](const FormState& f, Kind kind) {
          return kind == Kind::Spec ? preflight::SpecPreflight(f) : preflight::SmoothingPreflight(f);
      }),
      m_timer(new QTimer(this)) {
    m_smoothing.tab = 2;
    m_spec.tab = 4;
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
}

PreflightStatus::~PreflightStatus() {
    // The details window is a child of the main window but calls into this and the window's
    // toolkit, which go before the main window's children do.
    delete m_details.data();
}

PreflightWindow* PreflightStatus::detailsWindow() const {
    return m_details;
}

void PreflightStatus::addStatus(QWidget* band, Kind kind, QPoint at, double fontScale, const QWidget* after) {
    Side& s = side(kind);
    s.at = at;
    s.after = after;
    const bool spec = kind == Kind::Spec;
    s.label = new QLabel(band);
    s.label->setObjectName(spec ? QStringLiteral("labelPreflightSpec") : QStringLiteral("labelPreflight"));
    s.label->setTextFormat(Qt::PlainText);
    s.label->setCursor(Qt::PointingHandCursor);
    s.label->setToolTip(QStringLiteral("Show the preflight's details"));
    QFont f = s.label->font();
    f.setPointSizeF(f.pointSizeF() * fontScale);
    s.label->setFont(f);
    s.label->move(at);
    s.label->hide();
    s.label->installEventFilter(this);

    s.link = new QLabel(band);
    s.link->setObjectName(spec ? QStringLiteral("labelPreflightSpecDetails")
                               : QStringLiteral("labelPreflightDetails"));
    s.link->setTextFormat(Qt::RichText);
    s.link->setText(QStringLiteral("<a href=\"details\">Details…</a>"));
    s.link->setFont(f);
    s.link->hide();
    connect(s.link, &QLabel::linkActivated, this, [this, kind] { openDetails(kind); });
}

void PreflightStatus::setProvider(Provider provider) {
    m_provider = std::move(provider);
    m_smoothing.stale = m_spec.stale = true;
    inputsMayHaveChanged();
}

void PreflightStatus::inputsMayHaveChanged() {
    if (!m_timer->isActive())
        m_timer->start();
}

void PreflightStatus::tabShown(int index) {
    for (Side* s : {&m_smoothing, &m_spec})
        if (s->tab == index)
            s->stale = true;
    inputsMayHaveChanged();
}

PreflightStatus::Signature PreflightStatus::signatureOf(Kind kind) const {
    Signature sig;
    if (kind == Kind::Spec) {
        watchPane(m_form.memoOptimized, sig.generation[0], sig.count[0], sig.last[0]);
        return sig;
    }
    watchPane(m_form.memoInput, sig.generation[0], sig.count[0], sig.last[0]);
    watchPane(m_form.memoCGATSLab, sig.generation[1], sig.count[1], sig.last[1]);
    sig.scrambled = m_form.cbScrambledSwatch.IsChecked;
    sig.patches = m_form.NumberBoxPatches.Value();
    return sig;
}

void PreflightStatus::refresh() {
    m_timer->stop();
    // Inside a handler's pumps: the handler's end queues another look.
    if (m_handlerRunning && m_handlerRunning())
        return;
    for (Kind kind : {Kind::Smoothing, Kind::Spec}) {
        Side& s = side(kind);
        const Signature sig = signatureOf(kind);
        if (!(sig == s.signature))
            s.stale = true;
        const bool seen =
            m_form.ActiveTab == s.tab || (m_details && m_details->isVisible() && m_detailsKind == kind);
        if (s.stale && seen)
            run(kind);
    }
}

void PreflightStatus::run(Kind kind) {
    Side& s = side(kind);
    s.signature = signatureOf(kind);
    s.stale = false;
    ++m_runs;
    s.report = std::make_shared<const preflight::PreflightReport>(m_provider(m_form, kind));
    showStatus(kind);
    if (m_details && m_detailsKind == kind)
        m_details->setReport(s.report);
}

QRgb PreflightStatus::StatusColour(const preflight::PreflightReport& report) {
    if (report.count(preflight::Severity::Error) > 0)
        return kErrors;
    if (report.count(preflight::Severity::Warning) > 0)
        return kWarnings;
    return kClean;
}

void PreflightStatus::showStatus(Kind kind) {
    Side& s = side(kind);
    if (!s.label)
        return;
    const preflight::PreflightReport& r = *s.report;
    // Nothing checked, nothing to say (no files yet).
    const bool nothing = r.rows.isEmpty() && r.findings.isEmpty();
    s.label->setText(preflight::StatusText(r));
    QPalette p = s.label->palette();
    p.setColor(QPalette::WindowText, QColor::fromRgba(StatusColour(r)));
    s.label->setPalette(p);
    s.label->adjustSize();
    // The check box's caption comes with the form's state, and its size with the caption.
    int x = s.at.x();
    if (s.after)
        x = std::max(x, s.after->x() + s.after->sizeHint().width() + 24);
    s.label->move(x, s.at.y());
    s.label->setVisible(!nothing);
    const bool problems = r.count(preflight::Severity::Error) + r.count(preflight::Severity::Warning) > 0;
    s.link->adjustSize();
    s.link->move(s.label->geometry().right() + 10, s.label->y());
    s.link->setVisible(!nothing && problems);
}

void PreflightStatus::openDetails(Kind kind) {
    Side& s = side(kind);
    if (!s.report || s.stale || !(signatureOf(kind) == s.signature))
        run(kind);
    if (!m_details) {
        m_details = new PreflightWindow(m_toolkit, m_window);
        m_details->onRowActivated = [this](int row, bool labPane) { showRow(m_detailsKind, row, labPane); };
    }
    m_detailsKind = kind;
    m_details->setReport(s.report);
    m_details->show();
    m_details->raise();
    m_details->activateWindow();
}

void PreflightStatus::showRow(Kind kind, int index, bool labPane) {
    const ReportPtr& report = side(kind).report;
    if (!report || index < 0 || index >= report->rows.size())
        return;
    const preflight::PreflightRow& row = report->rows[index];
    const bool lab = kind == Kind::Smoothing && row.labLine >= 0 && (labPane || row.spectralLine < 0);
    const MeasurementKindInfo& target = MeasurementKindOf(kind == Kind::Spec ? MeasurementKind::Optimized
                                                          : lab              ? MeasurementKind::Lab
                                                                             : MeasurementKind::Spectral);
    const int line = lab ? row.labLine : row.spectralLine;
    // No moc for LinePane: findChild<LinePane*> would take any scroll area of that name.
    auto* pane =
        dynamic_cast<LinePane*>(m_window->findChild<QWidget*>(QString::fromLatin1(target.pane.name)));
    if (line < 0 || !pane || !target.tab.of(m_form).Enabled || line >= pane->lineCount())
        return;
    m_form.ActiveTab = target.tabIndex;
    if (m_syncWindow)
        m_syncWindow();
    pane->selectLine(line);
    m_window->raise();
    m_window->activateWindow();
    pane->setFocus();
}

bool PreflightStatus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (Kind kind : {Kind::Smoothing, Kind::Spec})
            if (watched == side(kind).label) {
                openDetails(kind);
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}
