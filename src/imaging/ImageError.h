#pragma once
#include <QString>
#include <stdexcept>

// A picture that cannot be read or written; the message is German and shown as it is.
class ImageError : public std::runtime_error
{
public:
    explicit ImageError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
