// Importing addresses from spreadsheets: the same rows as .xlsx (openpyxl) and .ods (odfpy)
// through the table import (reader, column targets, composer, duplicate check, INSERTs in
// one transaction), against the semicolon file of the positional import in the same run.
// BM_TableImportRatio reports "ratio" (table import time over the positional import's);
// "cpu_ratio" is the same for the processor time used, which a busy machine disturbs less;
// BM_TableImportPeakMemory the peak growth of 100,000 rows over that of 10,000 ("ratio").
// The files are made once by make_bench_tables.py and kept in the build folder.
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "exchange/AdressenImport.h"
#include "exchange/AdressenImportFrame.h"
#include "exchange/TableImport.h"
#include "sheets/TableSource.h"
#include "shell/MessageService.h"
#include "sources/AddressComposer.h"
#include "sources/AdresseKey.h"
#include "sources/ColumnGuess.h"
#include "sources/TableAdressenSource.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SilentMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

// The folder with adressen.xlsx, adressen.ods and adressen.csv of n rows.
QString tables(int n)
{
    const QString dir = QStringLiteral(TAVISTO_BENCH_BINARY_DIR "/bench_tables/%1").arg(n);
    if (!QFile::exists(dir + QStringLiteral("/adressen.csv"))) {
        QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
        if (python.isEmpty())
            python = QStringLiteral("python3");
        QProcess p;
        p.start(python, {QStringLiteral(TAVISTO_BENCH_DIR "/make_bench_tables.py"), QString::number(n), dir});
        if (!p.waitForFinished(-1) || p.exitCode() != 0)
            std::abort();
    }
    return dir;
}

class TableRows : public AdressenImportSource
{
public:
    TableRows(sheets::TableSource& table, ColumnTargets targets) : m_rows(table, 0, std::move(targets), true) {}
    void ReadRecords(const RecordHandler& onRecord) override { m_rows.ReadRecords(onRecord); }
    QString SuccessText(const ImportCounts& counts) const override { return TableImportSuccessText(counts); }

private:
    TableAdressenSource m_rows;
};

struct Target
{
    QTemporaryDir dir;
    SilentMessages messages;
    AppContext ctx;
    Target()
    {
        ctx.Messages = &messages;
        ctx.Database = std::make_unique<TSQLiteDatabase>(dir.filePath(QStringLiteral("Tavisto.dbs")));
        CreateTables(ctx.db(), messages);
        ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES (?, ?)"),
                         {QStringLiteral("GR00000001"), QStringLiteral("Kunden")});
    }
};

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The processor time this process has used, in seconds: on a busy machine the wall clock
// also counts the time others had the processor.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
double g_cpu = 0; // of the last timed import

// The table import as the window leaves it: targets guessed from the header, duplicates skipped.
void tableImport(AppContext& ctx, const QString& file)
{
    std::unique_ptr<sheets::TableSource> table = sheets::OpenTableFile(file);
    ColumnTargets targets;
    table->ReadRows(0, [&](const sheets::Row& row, double) {
        QStringList headers;
        for (const sheets::Cell& c : row)
            headers << c.Text;
        targets = GuessTargets(headers);
        return false;
    });
    TableRows source(*table, targets);
    ImportOptions options;
    options.SkipDuplicates = true;
    options.SkipEmpty = true;
    if (!ImportAdressenRecords(ctx, QStringLiteral("GR00000001"), source, options))
        std::abort();
}

double timedTable(const QString& file)
{
    Target t;
    const auto start = Clock::now();
    const double cpu = cpuSeconds();
    tableImport(t.ctx, file);
    g_cpu = cpuSeconds() - cpu;
    return secondsSince(start);
}

double timedCsv(const QString& file)
{
    Target t;
    const auto start = Clock::now();
    const double cpu = cpuSeconds();
    if (!ImportAdressenFile(t.ctx, QStringLiteral("GR00000001"), file))
        std::abort();
    g_cpu = cpuSeconds() - cpu;
    return secondsSince(start);
}

// range(0): 0 .xlsx, 1 .ods.
void BM_TableImportRatio(benchmark::State& state)
{
    const QString dir = tables(100000);
    const QString file = dir + (state.range(0) == 0 ? QStringLiteral("/adressen.xlsx") : QStringLiteral("/adressen.ods"));
    double ours = 0, csv = 0, oursCpu = 0, csvCpu = 0;
    for (auto _ : state) {
        const double t = timedTable(file);
        oursCpu += g_cpu;
        csv += timedCsv(dir + QStringLiteral("/adressen.csv"));
        csvCpu += g_cpu;
        ours += t;
        state.SetIterationTime(t);
    }
    state.counters["ratio"] = ours / csv;
    state.counters["cpu_ratio"] = oursCpu / csvCpu;
    state.counters["csv_ms"] = 1000 * csv / double(state.iterations());
}

// Where the table import's time goes, stage by stage, each as a share of the positional
// import of the same rows measured in the same run: opening the file (for .ods the pass that
// finds the table names), reading its rows, making records of them, composing the envelope
// lines, and the duplicate keys. Each stage includes the ones before it; what is left to the
// whole import (BM_TableImportRatio) is the database's part. range(0): 0 .xlsx, 1 .ods.
void BM_TableImportStages(benchmark::State& state)
{
    const QString dir = tables(100000);
    const QString file = dir + (state.range(0) == 0 ? QStringLiteral("/adressen.xlsx") : QStringLiteral("/adressen.ods"));
    enum Stage { Open, Rows, Records, Compose, Key, kStages };
    double seconds[kStages] = {};
    double csv = 0;
    const ColumnTargets targets = GuessTargets(
        {QStringLiteral("Firma"), QStringLiteral("Nachname"), QStringLiteral("Vorname"), QStringLiteral("Straße"),
         QStringLiteral("PLZ"), QStringLiteral("Ort")});
    for (auto _ : state) {
        csv += timedCsv(dir + QStringLiteral("/adressen.csv"));
        for (int stage = Open; stage < kStages; ++stage) {
            const auto start = Clock::now();
            std::unique_ptr<sheets::TableSource> table = sheets::OpenTableFile(file);
            qint64 sum = 0;
            if (stage == Rows)
                table->ReadRows(0, [&](const sheets::Row& row, double) {
                    sum += qint64(row.size());
                    return true;
                });
            if (stage >= Records)
                TableAdressenSource(*table, 0, targets, true).ReadRecords([&](const AddressRecord& r, double) {
                    if (stage == Records)
                        sum += r.Has(AddressField::Ort);
                    else if (stage == Compose)
                        sum += ComposeAdresse(r).Line2.size();
                    else
                        sum += qint64(AdresseKeyHash(StoredAdresseKey(ComposeAdresse(r))) & 1);
                    return true;
                });
            benchmark::DoNotOptimize(sum);
            seconds[stage] += secondsSince(start);
        }
    }
    const char* names[kStages] = {"open_ratio", "rows_ratio", "records_ratio", "compose_ratio", "key_ratio"};
    for (int stage = Open; stage < kStages; ++stage)
        state.counters[names[stage]] = seconds[stage] / csv;
    state.counters["csv_ms"] = 1000 * csv / double(state.iterations());
}

// The peak growth of one import in a child process of its own: in this process the
// allocator keeps the pages of earlier runs, which a later run then reuses unseen.
long childPeakKb(const QString& file)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::abort();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Target t;
        long kb = PeakGrowthKb([&] { tableImport(t.ctx, file); });
        if (write(fds[1], &kb, sizeof kb) != sizeof kb)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    long kb = -1;
    if (read(fds[0], &kb, sizeof kb) != sizeof kb)
        kb = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return kb;
}

// range(0): 0 .xlsx, 1 .ods.
void BM_TableImportPeakMemory(benchmark::State& state)
{
    const char* name = state.range(0) == 0 ? "/adressen.xlsx" : "/adressen.ods";
    const QString small = tables(10000) + QString::fromLatin1(name);
    const QString large = tables(100000) + QString::fromLatin1(name);
    long smallKb = 0, largeKb = 0;
    for (auto _ : state) {
        smallKb = childPeakKb(small);
        largeKb = childPeakKb(large);
    }
    state.counters["kb_10000"] = double(smallKb);
    state.counters["kb_100000"] = double(largeKb);
    state.counters["ratio"] = double(largeKb) / double(std::max(1L, smallKb));
}

} // namespace

BENCHMARK(BM_TableImportRatio)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TableImportStages)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TableImportPeakMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
