// The progress line of long renders: how far, how long, how fast, how long still.
#include "tools/support/ProgressBar.h"

#include <gtest/gtest.h>

using velmora_host::ProgressLine;
using velmora_host::ProgressState;

namespace {

TEST(ProgressLine, ShowsElapsedTimeSpeedAndTimeLeft) {
  struct Case {
    ProgressState state;
    const char* line;
  };
  const Case cases[] = {
      // A quarter of two minutes of audio in two seconds: 15 times real time, six seconds to go.
      {{30.0, 120.0, 1, 0, 2.0},
       "rendering [#######.......................]  25%  0:02 elapsed  15.0x real time  0:06 left"},
      {{30.0, 120.0, 3, 1, 2.0},
       "rendering 1/3 files [#######.......................]  25%  0:02 elapsed  15.0x real time  0:06 left"},
      // Slower than real time, hours of audio.
      {{3600.0, 10800.0, 1, 0, 4000.0},
       "rendering [##########....................]  33%  1:06:40 elapsed  0.9x real time  2:13:20 left"},
      // A stream of unknown length: the audio done, no time left.
      {{90.0, 0.0, 1, 0, 3.0}, "rendering 1:30 of audio  0:03 elapsed  30.0x real time"},
      // Nothing done yet: no speed to tell.
      {{0.0, 60.0, 1, 0, 0.5}, "rendering [..............................]   0%  0:01 elapsed"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressLine(c.state), c.line);
}

}  // namespace
