#include "tools/velmora-snapshot/SnapshotSession.h"

#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_PngEncode.h"
#include "bitmap/LICE_Resample.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"
#include "plugin/Velmora.h"
#include "tools/velmora-snapshot/AudioReader.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

struct SnapshotSession::Buffers {
  // Main and sidechain input pairs, one output pair, 32-bit samples as most hosts send them.
  vst3host::ProcessBuffers audio{kSample32, kBlockFrames, {2, 2}, {2}};
  vst3host::ParameterChanges* changes = new vst3host::ParameterChanges();
  ~Buffers() { changes->release(); }
};

SnapshotSession::SnapshotSession()
    : mPlugin(new Velmora()), mGraphics(mPlugin->GetGraphics()), mMeter(mPlugin->MeterControl()) {}

SnapshotSession::~SnapshotSession() {
  if (mActive) {
    mPlugin->setProcessing(false);
    mPlugin->setActive(false);
  }
  if (mInitialised) mPlugin->terminate();
  mPlugin->release();
  if (mHost) mHost->release();
}

const IPlugBase& SnapshotSession::Plugin() const { return *mPlugin; }

bool SnapshotSession::Start(double sampleRate, bool sidechain, std::string* error) {
  mHost = new vst3host::HostApplication("velmora-snapshot");
  if (mPlugin->initialize(mHost->Context()) != kResultOk) {
    *error = "the plug-in refused to initialise";
    return false;
  }
  mInitialised = true;

  SpeakerArrangement inputs[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
  SpeakerArrangement outputs[1] = {SpeakerArr::kStereo};
  if (mPlugin->setBusArrangements(inputs, 2, outputs, 1) != kResultOk) {
    *error = "the plug-in refused a stereo bus arrangement";
    return false;
  }
  if (sidechain && mPlugin->activateBus(kAudio, kInput, 1, true) != kResultOk) {
    *error = "the plug-in refused to activate its sidechain input";
    return false;
  }
  ProcessSetup setup = {};
  setup.processMode = kRealtime;
  setup.symbolicSampleSize = kSample32;
  setup.maxSamplesPerBlock = kBlockFrames;
  setup.sampleRate = sampleRate;
  if (mPlugin->setupProcessing(setup) != kResultOk) {
    *error = "the plug-in cannot process at " + std::to_string(sampleRate) + " Hz";
    return false;
  }
  mPlugin->setActive(true);
  mPlugin->setProcessing(true);
  mActive = true;
  mBuffers.reset(new Buffers());
  return true;
}

bool SnapshotSession::Process(int frames, std::string* error) {
  ProcessData& data = mBuffers->audio.Data(frames, mBuffers->changes);
  const tresult result = mPlugin->process(data);
  mBuffers->changes->Clear();
  if (result != kResultOk) {
    *error = "the plug-in failed to process a block";
    return false;
  }
  return true;
}

bool SnapshotSession::ApplySteps(const std::vector<ParameterStep>& steps, std::string* error) {
  for (const ParameterStep& s : steps) {
    const double normalized = mPlugin->GetParam(s.paramIdx)->ToNormalized(s.step);
    if (!mBuffers->changes->Add(static_cast<ParamID>(s.paramIdx), 0, normalized)) {
      *error = "too many parameter changes";
      return false;
    }
  }
  if (!Process(0, error)) return false;
  // The window's first paint: everything, settings included.
  mGraphics->DrawPass(IRect(0, 0, mGraphics->Width(), mGraphics->Height()));
  mDrawn = true;
  return true;
}

void SnapshotSession::SetScale(double scale) {
  mGraphics->SetDrawScale(scale);
  if (mDrawn) mGraphics->DrawPass(IRect(0, 0, mGraphics->Width(), mGraphics->Height()));
}

void SnapshotSession::Refresh(bool consider) {
  IRect dirty;
  if (mGraphics->DirtyRegion(&dirty)) mGraphics->DrawPass(dirty);
  if (!consider) return;
  const double reading = mMeter->GetValue();
  if (mHavePicture && !(reading > mBestMeter)) return;
  LICE_IBitmap* screen = mGraphics->BackBuffer();
  mPicture.Resize(screen->Width(), screen->Height());
  BlitBitmap(&mPicture, screen, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  mBestMeter = reading;
  mHavePicture = true;
}

bool SnapshotSession::Run(AudioReader& input, AudioReader* sidechain, long long stopFrame, std::string* error) {
  const double rate = input.SampleRate();
  const bool seekLoudest = stopFrame < 0;
  const long long end = seekLoudest ? input.Frames() : std::min(stopFrame, input.Frames());
  const long long sweepEnd = std::llround(kStartupSweepSeconds * rate);
  const long long refreshFrames = std::max(1LL, std::llround(rate / mGraphics->FrameRate()));

  AudioBusBuffers* in = mBuffers->audio.InputBuses();
  long long position = 0;
  long long nextRefresh = refreshFrames;
  while (position < end) {
    const int frames = static_cast<int>(std::min<long long>({kBlockFrames, end - position, nextRefresh - position}));
    if (!input.Read(in[0].channelBuffers32[0], in[0].channelBuffers32[1], frames, error)) return false;
    if (sidechain && !sidechain->Read(in[1].channelBuffers32[0], in[1].channelBuffers32[1], frames, error))
      return false;
    if (!Process(frames, error)) return false;
    position += frames;
    if (position == nextRefresh) {
      Refresh(seekLoudest && position >= sweepEnd);
      nextRefresh += refreshFrames;
    }
  }
  // The moment processing stopped, as the next refresh shows it: the picture with --at, and a
  // candidate otherwise (the only one when the material ends before the start-up sweep settles).
  if (seekLoudest)
    Refresh(position >= sweepEnd || !mHavePicture);
  else
    Refresh(false);
  return true;
}

bool SnapshotSession::Write(const std::string& path, int enlarge, std::string* error) {
  const LICE_IBitmap* picture = mHavePicture ? static_cast<const LICE_IBitmap*>(&mPicture) : mGraphics->BackBuffer();
  if (enlarge == 1) return WriteBitmapPng(picture, path.c_str(), error);
  LICE_MemBitmap enlarged(picture->Width() * enlarge, picture->Height() * enlarge);
  ResampleBitmap(&enlarged, picture);
  return WriteBitmapPng(&enlarged, path.c_str(), error);
}
