#pragma once

#include "Controls.h"
#include "Toolkit.h"

// Answers every dialog with a fixed path and otherwise does nothing, so a benchmark times the
// handler's own work.
class BenchToolkit : public Toolkit {
public:
    QString openPath;
    QString savePath;
    int messages = 0;

    void ShowMessage(const QString&) override { ++messages; }
    void ShowError(const QString&) override { ++messages; }
    bool ExecuteOpen(OpenDialog& d) override {
        d.FileName = openPath;
        return !openPath.isEmpty();
    }
    bool ExecuteSave(SaveDialog& d) override {
        d.FileName = savePath;
        return !savePath.isEmpty();
    }
    void ProcessMessages() override {}
    void Yield() override {}
    void OpenAddress(const QString&) override {}
};
