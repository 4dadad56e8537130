#include "Toolkit.h"

#include "Error.h"

#include <QStringList>

#include <exception>

bool Toolkit::AskQuestion(const QString&, const QString&, const QString&) {
    return false;
}

QString ErrorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

QString ApplicationTitle(const QString& programPath) {
    QString name = programPath;
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    if (slash >= 0)
        name = name.mid(slash + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

void RunGuarded(Toolkit& toolkit, const std::function<void()>& handler) noexcept {
    QString message;
    bool failed = true;
    try {
        handler();
        failed = false;
    } catch (const Error& e) {
        message = e.message();
    } catch (const std::bad_alloc&) {
        message = QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unexpected error");
    }
    if (!failed)
        return;
    try {
        toolkit.ShowError(ErrorDisplayText(message));
    } catch (...) {
        // The error display itself failed; there is nobody left to tell.
    }
}

QList<FilterEntry> ParseFilter(const QString& filter) {
    QList<FilterEntry> entries;
    const QStringList items = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        FilterEntry entry;
        entry.label = items.at(i);
        for (const QString& mask : items.at(i + 1).split(u';', Qt::SkipEmptyParts))
            entry.masks.append(mask.trimmed());
        entries.append(entry);
    }
    return entries;
}
