#include "FormBinding.h"

#include "LinePane.h"
#include "ProgressRectangle.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

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

// Sets flag for its lifetime.
class SyncingScope {
public:
    explicit SyncingScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~SyncingScope() { m_flag = false; }
    SyncingScope(const SyncingScope&) = delete;
    SyncingScope& operator=(const SyncingScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

// What a pane last showed, so that a document that only grew is appended to, not redrawn.
struct FormBinding::PaneBinding {
    // One of the two: an editable pane or a read-only view.
    QPlainTextEdit* edit = nullptr;
    LinePane* view = nullptr;
    Memo* state = nullptr;
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

FormBinding::FormBinding() = default;
FormBinding::~FormBinding() = default;

void FormBinding::bindLabel(QLabel* widget, Label& state, bool sizesToText) {
    m_labels.push_back({widget, &state, sizesToText});
}

void FormBinding::bindEdit(QLineEdit* widget, Label& state) {
    connect(widget, &QLineEdit::textEdited, this, [&state](const QString& text) { state.Text = text; });
    m_edits.push_back({widget, &state});
}

void FormBinding::bindNumberBox(QLineEdit* widget, NumberBox& state) {
    m_numberBoxes.push_back({widget, &state});
}

void FormBinding::bindButton(QPushButton* widget, Button& state) {
    m_buttons.push_back({widget, &state});
}

void FormBinding::bindPane(QPlainTextEdit* widget, Memo& state) {
    auto binding = std::make_unique<PaneBinding>();
    binding->edit = widget;
    binding->state = &state;
    PaneBinding* raw = binding.get();
    connect(widget, &QPlainTextEdit::textChanged, this, [this, raw] {
        if (!m_syncing)
            raw->edited = true;
    });
    addPane(widget, std::move(binding));
}

void FormBinding::bindPane(LinePane* widget, Memo& state) {
    auto binding = std::make_unique<PaneBinding>();
    binding->view = widget;
    binding->state = &state;
    addPane(widget, std::move(binding));
}

void FormBinding::addPane(QAbstractScrollArea* widget, std::unique_ptr<PaneBinding> binding) {
    // Input may reach a pane that has not been redrawn since its document grew (a handler's pumps
    // redraw only now and then): the pane is brought up to date before the input is handled.
    widget->installEventFilter(this);
    widget->viewport()->installEventFilter(this);
    m_panes.push_back(std::move(binding));
}

void FormBinding::bindCheckBox(QCheckBox* widget, const CheckBox& state) {
    m_checkBoxes.push_back({widget, &state});
}

void FormBinding::bindTabs(QTabWidget* widget, const int& activeTab) {
    m_tabs = widget;
    m_activeTab = &activeTab;
}

void FormBinding::bindTab(const TabItem& state) {
    m_tabItems.push_back(&state);
}

void FormBinding::bindProgress(ProgressRectangle* widget, const ProgressBar& state) {
    m_progress = widget;
    m_progressState = &state;
}

void FormBinding::bindTimer(QTimer* widget, const TimerState& state) {
    m_timer = widget;
    m_timerState = &state;
}

const Button* FormBinding::buttonOf(const QObject* widget) const {
    for (const auto& b : m_buttons)
        if (b.widget == widget)
            return b.state;
    return nullptr;
}

void FormBinding::takeUserEdits() {
    for (auto& pane : m_panes) {
        if (!pane->edited)
            continue;
        pane->edited = false;
        // Typed into a document a handler has since replaced: the replacement stands, and the
        // next redraw shows it.
        if (!pane->grewFromShown())
            continue;
        QStringList lines = paneLines(pane->edit);
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

void FormBinding::redrawPane(PaneBinding& pane) {
    if (m_syncing)
        return;
    const SyncingScope scope(m_syncing);
    syncPane(pane);
}

bool FormBinding::eventFilter(QObject* watched, QEvent* event) {
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
        return QObject::eventFilter(watched, event);
    }
    if (m_syncing)
        return false;
    for (auto& pane : m_panes) {
        QAbstractScrollArea* widget = pane->edit ? static_cast<QAbstractScrollArea*>(pane->edit) : pane->view;
        if (watched != widget && watched != widget->viewport())
            continue;
        if (!pane->showsState()) {
            takeUserEdits();
            redrawPane(*pane);
        }
        break;
    }
    return false;
}

void FormBinding::syncPane(PaneBinding& pane) {
    const LineList& lines = pane.state->Lines;
    const int count = lines.Count();
    const bool sameHistory = pane.grewFromShown();
    if (pane.view) {
        if (sameHistory && count == pane.count)
            return;
        // The view shares the document's lines: a replacement costs nothing per line, an append
        // only the new lines.
        if (sameHistory)
            pane.view->appendLines(lines, pane.count);
        else
            pane.view->setLines(lines);
        pane.remember();
        return;
    }

    QPlainTextEdit* widget = pane.edit;
    if (widget->isReadOnly() != pane.state->ReadOnly)
        widget->setReadOnly(pane.state->ReadOnly);
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
        LineList tail;
        tail.addFrom(lines, pane.count);
        widget->appendPlainText(tail.join(u"\n"));
        document->setUndoRedoEnabled(undo);
    } else
        widget->setPlainText(lines.join(u"\n"));
    pane.remember();
    pane.edited = false;
}

bool FormBinding::syncFromState() {
    if (m_syncing)
        return false;
    const SyncingScope scope(m_syncing);

    for (auto& b : m_labels) {
        if (b.widget->text() != b.state->Text) {
            b.widget->setText(b.state->Text);
            if (b.sizesToText)
                b.widget->adjustSize();
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
    for (auto& b : m_checkBoxes) {
        if (b.widget->text() != b.state->Text)
            b.widget->setText(b.state->Text);
        if (b.widget->isChecked() != b.state->IsChecked)
            b.widget->setChecked(b.state->IsChecked);
    }

    for (auto& pane : m_panes)
        syncPane(*pane);

    if (m_tabs) {
        QTabBar* bar = m_tabs->tabBar();
        for (int i = 0; i < static_cast<int>(m_tabItems.size()); ++i) {
            const TabItem& tab = *m_tabItems[i];
            const QColor color = QColor::fromRgba(tab.FontColor);
            if (m_tabs->isTabEnabled(i) != tab.Enabled)
                m_tabs->setTabEnabled(i, tab.Enabled);
            if (m_tabs->tabText(i) != tab.Text)
                m_tabs->setTabText(i, tab.Text);
            if (bar->tabTextColor(i) != color)
                bar->setTabTextColor(i, color);
        }
        // Disabling the shown tab must not move the user to another one.
        if (*m_activeTab >= 0 && *m_activeTab < m_tabs->count() && m_tabs->currentIndex() != *m_activeTab)
            m_tabs->setCurrentIndex(*m_activeTab);
    }

    if (m_progress) {
        const ProgressBar& bar = *m_progressState;
        const QRect geometry(static_cast<int>(std::lround(bar.X)), static_cast<int>(std::lround(bar.Y)),
                             widthOf(bar.Width), static_cast<int>(std::lround(bar.Height)));
        if (m_progress->geometry() != geometry)
            m_progress->setGeometry(geometry);
        if (m_frontSerial != bar.FrontSerial) {
            m_frontSerial = bar.FrontSerial;
            m_progress->raise();
        }
        if (m_progress->isHidden() == bar.Visible)
            m_progress->setVisible(bar.Visible);
    }

    if (m_timer) {
        if (m_timer->interval() != m_timerState->Interval)
            m_timer->setInterval(m_timerState->Interval);
        if (m_timerState->Enabled && !m_timer->isActive())
            m_timer->start();
        else if (!m_timerState->Enabled && m_timer->isActive())
            m_timer->stop();
    }
    return true;
}
