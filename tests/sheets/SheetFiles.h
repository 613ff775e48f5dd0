#pragma once
// The files of make_sheets.py, made once per test program in a folder of its own, and
// small helpers that read a table whole.
#include "sheets/TableSource.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace SheetFiles {

// Runs a Python script (a file, or code after "-c") with Debian's python3; the output.
inline QByteArray Python(const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess p;
    p.setProgram(QStringLiteral(TAVISTO_PYTHON3));
    p.setArguments(arguments);
    p.start();
    p.waitForFinished(300000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    const QByteArray err = p.readAllStandardError();
    if (!err.isEmpty())
        ADD_FAILURE() << err.toStdString();
    return p.readAllStandardOutput();
}

// The folder of the made files (the zip bomb among them). ctest runs every test in a
// process of its own, so they are made once per build folder and script version: under a
// lock (tests run side by side), into a scratch folder renamed into place when whole.
inline QString Folder()
{
    static const QString folder = [] {
        const QString script = QStringLiteral(TAVISTO_SHEET_SCRIPTS "/make_sheets.py");
        QFile source(script);
        source.open(QIODevice::ReadOnly);
        const QString version = QString::fromLatin1(QCryptographicHash::hash(source.readAll(), QCryptographicHash::Sha1).toHex().left(12));
        const QString base = QStringLiteral(TAVISTO_SHEET_FILES);
        const QString made = base + QStringLiteral("/made-") + version;
        QDir().mkpath(base);
        QLockFile lock(base + QStringLiteral("/make.lock"));
        lock.setStaleLockTime(0);
        lock.lock();
        if (!QFileInfo::exists(made)) {
            const QString scratch = made + QStringLiteral(".part");
            QDir(scratch).removeRecursively();
            int code = -1;
            Python({script, scratch, QStringLiteral("--bomb")}, &code);
            EXPECT_EQ(code, 0) << "make_sheets.py failed";
            if (code == 0)
                QDir().rename(scratch, made);
        }
        return made;
    }();
    return folder;
}

inline QString File(const QString& name)
{
    return Folder() + u'/' + name;
}

// Every row of one sheet.
inline std::vector<sheets::Row> Rows(sheets::TableSource& source, int sheet = 0)
{
    std::vector<sheets::Row> rows;
    source.ReadRows(sheet, [&](const sheets::Row& row, double) {
        rows.push_back(row);
        return true;
    });
    return rows;
}

inline QList<QStringList> Texts(const std::vector<sheets::Row>& rows)
{
    QList<QStringList> texts;
    for (const sheets::Row& row : rows) {
        QStringList cells;
        for (const sheets::Cell& c : row)
            cells << c.Text;
        texts << cells;
    }
    return texts;
}

// The rows of a file's first sheet as texts (raises SheetError like the reader).
inline QList<QStringList> FileTexts(const QString& path, int sheet = 0)
{
    std::unique_ptr<sheets::TableSource> source = sheets::OpenTableFile(path);
    return Texts(Rows(*source, sheet));
}

} // namespace SheetFiles
