#include "Error.h"

#include <cstring>
#include <utility>

Error::Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

QString ReasonText(QString reason) {
    while (!reason.isEmpty() && (reason.back().unicode() <= u' ' || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

QString SystemErrorText(int code) {
    return ReasonText(QString::fromLocal8Bit(std::strerror(code)));
}
