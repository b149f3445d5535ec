// The shell's special folders, each with the fallbacks that older systems
// (no SHFolder.dll, no profiles) need. Named by their path token without
// brackets: "UserDir", "UserAppDataDir" ... "AllUsersDesktopDir" (the list is
// kSpecialFolderTokens in core/ShellDir/path_tokens.h).
#pragma once

#include <string>

namespace kestro {

// The folder with exactly one trailing backslash when asked, else none; ""
// for a name that is no special folder.
std::string SpecialFolder(const std::string& token, bool trailingBackslash = false);

// The shell calls themselves, loaded by name at each call; "" on failure.
std::string ShFolderPath(int folderId);
std::string ShSpecialFolderPath(int folderId);

// Windows\Profiles\<owner> when it exists, else the Windows folder.
std::string ProfileFallbackFolder();

}  // namespace kestro
