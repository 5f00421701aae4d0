#include "tools/support/Cancellation.h"

#include "tools/support/HostPlatform.h"

namespace velmora_host {

void CatchCancelSignals() { InstallCancelHandlers(); }

void ThrowIfCancelled() {
  if (const int signal = CancelSignal()) throw Cancelled{signal};
}

}  // namespace velmora_host
