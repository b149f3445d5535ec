#include "win/ShellDir/shell_folders.h"

#include <windows.h>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/Utils/system_library.h"
#include "win/Win64/system_info.h"

namespace kestro {

// ---------------------------------------------------------------- table
namespace {

enum class Source { FolderPath, SpecialPath };
// Where to look when the shell's answer does not exist.
enum class Fallback {
  Profile,           // the profile fallback folder + tail
  UserThenAllUsers,  // "UserDir" + tail, then "AllUsersDir" + tail
  AllUsers,          // "AllUsersDir" + tail
  Windows,           // the Windows folder + tail
};

struct FolderRow {
  const char* token;
  Source source;
  int id;
  int parents;  // steps up taken while the folder exists
  Fallback fallback;
  const char* tail;
};

constexpr int kCreate = 0x8000;
constexpr FolderRow kRows[] = {
    {"UserDir", Source::FolderPath, kCreate | 0x05, 1, Fallback::Profile, ""},
    {"UserAppDataDir", Source::FolderPath, kCreate | 0x1A, 0, Fallback::Profile, "\\Application Data"},
    {"UserLocalAppDataDir", Source::FolderPath, kCreate | 0x1C, 0, Fallback::Profile, "\\Application Data"},
    {"MyDocumentsDir", Source::FolderPath, kCreate | 0x05, 0, Fallback::Profile, "\\My Documents"},
    {"UserStartMenuDir", Source::SpecialPath, 0x0B, 0, Fallback::UserThenAllUsers, "\\Start Menu"},
    {"UserStartProgramMenuDir", Source::SpecialPath, 0x02, 0, Fallback::UserThenAllUsers,
     "\\Start Menu\\Programs"},
    {"UserDesktopDir", Source::SpecialPath, 0x10, 0, Fallback::UserThenAllUsers, "\\Desktop"},
    {"DocumentsAndSettingsDir", Source::FolderPath, kCreate | 0x05, 2, Fallback::Profile, ""},
    {"AllUsersDir", Source::FolderPath, kCreate | 0x23, 1, Fallback::Windows, ""},
    {"AllUsersAppDataDir", Source::FolderPath, kCreate | 0x23, 0, Fallback::Windows, "\\Application Data"},
    {"AllUsersDocumentsDir", Source::FolderPath, kCreate | 0x2E, 0, Fallback::Windows, "\\Documents"},
    {"AllUsersStartMenuDir", Source::SpecialPath, 0x16, 0, Fallback::AllUsers, "\\Start Menu"},
    {"AllUsersStartProgramMenuDir", Source::SpecialPath, 0x17, 0, Fallback::AllUsers,
     "\\Start Menu\\Programs"},
    {"AllUsersDesktopDir", Source::SpecialPath, 0x19, 0, Fallback::AllUsers, "\\Desktop"},
};

const FolderRow* FindRow(const std::string& token) {
  for (const FolderRow& row : kRows)
    if (SUB::EqualIgnoreCase(token, row.token)) return &row;
  return nullptr;
}

std::string Parent(const std::string& folder) {
  return RemoveTrailingBackslash(ExtractFileDir(RemoveTrailingBackslash(folder)));
}

std::string FallbackFolder(const FolderRow& row) {
  const std::string tail = row.tail;
  switch (row.fallback) {
    case Fallback::Profile: return ProfileFallbackFolder() + tail;
    case Fallback::Windows: return WindowsDir(false) + tail;
    case Fallback::AllUsers: return SpecialFolder("AllUsersDir") + tail;
    case Fallback::UserThenAllUsers: {
      const std::string user = SpecialFolder("UserDir") + tail;
      return DirExists(user) ? user : SpecialFolder("AllUsersDir") + tail;
    }
  }
  return "";
}

std::string Resolve(const FolderRow& row) {
  std::string folder = row.source == Source::FolderPath ? ShFolderPath(row.id)
                                                        : ShSpecialFolderPath(row.id);
  folder = RemoveTrailingBackslash(folder);
  for (int i = 0; i < row.parents && DirExists(folder); ++i) folder = Parent(folder);
  return DirExists(folder) ? folder : FallbackFolder(row);
}

}  // namespace

// ---------------------------------------------------------------- shell calls

std::string ShFolderPath(int folderId) {
  using Fn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  HMODULE lib = LoadSystemLibrary("SHFolder.dll");
  if (!lib) return "";
  std::string out;
  if (auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SHGetFolderPathA")))) {
    char buf[1025] = {};
    if (fn(nullptr, folderId, nullptr, 0, buf) == 0) out = buf;
  }
  FreeLibrary(lib);
  return out;
}

std::string ShSpecialFolderPath(int folderId) {
  using Fn = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  HMODULE lib = LoadSystemLibrary("shell32.dll");
  if (!lib) return "";
  std::string out;
  if (auto fn = reinterpret_cast<Fn>(
          reinterpret_cast<void*>(GetProcAddress(lib, "SHGetSpecialFolderPathA")))) {
    char buf[MAX_PATH + 1] = {};
    if (fn(nullptr, buf, folderId, FALSE)) out = buf;
  }
  FreeLibrary(lib);
  return out;
}

std::string ProfileFallbackFolder() {
  std::string owner = GetRegisteredOwner();
  if (owner.empty()) owner = GetLoggedUserName();
  const std::string profile = WindowsDir(true) + "Profiles\\" + owner;
  return !owner.empty() && DirExists(profile) ? profile : WindowsDir(false);
}

std::string SpecialFolder(const std::string& token, bool trailingBackslash) {
  const FolderRow* row = FindRow(token);
  if (!row) return "";
  return SetTrailingBackslash(Resolve(*row), trailingBackslash);
}

}  // namespace kestro
