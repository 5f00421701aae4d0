// The editor's hot paths in the bitmap layer: the background copy, source-alpha filmstrip frames
// at full weight (with the general weighted path beside them for comparison), and PNG decoding.

#include "PngTestWriter.h"
#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_SysBitmap.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdint>
#include <memory>

namespace {

// A frame with transparent corners, opaque middle and a soft edge, like a knob image.
void FillFrame(LICE_IBitmap& bm) {
  const int w = bm.Width(), h = bm.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int dx = 2 * x - w, dy = 2 * y - h;
      const int d2 = dx * dx + dy * dy, r2 = w * w;
      const int a = d2 < r2 * 7 / 10 ? 255 : d2 < r2 ? 128 : 0;
      LICE_RowAddress(bm, y)[x] = LICE_MakePixel(x & 0xFF, y & 0xFF, 90, a);
    }
}

void BM_BackgroundCopy(benchmark::State& state) {
  LICE_SysBitmap back(404, 634);
  LICE_MemBitmap bg(404, 634);
  FillFrame(bg);
  for (auto _ : state) {
    BlitBitmap(&back, &bg, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 404 * 634);
}
BENCHMARK(BM_BackgroundCopy);

void BM_KnobFrame(benchmark::State& state) {
  const float weight = state.range(0) == 256 ? 1.0f : static_cast<float>(state.range(0)) / 256.0f;
  LICE_SysBitmap back(404, 634);
  LICE_MemBitmap knob(96, 95 * 16);
  FillFrame(knob);
  const LICE_Rect frame(0, 95 * 3, 96, 95 * 4);
  for (auto _ : state) {
    BlitBitmap(&back, &knob, 25, 327, &frame, weight, LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 96 * 95);
}
BENCHMARK(BM_KnobFrame)->Arg(256)->Arg(255);

void BM_DecodePng(benchmark::State& state) {
  PngImage image;
  image.width = 160;
  image.height = 860;
  image.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (int y = 0; y < image.height; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < image.width; ++x)
      row.insert(row.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 40, static_cast<uint8_t>(x + y)});
    image.rows.push_back(row);
  }
  const std::vector<uint8_t> file = EncodePng(image);
  for (auto _ : state) {
    std::unique_ptr<LICE_MemBitmap> bm(DecodePngBuffer(file.data(), file.size()));
    benchmark::DoNotOptimize(bm.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_DecodePng);

}  // namespace

BENCHMARK_MAIN();
