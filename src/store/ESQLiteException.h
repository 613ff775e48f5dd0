#pragma once
#include <QString>
#include <stdexcept>

// The one error the database layer raises; its message is shown to the user as it is.
class ESQLiteException : public std::runtime_error
{
public:
    explicit ESQLiteException(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
