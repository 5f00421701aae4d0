// A small effect built into its own module to reach the parts of the binding that Velmora's host
// interface alone cannot: an attached editor (view size, resize requests, context menus, editor
// edits reported to the host), latency changes, note input and a continuous parameter.
// The test drives those through a few extra exported functions ("Probe..."), each taking the
// instance's edit-controller interface.

#include "framework/ModuleInstance.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/platform/headless/IGraphicsHeadless.h"
#include "framework/vst3/EffectClassInfo.h"
#include "framework/vst3/IPlugVST3.h"

#include <cstdint>
#include <cstring>

namespace {

bool gUseEditor = true;  // whether new instances get an editor (ProbeUseEditor)

constexpr PluginIdentity kProbeIdentity = {
    "Velmora Probe", "", "Corvanta", FourCharCode("Cvta"), FourCharCode("Prb1"), 0x00010000, "1.0.0",
};

// A platform class that opens "windows" of a made-up parent type, so the view's answers follow
// the graphics object rather than the build's platform.
class ProbeGraphics : public IGraphicsHeadless {
public:
  static constexpr const char* kWindowType = "ProbeWindow";
  using IGraphicsHeadless::IGraphicsHeadless;
  bool SupportsWindowType(const char* type) const override { return std::strcmp(type, kWindowType) == 0; }
  void* OpenEditorWindow(void* parent) override { return mWindow = parent; }
  void CloseEditorWindow() override { mWindow = nullptr; }
  void* NativeWindow() const override { return mWindow; }

private:
  void* mWindow = nullptr;
};

// A control with nothing to draw: the editor only needs something bound to a parameter.
class ProbeControl : public IControl {
public:
  ProbeControl(IPlugBase* plugin, int paramIdx) : IControl(plugin, IRect(0, 0, 10, 10), paramIdx) {}
  bool Paint(IGraphics& /*graphics*/) override { return false; }
};

class ProbeEffect : public IPlugVST3 {
public:
  static constexpr int kEditorWidth = 300;
  static constexpr int kEditorHeight = 200;

  ProbeEffect() : IPlugVST3(kProbeIdentity, 2, "2-2 4-2", 1) {
    SetDoesMidi(true);
    GetParam(0)->InitInt("Level", 5, 10);
    GetParam(1)->InitDouble("Drive", 0.25, 0.0, 1.0, 0.01, "%");
    if (gUseEditor) {
      auto* graphics = new ProbeGraphics(this, kEditorWidth, kEditorHeight, 25);
      graphics->AddControl(new ProbeControl(this, 0));
      AttachGraphics(graphics);
    }
    MakeDefaultPreset();
  }

  void WindowResized(int width, int height) override {
    ++resizedCount;
    lastWidth = width;
    lastHeight = height;
  }
  void EditorOpened() override { ++editorOpenedCount; }
  void ProcessMidiMessage(const IMidiMsg& msg) override {
    lastMidi = msg;
    ++midiCount;
  }

  int editorOpenedCount = 0;
  int resizedCount = 0;
  int lastWidth = 0;
  int lastHeight = 0;
  IMidiMsg lastMidi;
  int midiCount = 0;
};

IPlugVST3* Create() { return new ProbeEffect(); }

ProbeEffect* FromController(Steinberg::Vst::IEditController* controller) {
  return static_cast<ProbeEffect*>(controller);
}
}  // namespace

const EffectClassInfo& GetEffectClassInfo() {
  static const EffectClassInfo info = {kProbeIdentity, "", "", "Fx", Create};
  return info;
}

#define PROBE_EXPORT extern "C" SMTG_EXPORT_SYMBOL

// Whether instances created from now on get an editor.
PROBE_EXPORT void ProbeUseEditor(bool use) { gUseEditor = use; }

// An editor gesture on parameter idx: press, move to normalised value, release.
PROBE_EXPORT void ProbeEditorGesture(Steinberg::Vst::IEditController* controller, int idx, double value) {
  ProbeEffect* probe = FromController(controller);
  probe->BeginParamEdit(idx);
  probe->SetParamFromEditor(idx, value);
  probe->EndParamEdit(idx);
}

PROBE_EXPORT void ProbeResizeEditor(Steinberg::Vst::IEditController* controller, int width, int height) {
  FromController(controller)->ResizeEditor(width, height);
}

PROBE_EXPORT int ProbeResizedCount(Steinberg::Vst::IEditController* controller) {
  return FromController(controller)->resizedCount;
}

PROBE_EXPORT void ProbeSetLatency(Steinberg::Vst::IEditController* controller, int samples) {
  FromController(controller)->SetLatency(samples);
}

PROBE_EXPORT void ProbeShowHostMenu(Steinberg::Vst::IEditController* controller, int idx) {
  FromController(controller)->ShowHostParamMenu(idx, 5, 5);
}

PROBE_EXPORT int ProbeOpenViews(Steinberg::Vst::IEditController* controller) {
  return FromController(controller)->NOpenViews();
}

// The editor's window as its graphics object holds it (null when closed), and how many times the
// plug-in heard that its editor opened.
PROBE_EXPORT void* ProbeEditorWindow(Steinberg::Vst::IEditController* controller, int* openedCount) {
  ProbeEffect* probe = FromController(controller);
  *openedCount = probe->editorOpenedCount;
  return probe->GetGraphics()->NativeWindow();
}

// The last note message: status, data1, data2, offset; answers how many arrived.
PROBE_EXPORT int ProbeLastMidi(Steinberg::Vst::IEditController* controller, int out[4]) {
  const ProbeEffect* probe = FromController(controller);
  out[0] = probe->lastMidi.status;
  out[1] = probe->lastMidi.data1;
  out[2] = probe->lastMidi.data2;
  out[3] = probe->lastMidi.offset;
  return probe->midiCount;
}

// Whether the base hears that the host renders offline.
PROBE_EXPORT bool ProbeRenderingOffline(Steinberg::Vst::IEditController* controller) {
  return FromController(controller)->IsRenderingOffline();
}

// The base's time information as process left it: tempo, sample position, playing flag.
PROBE_EXPORT void ProbeTimeInfo(Steinberg::Vst::IEditController* controller, double out[3]) {
  ProbeEffect* probe = FromController(controller);
  ITimeInfo info;
  probe->GetTimeInfo(&info);
  out[0] = info.tempo;
  out[1] = static_cast<double>(probe->GetSamplePos());
  out[2] = info.transportIsRunning ? 1.0 : 0.0;
}

// The framework's instance handle as the module entry left it.
PROBE_EXPORT void* ProbeModuleInstance() { return ModuleInstance(); }
