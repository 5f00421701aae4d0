// Block lengths: 0, 1, odd ones, the maximum set up, one more, several times more, and negative
// counts, in random order. Every call answers OK, the output is finite, and the audio is the same
// as a twin's that hears the same programme in blocks that never exceed the maximum: how a host
// cuts its stream into blocks changes nothing.

#include "tests/fuzz/Campaigns.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

void BlockSizes(Rng& rng, Verdict& verdict) {
  const int32 sampleSize = rng.Chance(0.5) ? kSample64 : kSample32;
  const int maxBlock = rng.Pick(std::vector<int>{1, 2, 3, 17, 64, 511, 4096});
  const int longest = 3 * maxBlock + 3;
  Rig rig = CreateRig();
  Rig twin = CreateRig();
  for (Rig* r : {&rig, &twin}) r->instance->Prepare(sampleSize, 48000.0, maxBlock);
  vst3host::ProcessBuffers buffers(sampleSize, longest, {2, 2}, {2});
  vst3host::ProcessBuffers twinBuffers(sampleSize, maxBlock, {2, 2}, {2});

  long frame = 0;
  const long total = std::min<long>(8192, 16L * maxBlock);
  while (frame < total && !verdict.Failed()) {
    int frames;
    switch (rng.Int(0, 6)) {
      case 0: frames = 0; break;
      case 1: frames = 1; break;
      case 2: frames = maxBlock; break;
      case 3: frames = maxBlock + 1; break;
      case 4: frames = longest; break;
      case 5: frames = -rng.Int(1, 1000); break;
      default: frames = rng.Int(0, longest / 2) * 2 + 1;
    }
    frames = std::min(frames, longest);
    const int n = frames > 0 ? frames : 0;
    FillSignal(buffers, frame, n, 2);
    verdict.Check(rig.processor()->process(buffers.Data(frames)) == kResultOk,
                  "process refused a block of " + std::to_string(frames));
    CheckFinite(buffers, n, verdict, ("in a block of " + std::to_string(frames)).c_str());

    // The twin hears the same frames in pieces of at most the maximum.
    for (int done = 0; done < n && !verdict.Failed();) {
      const int piece = std::min(n - done, rng.Int(1, maxBlock));
      FillSignal(twinBuffers, frame + done, piece, 2);
      twin.processor()->process(twinBuffers.Data(piece));
      for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < piece; ++i)
          if (!verdict.Check(buffers.Output(0, ch, done + i) == twinBuffers.Output(0, ch, i),
                             "a block of " + std::to_string(frames) + " after " + std::to_string(frame) +
                                 " frames sounds different from the same frames in smaller blocks"))
            break;
      done += piece;
    }
    frame += n;
  }
}

}  // namespace fuzz
