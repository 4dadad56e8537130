#include "Error.h"

#include <cstring>
#include <utility>

#include "WindowsApi.h"

Error::Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

QString ReasonText(QString reason) {
    while (!reason.isEmpty() && (reason.back().unicode() <= u' ' || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

QString SystemErrorText(int code) {
    return ReasonText(QString::fromLocal8Bit(std::strerror(code)));
}

QString WindowsErrorText(unsigned long code) {
#ifdef Q_OS_WIN
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString reason = n > 0 ? QString::fromWCharArray(text, n) : QStringLiteral("Error %1").arg(code);
    LocalFree(text);
    return ReasonText(reason);
#else
    return QStringLiteral("Error %1").arg(code);
#endif
}
