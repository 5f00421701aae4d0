#include "tools/support/Cancellation.h"

#include "tools/support/HostPlatform.h"

namespace velmora_host {

void catchCancelSignals() { installCancelHandlers(); }

void throwIfCancelled() {
  if (const int signal = cancelSignal()) throw Cancelled{signal};
}

}  // namespace velmora_host
