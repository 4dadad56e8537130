#include "ScriptedToolkit.h"

#include "Controls.h"

#include <QFileInfo>

void ScriptedToolkit::ShowMessage(const QString& text) {
    log.push_back({Event::Message, text});
}

void ScriptedToolkit::ShowError(const QString& text) {
    log.push_back({Event::Error, text});
}

bool ScriptedToolkit::ExecuteOpen(OpenDialog& dialog) {
    shownOpenDialogs.push_back(dialog);
    if (m_open.empty()) {
        ++unexpectedDialogs;
        log.push_back({Event::Open, QString()});
        return false;
    }
    std::optional<QString> answer = std::move(m_open.front());
    m_open.pop_front();
    log.push_back({Event::Open, answer.value_or(QString())});
    if (!answer)
        return false;
    dialog.FileName = *answer;
    return true;
}

bool ScriptedToolkit::ExecuteSave(SaveDialog& dialog) {
    shownSaveDialogs.push_back(dialog);
    if (m_save.empty()) {
        ++unexpectedDialogs;
        log.push_back({Event::Save, QString()});
        return false;
    }
    std::optional<QString> answer = std::move(m_save.front());
    m_save.pop_front();
    log.push_back({Event::Save, answer.value_or(QString())});
    if (!answer)
        return false;
    QString path = *answer;
    // Like the real dialog: a name typed without extension gets the default one.
    if (!dialog.DefaultExt.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u'.' + dialog.DefaultExt;
    dialog.FileName = path;
    return true;
}

void ScriptedToolkit::ProcessMessages() {
    log.push_back({Event::Pump, QString()});
    if (!m_pumpActions.empty()) {
        auto action = std::move(m_pumpActions.front());
        m_pumpActions.pop_front();
        action();
    }
    if (everyPump)
        everyPump();
}

void ScriptedToolkit::Yield() {
    log.push_back({Event::Yield, QString()});
}

void ScriptedToolkit::OpenAddress(const QString& address) {
    log.push_back({Event::Address, address});
}

bool ScriptedToolkit::AskQuestion(const QString& text, const QString&, const QString&) {
    log.push_back({Event::Question, text});
    if (m_questions.empty()) {
        ++unexpectedDialogs;
        return false;
    }
    const bool yes = m_questions.front();
    m_questions.pop_front();
    return yes;
}

int ScriptedToolkit::count(Event::Kind kind) const {
    int n = 0;
    for (const Event& e : log)
        n += e.kind == kind;
    return n;
}

QStringList ScriptedToolkit::texts(Event::Kind kind) const {
    QStringList out;
    for (const Event& e : log)
        if (e.kind == kind)
            out.append(e.text);
    return out;
}
