#include "tests/support/HostedEditorSupport.h"

#include "VelmoraResources.h"
#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/platform/headless/IGraphicsHeadless.h"
#include "tests/framework/TestPlug.h"

#include "plugin/VelmoraSteps.h"
#include "tools/vst3host/Module.h"
#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace editortest {

std::string GestureText(const std::vector<vst3host::HandlerCall>& calls) {
  std::string text;
  for (const vst3host::HandlerCall& c : calls) {
    const char* kind = "";
    switch (c.kind) {
      case vst3host::HandlerCall::kBeginEdit: kind = "begin"; break;
      case vst3host::HandlerCall::kPerformEdit: kind = "perform"; break;
      case vst3host::HandlerCall::kEndEdit: kind = "end"; break;
      case vst3host::HandlerCall::kContextMenu: kind = "menu"; break;
      case vst3host::HandlerCall::kRestart: continue;  // not a gesture
    }
    text += (text.empty() ? "" : ", ") + std::string(kind) + " " + std::to_string(c.id);
  }
  return text;
}

int WheelPauseTicks() { return (IGraphics::kWheelGesturePauseMs * kEditorFrameRate + 999) / 1000; }

std::unique_ptr<vst3host::Instance> NewVelmoraInstance(const char* bundle, FUnknown* hostContext,
                                                       IComponentHandler* handler) {
  static std::unique_ptr<vst3host::Module> module = [bundle] {
    std::string error;
    std::unique_ptr<vst3host::Module> m = vst3host::Module::Load(bundle, &error);
    if (!m) ADD_FAILURE() << error;
    return m;
  }();
  if (!module) return nullptr;
  TUID cid{};
  EXPECT_TRUE(module->FindClass(kVstAudioEffectClass, cid));
  std::string error;
  std::unique_ptr<vst3host::Instance> instance = vst3host::Instance::Create(*module, cid, hostContext, handler, &error);
  if (!instance) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  instance->Prepare(kSample32, 44100.0, 512);
  return instance;
}

const VelmoraKnob& Knob(int paramIdx) {
  return *std::find_if(std::begin(kEditorKnobs), std::end(kEditorKnobs),
                       [&](const VelmoraKnob& k) { return k.paramIdx == paramIdx; });
}

IRect KnobRect(const VelmoraKnob& k) {
  return IRect(k.x, k.y, k.x + k.image.width, k.y + k.image.height / k.image.frames);
}

IRect MeterRect() {
  return IRect(kMeterX, kMeterY, kMeterX + kEditorMeter.width, kMeterY + kEditorMeter.height / kEditorMeter.frames);
}

std::string StepSetting(int paramIdx, int step) {
  return std::string(kParamDefinitions[paramIdx].name) + "=" + std::to_string(step);
}

double StepNormalized(int paramIdx, int step) {
  return static_cast<double>(step) / kParamDefinitions[paramIdx].maxStep;
}

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

bool HeadlessPanel(double scale, const std::vector<std::pair<int, int>>& steps, LICE_MemBitmap* out,
                   LICE_MemBitmap* repainted) {
  TestPlug plug;  // constructed as Velmora is
  for (const auto& [index, step] : steps) plug.GetParam(index)->SetClamped(step);
  auto* graphics = new IGraphicsHeadless(&plug, kEditorWidth, kEditorHeight, kEditorFrameRate, VelmoraResources());
  LayOutVelmoraEditor(*graphics, &plug);
  plug.AttachGraphics(graphics);
  graphics->SetDrawScale(scale);
  graphics->DrawPass(IRect(0, 0, kEditorWidth, kEditorHeight));
  const LICE_IBitmap* drawn = graphics->BackBuffer();
  if (!drawn) return false;
  out->Resize(drawn->Width(), drawn->Height());
  BlitBitmap(out, drawn, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  if (repainted) {
    graphics->DrawPass(IRect(0, 0, kEditorWidth, kEditorHeight));
    repainted->Resize(drawn->Width(), drawn->Height());
    BlitBitmap(repainted, graphics->BackBuffer(), 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  }
  return true;
}

int DeviceCoordAt(double scale, int panel) { return static_cast<int>(std::floor(panel * scale + 0.5)); }

int DifferingPixels(const LICE_IBitmap& a, const LICE_IBitmap& b, const IRect& rect, int bx, int by,
                    const LICE_IBitmap* sameIn) {
  if (bx < 0) bx = rect.L;
  if (by < 0) by = rect.T;
  const int w = rect.R - rect.L, h = rect.B - rect.T;
  if (rect.L < 0 || rect.T < 0 || rect.R > a.Width() || rect.B > a.Height() || bx + w > b.Width() ||
      by + h > b.Height())
    return w * h;
  if (sameIn && (sameIn->Width() != b.Width() || sameIn->Height() != b.Height())) return w * h;
  int differing = 0;
  for (int y = 0; y < h; ++y) {
    const LICE_pixel* pa = LICE_RowAddress(a, rect.T + y) + rect.L;
    const LICE_pixel* pb = LICE_RowAddress(b, by + y) + bx;
    const LICE_pixel* ps = sameIn ? LICE_RowAddress(*sameIn, by + y) + bx : nullptr;
    for (int x = 0; x < w; ++x)
      differing += ((pa[x] ^ pb[x]) & 0xFFFFFFu) != 0 && (!ps || ((pb[x] ^ ps[x]) & 0xFFFFFFu) == 0);
  }
  return differing;
}

}  // namespace editortest
