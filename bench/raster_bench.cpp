// Blit and fill speed at the double-scale editor's size (1000 x 960), in
// megapixels per second.

#include "lice_blit.h"
#include "reference_loop.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{
constexpr int kWidth = 1000;
constexpr int kHeight = 960;

// An image like the editor's: mostly opaque or fully transparent pixels,
// with soft edges in between.
void FillLikeAnImage(LICE_IBitmap& bitmap)
{
  std::mt19937 random(42);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
    {
      const unsigned kind = random() % 10;
      const LICE_pixel alpha = kind < 6 ? 255 : (kind < 9 ? 0 : random() & 0xFF);
      bitmap.Bits()[y * bitmap.RowSpan() + x] = (alpha << 24) | (random() & 0xFFFFFF);
    }
}

void ReportPixels(benchmark::State& state, double elapsed)
{
  const double megapixels = double(state.iterations()) * kWidth * kHeight / 1e6;
  state.counters["Mpixels/s"] = benchmark::Counter(megapixels, benchmark::Counter::kIsRate);
  bench::ReportPerItem(state, elapsed, megapixels, "Mpixel");
}

void Blit(benchmark::State& state, float weight, int mode)
{
  LICE_MemBitmap source(kWidth, kHeight);
  LICE_SysBitmap dest(kWidth, kHeight);
  FillLikeAnImage(source);
  FillLikeAnImage(dest);
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
  {
    LICE_CopyArea(&dest, &source, 0, 0, nullptr, weight, mode);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, bench::ThreadNanoseconds() - start);
}

void Fill(benchmark::State& state, LICE_pixel colour, float weight, int mode)
{
  LICE_SysBitmap dest(kWidth, kHeight);
  FillLikeAnImage(dest);
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
  {
    LICE_FillArea(&dest, 0, 0, kWidth, kHeight, colour, weight, mode);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, bench::ThreadNanoseconds() - start);
}
} // namespace

BENCHMARK_CAPTURE(Blit, AlphaBlit, 1.0f, LICE_BlendUseSourceAlpha)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Blit, CopyBlit, 1.0f, LICE_BlendCopy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Blit, HalfWeightAlphaBlit, 0.5f, LICE_BlendUseSourceAlpha)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Fill, OpaqueFill, 0xFF202020, 1.0f, LICE_BlendCopy)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Fill, PanelFill, 0x8C000000, 1.0f, LICE_BlendCopy | LICE_BlendUseSourceAlpha)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
