#include "store/PreparedTextStatement.h"

#include "shell/Cp1252.h"
#include "store/ESQLiteException.h"
#include "store/TSQLiteDatabase.h"

#include <sqlite3.h>

PreparedTextStatement::PreparedTextStatement(TSQLiteDatabase& db, const QString& sql) : m_db(db), m_sql(sql)
{
    const QByteArray encoded = Cp1252::encode(sql);
    if (sqlite3_prepare_v2(db.Handle(), encoded.constData(), int(encoded.size()), &m_stmt, nullptr) != SQLITE_OK ||
        !m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw ESQLiteException(db.ComposeMessage(QStringLiteral("Could not prepare SQL statement"), sql), db.LastErrorCode());
    }
}

PreparedTextStatement::~PreparedTextStatement()
{
    sqlite3_finalize(m_stmt);
}

void PreparedTextStatement::Run(std::initializer_list<QStringView> texts)
{
    sqlite3_reset(m_stmt);
    // A run with fewer values than the one before must not reuse what that one bound.
    sqlite3_clear_bindings(m_stmt);
    int index = 1;
    for (QStringView text : texts) {
        const QByteArray bytes = Cp1252::encode(text);
        // SQLite keeps its own copy: the bytes need not outlive this call.
        if (sqlite3_bind_text64(m_stmt, index++, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT,
                                SQLITE_UTF8) != SQLITE_OK)
            throw ESQLiteException(m_db.ComposeMessage(QStringLiteral("Error executing SQL"), m_sql), m_db.LastErrorCode());
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE) {
        // The message must be read before the reset.
        const QString message = m_db.ComposeMessage(QStringLiteral("Error executing SQL statement"), m_sql);
        const int code = m_db.LastErrorCode();
        sqlite3_reset(m_stmt);
        throw ESQLiteException(message, code);
    }
}
