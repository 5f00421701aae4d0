// The run loop Linux hosts give editors (tools/vst3host/platform/linux/RunLoop.h), on the host's side: a display
// connection reads events into its own queue while it waits for a reply, where poll no longer
// sees them; the loop asks the owner of such a descriptor and hands the queued input on at once.

#include "tools/vst3host/platform/linux/RunLoop.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(RunLoop, InputAlreadyQueuedIsHandedOnThoughTheDescriptorShowsNothing) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);  // never written: never readable
  Steinberg::IPtr<vst3host::RunLoop> loop = Steinberg::owned(new vst3host::RunLoop);
  int queued = 2, handled = 0, quietHandled = 0;
  loop->Watch(
      pipeFds[0], [&] { ++handled, --queued; }, [&] { return queued > 0; });
  // A watch without a queue of its own is called only when its descriptor is readable.
  loop->Watch(pipeFds[1], [&] { ++quietHandled; });

  EXPECT_TRUE(loop->RunUntil([&] { return queued == 0; }, 60000));
  EXPECT_EQ(handled, 2);
  loop->RunOnce(0);
  EXPECT_EQ(handled, 2) << "nothing queued, nothing to read";
  EXPECT_EQ(quietHandled, 0);
  loop->Unwatch(pipeFds[0]);
  loop->Unwatch(pipeFds[1]);
  close(pipeFds[0]);
  close(pipeFds[1]);
}
