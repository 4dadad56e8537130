#include "HelpPage.h"

#include <QDir>
#include <QUrl>

QString HelpPagePath(const QString& programDir) {
    return QDir::cleanPath(
        QDir(programDir).absoluteFilePath(QStringLiteral("../share/lumetra/help/index.html")));
}

QString HelpPageAddress(const QString& programDir) {
    return QUrl::fromLocalFile(HelpPagePath(programDir)).toString(QUrl::FullyEncoded);
}
