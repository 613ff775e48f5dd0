// Importing addresses from a vCard file against the CSV import of the same addresses
// (BM_VcardImport_Baseline): both read their file, store the same lines in one
// transaction into a fresh database, and are timed without creating the database.
// BM_VcardImportRatio runs the two in alternation and reports the counter "ratio", which
// shared machines disturb least. BM_VcardImportWithContacts adds a phone number, an
// e-mail address and a note to every card, so each card also writes a tab_daten row,
// which a CSV file cannot carry.
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "exchange/AdressenImport.h"
#include "exchange/VcardImport.h"
#include "shell/MessageService.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>

namespace {

class SilentMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

// The address of record i: firm, given and family name, street, postal code, locality.
struct Record
{
    QString firma, vorname, nachname, strasse, plz, ort;
};

Record record(int i)
{
    return {QStringLiteral("Müller & Söhne %1").arg(i), QStringLiteral("Jürgen"), QStringLiteral("Müller"),
            QStringLiteral("Hauptstraße %1").arg(i % 300 + 1), QString::number(10000 + i % 90000),
            QStringLiteral("Köln")};
}

enum class Kind { Csv, Vcard, VcardWithContacts };

// The CSV file in Windows-1252, as spreadsheets write it; the vCard file in UTF-8 as the
// address books of today write version 3.0, lines folded where Thunderbird folds them.
struct Files
{
    QTemporaryDir dir;
    std::map<Kind, QString> paths;
    explicit Files(int records)
    {
        QString csv = QStringLiteral("Firma;Nachname;Vorname;Straße;PLZ;Ort\r\n");
        QString vcard, contacts;
        for (int i = 0; i < records; ++i) {
            const Record r = record(i);
            csv += QStringList{r.firma, r.nachname, r.vorname, r.strasse, r.plz, r.ort}.join(u';') + "\r\n";
            const QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:%1;%2;;;\r\nFN:%2 %1\r\nORG:%3\r\n"
                                                "ADR;TYPE=WORK:;;%4;%5;;%6;Deutschland\r\n")
                                     .arg(r.nachname, r.vorname, r.firma, r.strasse, r.ort, r.plz);
            vcard += card + "UID:" + QString::number(i) + "\r\nEND:VCARD\r\n";
            contacts += card + QStringLiteral("TEL;TYPE=WORK,VOICE:0221 %1\r\nTEL;TYPE=CELL:0171 %1\r\n"
                                              "EMAIL;TYPE=INTERNET,pref:juergen%1@mueller-soehne.example\r\n"
                                              "NOTE:Kunde seit 2019\\, bevorzugt Post. Rückruf nur vormittags\\; "
                                              "nicht fr\r\n eitags.\r\nEND:VCARD\r\n")
                                   .arg(i);
        }
        write(Kind::Csv, "adressen.csv", Cp1252::encode(csv));
        write(Kind::Vcard, "adressen.vcf", vcard.toUtf8());
        write(Kind::VcardWithContacts, "kontakte.vcf", contacts.toUtf8());
    }
    void write(Kind kind, const char* name, const QByteArray& bytes)
    {
        paths[kind] = dir.filePath(QString::fromLatin1(name));
        QFile f(paths[kind]);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

Files& files(int records)
{
    static std::map<int, std::unique_ptr<Files>> cache;
    auto& f = cache[records];
    if (!f)
        f = std::make_unique<Files>(records);
    return *f;
}

// A fresh database with the group, then the import; the returned time is the import's.
double importSeconds(Kind kind, int records)
{
    QTemporaryDir dir;
    SilentMessages messages;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Database = std::make_unique<TSQLiteDatabase>(dir.filePath(QStringLiteral("Tavisto.dbs")));
    CreateTables(ctx.db(), messages);
    const QString gruppe = QStringLiteral("GR00000001");
    ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES (?, ?)"), {gruppe, QStringLiteral("Kunden")});
    const QString& path = files(records).paths.at(kind);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = kind == Kind::Csv ? ImportAdressenFile(ctx, gruppe, path) : ImportVcardFile(ctx, gruppe, path);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok || ctx.db().GetTable(QStringLiteral("SELECT COUNT(*) N FROM tab_adressen")).Field("N").toInt() != records)
        std::abort();
    return seconds;
}

void runImports(benchmark::State& state, Kind kind)
{
    for (auto _ : state)
        state.SetIterationTime(importSeconds(kind, int(state.range(0))));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_VcardImport_Baseline(benchmark::State& state) { runImports(state, Kind::Csv); }
void BM_VcardImport(benchmark::State& state) { runImports(state, Kind::Vcard); }
void BM_VcardImportWithContacts(benchmark::State& state) { runImports(state, Kind::VcardWithContacts); }

void BM_VcardImportRatio(benchmark::State& state)
{
    const int records = int(state.range(0));
    double vcard = 0, csv = 0, contacts = 0;
    for (auto _ : state) {
        const double t = importSeconds(Kind::Vcard, records);
        csv += importSeconds(Kind::Csv, records);
        contacts += importSeconds(Kind::VcardWithContacts, records);
        vcard += t;
        state.SetIterationTime(t);
    }
    state.counters["ratio"] = vcard / csv;
    state.counters["ratio_with_contacts"] = contacts / csv;
    state.counters["csv_ms"] = 1000 * csv / double(state.iterations());
}

} // namespace

BENCHMARK(BM_VcardImport_Baseline)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_VcardImport)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_VcardImportWithContacts)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_VcardImportRatio)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
