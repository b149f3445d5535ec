// What each means of process discovery sees, as lists of images in the
// order the system gives them (see core/ProcessViewer/process_match.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/ProcessViewer/process_match.h"
#include "win/Files/files.h"

namespace kestro {

// The process snapshot (kernel32's Toolhelp calls, bound by name): full
// paths on the 9x family, bare file names on NT.
std::vector<ProcessImage> ToolhelpImages();
// Image names by process id, from one snapshot.
std::map<uint32_t, std::string> SnapshotNames();
// The process walk (PSAPI.dll, bound by name): full paths of the processes
// that can be opened.
std::vector<uint32_t> EnumProcessIds();
std::vector<ProcessImage> PsapiImages();
// The full path of one process's executable; "" when it cannot be opened.
std::string FullImagePath(uint32_t pid);
// A process opened with the rights ImagePathOf needs (and extraRights), and
// the full path of the executable of a process so opened ("" when the
// system cannot say): through QueryFullProcessImageNameA with the limited
// query right where kernel32 has it, else through PSAPI's module functions
// (which fail across bitness) with query and memory-read rights.
UniqueHandle OpenForImagePath(uint32_t pid, DWORD extraRights = 0);
std::string ImagePathOf(HANDLE process);
// "tasklist.exe /FO csv", run from the system folder: bare names.
std::vector<ProcessImage> TaskListImages();
// The 8.3 form of a path, or kNoShortName.
std::string ShortForm(const std::string& path);

// One top-level window seen by the window walk.
struct WindowEntry {
  uint32_t pid = 0;
  std::string fileName;  // the process's image as the snapshot names it
  std::string className;
  HWND window = nullptr;
  uint32_t threadId = 0;
  std::string title;
  bool visible = false;
};

// The window walk: every top-level window when collectAll is set; else one
// window per image name, stopping at the first window whose image name is
// searchName or whose process is searchId.
struct TProcessData {
  bool collectAll = false;
  std::string searchName;
  int64_t searchId = -1;
  std::vector<WindowEntry> windows;
};
void WalkWindows(TProcessData& data);

}  // namespace kestro
