// Reading a club's member list of 100,000 rows (11 columns) from .xlsx and from .ods,
// each against reading the same rows from a semicolon CSV file through the same
// TableSource interface: BM_ReadRatio reports "xlsx_ratio" and "ods_ratio", measured in
// alternation. BM_PeakMemory reads 10,000 and 100,000 rows and reports how much more the
// resident memory peaked for the larger file ("xlsx_mem_ratio", "ods_mem_ratio"): the
// readers stream, so it should stay near 1.
#include "BenchSupport.h"
#include "sheets/TableSource.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>
#include <map>
#include <memory>

namespace {

const QStringList kHeader{"Mitgliedsnr", "Anrede", "Vorname", "Nachname", "Straße", "PLZ",
                          "Ort",         "Telefon", "E-Mail",  "Eintritt", "Bemerkung"};
const char* const kVornamen[] = {"Jürgen", "Ömer", "Anna", "Karl-Heinz", "Sören", "Maria", "Łukasz", "Zoë"};
const char* const kNamen[] = {"Müller", "Öztürk", "Schmidt", "Weiß", "Großmann", "Bäcker", "Nguyen", "Krüger"};
const char* const kOrte[] = {"Dresden", "Köln", "München", "Görlitz", "Düsseldorf", "Fürth"};

QStringList member(int i)
{
    return {QString::number(100000 + i),
            i % 2 ? QStringLiteral("Herr") : QStringLiteral("Frau"),
            QString::fromUtf8(kVornamen[i % 8]),
            QString::fromUtf8(kNamen[(i / 8) % 8]) + QString::number(i),
            QStringLiteral("Hauptstraße %1").arg(i % 300 + 1),
            QStringLiteral("%1").arg(1067 + (i * 7) % 98000, 5, 10, QChar(u'0')),
            QString::fromUtf8(kOrte[i % 6]),
            QStringLiteral("0351 %1").arg(400000 + i),
            QStringLiteral("mitglied%1@example.de").arg(i),
            QStringLiteral("%1.%2.%3").arg(i % 28 + 1, 2, 10, QChar(u'0')).arg(i % 12 + 1, 2, 10, QChar(u'0')).arg(1970 + i % 50),
            i % 5 ? QString() : QStringLiteral("zahlt bar")};
}

struct MemberFiles
{
    QTemporaryDir dir;
    QString csv, xlsx, ods;
    explicit MemberFiles(int rows)
    {
        csv = dir.filePath(QStringLiteral("mitglieder.csv"));
        xlsx = dir.filePath(QStringLiteral("mitglieder.xlsx"));
        ods = dir.filePath(QStringLiteral("mitglieder.ods"));
        QByteArray text = kHeader.join(u';').toUtf8() + "\r\n";
        for (int i = 0; i < rows; ++i)
            text += member(i).join(u';').toUtf8() + "\r\n";
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            std::abort();
        f.close();
        for (const QString& path : {xlsx, ods}) {
            int next = 0;
            sheets::WriteTableFile(path, QStringLiteral("Mitglieder"), kHeader, [&](QStringList& row) {
                if (next >= rows)
                    return false;
                row = member(next++);
                return true;
            });
        }
    }
};

MemberFiles& files(int rows)
{
    static std::map<int, std::unique_ptr<MemberFiles>> cache;
    auto& f = cache[rows];
    if (!f)
        f = std::make_unique<MemberFiles>(rows);
    return *f;
}

using Clock = std::chrono::steady_clock;

// Opens the file and reads every row of its first sheet; the seconds it took.
double readAll(const QString& path)
{
    const auto start = Clock::now();
    std::unique_ptr<sheets::TableSource> source = sheets::OpenTableFile(path);
    qint64 cells = 0;
    source->ReadRows(0, [&](const sheets::Row& row, double) {
        cells += qint64(row.size());
        benchmark::DoNotOptimize(row.data());
        return true;
    });
    if (cells == 0)
        std::abort();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void readKind(benchmark::State& state, QString MemberFiles::*kind)
{
    const QString path = files(int(state.range(0))).*kind;
    for (auto _ : state)
        state.SetIterationTime(readAll(path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadCsv(benchmark::State& state) { readKind(state, &MemberFiles::csv); }
void BM_ReadXlsx(benchmark::State& state) { readKind(state, &MemberFiles::xlsx); }
void BM_ReadOds(benchmark::State& state) { readKind(state, &MemberFiles::ods); }

void BM_ReadRatio(benchmark::State& state)
{
    MemberFiles& f = files(int(state.range(0)));
    double csv = 0, xlsx = 0, ods = 0;
    for (auto _ : state) {
        const double c = readAll(f.csv);
        xlsx += readAll(f.xlsx);
        ods += readAll(f.ods);
        csv += c;
        state.SetIterationTime(c);
    }
    state.counters["xlsx_ratio"] = xlsx / csv;
    state.counters["ods_ratio"] = ods / csv;
    state.counters["csv_ms"] = 1000 * csv / double(state.iterations());
}

void BM_PeakMemory(benchmark::State& state)
{
    // Both sizes made first, so that making them does not count.
    MemberFiles& small = files(10000);
    MemberFiles& large = files(100000);
    for (auto _ : state) {
        for (const auto& [name, kind] : {std::pair{"xlsx", &MemberFiles::xlsx}, std::pair{"ods", &MemberFiles::ods},
                                         std::pair{"csv", &MemberFiles::csv}}) {
            // The smaller file's peak, then the larger's, each above the memory before it;
            // the heap's free memory goes back first, or reading would reuse it unseen.
            malloc_trim(0);
            const long smallKb = std::max(1L, PeakGrowthKb([&] { readAll(small.*kind); }));
            malloc_trim(0);
            const long largeKb = std::max(1L, PeakGrowthKb([&] { readAll(large.*kind); }));
            state.counters[std::string(name) + "_10k_kb"] = double(smallKb);
            state.counters[std::string(name) + "_100k_kb"] = double(largeKb);
            state.counters[std::string(name) + "_mem_ratio"] = double(largeKb) / double(smallKb);
        }
    }
}

} // namespace

BENCHMARK(BM_ReadCsv)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadXlsx)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadOds)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadRatio)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
