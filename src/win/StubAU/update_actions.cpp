#include "win/StubAU/update_actions.h"

#include "win/KDebug/agent_log.h"

namespace kestro {

// The update cycle and the announcement are not part of this build yet:
// each reports that nothing was done.

bool PerformAutoUpdate() {
  WriteLog("PerformAutoUpdate: not available in this build");
  return false;
}

bool PerformAutoInform() {
  WriteLog("PerformAutoInform: not available in this build");
  return false;
}

}  // namespace kestro
