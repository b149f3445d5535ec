// Shortcuts an installation made that an update may ask to remove: their
// paths come from the installed product's ".original" file, the request from
// the update information (".INFO") file beside the running stub.
#pragma once
#include <string>

namespace kestro {

struct UpdateShortcuts {
  std::string startUpLink;        // [UnInstall] StartUpLink
  std::string checkForUpdateLink; // [UnInstall] CheckforNewUpdateLink
};

// Read before the engine starts: the engine may rewrite the ".original" file.
UpdateShortcuts ReadUpdateShortcuts();

// After a successful run: deletes each shortcut that exists when [NewSetup]
// RemoveStartUpShortcut / RemoveCheckForNewUpdateShortcut is "1".
void RemoveUpdateShortcuts(const UpdateShortcuts& links);

}  // namespace kestro
