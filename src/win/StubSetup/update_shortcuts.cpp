#include "win/StubSetup/update_shortcuts.h"

#include <windows.h>

#include "win/Files/files.h"
#include "win/StubUtil/update_settings.h"

namespace kestro {

namespace {

void RemoveIfAsked(bool asked, const std::string& link) {
  if (asked && !link.empty() && FileExists(link)) DeleteFileA(link.c_str());
}

}  // namespace

UpdateShortcuts ReadUpdateShortcuts() {
  const OriginalSettings original(OwnSettingsFiles().original);
  UpdateShortcuts links;
  links.startUpLink = original.StartUpLink();
  links.checkForUpdateLink = original.CheckForNewUpdateLink();
  return links;
}

void RemoveUpdateShortcuts(const UpdateShortcuts& links) {
  const InfoSettings info(OwnSettingsFiles().info);
  RemoveIfAsked(info.RemoveStartUpShortcut(), links.startUpLink);
  RemoveIfAsked(info.RemoveCheckForNewUpdateShortcut(), links.checkForUpdateLink);
}

}  // namespace kestro
