#include "win/StubSetup/update_shortcuts.h"

#include <windows.h>

#include "win/Files/files.h"
#include "win/StubGlob/stubglob.h"
#include "win/Utils/ini.h"

namespace kestro {

namespace {

std::string OriginalFile() { return ExeDir(true) + OwnPackage().GetOriginalFileName(); }
std::string InfoFile() { return ExeDir(true) + OwnPackage().GetInfoFileName(); }

void RemoveIfAsked(const std::string& key, const std::string& link) {
  if (ReadIniString(InfoFile(), "NewSetup", key, "0") == "1" && !link.empty() && FileExists(link))
    DeleteFileA(link.c_str());
}

}  // namespace

UpdateShortcuts ReadUpdateShortcuts() {
  UpdateShortcuts links;
  links.startUpLink = ReadIniString(OriginalFile(), "UnInstall", "StartUpLink", "");
  links.checkForUpdateLink = ReadIniString(OriginalFile(), "UnInstall", "CheckforNewUpdateLink", "");
  return links;
}

void RemoveUpdateShortcuts(const UpdateShortcuts& links) {
  RemoveIfAsked("RemoveStartUpShortcut", links.startUpLink);
  RemoveIfAsked("RemoveCheckForNewUpdateShortcut", links.checkForUpdateLink);
}

}  // namespace kestro
