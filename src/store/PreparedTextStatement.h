#pragma once
#include <QString>
#include <QStringView>
#include <initializer_list>

class TSQLiteDatabase;
struct sqlite3_stmt;

// One statement prepared once and run for many rows, every parameter bound as
// Windows-1252 text. A bulk insert then costs the step, not the parsing of the SQL.
// Errors raise ESQLiteException like the database layer's own.
class PreparedTextStatement
{
public:
    PreparedTextStatement(TSQLiteDatabase& db, const QString& sql);
    ~PreparedTextStatement();
    PreparedTextStatement(const PreparedTextStatement&) = delete;
    PreparedTextStatement& operator=(const PreparedTextStatement&) = delete;

    // Binds the texts to the parameters 1, 2, ... and steps once; parameters beyond the
    // texts given are NULL.
    void Run(std::initializer_list<QStringView> texts);

private:
    TSQLiteDatabase& m_db;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;
};
