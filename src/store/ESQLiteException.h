#pragma once
#include <QString>
#include <stdexcept>

// The one error the database layer raises; its message is shown to the user as it is.
class ESQLiteException : public std::runtime_error
{
public:
    explicit ESQLiteException(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code)
    {
    }
    const QString& message() const { return m_message; }
    // SQLite's primary result code, 0 when the failure is not SQLite's.
    int code() const { return m_code; }
    // Another program holds the database file (SQLITE_BUSY or SQLITE_LOCKED).
    bool Busy() const { return m_code == 5 || m_code == 6; }

private:
    QString m_message;
    int m_code = 0;
};
