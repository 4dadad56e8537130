#include "unitUlvarTabbed.h"

#include "Build.h"
#include "CaptionTabBar.h"
#include "FormBinding.h"
#include "HelpPage.h"
#include "Import.h"
#include "LinePane.h"
#include "MeasurementKind.h"
#include "Preflight.h"
#include "PreflightStatus.h"
#include "ProgressRectangle.h"
#include "QtToolkit.h"
#include "Toolkit.h"
#include "WindowToolkit.h"
#include "browse.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A tab's picture from base + ".svg", or from its PNG renditions where Qt cannot read SVG.
QIcon tabIcon(const QString& base) {
    if (QImageReader::supportedImageFormats().contains("svg"))
        return QIcon(base + QStringLiteral(".svg"));
    QIcon icon;
    icon.addFile(base + QStringLiteral("-32.png"));
    icon.addFile(base + QStringLiteral("-64.png"));
    return icon;
}

constexpr int kClientWidth = 842;
constexpr int kClientHeight = 608;
constexpr int kHeaderHeight = 48;
constexpr int kHelpLeft = 733;
constexpr int kHelpTop = 16;

QFont boldFont(const QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

void setTextColor(QWidget* w, QPalette::ColorRole role, quint32 color) {
    QPalette p = w->palette();
    p.setColor(role, QColor::fromRgba(color));
    w->setPalette(p);
}

// A number box: the user reads its value but cannot focus it or type into it.
QLineEdit* makeNumberBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedSize(80, 26);
    return box;
}

} // namespace

TTabbedForm::TTabbedForm(QWidget* parent) : TTabbedForm(std::make_unique<QtToolkit>(), nullptr, parent) {}

TTabbedForm::TTabbedForm(Toolkit& toolkit, QWidget* parent) : TTabbedForm(nullptr, &toolkit, parent) {}

TTabbedForm::TTabbedForm(std::unique_ptr<QtToolkit> own, Toolkit* given, QWidget* parent)
    : QWidget(parent), m_ownToolkit(std::move(own)), m_givenToolkit(given ? *given : *m_ownToolkit),
      m_toolkit(std::make_unique<WindowToolkit>(*this, m_givenToolkit)),
      m_binding(std::make_unique<FormBinding>()) {
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
    m_binding->bindTabs(m_tabs, m_form.ActiveTab);

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
        m_binding->bindCheckBox(m_cbScrambledSwatch, m_form.cbScrambledSwatch);
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

    const char* const icons[] = {":/icons/read-spectral", ":/icons/read-lab", ":/icons/build-smoothing",
                                 ":/icons/read-optimized", ":/icons/build-spec"};
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->setTabIcon(i, tabIcon(QString::fromLatin1(icons[i])));

    // Only the fifth tab has a click handler. tabBarClicked comes for every press on an enabled
    // caption, the one already shown included.
    connect(m_tabs->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == 4 && m_form.TabItem5.Enabled)
            dispatch([this] { TabItem5Click(m_tabs->widget(4)); });
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_binding && !m_binding->syncing() && index >= 0) // gone first when the window is destroyed
            m_form.ActiveTab = index;
        if (m_preflight) // gone first when the window is destroyed
            m_preflight->tabShown(index);
    });

    // Created last, so it lies over the header and the tabs.
    m_progress = new ProgressRectangle(this);
    m_progress->setObjectName(QStringLiteral("RectangleProgress"));
    m_progress->hide();
    m_binding->bindProgress(m_progress, m_form.RectangleProgress);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_binding->bindTimer(m_timer, m_form.Timer);

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
    m_binding->bindLabel(m_toolBarLabel, m_form.ToolBarLabel, false);

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

    // A read-only pane shows its document's lines as they are, drawing only those in view; an
    // editable one is a text edit the user types into.
    QWidget* pane = nullptr;
    if (memo.ReadOnly) {
        auto* view = new LinePane(page);
        m_binding->bindPane(view, memo);
        pane = view;
    } else {
        auto* edit = new QPlainTextEdit(page);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_binding->bindPane(edit, memo);
        pane = edit;
    }
    pane->setObjectName(QString::fromLatin1(paneName));
    pane->setFixedHeight(paneHeight);
    column->addWidget(pane);

    m_tabs->addTab(page, tab.Text);
    m_binding->bindTab(tab);
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
    m_binding->bindLabel(label, state);
    return label;
}

QLineEdit* TTabbedForm::addEdit(QWidget* parent, const char* name, Label& state) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setText(state.Text);
    setTextColor(edit, QPalette::Text, Colors::MidnightBlue);
    m_binding->bindEdit(edit, state);
    return edit;
}

QLineEdit* TTabbedForm::addNumberBox(QWidget* parent, const char* name, NumberBox& state) {
    QLineEdit* box = makeNumberBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    m_binding->bindNumberBox(box, state);
    return box;
}

QPushButton* TTabbedForm::addButton(QWidget* parent, const char* name, Button& state, bool bold) {
    auto* button = new QPushButton(state.Text, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (bold)
        button->setFont(boldFont(button));
    button->setAutoDefault(false);
    button->resize(std::max(170, button->sizeHint().width() + 6), 30);
    m_binding->bindButton(button, state);
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
    if (const Button* button = m_binding->buttonOf(Sender))
        ::btnOpenCGATSFileClick(m_form, *m_toolkit, button->Tag);
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
    m_binding->takeUserEdits();
}

bool TTabbedForm::redrawDue() const {
    return !m_sinceRedraw.isValid() || m_sinceRedraw.elapsed() >= m_redrawInterval;
}

void TTabbedForm::syncFromState() {
    if (m_binding->syncFromState())
        m_sinceRedraw.start();
}
