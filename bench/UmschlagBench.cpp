// The envelope picture's costs, each next to a baseline measured in the same run:
// turning format 9 at 600 dpi against memcpy of the turned picture's bytes, rendering
// format 2 at 600 dpi against filling the same picture white, and the peak memory of a
// standing format 9 envelope against its two rasters.
#include "BenchSupport.h"
#include "envelope/UmschlagFormat.h"
#include "envelope/UmschlagRenderer.h"
#include "shell/PrintSettings.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/mman.h>
#include <cstring>
#include <vector>

namespace {

const AddressLines kSender{"Lumo Software GmbH", "Abteilung Versand", "Hauptstrasse 12", "12345 Musterstadt",
                           "Deutschland"};
const AddressLines kAddress{"Frau Erika Mustermann", "Beispielweg 7", "c/o Familie Sommer", "54321 Beispielhausen",
                            "Schweiz"};

PrintSettings settings(int format, int orientation)
{
    PrintSettings s;
    s.FormatIndex = format;
    s.Orientation = orientation;
    return s;
}

QImage banner()
{
    QImage b(1600, 400, QImage::Format_RGB888);
    for (int y = 0; y < b.height(); ++y)
        std::memset(b.scanLine(y), y % 256, size_t(b.bytesPerLine()));
    return b;
}

QImage format9Picture()
{
    QImage img;
    SizeUmschlagBitmap(&img, 9, 600);
    for (int y = 0; y < img.height(); y += 7)
        std::memset(img.scanLine(y), 0x40, size_t(img.width()) * 3 / 2);
    return img;
}

// Each figure X runs next to its baseline X_Baseline (scripts/bench.sh prints the ratios).
// Baseline of the turn alone: memcpy of as many bytes as the turned format 9 picture holds
// (32 bits) between buffers that are already mapped.
void BM_RotateClockwiseInto_Format9_Baseline(benchmark::State& state)
{
    const size_t bytes = size_t(7653) * 4 * 10818;
    std::vector<char> from(bytes, 1), to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_RotateClockwise_Format9(benchmark::State& state)
{
    const QImage source = format9Picture();
    for (auto _ : state) {
        state.PauseTiming();
        QImage img = source.copy();
        state.ResumeTiming();
        RotateClockwise(img);
        benchmark::DoNotOptimize(img.constBits());
        state.PauseTiming();
        img = QImage();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(7653) * 4 * 10818);
}

// The turn alone, into a raster that is already mapped, like the memcpy of its baseline.
void BM_RotateClockwiseInto_Format9(benchmark::State& state)
{
    const QImage source = format9Picture();
    const qsizetype bpl = RotatedBytesPerLine(source.height());
    const size_t bytes = size_t(bpl) * size_t(source.width());
    const size_t huge = size_t(2) << 20;
    void* raw = std::aligned_alloc(huge, (bytes + huge - 1) / huge * huge);
    madvise(raw, (bytes + huge - 1) / huge * huge, MADV_HUGEPAGE);
    auto* dst = static_cast<uchar*>(raw);
    std::memset(dst, 0, bytes);
    for (auto _ : state) {
        RotateClockwiseInto(source, dst, bpl);
        benchmark::DoNotOptimize(dst);
        benchmark::ClobberMemory();
    }
    std::free(raw);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(7653) * 4 * 10818);
}

// Baseline of the whole turn, which gets a new raster from the system each time: memcpy
// into a newly allocated buffer of the turned picture's size.
void BM_RotateClockwise_Format9_Baseline(benchmark::State& state)
{
    const size_t bytes = size_t(7653) * 4 * 10818;
    std::vector<char> from(bytes, 1);
    for (auto _ : state) {
        std::unique_ptr<char[]> to(new char[bytes]);
        std::memcpy(to.get(), from.data(), bytes);
        benchmark::DoNotOptimize(to.get());
        benchmark::ClobberMemory();
    }
}

// Baseline: filling the DL picture white, the picture reused.
void BM_RenderUmschlag_Format2_Baseline(benchmark::State& state)
{
    QImage img(5196, 2598, QImage::Format_RGB888);
    for (auto _ : state) {
        std::memset(img.bits(), 0xFF, size_t(img.sizeInBytes()));
        benchmark::DoNotOptimize(img.bits());
        benchmark::ClobberMemory();
    }
}

// The same picture rendered with banner and ten lines; the caller's picture is reused,
// as with the baseline.
void BM_RenderUmschlag_Format2(benchmark::State& state)
{
    const PrintSettings s = settings(2, 0);
    const QImage b = banner();
    QImage img(5196, 2598, QImage::Format_RGB888);
    for (auto _ : state) {
        RenderUmschlag(&img, kSender, kAddress, &b, s, 600);
        benchmark::DoNotOptimize(img.bits());
        benchmark::ClobberMemory();
    }
}

// Baseline and render each with a fresh picture, as a print creates one per envelope.
void BM_NewRenderUmschlag_Format2_Baseline(benchmark::State& state)
{
    for (auto _ : state) {
        QImage img(5196, 2598, QImage::Format_RGB888);
        std::memset(img.bits(), 0xFF, size_t(img.sizeInBytes()));
        benchmark::DoNotOptimize(img.bits());
    }
}

void BM_NewRenderUmschlag_Format2(benchmark::State& state)
{
    const PrintSettings s = settings(2, 0);
    const QImage b = banner();
    for (auto _ : state) {
        QImage img;
        RenderUmschlag(&img, kSender, kAddress, &b, s, 600);
        benchmark::DoNotOptimize(img.bits());
    }
}

// Peak resident memory of rendering a standing format 9 envelope, over the 24-bit and
// the 32-bit raster it needs; the ratio must stay at or below 1.15.
void BM_PeakMemory_Format9Standing(benchmark::State& state)
{
    const PrintSettings s = settings(9, 1);
    const QImage b = banner();
    const double rasters = double(size_t(10818) * 3 * 7653 + size_t(7653) * 4 * 10818);
    double ratio = 0;
    for (auto _ : state) {
        const long growth = PeakGrowthKb([&] {
            QImage img;
            RenderUmschlag(&img, kSender, kAddress, &b, s, 600);
            benchmark::DoNotOptimize(img.bits());
        });
        ratio = double(growth) * 1024.0 / rasters;
    }
    state.counters["peak_over_rasters"] = ratio;
}

} // namespace

BENCHMARK(BM_RotateClockwiseInto_Format9_Baseline)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RotateClockwiseInto_Format9)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RotateClockwise_Format9_Baseline)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RotateClockwise_Format9)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RenderUmschlag_Format2_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderUmschlag_Format2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewRenderUmschlag_Format2_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewRenderUmschlag_Format2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemory_Format9Standing)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
