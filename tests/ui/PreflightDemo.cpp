// Shows the main window with the example files read and the Preflight window over it, fed with a
// hand-made report, for looking at (screenshots under xvfb-run). Not a test.
//   preflight_demo [clean|reversed|spec] [rows] [report.pdf]   (with a PDF path: writes it and ends)

#include "PreflightPdf.h"
#include "PreflightStatus.h"
#include "PreflightWindow.h"
#include "SampleReport.h"
#include "ScriptedToolkit.h"
#include "unitUlvarTabbed.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("clean");
    const int rows = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1617;
    const bool spec = mode == QLatin1String("spec");
    if (argc > 3) {
        const preflight::PreflightReport report = spec ? sample::SpecReport(rows)
                                                  : mode == QLatin1String("reversed")
                                                      ? sample::ReversedReport(rows)
                                                      : sample::CleanReport(rows);
        QString error;
        if (report::WritePreflightReportPdf(report, QString::fromLocal8Bit(argv[3]), &error))
            return 0;
        qWarning("%s", qPrintable(error));
        return 1;
    }

    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.move(0, 0);
    window.show();
    window.preflight().setProvider([&](const FormState&, PreflightStatus::Kind kind) {
        if (kind == PreflightStatus::Kind::Spec)
            return sample::SpecReport(rows);
        return mode == QLatin1String("reversed") ? sample::ReversedReport(rows) : sample::CleanReport(rows);
    });
    const QString examples = QStringLiteral(LUMETRA_SOURCE_DIR "/examples/");
    for (auto [button, file] : {std::pair{"btnOpenSpecMeasurement", "Standard_spectral.txt"},
                                {"btnOpenLabMeasuremdent", "Standard_lab.txt"},
                                {"btnOpenOptimized", "Standard_optimized.txt"}}) {
        toolkit.answerOpen(examples + QLatin1String(file));
        window.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    window.form().ActiveTab = spec ? 4 : 2;
    window.syncFromState();

    QTimer::singleShot(300, [&] {
        const auto kind = spec ? PreflightStatus::Kind::Spec : PreflightStatus::Kind::Smoothing;
        window.preflight().openDetails(kind);
        PreflightWindow* details = window.preflight().detailsWindow();
        details->setGeometry(60, 200, 1100, 760);
        // A few patches chosen, to show their spectra.
        details->selectRows({0, 9, 18, 27, 36, 63, 100});
    });
    return app.exec();
}
