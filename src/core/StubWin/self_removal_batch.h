// The batch file a temporary copy of the stub leaves behind to delete itself:
// it retries the deletion until the process has ended, removes the copy's
// folder when asked, then deletes itself.
#pragma once
#include <string>

namespace kestro {

inline constexpr const char* kSelfRemovalBatchName = "_DEL_ME_.BAT";

// exe: full path of the running copy; folder: its folder without trailing
// "\"; batch: the batch file's own path. Lines end with CR LF. Paths are
// quoted with every "%" doubled, so the interpreter reads them as written.
std::string SelfRemovalBatch(const std::string& exe, const std::string& folder,
                             const std::string& batch, bool removeFolder);

}  // namespace kestro
