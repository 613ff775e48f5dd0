#pragma once
#include <QString>
#include <sqlite3.h>

// Another program's connection to the same database file: it holds locks or changes
// tables behind the program's back until it is released.
class ForeignConnection
{
public:
    explicit ForeignConnection(const QString& file) { sqlite3_open(file.toUtf8().constData(), &m_db); }
    ~ForeignConnection() { release(); }
    ForeignConnection(const ForeignConnection&) = delete;
    ForeignConnection& operator=(const ForeignConnection&) = delete;

    // True when the statement ran; error() says why not.
    bool exec(const char* sql) { return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    const char* error() const { return m_db ? sqlite3_errmsg(m_db) : "closed"; }
    // Ends what the connection holds (an open transaction rolls back) and closes it.
    void release()
    {
        if (!m_db)
            return;
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
};
