#pragma once
// What several benchmark programs share: a database of addresses in a scratch folder, the
// process's memory figures, and a main with a widget application on the offscreen platform.
#include "shell/Cp1252.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <vector>

// A database file whose group GR00000001 holds `rows` addresses "Herrn / Max Müller <i> /
// Hauptstraße 5 / 12345 Musterstadt / Deutschland", sort name "Müller Max <i>"; every
// `inactiveEvery`-th one (counting from 0) is inactive when that is not 0.
struct AdressenFile
{
    QTemporaryDir dir;
    QString path;
    AdressenFile(int rows, int inactiveEvery = 0)
    {
        path = dir.filePath("bench.dbs");
        TSQLiteDatabase db(path);
        db.ExecSQL(CreateStatement("tab_adressen"));
        Transaction t(db);
        for (int i = 0; i < rows; ++i)
            db.ExecSQL("INSERT INTO tab_adressen VALUES (?,?,?,?,?,?,?,?,?)",
                       {QString("AD%1").arg(i + 1, 8, 10, QChar('0')), "GR00000001", "Herrn",
                        QString("Max Müller %1").arg(i), "Hauptstraße 5", "12345 Musterstadt", "Deutschland",
                        QString("Müller Max %1").arg(i), inactiveEvery && i % inactiveEvery == 0 ? 0 : 1});
        t.Commit();
    }
};

// The baseline of a query: the statement stepped through raw sqlite3, every cell decoded
// from Windows-1252 into a string as the program's own layer does. Returns the rows.
inline int StepDecodingEveryCell(sqlite3* db, const QByteArray& sql, const std::vector<QByteArray>& params = {})
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr);
    for (size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(st, int(i + 1), params[i].constData(), int(params[i].size()), SQLITE_STATIC);
    std::vector<QString> cells;
    const int cols = sqlite3_column_count(st);
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < cols; ++c)
            cells.push_back(Cp1252::decode(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                           sqlite3_column_bytes(st, c)));
    }
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(cells.data());
    return rows;
}

// A figure of /proc/self/status in kB ("VmRSS:", "VmHWM:"), -1 when missing.
inline long StatusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(in, line))
        if (line.compare(0, n, key) == 0)
            return std::stol(line.substr(n + 1));
    return -1;
}

// How far the resident memory peaks above its size before the work, in kB.
template <class Work> long PeakGrowthKb(Work&& work)
{
    // Resets the high-water mark to the current resident size.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = StatusKb("VmRSS:");
    work();
    return StatusKb("VmHWM:") - before;
}

// The benchmarks' main: fonts, the busy cursor and windows need a widget application.
inline int RunBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
