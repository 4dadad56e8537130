#include "unitUlvarTabbed.h"

#include "Build.h"
#include "HelpPage.h"
#include "Import.h"
#include "MeasurementKind.h"
#include "Preflight.h"
#include "PreflightStatus.h"
#include "ProgressRectangle.h"
#include "QtToolkit.h"
#include "Toolkit.h"
#include "browse.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kClientWidth = 842;
constexpr int kClientHeight = 608;
constexpr int kHeaderHeight = 48;
constexpr int kTabStripHeight = 49;
constexpr int kHelpLeft = 733;
constexpr int kHelpTop = 16;
constexpr int kTabIconSize = 32;

QColor argb(quint32 value) {
    return QColor::fromRgba(value);
}

QFont boldFont(const QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

void setTextColor(QWidget* w, QPalette::ColorRole role, quint32 color) {
    QPalette p = w->palette();
    p.setColor(role, argb(color));
    w->setPalette(p);
}

// Tab strip whose captions share its width equally; each caption wraps beside its icon so the
// long captions fit a fifth of the window.
class CaptionTabBar : public QTabBar {
public:
    explicit CaptionTabBar(QWidget* parent) : QTabBar(parent) {
        setExpanding(true);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideNone);
        setDrawBase(false);
        setIconSize(QSize(kTabIconSize, kTabIconSize));
        setFont(boldFont(this));
    }

    // As wide as the tab control, and every tab an equal share of that width (the first ones
    // take the odd pixels). The bar lays its tabs out again on every resize.
    QSize sizeHint() const override {
        const int width = parentWidget() ? parentWidget()->width() : QTabBar::sizeHint().width();
        return QSize(std::max(width, minimumSizeHint().width()), kTabStripHeight);
    }
    QSize minimumSizeHint() const override { return QSize(count() * kMinimumShare, kTabStripHeight); }

protected:
    QSize tabSizeHint(int index) const override {
        const int n = std::max(1, count());
        const int total = std::max(width(), n * kMinimumShare);
        return QSize(total / n + (index < total % n ? 1 : 0), kTabStripHeight);
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        // The selected tab last, so its shape overlaps its neighbours as the style intends.
        std::vector<int> order;
        for (int i = 0; i < count(); ++i)
            if (i != currentIndex())
                order.push_back(i);
        if (currentIndex() >= 0)
            order.push_back(currentIndex());
        for (int i : order) {
            QStyleOptionTab opt;
            initStyleOption(&opt, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, opt);

            const QRect inner = opt.rect.adjusted(8, 2, -6, -2);
            const bool enabled = isTabEnabled(i);
            const QPixmap pixmap =
                tabIcon(i).pixmap(iconSize(), devicePixelRatioF(), enabled ? QIcon::Normal : QIcon::Disabled);
            const QSize logical = pixmap.deviceIndependentSize().toSize();
            const QPoint iconAt(inner.left(), inner.center().y() - logical.height() / 2 + 1);
            if (!pixmap.isNull())
                painter.drawPixmap(iconAt, pixmap);

            QRect textRect = inner;
            textRect.setLeft(inner.left() + (pixmap.isNull() ? 0 : logical.width() + 6));
            painter.setFont(font());
            QColor color = tabTextColor(i);
            if (!color.isValid())
                color =
                    palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
            painter.setPen(color);
            painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, tabText(i));

            // The captions are drawn here, so the keyboard focus mark is too.
            if (i == currentIndex() && hasFocus()) {
                QStyleOptionFocusRect focus;
                focus.initFrom(this);
                focus.rect = opt.rect.adjusted(3, 3, -3, -3);
                painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
            }
        }
    }

private:
    static constexpr int kMinimumShare = 60;
};

class TabControl : public QTabWidget {
public:
    explicit TabControl(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new CaptionTabBar(this));
        setDocumentMode(true);
    }
};

// A number box: the user reads its value but cannot focus it or type into it.
QLineEdit* makeNumberBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedSize(80, 26);
    return box;
}

QStringList paneLines(const QPlainTextEdit* pane) {
    const QTextDocument* doc = pane->document();
    if (doc->isEmpty())
        return {};
    QStringList lines;
    lines.reserve(doc->blockCount());
    // Block by block: toPlainText would turn no-break spaces into blanks.
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

int widthOf(double width) {
    if (!(width > 0))
        return 0;
    return static_cast<int>(std::min<double>(std::llround(width), QWIDGETSIZE_MAX));
}

} // namespace

// What a pane last showed, so that a document that only grew is appended to, not redrawn.
struct TTabbedForm::PaneBinding {
    QPlainTextEdit* widget;
    Memo* state;
    bool shown = false;
    quint64 generation = 0;
    int count = 0;
    QString lastLine;
    bool edited = false;

    void remember() {
        const LineList& lines = state->Lines;
        shown = true;
        generation = lines.generation();
        count = lines.Count();
        lastLine = count > 0 ? lines.Get(count - 1) : QString();
    }
    // The document still begins with what the pane last showed: it was at most appended to.
    bool grewFromShown() const {
        const LineList& lines = state->Lines;
        return shown && lines.generation() == generation && lines.Count() >= count &&
               (count == 0 || lines.Get(count - 1) == lastLine);
    }
    bool showsState() const { return grewFromShown() && state->Lines.Count() == count; }
};

// The toolkit the handlers see: the window is redrawn before every modal box and dialog (so the
// bar shows behind a message) and before a pump once the last redraw is a redraw interval old, and
// the user's edits made during a pump reach the state before the handler goes on. After the window
// was closed, a handler still running winds down quietly: no more boxes, dialogs count as
// cancelled.
class TTabbedForm::WindowToolkit : public Toolkit {
public:
    WindowToolkit(TTabbedForm& window, Toolkit& inner) : m_window(window), m_inner(inner) {}

    void ShowMessage(const QString& text) override {
        if (m_window.m_closed)
            return;
        m_window.syncFromState();
        m_inner.ShowMessage(text);
    }
    void ShowError(const QString& text) override {
        if (m_window.m_closed)
            return;
        m_window.syncFromState();
        m_inner.ShowError(text);
    }
    bool ExecuteOpen(OpenDialog& dialog) override {
        if (m_window.m_closed)
            return false;
        m_window.syncFromState();
        return m_inner.ExecuteOpen(dialog);
    }
    bool ExecuteSave(SaveDialog& dialog) override {
        if (m_window.m_closed)
            return false;
        m_window.syncFromState();
        return m_inner.ExecuteSave(dialog);
    }
    void ProcessMessages() override {
        if (m_window.m_closed)
            return;
        m_window.takeUserEdits();
        // A build pumps every few rows; redrawing the panes at each pump made the window many
        // times slower than its work. Input and repaints are still handled at every pump.
        const bool redraw = m_window.redrawDue();
        if (redraw)
            m_window.syncFromState();
        m_inner.ProcessMessages();
        // The interval counts from the end of the repaint: redrawing never takes most of the time.
        if (redraw)
            m_window.m_sinceRedraw.start();
        m_window.takeUserEdits();
    }
    void Yield() override { m_inner.Yield(); }
    void OpenAddress(const QString& address) override { m_inner.OpenAddress(address); }
    bool AskQuestion(const QString& text, const QString& yes, const QString& no) override {
        if (m_window.m_closed)
            return false;
        m_window.syncFromState();
        return m_inner.AskQuestion(text, yes, no);
    }
    bool SumsUpRepeatedMessages() const override { return m_inner.SumsUpRepeatedMessages(); }

private:
    TTabbedForm& m_window;
    Toolkit& m_inner;
};

TTabbedForm::TTabbedForm(QWidget* parent) : TTabbedForm(std::make_unique<QtToolkit>(), nullptr, parent) {}

TTabbedForm::TTabbedForm(Toolkit& toolkit, QWidget* parent) : TTabbedForm(nullptr, &toolkit, parent) {}

TTabbedForm::TTabbedForm(std::unique_ptr<QtToolkit> own, Toolkit* given, QWidget* parent)
    : QWidget(parent), m_ownToolkit(std::move(own)), m_givenToolkit(given ? *given : *m_ownToolkit),
      m_toolkit(std::make_unique<WindowToolkit>(*this, m_givenToolkit)) {
    if (m_ownToolkit)
        m_ownToolkit->setOwner(this);
    buildWidgets();
    dispatch([this] { FormCreate(this); });
}

TTabbedForm::~TTabbedForm() = default;

Toolkit& TTabbedForm::toolkit() {
    return *m_toolkit;
}

// ---- building the widgets ----------------------------------------------------------------------

void TTabbedForm::buildWidgets() {
    setObjectName(QStringLiteral("TabbedForm"));
    setWindowTitle(QString());
    resize(kClientWidth, kClientHeight);

    m_preflight = std::make_unique<PreflightStatus>(
        this, m_form, *m_toolkit, [this] { return handlerRunning(); }, [this] { syncFromState(); });
    m_header = buildHeader();

    m_tabs = new TabControl(this);
    m_tabs->setObjectName(QStringLiteral("TabControl1"));

    // Tabs 1 and 2: the spectral and the L*a*b* file
    buildReadingPage(MeasurementKind::Spectral, 421);
    buildReadingPage(MeasurementKind::Lab, 427);

    // Tab 3: the smoothing file
    QWidget* band = addPage(m_form.TabItem3, "TabItem3", 443, m_form.MemoSmoothCGATS, "MemoSmoothCGATS");
    {
        QPushButton* build = addButton(band, "btnWriteSmoothing", m_form.btnWriteSmoothing, true);
        build->move(8, 6);
        connectHandler(build, &TTabbedForm::btnWriteSmoothingClick);
        const int right = build->geometry().right() + 12;
        QLineEdit* path = addEdit(band, "LabelSmoothCGATS", m_form.LabelSmoothCGATS);
        path->setGeometry(right, 8, 520, 26);
        m_cbScrambledSwatch = new QCheckBox(band);
        m_cbScrambledSwatch->setObjectName(QStringLiteral("cbScrambledSwatch"));
        m_cbScrambledSwatch->move(right, 40);
        connect(m_cbScrambledSwatch, &QCheckBox::clicked, this, [this](bool checked) {
            m_form.cbScrambledSwatch.IsChecked = checked;
            m_preflight->inputsMayHaveChanged();
        });
        m_preflight->addStatus(band, PreflightStatus::Kind::Smoothing, QPoint(right + 150, 42), 1.0,
                               m_cbScrambledSwatch);
    }

    // Tab 4: the optimized file
    buildReadingPage(MeasurementKind::Optimized, 421);

    // Tab 5: the spec file
    band = addPage(m_form.TabItem5, "TabItem5", 461, m_form.memoUlvarSpec, "memoUlvarSpec");
    {
        QPushButton* build = addButton(band, "btnWriteUlvar", m_form.btnWriteUlvar, true);
        build->move(8, 6);
        connectHandler(build, &TTabbedForm::btnWriteUlvarClick);
        QLineEdit* path = addEdit(band, "labelUlvarSpecFile", m_form.labelUlvarSpecFile);
        path->setGeometry(build->geometry().right() + 12, 8, 520, 26);
        // The band is 50 high at the start; the status takes the strip under the button.
        m_preflight->addStatus(band, PreflightStatus::Kind::Spec, QPoint(8, 36), 0.85);
    }

    const char* const icons[] = {":/icons/read-spectral.svg", ":/icons/read-lab.svg",
                                 ":/icons/build-smoothing.svg", ":/icons/read-optimized.svg",
                                 ":/icons/build-spec.svg"};
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->setTabIcon(i, QIcon(QString::fromLatin1(icons[i])));

    // Only the fifth tab has a click handler. tabBarClicked comes for every press on an enabled
    // caption, the one already shown included.
    connect(m_tabs->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == 4 && m_form.TabItem5.Enabled)
            dispatch([this] { TabItem5Click(m_tabs->widget(4)); });
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_syncing && index >= 0)
            m_form.ActiveTab = index;
        if (m_preflight) // gone first when the window is destroyed
            m_preflight->tabShown(index);
    });

    // Created last, so it lies over the header and the tabs.
    m_progress = new ProgressRectangle(this);
    m_progress->setObjectName(QStringLiteral("RectangleProgress"));
    m_progress->hide();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));

    layoutHeader();
}

QWidget* TTabbedForm::buildHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("HeaderToolBar"));
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Button);

    m_toolBarLabel = new QLabel(header);
    m_toolBarLabel->setObjectName(QStringLiteral("ToolBarLabel"));
    m_toolBarLabel->setAlignment(Qt::AlignCenter);
    QFont title = boldFont(m_toolBarLabel);
    title.setPointSizeF(title.pointSizeF() * 1.5);
    m_toolBarLabel->setFont(title);
    // On the bar's button-coloured ground a label would draw in ButtonText; keep it WindowText.
    m_toolBarLabel->setForegroundRole(QPalette::WindowText);
    setTextColor(m_toolBarLabel, QPalette::WindowText, Colors::Blue);
    m_labels.push_back({m_toolBarLabel, &m_form.ToolBarLabel});

    m_btnHelp = addButton(header, "btnHelp", m_form.btnHelp, true);
    setTextColor(m_btnHelp, QPalette::ButtonText, Colors::Indigo);
    m_btnHelp->resize(90, 26);
    connectHandler(m_btnHelp, &TTabbedForm::btnHelpClick);
    return header;
}

QWidget* TTabbedForm::addPage(TabItem& tab, const char* name, int paneHeight, Memo& memo,
                              const char* paneName) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* band = new QWidget(page);
    column->addWidget(band, 1);

    auto* pane = new QPlainTextEdit(page);
    pane->setObjectName(QString::fromLatin1(paneName));
    pane->setFixedHeight(paneHeight);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setReadOnly(memo.ReadOnly);
    // A read-only pane is only ever replaced or appended to; keeping undo steps would double
    // the memory of a large document for nothing.
    pane->setUndoRedoEnabled(!memo.ReadOnly);
    column->addWidget(pane);

    // Input may reach a pane that has not been redrawn since its document grew (a handler's pumps
    // redraw only now and then): the pane is brought up to date before the input is handled.
    pane->installEventFilter(this);
    pane->viewport()->installEventFilter(this);

    auto binding = std::make_unique<PaneBinding>();
    binding->widget = pane;
    binding->state = &memo;
    PaneBinding* raw = binding.get();
    connect(pane, &QPlainTextEdit::textChanged, this, [this, raw] {
        if (!m_syncing)
            raw->edited = true;
    });
    m_panes.push_back(std::move(binding));

    m_tabs->addTab(page, tab.Text);
    m_tabItems.push_back({page, &tab});
    return band;
}

QWidget* TTabbedForm::buildReadingPage(MeasurementKind which, int paneHeight) {
    const MeasurementKindInfo& p = MeasurementKindOf(which);
    QWidget* band = addPage(p.tab.of(m_form), p.tab.name, paneHeight, p.pane.of(m_form), p.pane.name);
    QPushButton* open = addButton(band, p.open.name, p.open.of(m_form), true);
    open->move(8, 8);
    connectHandler(open, &TTabbedForm::btnOpenCGATSFileClick);

    QLabel* fileName = addLabel(band, p.fileName.name, p.fileName.of(m_form));
    fileName->move(open->geometry().right() + 12, 14);

    // Second row: Patches box, Columns box, file type.
    const int row = 48;
    int x = 8;
    auto caption = [&](const FormControl<Label>& control) {
        QLabel* label = addLabel(band, control.name, control.of(m_form));
        label->setFont(boldFont(label));
        setTextColor(label, QPalette::WindowText, Colors::DarkBlue);
        label->adjustSize();
        label->move(x, row + (26 - label->height()) / 2);
        x += label->width() + 6;
    };
    auto box = [&](const FormControl<NumberBox>& control) {
        QLineEdit* numberBox = addNumberBox(band, control.name, control.of(m_form));
        numberBox->move(x, row);
        x += numberBox->width() + 16;
    };
    caption(p.patchesCaption);
    box(p.patches);
    caption(p.columnsCaption);
    box(p.columns);
    QLabel* fileType = addLabel(band, p.fileType.name, p.fileType.of(m_form));
    fileType->move(x, row + (26 - fileType->sizeHint().height()) / 2);
    // The begin and end boxes are hidden; they keep a place at the far end of the row.
    addNumberBox(band, p.begin.name, p.begin.of(m_form))->move(600, row);
    addNumberBox(band, p.end.name, p.end.of(m_form))->move(690, row);
    return band;
}

QLabel* TTabbedForm::addLabel(QWidget* parent, const char* name, Label& state) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(state.Text);
    label->adjustSize();
    m_labels.push_back({label, &state});
    return label;
}

QLineEdit* TTabbedForm::addEdit(QWidget* parent, const char* name, Label& state) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setText(state.Text);
    setTextColor(edit, QPalette::Text, Colors::MidnightBlue);
    connect(edit, &QLineEdit::textEdited, this, [&state](const QString& text) { state.Text = text; });
    m_edits.push_back({edit, &state});
    return edit;
}

QLineEdit* TTabbedForm::addNumberBox(QWidget* parent, const char* name, NumberBox& state) {
    QLineEdit* box = makeNumberBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    m_numberBoxes.push_back({box, &state});
    return box;
}

QPushButton* TTabbedForm::addButton(QWidget* parent, const char* name, Button& state, bool bold) {
    auto* button = new QPushButton(state.Text, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (bold)
        button->setFont(boldFont(button));
    button->setAutoDefault(false);
    button->resize(std::max(170, button->sizeHint().width() + 6), 30);
    m_buttons.push_back({button, &state});
    return button;
}

void TTabbedForm::connectHandler(QPushButton* button, void (TTabbedForm::*handler)(QObject*)) {
    connect(button, &QPushButton::clicked, this,
            [this, button, handler] { dispatch([this, button, handler] { (this->*handler)(button); }); });
}

void TTabbedForm::layoutHeader() {
    const int w = width();
    m_header->setGeometry(0, 0, w, kHeaderHeight);
    m_toolBarLabel->setGeometry(0, 0, w, kHeaderHeight);
    // The Help button keeps its distance from the right edge.
    m_btnHelp->move(w - (kClientWidth - kHelpLeft), kHelpTop);
    m_tabs->setGeometry(0, kHeaderHeight, w, std::max(0, height() - kHeaderHeight));
}

void TTabbedForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutHeader();
}

void TTabbedForm::showEvent(QShowEvent* event) {
    m_closed = false;
    QWidget::showEvent(event);
}

void TTabbedForm::closeEvent(QCloseEvent* event) {
    // No question and nothing saved. A handler still on the stack finishes without further boxes;
    // the window itself lives until the event loop has returned.
    m_closed = true;
    event->accept();
}

// ---- handlers ----------------------------------------------------------------------------------

void TTabbedForm::dispatch(const std::function<void()>& handler) {
    ++m_handlerDepth;
    RunGuarded(*m_toolkit, [this] { takeUserEdits(); });
    RunGuarded(*m_toolkit, handler);
    RunGuarded(*m_toolkit, [this] { syncFromState(); });
    // The preflight looks at the panes from the event loop, once the outermost handler is done.
    if (--m_handlerDepth == 0)
        m_preflight->inputsMayHaveChanged();
}

void TTabbedForm::FormCreate(QObject*) {
    m_form.FormCreate();
}

void TTabbedForm::btnHelpClick(QObject*) {
    TMisc::Open(*m_toolkit, helpAddress());
}

void TTabbedForm::btnOpenCGATSFileClick(QObject* Sender) {
    for (const auto& b : m_buttons)
        if (b.widget == Sender) {
            ::btnOpenCGATSFileClick(m_form, *m_toolkit, b.state->Tag);
            return;
        }
}

void TTabbedForm::btnWriteSmoothingClick(QObject*) {
    ::btnWriteSmoothingClick(m_form, *m_toolkit, preflight::Gate());
}

void TTabbedForm::btnWriteUlvarClick(QObject*) {
    ::btnWriteUlvarClick(m_form, *m_toolkit, preflight::Gate());
}

void TTabbedForm::TabItem5Click(QObject*) {
    m_form.TabItem5Click();
}

void TTabbedForm::TimerRun(bool run) {
    m_form.TimerRun(run);
    syncFromState();
}

QString TTabbedForm::helpAddress() const {
    return HelpPageAddress(QCoreApplication::applicationDirPath());
}

// ---- state <-> widgets -------------------------------------------------------------------------

void TTabbedForm::takeUserEdits() {
    for (auto& pane : m_panes) {
        if (!pane->edited)
            continue;
        pane->edited = false;
        // Typed into a document a handler has since replaced: the replacement stands, and the
        // next redraw shows it.
        if (!pane->grewFromShown())
            continue;
        QStringList lines = paneLines(pane->widget);
        // Lines added after the pane's last redraw stay, behind what the user typed.
        const bool tail = pane->state->Lines.Count() > pane->count;
        if (tail)
            lines += pane->state->Lines.lines().mid(pane->count);
        pane->state->Lines.setLines(lines);
        pane->remember();
        if (tail) {
            pane->shown = false; // the widget lacks the tail: draw it anew
            redrawPane(*pane);
        }
    }
}

void TTabbedForm::redrawPane(PaneBinding& pane) {
    if (m_syncing)
        return;
    m_syncing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_syncing};
    syncPane(pane);
}

bool TTabbedForm::redrawDue() const {
    return !m_sinceRedraw.isValid() || m_sinceRedraw.elapsed() >= m_redrawInterval;
}

bool TTabbedForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    if (m_syncing)
        return false;
    for (auto& pane : m_panes) {
        if (watched != pane->widget && watched != pane->widget->viewport())
            continue;
        if (!pane->showsState()) {
            takeUserEdits();
            redrawPane(*pane);
        }
        break;
    }
    return false;
}

void TTabbedForm::syncPane(PaneBinding& pane) {
    QPlainTextEdit* widget = pane.widget;
    if (widget->isReadOnly() != pane.state->ReadOnly)
        widget->setReadOnly(pane.state->ReadOnly);

    const LineList& lines = pane.state->Lines;
    const int count = lines.Count();
    const bool sameHistory = pane.grewFromShown();
    if (sameHistory && count == pane.count)
        return;
    // Only appended to since the last look: add the tail in one go. An empty document has no
    // paragraph to append after (a lone empty line looks the same), so it is redrawn whole.
    if (sameHistory && pane.count > 0 && !widget->document()->isEmpty()) {
        // Lines the program adds are no step for the user to take back; as one they would keep a
        // second copy of every line a build appends.
        QTextDocument* document = widget->document();
        const bool undo = document->isUndoRedoEnabled();
        document->setUndoRedoEnabled(false);
        widget->appendPlainText(lines.lines().mid(pane.count).join(u'\n'));
        document->setUndoRedoEnabled(undo);
    } else
        widget->setPlainText(lines.lines().join(u'\n'));
    pane.remember();
    pane.edited = false;
}

void TTabbedForm::syncFromState() {
    if (m_syncing)
        return;
    m_syncing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_syncing};

    for (auto& b : m_labels) {
        if (b.widget->text() != b.state->Text) {
            b.widget->setText(b.state->Text);
            if (b.widget != m_toolBarLabel)
                b.widget->adjustSize(); // labels size themselves to their text
        }
        if (b.widget->isHidden() == b.state->Visible)
            b.widget->setVisible(b.state->Visible);
    }
    for (auto& b : m_edits) {
        if (b.widget->text() != b.state->Text)
            b.widget->setText(b.state->Text);
        if (b.widget->isReadOnly() != b.state->ReadOnly)
            b.widget->setReadOnly(b.state->ReadOnly);
        if (b.widget->isHidden() == b.state->Visible)
            b.widget->setVisible(b.state->Visible);
    }
    for (auto& b : m_numberBoxes) {
        const QString text = b.state->Text();
        if (b.widget->text() != text)
            b.widget->setText(text);
        if (b.widget->isHidden() == b.state->Visible)
            b.widget->setVisible(b.state->Visible);
    }
    for (auto& b : m_buttons)
        if (b.widget->text() != b.state->Text)
            b.widget->setText(b.state->Text);
    if (m_cbScrambledSwatch->text() != m_form.cbScrambledSwatch.Text)
        m_cbScrambledSwatch->setText(m_form.cbScrambledSwatch.Text);
    if (m_cbScrambledSwatch->isChecked() != m_form.cbScrambledSwatch.IsChecked)
        m_cbScrambledSwatch->setChecked(m_form.cbScrambledSwatch.IsChecked);

    for (auto& pane : m_panes)
        syncPane(*pane);

    QTabBar* bar = m_tabs->tabBar();
    for (int i = 0; i < static_cast<int>(m_tabItems.size()); ++i) {
        const TabItem& tab = *m_tabItems[i].state;
        if (m_tabs->isTabEnabled(i) != tab.Enabled)
            m_tabs->setTabEnabled(i, tab.Enabled);
        if (m_tabs->tabText(i) != tab.Text)
            m_tabs->setTabText(i, tab.Text);
        if (bar->tabTextColor(i) != argb(tab.FontColor))
            bar->setTabTextColor(i, argb(tab.FontColor));
    }
    // Disabling the shown tab must not move the user to another one.
    if (m_form.ActiveTab >= 0 && m_form.ActiveTab < m_tabs->count() &&
        m_tabs->currentIndex() != m_form.ActiveTab)
        m_tabs->setCurrentIndex(m_form.ActiveTab);

    const ProgressBar& bar5 = m_form.RectangleProgress;
    const QRect geometry(static_cast<int>(std::lround(bar5.X)), static_cast<int>(std::lround(bar5.Y)),
                         widthOf(bar5.Width), static_cast<int>(std::lround(bar5.Height)));
    if (m_progress->geometry() != geometry)
        m_progress->setGeometry(geometry);
    if (m_frontSerial != bar5.FrontSerial) {
        m_frontSerial = bar5.FrontSerial;
        m_progress->raise();
    }
    if (m_progress->isHidden() == bar5.Visible)
        m_progress->setVisible(bar5.Visible);

    if (m_timer->interval() != m_form.Timer.Interval)
        m_timer->setInterval(m_form.Timer.Interval);
    if (m_form.Timer.Enabled && !m_timer->isActive())
        m_timer->start();
    else if (!m_form.Timer.Enabled && m_timer->isActive())
        m_timer->stop();
    m_sinceRedraw.start();
}
