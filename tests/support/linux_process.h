// Linux programs started from a Windows test under Wine (servers, scripts).
// Wine starts them, but cannot wait for or end them: each such program ends
// itself, and tests wait for the files it writes.
#pragma once
#include <windows.h>

#include <string>

#include "setup_road.h"

namespace ktest {

// Starts `unixProgram args` (a path on the Linux side) and forgets it.
inline bool StartLinuxProgram(const std::string& unixProgram, const std::string& args) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = "\"" + WinPath(unixProgram) + "\" " + args;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// The Linux path of a Windows path on drive Z: ("Z:\a\b" -> "/a/b").
inline std::string UnixPath(const std::string& winPath) {
  std::string p = winPath.size() > 2 && winPath[1] == ':' ? winPath.substr(2) : winPath;
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// Waits for a file that a Linux program writes whole (by renaming it in
// place) and returns its text; empty after the time-out.
inline std::string WaitForFileText(const std::string& path, DWORD timeoutMs = 30000) {
  std::string text;
  WaitUntil([&] { return !(text = ReadFileText(path)).empty(); }, timeoutMs);
  return text;
}

}  // namespace ktest
