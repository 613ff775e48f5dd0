// Importing a CSV file of addresses: every record is one INSERT with a new identifier in
// one transaction. Baseline: the sqlite3 shell's .import of the same file's six columns
// into a scratch table (process start included, a few milliseconds). Both are timed by
// the wall clock, since the shell runs as a child process (its CPU time is not this
// process's, so the baseline is deliberately not named *_Baseline for scripts/bench.sh,
// which compares CPU times); BM_ImportRatio reports the counter "ratio" of the two
// measured in alternation.
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "exchange/AdressenImport.h"
#include "shell/Cp1252.h"
#include "shell/MessageService.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

class SilentMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

struct ImportFile
{
    QTemporaryDir dir;
    QString path;
    explicit ImportFile(int records)
    {
        path = dir.filePath(QStringLiteral("adressen.csv"));
        QString text = QStringLiteral("Firma;Nachname;Vorname;Straße;PLZ;Ort\r\n");
        for (int i = 0; i < records; ++i)
            text += QStringLiteral("Müller & Söhne %1;Müller;Jürgen;Hauptstraße %2;%3;Köln\r\n")
                        .arg(i)
                        .arg(i % 300 + 1)
                        .arg(10000 + i % 90000);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(Cp1252::encode(text));
    }
};

ImportFile& file(int records)
{
    static std::map<int, std::unique_ptr<ImportFile>> cache;
    auto& f = cache[records];
    if (!f)
        f = std::make_unique<ImportFile>(records);
    return *f;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// One import into a fresh database, timed without creating the database.
double tavistoImport(const QString& csv, int run)
{
    QTemporaryDir dir;
    SilentMessages messages;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Database = std::make_unique<TSQLiteDatabase>(dir.filePath(QStringLiteral("Tavisto%1.dbs").arg(run)));
    CreateTables(ctx.db(), messages);
    ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES (?, ?)"), {QStringLiteral("GR00000001"),
                                                                               QStringLiteral("Kunden")});
    const auto start = Clock::now();
    if (!ImportAdressenFile(ctx, QStringLiteral("GR00000001"), csv))
        std::abort();
    return secondsSince(start);
}

double shellImport(const QString& csv)
{
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("import.sql"));
    QFile f(script);
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("CREATE TABLE scratch (f1 TEXT, f2 TEXT, f3 TEXT, f4 TEXT, f5 TEXT, f6 TEXT);\n"
                           ".mode csv\n.separator ;\n.import --skip 1 %1 scratch\n")
                .arg(csv)
                .toUtf8());
    f.close();
    const QByteArray command =
        QStringLiteral("sqlite3 %1 < %2").arg(dir.filePath(QStringLiteral("scratch.db")), script).toUtf8();
    const auto start = Clock::now();
    if (std::system(command.constData()) != 0)
        std::abort();
    return secondsSince(start);
}

void BM_Import(benchmark::State& state)
{
    const QString csv = file(int(state.range(0))).path;
    int run = 0;
    for (auto _ : state)
        state.SetIterationTime(tavistoImport(csv, run++));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SqliteShellImport(benchmark::State& state)
{
    const QString csv = file(int(state.range(0))).path;
    for (auto _ : state)
        state.SetIterationTime(shellImport(csv));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ImportRatio(benchmark::State& state)
{
    const QString csv = file(int(state.range(0))).path;
    double ours = 0, shell = 0;
    int run = 0;
    for (auto _ : state) {
        const double t = tavistoImport(csv, run++);
        shell += shellImport(csv);
        ours += t;
        state.SetIterationTime(t);
    }
    state.counters["ratio"] = ours / shell;
    state.counters["shell_ms"] = 1000 * shell / double(state.iterations());
}

} // namespace

BENCHMARK(BM_SqliteShellImport)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportRatio)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
