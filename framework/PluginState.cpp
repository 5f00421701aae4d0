// The persistent state (parameter values as little-endian doubles, in index order) and presets.

#include "framework/IPlugBase.h"
#include "framework/Trace.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// The chunk format is little-endian whatever the machine is.
void EncodeLE(double v, uint8_t out[8]) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof(bits));
  for (int b = 0; b < 8; ++b) out[b] = static_cast<uint8_t>(bits >> (8 * b));
}

double DecodeLE(const uint8_t in[8]) {
  uint64_t bits = 0;
  for (int b = 7; b >= 0; --b) bits = (bits << 8) | in[b];
  double v;
  std::memcpy(&v, &bits, sizeof(v));
  return v;
}

constexpr const char* kUserPresetName = "user preset";
}  // namespace

bool IPlugBase::SerializeParams(StateChunk& chunk) {
  PluginLock lock(mMutex);
  bool ok = true;
  for (int i = 0; i < NParams() && ok; ++i) {
    const IParam* param = GetParam(i);
    const double v = param->Value();
    uint8_t bytes[8];
    EncodeLE(v, bytes);
    const int before = chunk.Size();
    // A chunk that could not grow keeps its size: that, not a non-empty chunk, is the failure.
    ok = chunk.Append(bytes, 8) == before + 8;
    TRACE_POINT("IPlugBase::SerializeParams", "%d %s %f", i, param->Name(), v);
  }
  return ok;
}

int IPlugBase::UnserializeParams(const StateChunk& chunk, int startPos) {
  PluginLock lock(mMutex);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    IParam* param = GetParam(i);
    double v = 0.0;
    uint8_t bytes[8];
    pos = chunk.Read(bytes, 8, pos);
    if (pos >= 0) v = DecodeLE(bytes);
    EnterParamValue(mLoadOrigin, i, v);
    TRACE_POINT("IPlugBase::UnserializeParams", "%d %s %f", i, param->Name(), param->Value());
  }
  FinishParamLoad(mLoadOrigin);
  return pos;
}

bool IPlugBase::CompareState(const uint8_t* bytes, int startPos) const {
  if (NParams() == 0) return true;
  if (!bytes) return false;
  bool equal = true;
  const uint8_t* values = bytes + 8 * static_cast<ptrdiff_t>(startPos);
  for (int i = 0; i < NParams(); ++i) {
    const float a = static_cast<float>(GetParam(i)->Value());
    const float b = static_cast<float>(DecodeLE(values + 8 * i));
    const float diff = std::fabs(a - b);
    equal = (static_cast<double>(diff) < 0.00001) && equal;
  }
  return equal;
}

void IPlugBase::MakeDefaultPreset() {
  for (int i = 0; i < NPresets(); ++i) {
    PresetSlot* slot = GetPreset(i);
    if (slot->initialised) continue;
    slot->initialised = true;
    std::snprintf(slot->name, sizeof(slot->name), "%s", "-");
    SerializeState(slot->state);
    return;
  }
}

bool IPlugBase::RestorePreset(int index) {
  PresetSlot* slot = GetPreset(index);
  if (!slot) return false;

  bool ok;
  if (!slot->initialised) {
    // First use of a slot captures the current values instead of restoring.
    slot->initialised = true;
    int userPresets = 0;
    for (int i = 0; i < NPresets(); ++i) {
      if (std::strstr(GetPreset(i)->name, kUserPresetName)) ++userPresets;
    }
    std::snprintf(slot->name, sizeof(slot->name), "%s %d", kUserPresetName, userPresets + 1);
    ok = SerializeState(slot->state);
  } else {
    PluginLock lock(mMutex);
    mLoadOrigin = ParamOrigin::Preset;
    ok = UnserializeState(slot->state, 0) > 0;
    mLoadOrigin = ParamOrigin::State;
  }

  if (ok) {
    mCurrentPresetIdx = index;
    PresetsChangedByHost();
    if (EffectsOf(ParamOrigin::Preset).pushToControls == ParamStep::AfterAll) RedrawParamControls();
  }
  return ok;
}
