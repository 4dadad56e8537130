#pragma once

#include "Controls.h"

#include <QObject>

#include <memory>
#include <vector>

class ProgressRectangle;
class QAbstractScrollArea;
class QCheckBox;
class LinePane;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

// The window's widgets bound to the controls' state: syncFromState redraws every widget from its
// state, and what the user types into the editable panes and the edits flows back into it. A pane
// is redrawn by appending when its document only grew, and input reaching a pane that has not been
// redrawn since its document changed brings it up to date first.
class FormBinding : public QObject {
public:
    FormBinding();
    ~FormBinding() override;

    // A label sizes itself to its text unless told otherwise.
    void bindLabel(QLabel* widget, Label& state, bool sizesToText = true);
    // A one-line edit: what the user types goes straight into state.
    void bindEdit(QLineEdit* widget, Label& state);
    void bindNumberBox(QLineEdit* widget, NumberBox& state);
    void bindButton(QPushButton* widget, Button& state);
    // An editable pane, or a read-only one (what the user types is taken back only from the first).
    void bindPane(QPlainTextEdit* widget, Memo& state);
    void bindPane(LinePane* widget, Memo& state);
    void bindCheckBox(QCheckBox* widget, const CheckBox& state);
    // The tab control: one page per TabItem, in order, and the page shown.
    void bindTabs(QTabWidget* widget, const int& activeTab);
    void bindTab(const TabItem& state);
    void bindProgress(ProgressRectangle* widget, const ProgressBar& state);
    void bindTimer(QTimer* widget, const TimerState& state);

    // The state of the button widget, or nullptr.
    const Button* buttonOf(const QObject* widget) const;

    // Redraws every widget from the state; false when a redraw is already under way.
    bool syncFromState();
    // Takes what the user typed into the editable panes back into the state.
    void takeUserEdits();
    // True while widgets are being redrawn: their change signals are not the user's.
    bool syncing() const { return m_syncing; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PaneBinding;
    template <class W, class S> struct Binding {
        W* widget;
        S* state;
    };
    struct LabelBinding {
        QLabel* widget;
        Label* state;
        bool sizesToText;
    };

    void addPane(QAbstractScrollArea* widget, std::unique_ptr<PaneBinding> binding);
    void syncPane(PaneBinding& pane);
    // syncPane for one pane outside a whole redraw.
    void redrawPane(PaneBinding& pane);

    bool m_syncing = false;
    std::vector<LabelBinding> m_labels;
    std::vector<Binding<QLineEdit, Label>> m_edits;
    std::vector<Binding<QLineEdit, NumberBox>> m_numberBoxes;
    std::vector<Binding<QPushButton, Button>> m_buttons;
    std::vector<std::unique_ptr<PaneBinding>> m_panes;
    std::vector<Binding<QCheckBox, const CheckBox>> m_checkBoxes;
    QTabWidget* m_tabs = nullptr;
    const int* m_activeTab = nullptr;
    std::vector<const TabItem*> m_tabItems;
    ProgressRectangle* m_progress = nullptr;
    const ProgressBar* m_progressState = nullptr;
    quint64 m_frontSerial = 0;
    QTimer* m_timer = nullptr;
    const TimerState* m_timerState = nullptr;
};
