#pragma once
#include <QString>
#include <stdexcept>

// A file of an import or export that cannot be read or written. Nobody catches it on
// purpose: the general error handler shows its text.
class ExchangeError : public std::runtime_error
{
public:
    explicit ExchangeError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
