#pragma once
// One Velmora instance driven the way a host drives it, with its editor painted off screen: the
// instance is created, initialised with a host context, given its bus arrangement (and an active
// sidechain bus when there is sidechain material), set up for processing and activated; settings
// arrive as parameter changes in a process call; audio goes through process() in host-sized
// blocks; and the editor is redrawn every 40 ms of audio, as its window timer would have it
// redrawn, so the picture shows what a screen would have shown at that moment. The drawing goes
// through the graphics core into the back buffer, so it needs no window whatever the editor's
// platform class.

#include "bitmap/LICE_MemBitmap.h"
#include "tools/velmora-snapshot/ParameterSteps.h"

#include <memory>
#include <string>
#include <vector>

class AudioReader;
class IControl;
class IGraphics;
class Velmora;
namespace vst3host {
class HostApplication;
}

class SnapshotSession {
public:
  // Before --at is given, the picture is taken at the refresh with the largest meter reading, but
  // not before the meter's start-up sweep (from full deflection, 99 % settled after 0.3 s) has
  // fallen below half a frame.
  static constexpr double kStartupSweepSeconds = 0.4;
  static constexpr int kBlockFrames = 512;

  SnapshotSession();  // constructs the plug-in (and so its editor)
  ~SnapshotSession();
  SnapshotSession(const SnapshotSession&) = delete;
  SnapshotSession& operator=(const SnapshotSession&) = delete;

  // The plug-in's parameters, for naming them.
  const IPlugBase& Plugin() const;

  // Draws the editor at a display scale (IGraphics::SetDrawScale) from now on, and at once when
  // it was already drawn. Before Run: a picture kept by Run stays at the scale it was taken at.
  void SetScale(double scale);
  // Initialises, arranges the buses, sets up processing at sampleRate and activates.
  bool Start(double sampleRate, bool sidechain, std::string* error);
  // Sends the steps as the host's parameter changes in a process call without samples.
  bool ApplySteps(const std::vector<ParameterStep>& steps, std::string* error);
  // Processes input (and sidechain, which may be null) up to stopFrame, or with stopFrame < 0 to
  // the end of the input, keeping the picture of the loudest meter refresh as described above.
  bool Run(AudioReader& input, AudioReader* sidechain, long long stopFrame, std::string* error);
  // Writes the picture (the editor as it stands, when Run was not called), enlarged `enlarge`
  // times with a cubic filter.
  bool Write(const std::string& path, int enlarge, std::string* error);

private:
  bool Process(int frames, std::string* error);
  // One refresh of the editor (what changed is redrawn); with consider, the picture is kept when
  // its meter reads highest.
  void Refresh(bool consider);

  Velmora* mPlugin = nullptr;
  vst3host::HostApplication* mHost = nullptr;
  IGraphics* mGraphics = nullptr;
  IControl* mMeter = nullptr;
  bool mInitialised = false;
  bool mActive = false;
  bool mHavePicture = false;
  bool mDrawn = false;
  double mBestMeter = 0.0;
  LICE_MemBitmap mPicture;
  struct Buffers;
  std::unique_ptr<Buffers> mBuffers;
};
