#pragma once

// Helpers shared by the import tests: fixture paths, files written on the fly, and views of what
// the window shows, so a test can state "this did not change" in one comparison.

#include "FormState.h"
#include "Import.h"
#include "LineList.h"
#include "MeasurementKind.h"
#include "ScriptedToolkit.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

inline QString fixture(const char* name) {
    return QStringLiteral(LUMETRA_TEST_DATA "/import/") + QString::fromUtf8(name);
}

inline QStringList fixtureLines(const char* name) {
    LineList list;
    list.LoadFromFile(fixture(name));
    return list.lines();
}

inline QByteArray fixtureBytes(const char* name) {
    QFile file(fixture(name));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read fixture " << name;
    return file.readAll();
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    if (!WriteBytes(path, bytes))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

inline QByteArray crlfJoined(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
}

inline FormState startedForm() {
    FormState form;
    form.FormCreate();
    return form;
}

inline QString scanFailureText() {
    return QStringLiteral("i1 CGATS (input) file error.\rPress the Help Button or\rContact ") +
           QString::fromUtf8(kSupportAddress) + QStringLiteral(" for assistance");
}

inline constexpr char kUnreadable[] = "Input File Incorrect: The File Should be an Ulvar CGATS File";
inline constexpr char kNotSpectral[] =
    "Input File Incorrect: The File Should be the Ulvar Spectral CGATS File";
inline constexpr char kNotLab[] = "Input File Incorrect: The File Should be the Ulvar L*a*b* CGATS File";

// Everything one kind of file shows in the window.
struct KindView {
    QStringList lines;
    QString name;
    bool nameVisible = false;
    QString type;
    double begin = 0, patches = 0, end = 0;
    QString columns;
    bool operator==(const KindView&) const = default;
};

inline void PrintTo(const KindView& v, std::ostream* os) {
    *os << "{" << v.lines.size() << " lines, name \"" << v.name.toStdString() << "\""
        << (v.nameVisible ? " shown" : " hidden") << ", type \"" << v.type.toStdString() << "\", begin "
        << v.begin << ", patches " << v.patches << ", end " << v.end << ", columns \""
        << v.columns.toStdString() << "\"}";
}

inline KindView viewOf(const FormState& f, int tag) {
    const MeasurementKindInfo& k =
        MeasurementKindOf(MeasurementKindOfTag(tag).value_or(MeasurementKind::Optimized));
    return {k.pane.of(f).Lines.lines(), k.fileName.of(f).Text, k.fileName.of(f).Visible,
            k.fileType.of(f).Text,      k.begin.of(f).Value(), k.patches.of(f).Value(),
            k.end.of(f).Value(),        k.columns.of(f).Text()};
}

struct TabView {
    bool enabled = false;
    quint32 color = 0;
    bool operator==(const TabView&) const = default;
};

inline void PrintTo(const TabView& t, std::ostream* os) {
    *os << (t.enabled ? "enabled" : "disabled") << " 0x" << std::hex << t.color << std::dec;
}

inline TabView tabOf(const TabItem& t) {
    return {t.Enabled, t.FontColor};
}

// The whole window as the import can change it.
struct WindowView {
    KindView spectral, lab, optimized;
    TabView tab2, tab3, tab5;
    bool barVisible = false;
    double barWidth = 0;
    quint64 barFront = 0;
    bool timerEnabled = false;
    bool operator==(const WindowView&) const = default;
};

inline void PrintTo(const WindowView& w, std::ostream* os) {
    *os << "{spectral ";
    PrintTo(w.spectral, os);
    *os << ", lab ";
    PrintTo(w.lab, os);
    *os << ", optimized ";
    PrintTo(w.optimized, os);
    *os << ", bar " << (w.barVisible ? "shown" : "hidden") << " width " << w.barWidth << "}";
}

inline WindowView windowOf(const FormState& f) {
    return {viewOf(f, 1),
            viewOf(f, 2),
            viewOf(f, 3),
            tabOf(f.TabItem2),
            tabOf(f.TabItem3),
            tabOf(f.TabItem5),
            f.RectangleProgress.Visible,
            f.RectangleProgress.Width,
            f.RectangleProgress.FrontSerial,
            f.Timer.Enabled};
}

// A scripted toolkit that also records the window as it stands whenever a message box is shown
// and the bar's state at every pump.
class WatchingToolkit : public ScriptedToolkit {
public:
    explicit WatchingToolkit(const FormState& form) : m_form(form) {
        everyPump = [this] {
            barAtPump.push_back(m_form.RectangleProgress.Visible);
            widthAtPump.push_back(m_form.RectangleProgress.Width);
        };
    }

    void ShowMessage(const QString& text) override {
        atMessage.push_back(m_form);
        if (beforeMessage)
            beforeMessage();
        ScriptedToolkit::ShowMessage(text);
    }

    // Runs as each message box comes up, after the window's snapshot is taken.
    std::function<void()> beforeMessage;
    std::vector<FormState> atMessage;
    std::vector<bool> barAtPump;
    std::vector<double> widthAtPump;

private:
    const FormState& m_form;
};
