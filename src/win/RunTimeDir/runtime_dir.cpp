#include "win/RunTimeDir/runtime_dir.h"

#include <windows.h>

#include <array>

#include "core/Files/file_names.h"
#include "core/RunTimeDir/runtime_dir_rules.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/Utils/registry.h"

namespace kestro {

// ---------------------------------------------------------------- state
namespace {

constexpr const char* kNotResolved = "*";
constexpr const char* kAppPaths =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

struct RunTimeDirState {
  std::array<std::string, 8> descriptors;
  std::array<std::string, 8> folders{kNotResolved, kNotResolved, kNotResolved, kNotResolved,
                                     kNotResolved, kNotResolved, kNotResolved, kNotResolved};
  std::function<void()> startHook, endHook;
  std::function<void(const std::string&)> messageHook;
  bool missing = false;
};

RunTimeDirState& State() {
  static RunTimeDirState state;
  return state;
}

// Reads in the order the view asks: 32-bit, 64-bit, or 32-bit then 64-bit.
std::string ReadInView(const std::string& key, const std::string& value, int view) {
  const RegistryViews order = RegistryViewOrder(view);
  std::string out = RegReadString(key, value, "", order.first64);
  if (out.empty() && order.thenOther) out = RegReadString(key, value, "", !order.first64);
  return out;
}

}  // namespace

// ---------------------------------------------------------------- registry

std::string AppPathDir(const std::string& exeName, int view) {
  const std::string value = SUB::Unquote(ReadInView(kAppPaths + exeName, "", view));
  const size_t slash = value.rfind('\\');
  return slash == std::string::npos ? std::string() : value.substr(0, slash);
}

std::string RegPathDir(const std::string& path, int view) {
  std::string value = ReadInView(path, "", view);
  const size_t slash = path.rfind('\\');
  if (value.empty() && slash != std::string::npos)
    value = ReadInView(path.substr(0, slash), path.substr(slash + 1), view);
  if (!DirExists(value) && FileExists(value)) {
    const std::string folder = RemoveTrailingBackslash(ExtractFileDir(value));
    if (DirExists(folder)) return folder;
  }
  return value;
}

// ---------------------------------------------------------------- resolution

std::string ResolveRunTimeDir(const std::string& descriptor) {
  RunTimeDirState& s = State();
  RunTimeDirLookups l;
  l.appPathDir = AppPathDir;
  l.regPathDir = RegPathDir;
  l.findFile = FindFileOnDrives;
  l.findFolder = FindFolderOnDrives;
  l.notFoundMessage = s.messageHook;
  l.setMissingFlag = [] { State().missing = true; };
  l.endSearchHook = s.endHook;
  return kestro::ResolveRunTimeDir(descriptor, l);
}

std::string RunTimeDir(int n) {
  if (n < 1 || n > 8) return "";
  std::string& folder = State().folders[size_t(n - 1)];
  if (folder == kNotResolved) folder = ResolveRunTimeDir(State().descriptors[size_t(n - 1)]);
  return folder;
}

void SetRunTimeDirDescriptor(int n, const std::string& descriptor) {
  if (n < 1 || n > 8) return;
  State().descriptors[size_t(n - 1)] = descriptor;
  State().folders[size_t(n - 1)] = kNotResolved;
}

void SetRunTimeDirHooks(std::function<void()> startSearch, std::function<void()> endSearch) {
  State().startHook = std::move(startSearch);
  State().endHook = std::move(endSearch);
}

void SetRunTimeDirMessageHook(std::function<void(const std::string&)> show) {
  State().messageHook = std::move(show);
}

bool RunTimeDirMissing() { return State().missing; }

// The start hook as the drive searches see it.
void CallStartSearchHook(bool asked) {
  if (asked && State().startHook) State().startHook();
}

}  // namespace kestro
