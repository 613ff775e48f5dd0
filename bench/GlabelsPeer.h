#pragma once
// What the benchmarks against gLabels' batch tool share: a silent message service for the
// program's side, the wall clock, and the peer run as a child process with its PDF's size.
#include "shell/MessageService.h"
#include "store/TSQLiteDatabase.h"

#include <QFile>

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>

namespace GlabelsPeer {

class SilentMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline bool runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The rows of the peer's CSV file (Anrede;Vorname;Nachname;Strasse;PLZ;Ort) as active
// addresses of GR00000001: Line1 the salutation, Line2 the name, Line3 the street, Line4
// postal code and town. The count inserted, or -1 when the file is not of that form. The
// caller holds the transaction.
inline int InsertCsvAddresses(TSQLiteDatabase& db, const QString& csv)
{
    QFile f(csv);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QStringList rows = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    int n = 0;
    for (const QString& row : rows) {
        const QStringList c = row.split(QLatin1Char(';'));
        if (c.size() != 6)
            return -1;
        db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line2,Line3,Line4,Line5,"
                                  "Line6,Aktiv) VALUES (?,?,?,?,?,?,'','',1)"),
                   {QStringLiteral("AD%1").arg(++n, 8, 10, QLatin1Char('0')), QStringLiteral("GR00000001"), c[0],
                    c[1] + u' ' + c[2], c[3], c[4] + u' ' + c[5]});
    }
    return n;
}

// One output: its wall time (negative when it failed) and the file's size.
struct Run
{
    double seconds = 0;
    qint64 bytes = 0;
};

// glabels-3-batch writing the merged document into pdf.
inline Run glabels(const QString& document, const QString& pdf)
{
    const auto start = Clock::now();
    if (!runTool(QStringLiteral("glabels-3-batch"), {QStringLiteral("-o"), pdf, document}))
        return {-1, 0};
    return {secondsSince(start), QFileInfo(pdf).size()};
}

inline bool glabelsInstalled()
{
    return QProcess::execute(QStringLiteral("sh"),
                             {QStringLiteral("-c"), QStringLiteral("command -v glabels-3-batch >/dev/null")}) == 0;
}

// False, with the reason given to the benchmark, when the peer's input was not made (what
// names it) or the tool is not installed.
inline bool Ready(benchmark::State& state, bool made, const char* what)
{
    if (!made) {
        state.SkipWithError(what);
        return false;
    }
    if (!glabelsInstalled()) {
        state.SkipWithError("glabels-3-batch is not installed (scripts/bench.sh installs the package glabels)");
        return false;
    }
    return true;
}

// Times ours alone (a function of the PDF's file name giving a Run), items outputs a run.
template <class Ours>
void TimeOurs(benchmark::State& state, const Ours& ours, const QString& pdf, int items)
{
    Run r;
    for (auto _ : state) {
        r = ours(pdf);
        state.SetIterationTime(r.seconds);
    }
    state.counters["kb"] = double(r.bytes) / 1024.0;
    state.SetItemsProcessed(state.iterations() * items);
}

// Runs ours and gLabels on document in
// alternation, and reports "ratio" (time, ours over gLabels), "size_ratio" (file size), both
// times and sizes and gLabels' peak memory.
template <class Ours>
void Compare(benchmark::State& state, const Ours& ours, const QString& document, const QString& oursPdf,
             const QString& theirsPdf)
{
    double oursTime = 0, theirsTime = 0;
    Run a, b;
    for (auto _ : state) {
        a = ours(oursPdf);
        b = glabels(document, theirsPdf);
        if (b.seconds < 0) {
            state.SkipWithError("glabels-3-batch failed");
            return;
        }
        oursTime += a.seconds;
        theirsTime += b.seconds;
        state.SetIterationTime(a.seconds);
    }
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    const double n = double(state.iterations());
    state.counters["ratio"] = oursTime / theirsTime;
    state.counters["size_ratio"] = double(a.bytes) / double(b.bytes);
    state.counters["ours_ms"] = 1000 * oursTime / n;
    state.counters["glabels_ms"] = 1000 * theirsTime / n;
    state.counters["ours_kb"] = double(a.bytes) / 1024.0;
    state.counters["glabels_kb"] = double(b.bytes) / 1024.0;
    state.counters["glabels_peak_mb"] = double(children.ru_maxrss) / 1024.0;
}

} // namespace GlabelsPeer
