#include "tools/session/AutomationSchedule.h"

#include <algorithm>
#include <cmath>

namespace velmora_host {

namespace {

// The most points of one lane that fall within `span` consecutive frames.
std::size_t Densest(const std::vector<std::size_t>& frames, std::size_t span) {
  std::size_t most = 0;
  for (std::size_t first = 0, last = 0; last < frames.size(); ++last) {
    while (frames[last] - frames[first] >= span) ++first;
    most = std::max(most, last - first + 1);
  }
  return most;
}

}  // namespace

std::optional<AutomationSchedule> AutomationSchedule::Create(
    const vst3host::Instance& instance, const std::vector<vst3host::ParameterDescription>& parameters,
    const std::vector<AutomationLane>& lanes, const std::vector<ParameterValue>& fixed, double sampleRate,
    std::size_t blockSize, std::string* error) {
  AutomationSchedule schedule(blockSize);
  for (const AutomationLane& source : lanes) {
    Lane lane{};
    lane.ramps = source.normalised;
    std::vector<std::size_t> frames;
    for (const AutomationPoint& point : source.points) {
      ParamAssignment assignment{source.target, point.value, source.normalised, point.where, {}, true};
      const std::optional<ParameterValue> resolved = ResolveAssignment(instance, parameters, assignment, error);
      if (!resolved) return std::nullopt;
      lane.id = resolved->id;
      const auto frame = static_cast<std::size_t>(std::llround(point.seconds * sampleRate));
      lane.points.push_back(Point{frame, resolved->normalized});
      frames.push_back(frame);
    }
    const std::string& where = source.points.front().where;
    for (const Lane& other : schedule.mLanes)
      if (other.id == lane.id) {
        *error = where + ": parameter \"" + source.target + "\" is automated twice";
        return std::nullopt;
      }
    for (const ParameterValue& value : fixed)
      if (value.id == lane.id) {
        *error = where + ": parameter \"" + source.target + "\" is both set and automated; use one";
        return std::nullopt;
      }
    // A held change costs two points, the old value before it and the new one on it, and the
    // block may also start or end a lane: two more.
    schedule.mMaxPoints = std::max(schedule.mMaxPoints, static_cast<int>(2 * Densest(frames, blockSize + 1) + 2));
    schedule.mLanes.push_back(std::move(lane));
  }
  return schedule;
}

double AutomationSchedule::ValueAt(const Lane& lane, std::size_t frame) {
  const auto after = std::upper_bound(lane.points.begin(), lane.points.end(), frame,
                                      [](std::size_t f, const Point& p) { return f < p.frame; });
  if (after == lane.points.begin()) return lane.points.front().value;
  const Point& from = *(after - 1);
  if (!lane.ramps || after == lane.points.end()) return from.value;
  const double share = static_cast<double>(frame - from.frame) / static_cast<double>(after->frame - from.frame);
  return from.value + (after->value - from.value) * share;
}

std::optional<double> AutomationSchedule::LargestValue(Steinberg::Vst::ParamID id) const {
  std::optional<double> largest;
  for (const Lane& lane : mLanes)
    if (lane.id == id)
      for (const Point& point : lane.points) largest = std::max(largest.value_or(point.value), point.value);
  return largest;
}

std::vector<ParameterValue> AutomationSchedule::InitialValues() const {
  std::vector<ParameterValue> values;
  for (const Lane& lane : mLanes) values.push_back(ParameterValue{lane.id, ValueAt(lane, 0)});
  return values;
}

void AutomationSchedule::ChangeOffsets(std::size_t start, std::size_t frames, std::vector<std::size_t>& offsets) const {
  const std::size_t end = start + frames;
  for (const Lane& lane : mLanes) {
    for (std::size_t k = lane.next; k < lane.points.size() && lane.points[k].frame < end; ++k) {
      const Point& point = lane.points[k];
      if (point.frame <= start) continue;
      // A held lane changes course only where its value changes (of points at one time, the last
      // one holds); a ramp at every breakpoint.
      if (!lane.ramps) {
        if (k + 1 < lane.points.size() && lane.points[k + 1].frame == point.frame) continue;
        if (ValueAt(lane, point.frame - 1) == point.value) continue;
      }
      offsets.push_back(point.frame - start);
    }
  }
}

void AutomationSchedule::AddPoints(std::size_t start, std::size_t frames, vst3host::ParameterChanges& changes) {
  if (frames == 0) return;
  const std::size_t end = start + frames;
  for (Lane& lane : mLanes) {
    mBlockPoints.clear();
    if (start == 0) mBlockPoints.emplace_back(0, ValueAt(lane, 0));
    for (; lane.next < lane.points.size() && lane.points[lane.next].frame < end; ++lane.next) {
      const Point& point = lane.points[lane.next];
      const int offset = static_cast<int>(point.frame - start);
      if (lane.ramps) {
        mBlockPoints.emplace_back(offset, point.value);
        continue;
      }
      // Of held points at the same time only the last one counts.
      if (lane.next + 1 < lane.points.size() && lane.points[lane.next + 1].frame == point.frame) continue;
      const double before = point.frame > 0 ? ValueAt(lane, point.frame - 1) : point.value;
      if (before == point.value) continue;
      if (offset > 0) mBlockPoints.emplace_back(offset - 1, before);
      mBlockPoints.emplace_back(offset, point.value);
    }
    if (lane.ramps) {
      const double last = mBlockPoints.empty() ? lane.sent : mBlockPoints.back().second;
      const double atEnd = ValueAt(lane, end - 1);
      if (atEnd != last) mBlockPoints.emplace_back(static_cast<int>(frames - 1), atEnd);
    }
    // Points on the same offset: the last one stands.
    for (std::size_t i = 0; i < mBlockPoints.size(); ++i) {
      if (i + 1 < mBlockPoints.size() && mBlockPoints[i + 1].first == mBlockPoints[i].first) continue;
      changes.Add(lane.id, mBlockPoints[i].first, mBlockPoints[i].second);
      lane.sent = mBlockPoints[i].second;
    }
  }
}

}  // namespace velmora_host
