#pragma once
// Automation lanes resolved for one instance and sample rate, delivered block by block the way a
// DAW delivers automation: each block carries, per automated parameter, points at the sample
// offsets where the value changes. A held step is two points (the old value on the sample before
// the change, the new one on it), so a plug-in that interpolates between points still jumps there;
// a ramp carries its breakpoints and its value at the block's last sample. The first block starts
// every lane at its value at time 0. The renderer starts a process call at every sample where a
// lane changes course (ChangeOffsets), so an effect that applies one value per call hears each
// change on its sample too.
#include "tools/session/AutomationText.h"
#include "tools/session/ParameterLookup.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/ParameterChanges.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

class AutomationSchedule {
public:
  // Resolves every lane's parameter and values (steps checked against the parameter's step count)
  // and converts times to frames at `sampleRate`. Empty, with the reason in `error`, for an
  // offending point, or a parameter automated twice or also fixed by `fixed` (the --set values).
  static std::optional<AutomationSchedule> Create(const vst3host::Instance& instance,
                                                  const std::vector<vst3host::ParameterDescription>& parameters,
                                                  const std::vector<AutomationLane>& lanes,
                                                  const std::vector<ParameterValue>& fixed, double sampleRate,
                                                  std::size_t blockSize, std::string* error);

  bool Empty() const { return mLanes.empty(); }
  std::size_t LaneCount() const { return mLanes.size(); }
  // The most points one lane can need in one block: what each parameter queue must hold.
  int MaxPointsPerBlock() const { return mMaxPoints; }
  // The largest normalised value the lane of `id` takes; empty when `id` is not automated.
  std::optional<double> LargestValue(Steinberg::Vst::ParamID id) const;
  // Every lane's value at time 0, as the controller should show it before processing starts.
  std::vector<ParameterValue> InitialValues() const;
  // Appends to `offsets` every offset in (0, frames) of the block at `start` where some lane
  // changes course: a held step changes value, a ramp has a breakpoint.
  void ChangeOffsets(std::size_t start, std::size_t frames, std::vector<std::size_t>& offsets) const;
  // Adds the points of the block [start, start + frames) to `changes`; blocks come in order.
  void AddPoints(std::size_t start, std::size_t frames, vst3host::ParameterChanges& changes);

private:
  struct Point {
    std::size_t frame;
    double value;  // normalised
  };
  struct Lane {
    Steinberg::Vst::ParamID id;
    bool ramps;
    std::vector<Point> points;
    std::size_t next = 0;  // first point not yet delivered
    double sent = 0.0;     // the value the plug-in last received
  };
  explicit AutomationSchedule(std::size_t blockSize) : mBlockSize(blockSize) {}
  static double ValueAt(const Lane& lane, std::size_t frame);

  std::vector<Lane> mLanes;
  std::size_t mBlockSize;
  int mMaxPoints = 1;
  std::vector<std::pair<int, double>> mBlockPoints;  // one lane's points of the current block
};

}  // namespace velmora_host
