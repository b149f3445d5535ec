// The drive searches of the run-time folders. A walk never enters a
// junction or symbolic link, nor a folder it has already been in (by volume
// and file id, for links the system does not mark), nor goes deeper than
// kMaxSearchDepth: a link to a parent folder would otherwise make it run
// for ever.
#include <windows.h>

#include <atomic>
#include <set>
#include <utility>

#include "core/RunTimeDir/runtime_dir_rules.h"
#include "win/Files/files.h"
#include "win/RunTimeDir/runtime_dir.h"
#include "win/Utils/utils.h"

namespace kestro {

void CallStartSearchHook(bool asked);  // runtime_dir.cpp

// ---------------------------------------------------------------- helpers
namespace {

std::string g_driveLetters = "CDEFGHIJKLMNOPQRSTUVWXYZ";
std::atomic<bool> g_cancel{false};

struct FindCloser {
  void operator()(HANDLE h) const { FindClose(h); }
};

// Volume serial and file id of a folder; false when it cannot be opened.
bool FolderIdentity(const std::string& dir, std::pair<DWORD, uint64_t>& id) {
  UniqueHandle h(CreateFileA(dir.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!IsValid(h) || !GetFileInformationByHandle(h.get(), &info)) return false;
  id = {info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

class TreeWalk {
 public:
  TreeWalk(const std::string& name, bool forFolder) : name_(name), forFolder_(forFolder) {}

  std::string Run(const std::string& root) {
    Visit(SetTrailingBackslash(root, true), 0);
    return found_;
  }

 private:
  bool Done() const { return !found_.empty() || g_cancel; }

  bool Matches(const std::string& dir) {
    if (forFolder_) {
      const std::string folder = RemoveTrailingBackslash(dir);
      if (FolderNameMatches(folder, name_)) found_ = folder;
    } else if (FileExists(dir + name_)) {
      found_ = dir + name_;
    }
    return !found_.empty();
  }

  void Visit(const std::string& dir, int depth) {
    if (Done() || Matches(dir) || depth >= kMaxSearchDepth) return;
    std::pair<DWORD, uint64_t> id;
    if (FolderIdentity(dir, id) && !seen_.insert(id).second) return;
    WIN32_FIND_DATAA fd;
    std::unique_ptr<void, FindCloser> find(FindFirstFileA((dir + "*.*").c_str(), &fd));
    if (find.get() == INVALID_HANDLE_VALUE) {
      find.release();
      return;
    }
    do {
      YieldX(0);
      const std::string entry = fd.cFileName;
      if (entry == "." || entry == "..") continue;
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        Visit(dir + entry + "\\", depth + 1);
    } while (!Done() && FindNextFileA(find.get(), &fd));
  }

  std::string name_;
  bool forFolder_;
  std::string found_;
  std::set<std::pair<DWORD, uint64_t>> seen_;
};

std::string SearchDrives(const std::string& name, int driveType, bool forFolder) {
  g_cancel = false;
  std::string found;
  for (char letter : g_driveLetters) {
    const std::string root = std::string(1, letter) + ":\\";
    if (int(GetDriveTypeA(root.c_str())) != driveType) continue;
    found = TreeWalk(name, forFolder).Run(root);
    if (!found.empty() || g_cancel) break;
  }
  g_cancel = false;
  return found;
}

}  // namespace

// ---------------------------------------------------------------- searches

std::string FindFileUnder(const std::string& root, const std::string& name) {
  return name.empty() ? std::string() : TreeWalk(name, false).Run(root);
}

std::string FindFolderUnder(const std::string& root, const std::string& name) {
  return name.empty() ? std::string() : TreeWalk(name, true).Run(root);
}

std::string FindFileOnDrives(const std::string& name, int driveType, bool callStartHook) {
  CallStartSearchHook(callStartHook);
  return name.empty() ? std::string() : SearchDrives(name, driveType, false);
}

std::string FindFolderOnDrives(const std::string& name, int driveType, bool callStartHook) {
  CallStartSearchHook(callStartHook);
  if (IsAbsoluteDrivePath(name)) {
    const std::string root = name.substr(0, 3);
    const bool hit = int(GetDriveTypeA(root.c_str())) == driveType && DirExists(name);
    return hit ? RemoveTrailingBackslash(name) : std::string();
  }
  return name.empty() ? std::string() : SearchDrives(name, driveType, true);
}

void SetSearchDriveLetters(const std::string& letters) { g_driveLetters = letters; }
void CancelDriveSearch() { g_cancel = true; }

}  // namespace kestro
