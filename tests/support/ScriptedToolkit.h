#pragma once

#include "Controls.h"
#include "Toolkit.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// A toolkit for tests: dialogs are answered from queues, every message, error, dialog, pump and
// yield is recorded in order, and an action queued with onNextPump runs inside the next pump.
class ScriptedToolkit : public Toolkit {
public:
    struct Event {
        enum Kind { Message, Error, Open, Save, Pump, Yield, Address, Question };
        Kind kind;
        QString text; // message text, error text, dialog answer ("" when cancelled) or address
    };

    // Answers for the next dialogs, in order; std::nullopt cancels. A dialog with no queued
    // answer is cancelled and noted in unexpectedDialogs.
    void answerOpen(std::optional<QString> path) { m_open.push_back(std::move(path)); }
    void answerSave(std::optional<QString> path) { m_save.push_back(std::move(path)); }
    // Answers for the next question boxes: true the first button. Unqueued, a question is
    // answered with the second and noted in unexpectedDialogs.
    void answerQuestion(bool yes) { m_questions.push_back(yes); }
    // Runs inside the next ProcessMessages call (one action per pump, in order).
    void onNextPump(std::function<void()> action) { m_pumpActions.push_back(std::move(action)); }
    // Runs at every ProcessMessages call, after any queued action.
    std::function<void()> everyPump;

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ExecuteOpen(OpenDialog& dialog) override;
    bool ExecuteSave(SaveDialog& dialog) override;
    void ProcessMessages() override;
    void Yield() override;
    void OpenAddress(const QString& address) override;
    bool AskQuestion(const QString& text, const QString& yes, const QString& no) override;
    bool SumsUpRepeatedMessages() const override { return sumsUpRepeatedMessages; }
    // False: the toolkit takes every message, as one that only prints them would.
    bool sumsUpRepeatedMessages = true;

    std::vector<Event> log;
    QStringList messages() const { return texts(Event::Message); }
    QStringList errors() const { return texts(Event::Error); }
    QStringList addresses() const { return texts(Event::Address); }
    QStringList questions() const { return texts(Event::Question); }
    int count(Event::Kind kind) const;
    int unexpectedDialogs = 0;
    // Copies of the dialogs as they were when shown (filters, default names, extensions).
    std::vector<OpenDialog> shownOpenDialogs;
    std::vector<SaveDialog> shownSaveDialogs;

private:
    QStringList texts(Event::Kind kind) const;
    std::deque<std::optional<QString>> m_open;
    std::deque<std::optional<QString>> m_save;
    std::deque<bool> m_questions;
    std::deque<std::function<void()>> m_pumpActions;
};
