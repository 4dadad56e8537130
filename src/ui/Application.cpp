#include "Application.h"

#include "WindowsApi.h"

#include <QApplication>

QByteArray ChosenPlatform(bool underWine, const QStringList& arguments, const QByteArray& platformVariable) {
    if (!underWine || !platformVariable.isEmpty())
        return {};
    // Qt takes its options with one dash or two.
    for (const QString& argument : arguments)
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform"))
            return {};
    return QByteArrayLiteral("windows:fontengine=freetype");
}

std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QByteArray platform = ChosenPlatform(RunningUnderWine(), arguments, qgetenv("QT_QPA_PLATFORM"));
    if (platform.isEmpty())
        return std::make_unique<QApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", platform);
    auto app = std::make_unique<QApplication>(argc, argv);
    // Programs started from the window (the help page's browser) must not inherit it.
    qunsetenv("QT_QPA_PLATFORM");
    return app;
}
