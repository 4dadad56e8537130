#pragma once

#include "Toolkit.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <deque>
#include <optional>

// The toolkit of lumetra-cli: dialogs are answered from the command line, every message goes to
// standard error, one per line, each detail after it as a "detail: " line, and there are no
// events to pump.
class HeadlessToolkit : public Toolkit {
public:
    explicit HeadlessToolkit(std::FILE* messages = stderr) : m_out(messages) {}

    void answerOpen(const QString& path) { m_open.push_back(path); }
    void answerSave(const QString& path) { m_save.push_back(path); }
    // The next save dialog is confirmed with "-" and the document is kept in memory instead of
    // written (for standard output): keptDocument() then holds its bytes.
    void answerSaveKept() { m_save.push_back(std::nullopt); }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ExecuteOpen(OpenDialog& dialog) override;
    bool ExecuteSave(SaveDialog& dialog) override;
    void ProcessMessages() override {}
    void Yield() override {}
    void OpenAddress(const QString&) override {}
    void ShowDetail(const QString& text) override;
    bool TakeSavedDocument(const SaveDialog& dialog, const QByteArray& bytes) override;
    // A script's log keeps every failing row.
    bool SumsUpRepeatedMessages() const override { return false; }

    const std::optional<QByteArray>& keptDocument() const { return m_kept; }

private:
    void print(const QString& text);

    std::FILE* m_out;
    std::deque<QString> m_open;
    std::deque<std::optional<QString>> m_save;
    bool m_keepNext = false;
    std::optional<QByteArray> m_kept;
};
