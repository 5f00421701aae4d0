// `edit` in the Windows build: there is no editor window of the host's own here yet, so the command
// fails with one line, as any other unusable request does.
#include "tools/support/HostError.h"
#include "tools/velmora-host/Commands.h"

namespace velmora_host {

int RunEdit(const ModuleOptions&, double) {
  throw HostError("edit is not available in the Windows build of velmora-host; open the editor in a host");
}

}  // namespace velmora_host
