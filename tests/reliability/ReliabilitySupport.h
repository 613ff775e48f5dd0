#pragma once
// Shared by the reliability tests: files read byte for byte, folder listings and a
// database filled with enough addresses that its file takes some hundred kilobytes.
#include "app/AppContext.h"
#include "store/TSQLiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace Reliability {

inline QByteArray ReadBytes(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile f(fileName);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// The names of the files in a folder, hidden ones included, sorted.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// count addresses of the group, each with five lines of 40 characters.
inline void AddAdressen(TSQLiteDatabase& db, const QString& gruppeId, int count, int firstNumber = 1)
{
    Transaction t(db);
    for (int i = 0; i < count; ++i) {
        SqlParams p{QStringLiteral("AD%1").arg(firstNumber + i, 8, 10, QLatin1Char('0')), gruppeId};
        for (int line = 1; line <= 5; ++line)
            p << QStringLiteral("Zeile %1 der Adresse %2 ").arg(line).arg(firstNumber + i).leftJustified(40, u'x');
        db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Line3, Line4, "
                                  "Line5, Line6, Aktiv) VALUES (?,?,?,?,?,?,?,'',1)"),
                   p);
    }
    t.Commit();
}

inline int CountRows(TSQLiteDatabase& db, const QString& table)
{
    return db.GetTable(QStringLiteral("SELECT COUNT(*) N FROM ") + table).Field(QStringLiteral("N")).toInt();
}

// The two settings the crash driver's settings path takes turns with (0 and 1).
inline AppSettings CrashDriverSettings(int which)
{
    AppSettings s;
    s.Window.Left = which ? 300 : 100;
    s.Print.FontName = which ? QStringLiteral("Liberation Serif") : QStringLiteral("Arial");
    s.BackupPath = QStringLiteral("/sicherung/%1/").arg(which).leftJustified(200, u'x');
    return s;
}

} // namespace Reliability
