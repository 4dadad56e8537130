#pragma once

#include "Toolkit.h"

#include <QString>

#include <cstdio>
#include <deque>

// The toolkit of lumetra-cli: dialogs are answered from the command line, every message goes to
// standard error, one per line, and there are no events to pump.
class HeadlessToolkit : public Toolkit {
public:
    explicit HeadlessToolkit(std::FILE* messages = stderr) : m_out(messages) {}

    void answerOpen(const QString& path) { m_open.push_back(path); }
    void answerSave(const QString& path) { m_save.push_back(path); }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ExecuteOpen(OpenDialog& dialog) override;
    bool ExecuteSave(SaveDialog& dialog) override;
    void ProcessMessages() override {}
    void Yield() override {}
    void OpenAddress(const QString&) override {}
    // A script's log keeps every failing row.
    bool SumsUpRepeatedMessages() const override { return false; }

    int messageCount() const { return m_messages; }
    int errorCount() const { return m_errors; }
    int saveCount() const { return m_saves; }

private:
    void print(const QString& text);

    std::FILE* m_out;
    std::deque<QString> m_open;
    std::deque<QString> m_save;
    int m_messages = 0;
    int m_errors = 0;
    int m_saves = 0;
};
