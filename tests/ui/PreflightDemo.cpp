// Shows the main window with the example files read and the Preflight window over it, for looking
// at (screenshots under xvfb-run). Not a test.
//   preflight_demo [clean|reversed|spec]
// "reversed" reads the sample L*a*b* file with its data rows in reverse order: every row then
// pairs two different patches.

#include "Application.h"
#include "PreflightStatus.h"
#include "PreflightWindow.h"
#include "ScriptedToolkit.h"
#include "unitUlvarTabbed.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

int main(int argc, char** argv) {
    const std::unique_ptr<QApplication> app = MakeApplication(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("clean");
    const bool spec = mode == QLatin1String("spec");
    // The swatch files are read from ./CMYK, as the installed program reads them.
    QDir::setCurrent(QStringLiteral(LUMETRA_SOURCE_DIR));
    const QString examples = QStringLiteral(LUMETRA_SOURCE_DIR "/examples/");

    QTemporaryDir scratch;
    QString lab = examples + QStringLiteral("Standard_lab.txt");
    if (mode == QLatin1String("reversed")) {
        QFile in(lab);
        in.open(QIODevice::ReadOnly);
        QList<QByteArray> lines = in.readAll().split('\n');
        const auto begin = lines.begin() + lines.indexOf(QByteArray("BEGIN_DATA\r")) + 1;
        const auto end = lines.begin() + lines.indexOf(QByteArray("END_DATA\r"));
        std::reverse(begin, end);
        lab = scratch.filePath(QStringLiteral("Standard_lab_reversed.txt"));
        QFile out(lab);
        out.open(QIODevice::WriteOnly);
        out.write(lines.join('\n'));
    }

    ScriptedToolkit toolkit;
    TTabbedForm window(toolkit);
    window.move(0, 0);
    window.show();
    for (auto [button, file] : {std::pair{"btnOpenSpecMeasurement", examples + "Standard_spectral.txt"},
                                {"btnOpenLabMeasuremdent", lab},
                                {"btnOpenOptimized", examples + "Standard_optimized.txt"}}) {
        toolkit.answerOpen(file);
        window.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    window.form().ActiveTab = spec ? 4 : 2;
    window.syncFromState();

    QTimer::singleShot(500, [&] {
        const auto kind = spec ? PreflightStatus::Kind::Spec : PreflightStatus::Kind::Smoothing;
        window.preflight().openDetails(kind);
        PreflightWindow* details = window.preflight().detailsWindow();
        details->setGeometry(60, 230, 1100, 740);
        // A few patches chosen, to show their spectra.
        details->selectRows({0, 9, 18, 27, 36, 63, 100});
    });
    return app->exec();
}
