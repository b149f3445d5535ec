// The agent's one download routine for its three files: the ".INFO" file
// (into memory, then beside the agent), the UPDATE file and the INFORM file
// (beside the agent, then checked for the product's token). A location that
// is a folder is read as a folder; otherwise it is a base URL.
#pragma once

#include <string>

namespace kestro {

enum DownloadKind { kDownloadInfo = 1, kDownloadUpdate = 2, kDownloadInform = 3 };

// While test mode is on, the test-mode folder replaces `location`. Returns
// whether the file arrived whole (and, for kinds 2 and 3, belongs to this
// product); `error` carries the client's error text.
bool DownloadFileAU(const std::string& location, const std::string& name, int kind,
                    std::string& error);

}  // namespace kestro
