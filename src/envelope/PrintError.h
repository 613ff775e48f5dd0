#pragma once
#include <QString>
#include <stdexcept>

// A failure of the printing service; the message is German and shown as it is.
class PrintError : public std::runtime_error
{
public:
    explicit PrintError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
