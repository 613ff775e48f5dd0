// Opening the help file: ChmFile checks the directory before chmlib sees the file, then
// lists it and reads its system data, context map and contents. Baseline: chmlib alone
// opening the same file and listing it, the least any reader of the file must do.
#include "BenchSupport.h"
#include "tools/ChmFile.h"

#include <benchmark/benchmark.h>
#include <chm_lib.h>

namespace {

// The program's own compiled help file, as the build puts it beside the program.
const QString kHelpFile = QStringLiteral(TAVISTO_BENCH_BINARY_DIR "/bin/Tavisto.chm");

void BM_ChmFileOpen(benchmark::State& state)
{
    for (auto _ : state) {
        ChmFile chm(kHelpFile);
        if (!chm.IsOpen()) {
            state.SkipWithError("help file not opened");
            break;
        }
        benchmark::DoNotOptimize(chm.Contents().size());
    }
}

int countPath(chmFile*, chmUnitInfo*, void* context)
{
    ++*static_cast<int*>(context);
    return CHM_ENUMERATOR_CONTINUE;
}

void BM_ChmFileOpen_Baseline(benchmark::State& state)
{
    const QByteArray path = kHelpFile.toLocal8Bit();
    for (auto _ : state) {
        chmFile* chm = chm_open(path.constData());
        if (!chm) {
            state.SkipWithError("help file not opened");
            break;
        }
        int paths = 0;
        chm_enumerate(chm, CHM_ENUMERATE_ALL, countPath, &paths);
        benchmark::DoNotOptimize(paths);
        chm_close(chm);
    }
}

} // namespace

BENCHMARK(BM_ChmFileOpen_Baseline);
BENCHMARK(BM_ChmFileOpen);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
