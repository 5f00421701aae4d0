// localtime_r and gmtime_r are POSIX; MinGW declares them only when POSIX is asked for.
#define _POSIX_C_SOURCE 200809L

#include "framework/IPlugBase.h"

#include "framework/BoundedText.h"
#include "framework/Trace.h"
#include "framework/graphics/IGraphics.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <optional>

namespace {

// One decimal count as "%d" reads it (leading blanks, optional sign), clamped to the int range
// instead of overflowing. Leaves *value untouched and returns text when there is no number.
const char* ReadCount(const char* text, int* value) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (end == text) return text;
  if (v > INT_MAX)
    *value = INT_MAX;
  else if (v < INT_MIN)
    *value = INT_MIN;
  else
    *value = static_cast<int>(v);
  return end;
}

// "YYYYMMDD HH:MM +hhmm": local time and its offset from UTC.
void FormatLocalTimeStamp(char* out, size_t size) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  std::tm utc{};
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
  // Reading the UTC fields back as local time gives "now" shifted by the negated offset.
  utc.tm_isdst = local.tm_isdst;
  const long offset = static_cast<long>(std::difftime(now, std::mktime(&utc)));
  const long magnitude = offset < 0 ? -offset : offset;

  char clock[32];
  if (std::strftime(clock, sizeof(clock), "%Y%m%d %H:%M ", &local) == 0) clock[0] = '\0';
  std::snprintf(out, size, "%s%c%02d%02d", clock, offset < 0 ? '-' : '+', static_cast<int>(magnitude / 3600),
                static_cast<int>((magnitude % 3600) / 60));
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct HostEntry {
  const char* substring;
  int id;
};

// Searched in this order: the first substring contained in the host's name decides.
constexpr HostEntry kHosts[] = {
    {"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
    {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
    {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
    {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},    {"audition", 17},   {"orion", 18},
    {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
    {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
    {"protools", 2},    {"ardour", 28},     {"openmpt", 30},
    {"renoise", 29},    {"standalone", 24},
};
}  // namespace

IPlugBase::IPlugBase(const PluginIdentity& identity, int nParams, const char* channelIOStr, int nPresets,
                     int bindingKind)
    : mUniqueID(identity.pluginCode),
      mMfrID(identity.makerCode),
      mVersion(identity.version),
      mBindingKind(bindingKind) {
  char stamp[64];
  FormatLocalTimeStamp(stamp, sizeof(stamp));
  TRACE_POINT("IPlugBase::IPlugBase", "%s:%s", identity.name ? identity.name : "", stamp);

  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam());
  for (int i = 0; i < nPresets; ++i) {
    PresetSlot* slot = new PresetSlot();
    std::snprintf(slot->name, sizeof(slot->name), "%s", "empty");
    mPresets.Add(slot);
  }

  CopyBoundedText(mEffectName, identity.name, sizeof(mEffectName));
  CopyBoundedText(mProductName, identity.product, sizeof(mProductName));
  CopyBoundedText(mMfrName, identity.maker, sizeof(mMfrName));

  int maxIn = 0;
  int maxOut = 0;
  const char* p = channelIOStr ? channelIOStr : "";
  for (;;) {
    ChannelIO* pair = new ChannelIO();
    const char* rest = ReadCount(p, &pair->nIn);
    if (rest != p && *rest == '-') ReadCount(rest + 1, &pair->nOut);
    if (pair->nIn > maxIn) maxIn = pair->nIn;
    if (pair->nOut > maxOut) maxOut = pair->nOut;
    mChannelIO.Add(pair);
    p = std::strchr(p, ' ');
    if (!p) break;
    ++p;
  }

  mInputPtrs.Resize(maxIn);
  mOutputPtrs.Resize(maxOut);
  for (int i = 0; i < mInputPtrs.Count(); ++i) {
    InputChannel* ch = new InputChannel();
    ch->pointerSlot = mInputPtrs.At(i);
    mInChannels.Add(ch);
  }
  for (int i = 0; i < mOutputPtrs.Count(); ++i) {
    OutputChannel* ch = new OutputChannel();
    ch->pointerSlot = mOutputPtrs.At(i);
    mOutChannels.Add(ch);
  }
}

IPlugBase::~IPlugBase() {
  // Controls may still reach the plug-in while they go, so the editor goes first.
  delete mGraphics;
  mGraphics = nullptr;
  mParams.DeleteAll();
  mPresets.DeleteAll();
  mInChannels.DeleteAll();
  mOutChannels.DeleteAll();
  mChannelIO.DeleteAll();
  mInputBusLabels.DeleteAll();
  mOutputBusLabels.DeleteAll();
  delete mLatencyDelay;
  mLatencyDelay = nullptr;
}

// The lock+unlock defaults make the caller wait for a running block to finish.
void IPlugBase::ResetProcessing() { PluginLock lock(mMutex); }
void IPlugBase::ParamChanged(int /*paramIdx*/) { PluginLock lock(mMutex); }
void IPlugBase::ActivationChanged(bool /*active*/) { PluginLock lock(mMutex); }

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  const int nIn = NInChannels();
  const int nOut = NOutChannels();
  const size_t bytes = sizeof(double) * static_cast<size_t>(nFrames > 0 ? nFrames : 0);
  if (bytes == 0) return;
  for (int i = 0; i < nOut; ++i) {
    if (!outputs[i]) continue;
    if (i < nIn && inputs[i])
      std::memmove(outputs[i], inputs[i], bytes);
    else
      std::memset(outputs[i], 0, bytes);
  }
}

void IPlugBase::SetParamFromEditor(int paramIdx, double normalized) {
  EnterParamValue(ParamOrigin::Editor, paramIdx, normalized);
}

void IPlugBase::EnterParamValue(ParamOrigin origin, int paramIdx, double value) {
  const ParamOriginEffects& effects = EffectsOf(origin);
  std::optional<PluginLock> lock;
  if (effects.takesLock) lock.emplace(mMutex);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  if (effects.plainValue)
    param->SetClamped(value);
  else
    param->SetNormalized(value);
  // The controls show the value as it arrived; a stepped parameter's stored step may differ.
  if (effects.pushToControls == ParamStep::Now && mGraphics)
    mGraphics->PushParamToControls(paramIdx, value, !effects.plainValue);
  if (effects.tellHost == ParamStep::Now) ReportParamEdit(paramIdx, value);
  if (effects.derive == ParamStep::Now) ParamChanged(paramIdx);
}

void IPlugBase::FinishParamLoad(ParamOrigin origin) {
  if (EffectsOf(origin).derive != ParamStep::AfterAll) return;
  for (int i = 0; i < NParams(); ++i) ParamChanged(i);
}

void IPlugBase::AttachGraphics(IGraphics* graphics) {
  if (!graphics) return;
  PluginLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i) graphics->PushParamToControls(i, GetParam(i)->GetNormalized(), true);
  graphics->CreateDrawBitmaps();
  // The base owns its editor: a replaced one would otherwise leak.
  if (mGraphics != graphics) delete mGraphics;
  mGraphics = graphics;
}

void IPlugBase::RedrawParamControls() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->PushParamToControls(i, GetParam(i)->Value(), false);
}

void IPlugBase::SetLatency(int samples) {
  mLatency = samples;
  if (!mLatencyDelay) return;
  const int length = samples > 0 ? samples : 0;
  LatencyDelay& d = *mLatencyDelay;
  d.writePos = 0;
  const long long count = static_cast<long long>(length) * (d.nIn > 0 ? d.nIn : 0);
  // Without room for the whole line the dry signal is passed undelayed rather than overrun.
  if (count > INT_MAX / static_cast<long long>(sizeof(double)) || !d.buffer.Resize(static_cast<int>(count))) {
    d.buffer.Clear();
    d.length = 0;
    return;
  }
  d.length = static_cast<uint32_t>(length);
  d.buffer.Fill(0.0);
}

namespace {
// Puts a fresh scratch buffer in place; a slot that pointed at the old storage follows it.
template <class Channel>
void InstallScratch(Channel* ch, GrowableArray<double>& fresh) {
  double* const old = ch->scratch.Data();
  ch->scratch.Swap(fresh);
  if (ch->pointerSlot && *ch->pointerSlot == old) *ch->pointerSlot = ch->scratch.Data();
}
}  // namespace

bool IPlugBase::SetBlockSize(int frames) {
  if (frames == mBlockSize) return true;
  if (frames < 0 || frames > kMaxBlockSize) return false;
  // Every buffer is allocated before any is replaced, so a failure leaves the earlier ones working.
  const int nIn = NInChannels();
  const int n = nIn + NOutChannels();
  std::unique_ptr<GrowableArray<double>[]> fresh(new (std::nothrow) GrowableArray<double>[n > 0 ? n : 1]);
  if (!fresh) return false;
  for (int i = 0; i < n; ++i) {
    if (!fresh[i].Resize(frames)) return false;  // new elements are zeros
  }
  for (int i = 0; i < nIn; ++i) InstallScratch(GetInChannel(i), fresh[i]);
  for (int i = nIn; i < n; ++i) InstallScratch(GetOutChannel(i - nIn), fresh[i]);
  mBlockSize = frames;
  return true;
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
  bool legal = false;
  for (int i = 0; i < NLegalIO() && !legal; ++i) {
    const ChannelIO* pair = GetLegalIO(i);
    legal = (nIn < 0 || nIn == pair->nIn) && (nOut < 0 || nOut == pair->nOut);
  }
  TRACE_POINT("IPlugBase::LegalIO", "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

int IPlugBase::LookUpHost(const char* name) {
  char lowered[256];
  size_t n = 0;
  if (name) {
    for (; n + 1 < sizeof(lowered) && name[n]; ++n) lowered[n] = LowerAscii(name[n]);
  }
  lowered[n] = '\0';
  for (const HostEntry& host : kHosts) {
    if (std::strstr(lowered, host.substring)) return host.id;
  }
  return 0;
}

void IPlugBase::SetHost(const char* hostName, int version) {
  mHostID = LookUpHost(hostName);
  mHostVersion = 0;
  char versionText[48];
  std::snprintf(versionText, sizeof(versionText), "v%d.%d.%d", (version >> 16) & 0xFFFF, (version >> 8) & 0xFF,
                version & 0xFF);
  TRACE_POINT("IPlugBase::SetHost", "%s:%d:%s", hostName ? hostName : "", mHostID, versionText);
}

void IPlugBase::AttachInputBuffers(int firstChannel, int count, float** hostInputs, int nFrames) {
  int hostIdx = 0;
  const int end = count > NInChannels() - firstChannel ? NInChannels() : firstChannel + count;
  for (int i = firstChannel < 0 ? 0 : firstChannel; i < end; ++i) {
    InputChannel* ch = GetInChannel(i);
    if (!ch->connected) continue;
    const float* src = hostInputs ? hostInputs[hostIdx] : nullptr;
    ++hostIdx;
    // Never write past the scratch buffer, whatever frame count the host claims.
    const int n = nFrames < ch->scratch.Count() ? nFrames : ch->scratch.Count();
    double* dst = ch->scratch.Data();
    if (src) {
      for (int s = 0; s < n; ++s) dst[s] = static_cast<double>(src[s]);
    } else {
      for (int s = 0; s < n; ++s) dst[s] = 0.0;
    }
    *ch->pointerSlot = dst;
  }
}

void IPlugBase::PassThroughBuffers(int nFrames) {
  LatencyDelay* d = mLatencyDelay;
  if (mLatency <= 0 || !d || d->length == 0) {
    IPlugBase::ProcessBlock(InputPointers(), OutputPointers(), nFrames);
    return;
  }
  int nCh = d->nIn < d->nOut ? d->nIn : d->nOut;
  if (nCh > NInChannels()) nCh = NInChannels();
  if (nCh > NOutChannels()) nCh = NOutChannels();
  double** in = InputPointers();
  double** out = OutputPointers();
  double* line = d->buffer.Data();
  const uint32_t length = d->length;
  for (int s = 0; s < nFrames; ++s) {
    for (int j = 0; j < nCh; ++j) {
      double& cell = line[static_cast<size_t>(j) * length + d->writePos];
      const double x = in[j][s];
      out[j][s] = cell;
      cell = x;
    }
    d->writePos = (d->writePos + 1) % length;
  }
}

void IPlugBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) {
    GrowableArray<double>& buf = GetInChannel(i)->scratch;
    const int n = mBlockSize < buf.Count() ? mBlockSize : buf.Count();
    if (n > 0) std::memset(buf.Data(), 0, sizeof(double) * static_cast<size_t>(n));
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    GrowableArray<double>& buf = GetOutChannel(i)->scratch;
    const int n = mBlockSize < buf.Count() ? mBlockSize : buf.Count();
    if (n > 0) std::memset(buf.Data(), 0, sizeof(double) * static_cast<size_t>(n));
  }
}

void IPlugBase::CopyOutputToHost(int nFrames) {
  for (int i = 0; i < NOutChannels(); ++i) {
    OutputChannel* ch = GetOutChannel(i);
    if (!ch->connected || !ch->floatDest || !*ch->pointerSlot) continue;
    const double* src = *ch->pointerSlot;
    for (int s = 0; s < nFrames; ++s) ch->floatDest[s] = static_cast<float>(src[s]);
  }
}

void IPlugBase::SetInputChannelConnected(int i, bool connected) {
  InputChannel* ch = GetInChannel(i);
  if (!ch) return;
  ch->connected = connected;
  if (!connected) *ch->pointerSlot = ch->scratch.Data();
}

void IPlugBase::SetOutputChannelConnected(int i, bool connected) {
  OutputChannel* ch = GetOutChannel(i);
  if (!ch) return;
  ch->connected = connected;
  // Processing always writes into the scratch buffer; a 32-bit host's channel is filled afterwards.
  *ch->pointerSlot = ch->scratch.Data();
  if (!connected) ch->floatDest = nullptr;
}

const char* IPlugBase::GetInputBusLabel(int i) const {
  const Label* label = mInputBusLabels.Get(i);
  return label ? label->text : "";
}

const char* IPlugBase::GetOutputBusLabel(int i) const {
  const Label* label = mOutputBusLabels.Get(i);
  return label ? label->text : "";
}

namespace {
template <class List, class Label>
void SetLabelAt(List& list, int idx, const char* text) {
  if (idx < 0) return;
  while (list.Count() <= idx) {
    if (!list.Add(new Label())) return;
  }
  CopyBoundedText(list.Get(idx)->text, text, sizeof(list.Get(idx)->text));
}
}  // namespace

void IPlugBase::SetInputBusLabel(int idx, const char* label) {
  SetLabelAt<OwnedList<Label>, Label>(mInputBusLabels, idx, label);
}
void IPlugBase::SetOutputBusLabel(int idx, const char* label) {
  SetLabelAt<OwnedList<Label>, Label>(mOutputBusLabels, idx, label);
}

void IPlugBase::CreateLatencyDelay() {
  delete mLatencyDelay;
  mLatencyDelay = new LatencyDelay(NInChannels(), NOutChannels());
}

const char* IPlugBase::GetParamGroup(int i) const {
  const char* const* name = mParamGroups.At(i);
  return name && *name ? *name : "";
}

int IPlugBase::AddParamGroup(const char* name) {
  mParamGroups.Add(name);
  return mParamGroups.Count();
}
