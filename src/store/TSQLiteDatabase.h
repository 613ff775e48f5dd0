#pragma once
#include "store/TSQLiteTable.h"

#include <QString>
#include <QVariant>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// Values that travel as bound parameters, never pasted into the SQL text: a QString is
// bound as Windows-1252 text, an integer or bool as integer, a QByteArray as blob and a
// null QVariant as NULL.
using SqlParams = QVariantList;

// One open connection to the database file. Texts cross to SQLite in Windows-1252.
class TSQLiteDatabase
{
public:
    // Opens the file (SQLite creates it when missing); raises ESQLiteException on failure.
    explicit TSQLiteDatabase(const QString& fileName);
    // Rolls an open transaction back, then closes the connection.
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    void ExecSQL(const QString& sql, const SqlParams& params = {});
    TSQLiteTable GetTable(const QString& sql, const SqlParams& params = {});
    // Steps through a query's rows without keeping them, for results too large to hold:
    // row is called with the named columns' cells (found without regard to case) as text,
    // a NULL cell as the empty text.
    void EachRow(const QString& sql, const SqlParams& params, const QStringList& columns,
                 const std::function<void(const QStringList& cells)>& row);
    bool TableExists(const QString& name);
    // Runs a statement whose first "?" takes the blob; params fill the later ones.
    void UpdateBlob(const QString& sql, const QByteArray& blob, const SqlParams& params = {});

    void BeginTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_inTrans; }

    const QString& FileName() const { return m_fileName; }
    sqlite3* Handle() const { return m_db; }

    // The message for a failed statement: the short text, and SQLite's code, its
    // description, the statement and SQLite's text where SQLite has an error.
    QString ComposeMessage(const QString& shortText, const QString& sql) const;
    // SQLite's primary result code of the last call on this connection.
    int LastErrorCode() const;
    static QString ErrorDescription(int code);

private:
    sqlite3_stmt* prepare(const QString& sql, const QByteArray& encoded, const char* failText);
    void bind(sqlite3_stmt* stmt, const SqlParams& params, int first, const QString& sql);
    // One step of a query: true for a row, false when done; raises ESQLiteException otherwise.
    bool nextRow(sqlite3_stmt* stmt, const QString& sql);

    sqlite3* m_db = nullptr;
    bool m_inTrans = false;
    QString m_fileName;
};

// Rolls back on scope exit unless committed, so a failed write never leaves its
// transaction open for the rest of the run.
class Transaction
{
public:
    explicit Transaction(TSQLiteDatabase& db) : m_db(db) { m_db.BeginTransaction(); }
    ~Transaction();
    void Commit()
    {
        m_db.Commit();
        m_done = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    TSQLiteDatabase& m_db;
    bool m_done = false;
};
