#include "HelpPage.h"

#include <QDir>
#include <QUrl>

QString HelpPagePath(const QString& programDir) {
#ifdef Q_OS_WIN
    // Installed on Windows, everything lies in the program's own folder.
    const QString relative = QStringLiteral("help/index.html");
#else
    const QString relative = QStringLiteral("../share/lumetra/help/index.html");
#endif
    return QDir::cleanPath(QDir(programDir).absoluteFilePath(relative));
}

QString HelpPageAddress(const QString& programDir) {
    return QUrl::fromLocalFile(HelpPagePath(programDir)).toString(QUrl::FullyEncoded);
}
