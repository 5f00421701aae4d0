// Editor drawing costs: a full repaint (what opening the window does), the meter-only repaint
// the refresh timer does while audio plays, and decoding every panel image once; at display
// scales, the first full repaint at 2 (which decodes the 2x images) and at 1.5 (which resamples
// every frame it shows from them), full repaints once those are done, and decoding the 2x set.

#include "tests/framework/TestPlug.h"

#include "VelmoraResources.h"
#include "bitmap/LICE_Png.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/NativeArtwork.h"
#include "plugin/VelmoraEditor.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Editor {
  Editor() {
    VelmoraEditor editor = MakeVelmoraEditor(&plug);
    meter = editor.meterControl;
    plug.AttachGraphics(editor.graphics);
    g = plug.GetGraphics();
  }
  TestPlug plug;
  IGraphics* g = nullptr;
  int meter = -1;
};

// The first time a scale above 1 is used in this process: registered first, so nothing has
// decoded a 2x image before it, and run once (a second run would find them in the module cache).
// At 2 it decodes the 2x images the panel shows; at 1.5, run after it, it resamples their frames.
void BM_FirstRepaintAtScale(benchmark::State& state) {
  const double scale = static_cast<double>(state.range(0)) / 100.0;
  for (auto _ : state) {
    state.PauseTiming();
    Editor e;
    state.ResumeTiming();
    e.g->SetDrawScale(scale);
    e.g->PaintPass(IRect(0, 0, kEditorWidth, kEditorHeight));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FirstRepaintAtScale)->Arg(200)->Arg(150)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FullRepaintAtScale(benchmark::State& state) {
  Editor e;
  e.g->SetDrawScale(static_cast<double>(state.range(0)) / 100.0);
  const IRect all(0, 0, kEditorWidth, kEditorHeight);
  e.g->PaintPass(all);  // the 2x images decoded, the frames shown resampled
  for (auto _ : state) {
    e.g->PaintPass(all);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullRepaintAtScale)->Arg(150)->Arg(200);

void BM_FullRepaint(benchmark::State& state) {
  Editor e;
  const IRect all(0, 0, kEditorWidth, kEditorHeight);
  for (auto _ : state) {
    e.g->PaintPass(all);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullRepaint);

void BM_MeterTick(benchmark::State& state) {
  Editor e;
  while (e.g->Tick()) {
  }
  IControl* meter = e.g->Control(e.meter);
  double v = 0.0;
  for (auto _ : state) {
    v = v >= 1.0 ? 0.0 : v + 0.01;
    meter->SetValueFromPlugin(v);
    benchmark::DoNotOptimize(e.g->Tick());
  }
}
BENCHMARK(BM_MeterTick);

// Every image of one set: the 1x set (what opening the editor at scale 1 decodes) or the 2x set.
void DecodeImageSet(benchmark::State& state, bool twice) {
  const EmbeddedResourceTable& table = VelmoraResources();
  for (auto _ : state) {
    for (int i = 0; i < table.count; ++i) {
      if ((table.entries[i].id >= kNative2xResourceOffset) != twice) continue;
      std::unique_ptr<LICE_MemBitmap> bmp(DecodePngBuffer(table.entries[i].data, table.entries[i].size));
      benchmark::DoNotOptimize(bmp.get());
    }
  }
}

void BM_DecodeAllImages(benchmark::State& state) { DecodeImageSet(state, false); }
BENCHMARK(BM_DecodeAllImages)->Unit(benchmark::kMillisecond);

void BM_DecodeAll2xImages(benchmark::State& state) { DecodeImageSet(state, true); }
BENCHMARK(BM_DecodeAll2xImages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
