#include "core/RunTimeDir/runtime_dir_rules.h"

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

namespace {

struct Descriptor {
  explicit Descriptor(const std::string& list) : list_(list) {}
  bool Flag(int i) const { return SUB::GetItem(list_, i) == "1"; }
  std::string Item(int i) const { return SUB::GetItem(list_, i); }
  int View(int i) const { return int(SUB::GetItemInt(list_, i, 0)); }
  std::string list_;
};

std::string WithoutTrailingBackslash(const std::string& path) {
  return RemoveTrailingBackslash(path, nullptr);
}

// The file or folder searches: fixed drives, then network drives.
std::string DriveSearch(const Descriptor& d, int first, std::string& display,
                        const std::function<std::string(const std::string&, int, bool)>& find) {
  const std::string name = d.Item(first + 1);
  if (!d.Flag(first) || !find) return "";
  if (display.empty()) display = name;
  const bool hook = d.Flag(first == 4 ? 18 : 19);
  std::string found;
  if (d.Flag(first + 2)) found = find(name, kDriveFixed, hook);
  if (found.empty() && d.Flag(first + 3)) found = find(name, kDriveNetwork, hook);
  return found;
}

}  // namespace

std::string ResolveRunTimeDir(const std::string& descriptor, const RunTimeDirLookups& lookups) {
  const Descriptor d(descriptor);
  std::string display, result;
  if (d.Flag(0) && lookups.appPathDir) {
    display = d.Item(1);
    result = WithoutTrailingBackslash(lookups.appPathDir(d.Item(1), d.View(20)));
  }
  if (result.empty() && d.Flag(2) && lookups.regPathDir) {
    display = d.Item(3);
    result = WithoutTrailingBackslash(lookups.regPathDir(d.Item(3), d.View(21)));
  }
  if (result.empty()) {
    const std::string file = DriveSearch(d, 4, display, lookups.findFile);
    if (!file.empty()) result = ExtractFileDir(file);
  }
  if (result.empty()) result = DriveSearch(d, 8, display, lookups.findFolder);
  if (result.empty() && d.Flag(12)) result = d.Item(13);
  if (result.empty()) {
    if (d.Flag(16) && lookups.notFoundMessage) lookups.notFoundMessage(display);
    if (d.Flag(17) && lookups.setMissingFlag) lookups.setMissingFlag();
  }
  if (lookups.endSearchHook) lookups.endSearchHook();
  return result;
}

RegistryViews RegistryViewOrder(int view) {
  if (view == 2) return {true, false};
  if (view >= 3) return {false, true};
  return {false, false};
}

bool FolderNameMatches(const std::string& folderPath, const std::string& name) {
  return !name.empty() && SUB::EndsWith(folderPath, "\\" + name, true);
}

bool IsAbsoluteDrivePath(const std::string& name) {
  return name.size() >= 3 && name[1] == ':' && name[2] == '\\';
}

}  // namespace kestro
