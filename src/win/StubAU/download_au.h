// The agent's one download routine for its three files: the ".INFO" file
// (into memory, then beside the agent), the UPDATE file and the INFORM file
// (beside the agent, then checked for the product's token). A location that
// is a folder is read as a folder; otherwise it is a base URL.
#pragma once

#include <string>

namespace kestro {

enum DownloadKind { kDownloadInfo = 1, kDownloadUpdate = 2, kDownloadInform = 3 };

// Why no UPDATE or INFORM file may be fetched under `name` beside the agent
// (a path, a name Windows reads as another, a device, one of the agent's own
// files), or "" when it may (see core/StubAU/download_names.h).
std::string RefusedDownloadName(const std::string& name);

// While test mode is on, the test-mode folder replaces `location`. Returns
// whether the file arrived whole (and, for kinds 2 and 3, belongs to this
// product); `error` carries the client's error text. An UPDATE or INFORM
// file arrives under a private name and takes `name` only once it verified;
// a name RefusedDownloadName refuses is not fetched at all.
bool DownloadFileAU(const std::string& location, const std::string& name, int kind,
                    std::string& error);

}  // namespace kestro
