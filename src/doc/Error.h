#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one error type of the core: it carries the text the user is shown.
class Error : public std::exception {
public:
    explicit Error(QString message);

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A system's or Qt's text for a failure, made to follow a colon or a full stop inside a message:
// the trailing blanks and full stops some carry are dropped.
QString ReasonText(QString reason);
// The system's text for an errno value ("No space left on device"), in the form of ReasonText.
QString SystemErrorText(int code);
// The system's text for a Windows error code (GetLastError), in the form of ReasonText.
QString WindowsErrorText(unsigned long code);
