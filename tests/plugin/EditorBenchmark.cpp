// Editor drawing costs: a full repaint (what opening the window does), the meter-only repaint
// the refresh timer does while audio plays, and decoding every panel image once.

#include "tests/framework/TestPlug.h"

#include "VelmoraResources.h"
#include "bitmap/LICE_Png.h"
#include "framework/graphics/IGraphics.h"
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

void BM_DecodeAllImages(benchmark::State& state) {
  const EmbeddedResourceTable& table = VelmoraResources();
  for (auto _ : state) {
    for (int i = 0; i < table.count; ++i) {
      std::unique_ptr<LICE_MemBitmap> bmp(DecodePngBuffer(table.entries[i].data, table.entries[i].size));
      benchmark::DoNotOptimize(bmp.get());
    }
  }
}
BENCHMARK(BM_DecodeAllImages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
