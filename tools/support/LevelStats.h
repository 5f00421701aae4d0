#pragma once
// Level measurements for the closing summaries: peak and RMS per channel, and an estimate of the
// largest gain reduction a processor applied, read from the input and output alone.
#include "tools/support/AudioData.h"

#include <string>
#include <vector>

namespace velmora_host {

struct Levels {
  double peak = 0.0;  // linear, largest absolute sample
  double rms = 0.0;   // linear
};

std::vector<Levels> MeasureChannels(const AudioData& audio);
// All channels pooled: the largest peak, and the RMS over every sample of every channel.
Levels MeasureOverall(const AudioData& audio);

double ToDbfs(double linear);
// "-6.02", or "-inf" for silence; fixed width for tables.
std::string FormatDb(double db, int width = 0);

// Largest drop, in dB, of the output's short-term level below the input's, after adding back a
// known make-up gain. Compares 10 ms windows of the pooled channels, skipping windows where the
// input is below -50 dBFS (too quiet for a ratio to mean anything). 0 when nothing was reduced.
double EstimateMaxGainReductionDb(const AudioData& input, const AudioData& output, double makeupDb = 0.0);

}  // namespace velmora_host
