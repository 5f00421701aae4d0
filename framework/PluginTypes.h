#pragma once
// Small records the plug-in base keeps: channel-count pairs, channel buffers, the dry-signal
// delay line, presets, and the messages and time information a binding hands over.

#include "GrowableArray.h"
#include "StateChunk.h"

#include <cstdint>

struct ChannelIO {
  int32_t nIn = 0;
  int32_t nOut = 0;
};

struct InputChannel {
  bool connected = false;
  double** pointerSlot = nullptr;  // this channel's entry in the base's input pointer array
  GrowableArray<double> scratch;   // block-size long after SetBlockSize
};

struct OutputChannel {
  bool connected = false;
  double** pointerSlot = nullptr;
  float* floatDest = nullptr;  // the host's single-precision channel, when the host runs 32-bit
  GrowableArray<double> scratch;
};

// Delays the dry signal by `length` samples in pass-through, so bypass keeps the reported latency.
struct LatencyDelay {
  LatencyDelay(int inputs, int outputs) : nIn(inputs), nOut(outputs) {}
  GrowableArray<double> buffer;  // nIn * length samples, channel-major
  uint32_t writePos = 0;
  const int nIn;
  const int nOut;
  uint32_t length = 0;
};

struct PresetSlot {
  static constexpr int kNameLen = 256;
  bool initialised = false;
  char name[kNameLen] = {};
  StateChunk state;
};

struct IMidiMsg {
  int offset = 0;  // sample offset within the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

struct ITimeInfo {
  double tempo = 120.0;
  double samplePos = 0.0;
  double ppqPos = 0.0;
  double lastBar = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int numerator = 4;
  int denominator = 4;
  bool transportIsRunning = false;
  bool transportLoopEnabled = false;
};
