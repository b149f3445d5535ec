// The update cycle's shut-down step: the running product is closed by the
// method the ".INFO" file names before its new setup runs.
#pragma once

#include <string>

#include "core/StubAU/update_cycle.h"
#include "win/StubUtil/update_settings.h"

namespace kestro {

struct ShutDownOutcome {
  ShutDownState state = kNotRunningAtStart;
  // The user chose not to close the product when asked to: no update.
  bool refused = false;
};

// productPath: the running product's full path (tokens expanded). The
// notice of "Issue a Message Box" names the product by its file name and
// uses `notice` (the agent text s15) and the boxes' look.
ShutDownOutcome ShutDownProduct(const std::string& productPath, const std::string& method,
                                const std::string& notice, const MsgBoxLook& look);

}  // namespace kestro
