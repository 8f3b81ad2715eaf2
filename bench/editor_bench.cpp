// Redraw cost of an editor of the double-scale build's size (1000 x 960)
// holding two dozen image controls: a full redraw (the first paint after
// the window opens) and an idle tick (nothing dirty).

#include "bitmap_control.h"
#include "headless/graphics_headless.h"
#include "knob_control.h"

#include "lice_bitmap.h"
#include "reference_loop.h"
#include "test_plug.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace
{
// Images with pixels of every alpha, from a fixed seed.
class Images
{
public:
  IImage Make(int width, int height, int frames)
  {
    auto bitmap = std::make_unique<LICE_MemBitmap>(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        bitmap->Bits()[y * bitmap->RowSpan() + x] = LICE_pixel(mRandom());
    IImage image(bitmap.get(), width, height, frames);
    mBitmaps.push_back(std::move(bitmap));
    return image;
  }

private:
  std::mt19937 mRandom{20240607};
  std::vector<std::unique_ptr<LICE_MemBitmap>> mBitmaps;
};

struct BenchEditor
{
  BenchEditor()
  {
    for (int i = 0; i < plug.ParamCount(); ++i)
      plug.GetParam(i)->DefineDouble("Knob", 0.5, 0.0, 1.0, 0.00001);
    graphics = new IGraphicsHeadless(&plug, 1000, 960);
    auto add = [&](IControl* control) { graphics->AddControl(control); };
    add(new IBitmapControl(&plug, 0, 0, -1, images.Make(2000, 2000, 1),
                           IBlend(IBlend::kBlendClobber, 1.0f)));
    add(new IBitmapControl(&plug, 0, 0, -1, images.Make(1000, 60, 1)));
    add(new IBitmapControl(&plug, 0, 110, -1, images.Make(1000, 820, 1)));
    add(new IBitmapControl(&plug, 50, 160, -1, images.Make(900, 720, 1)));
    const IImage knob = images.Make(80, 7920, 99);
    for (int i = 0; i < 14; ++i)
      add(new IKnobMultiControl(&plug, 190 + 120 * (i % 6), 238 + 168 * (i / 6), i, knob));
    const IImage toggle = images.Make(52, 104, 2);
    add(new ISwitchControl(&plug, 474, 588, 14, toggle));
    add(new ISwitchControl(&plug, 504, 830, 19, toggle));
    add(new IContactControl(&plug, 80, 80, 9, images.Make(40, 50, 1)));
    add(new IContactControl(&plug, 880, 80, 10, images.Make(40, 50, 1)));
    add(new IBitmapControl(&plug, 0, 80, -1, images.Make(80, 50, 1)));
    add(new IBitmapControl(&plug, 920, 80, -1, images.Make(80, 50, 1)));
    plug.AttachEditor(graphics);
  }

  // 27 parameters, as many as the instrument has.
  TestPlug plug{27, "2-2", 1, "Bench", kApiVST2};
  Images images;
  IGraphicsHeadless* graphics;
};

void FullRedraw(benchmark::State& state)
{
  BenchEditor editor;
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
  {
    // Opening marks every control dirty, as a new window needs.
    editor.graphics->OpenEditorWindow(nullptr);
    benchmark::DoNotOptimize(editor.graphics->Tick());
  }
  bench::ReportPerItem(state, bench::ThreadNanoseconds() - start,
                       static_cast<double>(state.iterations()), "redraw");
  state.counters["controls"] = editor.graphics->NControls();
}

void IdleTick(benchmark::State& state)
{
  BenchEditor editor;
  editor.graphics->Tick();
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
    benchmark::DoNotOptimize(editor.graphics->Tick());
  bench::ReportPerItem(state, bench::ThreadNanoseconds() - start,
                       static_cast<double>(state.iterations()), "tick");
}
} // namespace

BENCHMARK(FullRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(IdleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
