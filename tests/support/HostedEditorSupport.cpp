#include "tests/support/HostedEditorSupport.h"

#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace editortest {

void SendSteps(vst3host::Instance& instance, const std::vector<std::pair<int, int>>& steps) {
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  for (const auto& [index, step] : steps) {
    const double normalized = instance.Controller()->plainParamToNormalized(static_cast<ParamID>(index), step);
    changes->Add(static_cast<ParamID>(index), 0, normalized);
  }
  vst3host::ProcessBuffers buffers(kSample32, 512, {2, 2}, {2});
  instance.Processor()->process(buffers.Data(0, changes));
}

void ProcessLoudAudio(vst3host::Instance& instance, double seconds) {
  constexpr int kBlock = 512;
  constexpr double kPi = 3.14159265358979323846;
  vst3host::ProcessBuffers buffers(kSample32, kBlock, {2, 2}, {2});
  const int blocks = static_cast<int>(std::ceil(seconds * 44100.0 / kBlock));
  long long sample = 0;
  for (int b = 0; b < blocks; ++b) {
    for (int i = 0; i < kBlock; ++i, ++sample) {
      const double v = std::sin(2.0 * kPi * 1000.0 * static_cast<double>(sample) / 44100.0);
      buffers.SetInput(0, 0, i, v);
      buffers.SetInput(0, 1, i, v);
    }
    instance.Processor()->process(buffers.Data(kBlock));
  }
}

int DifferingPixels(const LICE_IBitmap& a, const LICE_IBitmap& b, const IRect& rect, int bx, int by) {
  if (bx < 0) bx = rect.L;
  if (by < 0) by = rect.T;
  const int w = rect.R - rect.L, h = rect.B - rect.T;
  if (rect.L < 0 || rect.T < 0 || rect.R > a.Width() || rect.B > a.Height() || bx + w > b.Width() ||
      by + h > b.Height())
    return w * h;
  int differing = 0;
  for (int y = 0; y < h; ++y) {
    const LICE_pixel* pa = LICE_RowAddress(a, rect.T + y) + rect.L;
    const LICE_pixel* pb = LICE_RowAddress(b, by + y) + bx;
    for (int x = 0; x < w; ++x) differing += ((pa[x] ^ pb[x]) & 0xFFFFFFu) != 0;
  }
  return differing;
}

}  // namespace editortest
