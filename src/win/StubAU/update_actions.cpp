#include "win/StubAU/update_actions.h"

#include "win/KDebug/agent_log.h"

namespace kestro {

// The update cycle is not part of this build yet: it reports that nothing
// was done. The announcement lives in auto_inform.cpp.

bool PerformAutoUpdate() {
  WriteLog("PerformAutoUpdate: not available in this build");
  return false;
}

}  // namespace kestro
