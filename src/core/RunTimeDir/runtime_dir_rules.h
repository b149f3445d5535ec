// How a run-time folder descriptor is resolved. The descriptor is a
// self-delimited list; its flags are items that read exactly "1":
//
//   0 App Paths?   1 executable name      2 registry?      3 registry path
//   4 file search? 5 file name            6 on fixed       7 on network
//   8 folder srch? 9 folder name         10 on fixed      11 on network
//  12 default?    13 default folder   14,15 unused
//  16 message when not found             17 set the missing flag
//  18 start hook before file search      19 ... before folder search
//  20 registry view for App Paths        21 registry view for the registry
//
// Registry views: 0 the default (32-bit), 1 32-bit, 2 64-bit, 3 or more the
// 32-bit view and then the 64-bit one, negative the 32-bit view only.
#pragma once

#include <functional>
#include <string>

namespace kestro {

constexpr int kDriveFixed = 3;    // GetDriveTypeA
constexpr int kDriveNetwork = 4;

// The language key and default text of the "not found" message; "<?>"
// stands for the descriptor's display name.
constexpr const char* kRunTimeDirMessageKey = "RunTimeDir_01";
constexpr const char* kRunTimeDirMessageDefault = "RunTimeDir (<?>)<P><P>Not Found!";

// The lookups a descriptor drives.
struct RunTimeDirLookups {
  std::function<std::string(const std::string& exeName, int view)> appPathDir;
  std::function<std::string(const std::string& path, int view)> regPathDir;
  // Full path of the file or folder found on drives of the type, or "".
  std::function<std::string(const std::string& name, int driveType, bool hook)> findFile;
  std::function<std::string(const std::string& name, int driveType, bool hook)> findFolder;
  std::function<void(const std::string& displayName)> notFoundMessage;
  std::function<void()> setMissingFlag;
  std::function<void()> endSearchHook;
};

// The folder the descriptor names ("" when nothing was found).
std::string ResolveRunTimeDir(const std::string& descriptor, const RunTimeDirLookups& lookups);

// Registry views: the order in which to read, 32-bit (false) or 64-bit (true).
struct RegistryViews {
  bool first64;
  bool thenOther;
};
RegistryViews RegistryViewOrder(int view);

// A folder search hit: the path ends with "\" + name, ignoring case.
bool FolderNameMatches(const std::string& folderPath, const std::string& name);
// "C:\..." (a colon and a backslash after the first character).
bool IsAbsoluteDrivePath(const std::string& name);

}  // namespace kestro
