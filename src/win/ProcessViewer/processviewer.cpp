#include "win/ProcessViewer/processviewer.h"

#include "core/Files/file_names.h"
#include "core/ProcessViewer/main_window.h"
#include "core/ProcessViewer/process_match.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/ProcessViewer/process_sources.h"
#include "win/Utils/utils.h"
#include "win/Win64/system_info.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

constexpr WPARAM kCloseWParam = 15;
constexpr LPARAM kCloseLParam = 255;

ProcessQuery Query(const std::string& name, bool fullPathOnly) {
  ProcessQuery q;
  q.name = CleanProcessName(name);
  q.shortName = ShortForm(q.name);
  q.fullPathOnly = fullPathOnly;
  return q;
}

// The list behind ProcessList: XP opens every process; elsewhere the
// window walk names the processes, and full paths come from the process
// itself (the snapshot only knows file names there).
std::vector<ProcessImage> ListImages(bool fullPaths) {
  std::vector<ProcessImage> images;
  if (IsXP()) {
    const OSName os = GetOSName();
    for (uint32_t pid : EnumProcessIds()) {
      std::string path = SystemProcessName(pid, os.shortName == "NT", os.shortName == "2000");
      if (path.empty()) path = FullImagePath(pid);
      if (!fullPaths) path = ExtractFileName(path);
      if (!path.empty()) images.push_back({pid, path, ShortForm(path)});
    }
    return images;
  }
  TProcessData walk;
  walk.collectAll = true;
  walk.searchName = "*";
  WalkWindows(walk);
  for (const WindowEntry& w : walk.windows) {
    std::string path = w.fileName;
    if (fullPaths) {
      const std::string full = FullImagePath(w.pid);
      if (!full.empty()) path = full;
    }
    images.push_back({w.pid, path, fullPaths ? ShortForm(path) : std::string(kNoShortName)});
  }
  return images;
}

// Task-list rows carry bare names; for full-path matching each candidate's
// real path is asked from the process.
std::vector<ProcessImage> TaskListCandidates(const std::string& fileName, bool fullPaths) {
  std::vector<ProcessImage> rows = TaskListImages();
  if (!fullPaths) return rows;
  std::vector<ProcessImage> candidates;
  for (ProcessImage& row : rows)
    if (SUB::SameText(row.path, fileName)) {
      row.path = FullImagePath(row.pid);
      row.shortPath = ShortForm(row.path);
      candidates.push_back(row);
    }
  return candidates;
}

uintptr_t RootOwner(HWND window) {
  HWND root = window;
  for (HWND owner = GetWindow(root, GW_OWNER); owner; owner = GetWindow(root, GW_OWNER))
    root = owner;
  return reinterpret_cast<uintptr_t>(root);
}

struct Collect {
  DWORD pid;
  TAnalizer analizer;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  Collect& c = *reinterpret_cast<Collect*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == c.pid)
    c.analizer.Add(reinterpret_cast<uintptr_t>(window), RootOwner(window),
                   GetWindowTextLengthA(window) > 0, IsWindowVisible(window) != 0);
  return TRUE;
}

// The listing searches compare file names unless full paths are asked for.
ProcessQuery ListQuery(const std::string& name, bool fullPaths) {
  const std::string clean = CleanProcessName(name);
  return Query(fullPaths ? clean : ExtractFileName(clean), fullPaths);
}

// The search behind terminating and running checks: the listing on NT, the
// snapshot on the 9x family.
ProcessQuery ShutDownQuery(const std::string& name, bool fullPathOnly) {
  return IsNT() ? ListQuery(name, fullPathOnly) : Query(name, fullPathOnly);
}

// Between the search and the open the process may have ended and its id
// passed to another program: the image is checked through the very handle
// that terminates. While that handle is open the id names no other process,
// so on the 9x family (where a handle cannot tell its image) a snapshot
// taken now may speak for it.
bool TerminateIfImage(uint32_t pid, const ProcessQuery& q) {
  const UniqueHandle process = OpenForImagePath(pid, PROCESS_TERMINATE);
  if (!IsValid(process)) return false;
  ProcessImage image;
  image.pid = pid;
  image.path = ImagePathOf(process.get());
  if (image.path.empty() && !IsNT()) image.path = SnapshotNames()[pid];
  image.shortPath = ShortForm(image.path);
  return ImageMatches(image, q) && TerminateProcess(process.get(), 0);
}

uint32_t MainWindowProcess(const std::string& name, bool fullPathOnly, bool preferFirst) {
  if (IsWin8OrLater()) return ProcessIdByTaskList(name, preferFirst, fullPathOnly);
  if (IsNT()) return ProcessIdByPSAPI(name, fullPathOnly, preferFirst);
  return ProcessIdByToolhelp(name, fullPathOnly, preferFirst);
}

}  // namespace

// ---------------------------------------------------------------- searches

uint32_t ProcessIdByToolhelp(const std::string& name, bool fullPathOnly, bool stopAtFirst) {
  return PickProcess(ToolhelpImages(), Query(name, fullPathOnly), stopAtFirst);
}

uint32_t ProcessIdByPSAPI(const std::string& name, bool fullPathOnly, bool preferFirst) {
  return PickProcess(PsapiImages(), Query(name, fullPathOnly), preferFirst);
}

uint32_t ProcessIdByTaskList(const std::string& name, bool fromEnd, bool fullPathOnly) {
  const std::string clean = CleanProcessName(name);
  const std::string fileName = ExtractFileName(clean);
  ProcessQuery q = Query(fullPathOnly ? clean : fileName, fullPathOnly);
  return PickProcess(TaskListCandidates(fileName, fullPathOnly), q, !fromEnd);
}

uint32_t ProcessIdByList(const std::string& name, bool fullPaths, bool keepOrder) {
  return PickProcess(ListImages(fullPaths), ListQuery(name, fullPaths), keepOrder);
}

std::string ProcessList(bool fullPaths) { return ProcessListText(ListImages(fullPaths)); }

HWND FindMainWindow(const std::string& name, bool fullPathOnly, bool preferFirst) {
  Collect c;
  c.pid = MainWindowProcess(name, fullPathOnly, preferFirst);
  if (c.pid == 0) return nullptr;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&c));
  return reinterpret_cast<HWND>(c.analizer.MainWindow());
}

bool PostProcessMessage(const std::string& name, bool fullPathOnly, UINT message, WPARAM wParam,
                        LPARAM lParam) {
  HWND window = FindMainWindow(name, fullPathOnly, false);
  if (window) PostMessageA(window, message, wParam, lParam);
  return window != nullptr;
}

// ---------------------------------------------------------------- shut-down

bool CloseProcessByWmClose(const std::string& name, bool fullPathOnly, uint32_t waitMs) {
  const bool posted = PostProcessMessage(name, fullPathOnly, WM_CLOSE, kCloseWParam, kCloseLParam);
  if (posted && waitMs > 0) WaitForProcessEnd(name, waitMs);
  return posted;
}

bool CloseProcessByWmQuit(const std::string& name, bool fullPathOnly) {
  return PostProcessMessage(name, fullPathOnly, WM_QUIT, kCloseWParam, kCloseLParam);
}

bool TerminateProcessByName(const std::string& name, bool fullPathOnly) {
  const ProcessQuery q = ShutDownQuery(name, fullPathOnly);
  const uint32_t pid = PickProcess(IsNT() ? ListImages(fullPathOnly) : ToolhelpImages(), q, false);
  return pid != 0 && TerminateIfImage(pid, q);
}

bool TerminateProcessIfImage(uint32_t pid, const std::string& name, bool fullPathOnly) {
  return TerminateIfImage(pid, ShutDownQuery(name, fullPathOnly));
}

bool IsProcessRunning(const std::string& name) {
  const std::string clean = CleanProcessName(name);
  if (clean.empty()) return false;
  const bool fullPath = HasFolderPart(clean);
  if (IsNT()) return ProcessIdByList(clean, fullPath, false) != 0;
  return ProcessIdByToolhelp(clean, false, false) != 0;
}

void WaitForProcessEnd(const std::string& name, uint32_t ms) {
  const uint32_t limit = ms == 0 ? 1000 : ms;
  const int64_t start = MilliCounter();
  do {
    if (!IsProcessRunning(name)) return;
    WaitWithMessages(100);
  } while (MilliCounter() - start <= int64_t(limit));
}

}  // namespace kestro
