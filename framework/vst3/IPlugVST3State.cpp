// The state stream of IPlugVST3: the base's state chunk followed by a little-endian 32-bit bypass
// word, with no header or length. The component and the controller hand out and take the same
// bytes: one object is both, and hosts differ in which side they save and which they restore.

#include "framework/vst3/IPlugVST3.h"

#include "pluginterfaces/base/ibstream.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kBypassWordBytes = 4;

// Reads up to count bytes, however the stream splits them; answers how many arrived.
int ReadFully(IBStream* stream, uint8_t* dst, int count) {
  int got = 0;
  while (got < count) {
    int32 n = 0;
    if (stream->read(dst + got, count - got, &n) != kResultOk || n <= 0 || n > count - got) break;
    got += n;
  }
  return got;
}

// Writes count bytes, however many the stream takes per call; false unless every byte went in.
bool WriteFully(IBStream* stream, const uint8_t* src, int count) {
  int put = 0;
  while (put < count) {
    int32 n = 0;
    if (stream->write(const_cast<uint8_t*>(src + put), count - put, &n) != kResultOk || n <= 0 || n > count - put)
      return false;
    put += n;
  }
  return true;
}

// The state as it would be saved: the chunk, then the bypass word. Call under the plug-in mutex.
bool Snapshot(IPlugBase& plugin, StateChunk& out) {
  if (!plugin.SerializeState(out) || out.Size() == 0) return false;
  const uint8_t word[kBypassWordBytes] = {static_cast<uint8_t>(plugin.IsBypassed() ? 1 : 0), 0, 0, 0};
  const int size = out.Size();
  return out.Append(word, kBypassWordBytes) == size + kBypassWordBytes;
}
}  // namespace

tresult IPlugVST3::SaveStateStream(IBStream* state) {
  if (!state) return kInvalidArgument;
  StateChunk bytes;
  {
    PluginLock lock(Mutex());
    CheckCall(LifecycleCall::StateTransfer, "IPlugVST3::getState", __LINE__);
    if (!Snapshot(*this, bytes)) return kResultFalse;
  }
  // The host's stream is written outside the lock, so a slow stream never holds up a block.
  return WriteFully(state, bytes.Bytes(), bytes.Size()) ? kResultOk : kResultFalse;
}

tresult IPlugVST3::RestoreStateStream(IBStream* state, bool emptyMeansNothingStored) {
  if (!state) return kInvalidArgument;
  {
    PluginLock lock(Mutex());
    CheckCall(LifecycleCall::StateTransfer, "IPlugVST3::setState", __LINE__);
  }
  // The chunk length is not stored in the stream; the current state tells it.
  StateChunk incoming;
  if (!SerializeState(incoming) || incoming.Size() == 0) return kResultFalse;
  const int length = incoming.Size();

  // Everything is read before anything is applied: a short stream leaves the plug-in untouched.
  if (!incoming.Resize(length + kBypassWordBytes)) return kResultFalse;
  const int got = ReadFully(state, incoming.Bytes(), length + kBypassWordBytes);
  if (got == 0 && emptyMeansNothingStored) return kResultOk;
  if (got != length + kBypassWordBytes) return kResultFalse;
  const uint8_t* word = incoming.Bytes() + length;
  const uint32_t bypassWord = static_cast<uint32_t>(word[0]) | (static_cast<uint32_t>(word[1]) << 8) |
                              (static_cast<uint32_t>(word[2]) << 16) | (static_cast<uint32_t>(word[3]) << 24);
  incoming.Resize(length);

  bool changed;
  {
    PluginLock lock(Mutex());
    StateChunk before, after;
    const bool known = Snapshot(*this, before);
    UnserializeState(incoming, 0);
    SetBypassed(bypassWord != 0);
    mHostBypassValue.store(bypassWord != 0 ? 1.0 : 0.0, std::memory_order_relaxed);
    if (EffectsOf(ParamOrigin::State).pushToControls == ParamStep::AfterAll) RedrawParamControls();
    changed = !known || !Snapshot(*this, after) || after.Size() != before.Size() ||
              std::memcmp(after.Bytes(), before.Bytes(), static_cast<size_t>(after.Size())) != 0;
  }
  if (changed && EffectsOf(ParamOrigin::State).tellHost == ParamStep::AfterAll) RequestValuesReread();
  return kResultOk;
}

tresult IPlugVST3::controllerGetState(IBStream* state) { return SaveStateStream(state); }
tresult IPlugVST3::componentGetState(IBStream* state) { return SaveStateStream(state); }
tresult IPlugVST3::controllerSetState(IBStream* state) { return RestoreStateStream(state, false); }
tresult IPlugVST3::componentSetState(IBStream* state) { return RestoreStateStream(state, true); }
tresult PLUGIN_API IPlugVST3::setComponentState(IBStream* state) { return RestoreStateStream(state, true); }
